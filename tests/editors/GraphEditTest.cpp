// The values/time editor and the track editor through the real main window: docking,
// the pencil on the output, "Refresh Scene", the mode question, the block dialog, the
// generator panel, the fan, the track editor's generators and set-up, and the closes.
#include "transport/ProgramWindowTest.h"
#include "profiles/ProfileBuilder.h"
#include "fixtures/ShowFileTestSupport.h"

#include "EditorsShow.h"
#include "editors/GraphBlocks.h"
#include "editors/TCopyPaste.h"
#include "editors/TGraphEdit.h"
#include "editors/TTrackEdit.h"
#include "editors/TrackPaths.h"
#include "editors/ValueChart.h"
#include "ui_CopyPaste.h"
#include "ui_MainForm.h"
#include "ui_GraphEdit.h"
#include "ui_TrackEdit.h"

#include "app/FixtureArea.h"
#include "app/PatchLoader.h"
#include "app/ShowFile.h"
#include "app/SequenceEditing.h"
#include "app/ToolWindows.h"
#include "fixtures/ProfileFile.h"
#include "fixtures/TProfileStreams.h"

#include "controls/Faders.h"
#include "controls/Tracker.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <QScrollBar>
#include <QTest>

namespace {

class GraphEditTest : public ProgramWindowTest {
protected:
    void SetUp() override
    {
        ProgramWindowTest::SetUp();
        editors_test::ResetEditorState();
        AccessLevel = 0;
    }
    void TearDown() override
    {
        AccessLevel = 0;
        ProgramWindowTest::TearDown();
    }
    QAction *Action(const char *name) const { return form->findChild<QAction *>(QString::fromLatin1(name)); }

    // A moving head (Pan, Tilt, Dimmer) patched at 0 as `copies` fixtures, the first
    // selected, and one sequence of `scenes` scenes with known levels.
    void PatchHeads(int copies = 1, int scenes = 4)
    {
        ProfileBuilder head;
        head.header.count = 3;
        head.header.name = "Head";
        head.Channel(0, FnPan);
        head.Channel(1, FnTilt);
        head.Channel(2, FnDimmer);
        head.Add<TSlider>(ElSlider, 4, 4, MakeTag(2));
        std::filesystem::create_directories(root / "bin" / "Devices");
        std::filesystem::copy_file(head.Save("head.dsp"), root / "bin" / "Devices" / "head.dsp",
                                   std::filesystem::copy_options::overwrite_existing);
        LoadDeviceProfiles();
        int type = -1;
        for (int i = 0; i < DeviceTypeCount; ++i)
            if (DeviceTypes[static_cast<std::size_t>(i)].deviceName == "Head")
                type = i;
        ASSERT_GE(type, 0);
        for (int i = 0; i < copies; ++i)
            PatchFixture(type, 3 * i, "Head");
        BuildChannelMaps();
        BuildFixturePanels();
        transport_test::AddSequence(scenes);
        form->FillSequenceBox();
        form->Select(0);
    }
    TGraphEdit *OpenGraph()
    {
        Action("GraphEd")->trigger();
        return GraphEdit;
    }
    static std::uint8_t Level(int scene, int channel) { return Sequences[0]->scenes[scene]->levels[channel]; }
    void MakeCurrent(int scene)
    {
        ui->SliderScene->setValue(scene);
        form->SliderSceneChange();
    }
    static void Press(QWidget *w, QPoint at, Qt::KeyboardModifiers mods = {})
    {
        QTest::mousePress(w, Qt::LeftButton, mods, at);
        QTest::mouseRelease(w, Qt::LeftButton, mods, at);
    }
    static void Drag(QWidget *w, QPoint from, QPoint to)
    {
        QTest::mousePress(w, Qt::LeftButton, {}, from);
        QMouseEvent move(QEvent::MouseMove, QPointF(to), w->mapToGlobal(QPointF(to)), Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(w, &move);
        QTest::mouseRelease(w, Qt::LeftButton, {}, to);
    }
    // A left-button drag as a person makes it: on an X server the pointer itself is moved
    // and pressed (xdotool); offscreen the same press, move and release are delivered.
    static void PointerDrag(QWidget *w, QPoint from, QPoint to)
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb")) {
            Drag(w, from, to);
            return;
        }
        auto xdo = [](QStringList args) {
            ASSERT_EQ(QProcess::execute(QStringLiteral("xdotool"), args), 0) << args.join(u' ').toStdString();
            QTest::qWait(60);
        };
        const QPoint a = w->mapToGlobal(from), b = w->mapToGlobal(to);
        const QPoint mid = (a + b) / 2;
        xdo({QStringLiteral("mousemove"), QString::number(a.x()), QString::number(a.y())});
        xdo({QStringLiteral("mousedown"), QStringLiteral("1")});
        xdo({QStringLiteral("mousemove"), QString::number(mid.x()), QString::number(mid.y())});
        xdo({QStringLiteral("mousemove"), QString::number(b.x()), QString::number(b.y())});
        xdo({QStringLiteral("mouseup"), QStringLiteral("1")});
    }
    static void Grab(QWidget *w, const char *name)
    {
        const char *bin = std::getenv("BRTV_BIN_DIR");
        const std::filesystem::path dir = std::filesystem::path(bin ? bin : ".") / "grabs";
        std::filesystem::create_directories(dir);
        w->grab().save(QString::fromStdString((dir / name).string()), "PNG");
    }
};

TEST_F(GraphEditTest, PencilReachesTheOutputRefreshUndoesItAndTheEditorDocksAndCloses)
{
    PatchHeads();
    // Forbidden at access level 2 and without sequences.
    AccessLevel = 2;
    EXPECT_EQ(OpenGraph(), nullptr);
    AccessLevel = 0;

    TGraphEdit *g = OpenGraph();
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->ui->PanelGraph->parentWidget(), ui->CentralPanel);
    EXPECT_TRUE(ui->WorkArea->isHidden());
    EXPECT_TRUE(ToolWindowVisible("GraphEdit"));
    EXPECT_TRUE(g->ui->EditVal->isChecked());
    EXPECT_TRUE(WindowSeams().graphEditOpen());
    form->resize(1024, 740);
    form->show();
    QApplication::processEvents();

    // The Dimmer row chosen, the second scene current, a pencil press at the y for 200.
    g->ui->ZoomIn->click();
    g->ui->ZoomIn->click();
    EXPECT_EQ(ColumnWidth, 16);
    QTest::mousePress(g->ui->Tracks, Qt::LeftButton, {}, QPoint(10, 2 * 14 + 7));
    QTest::mouseRelease(g->ui->Tracks, Qt::LeftButton, {}, QPoint(10, 2 * 14 + 7));
    EXPECT_EQ(ChosenChannel, 2);
    MakeCurrent(1);
    const std::uint8_t before = Level(1, 2);
    ASSERT_NE(before, 200);
    g->ui->Pencil->click();
    ShowModified = 0;
    Press(g->ui->Values, QPoint(ColumnLeft(1) + 1, 255 - 200));
    EXPECT_EQ(Level(1, 2), 200);
    EXPECT_EQ(ShowModified, 1);
    Tick();
    EXPECT_EQ(DmxOutFrame[2], 200);
    Grab(form, "graph-editor-values.png");

    // "Refresh Scene" puts the old level back and makes the block's first scene current.
    Action("Refresh1")->trigger();
    EXPECT_EQ(Level(1, 2), before);
    EXPECT_FALSE(UndoBlockValid);
    EXPECT_EQ(CurScene, 0);
    MakeCurrent(1);
    Tick();
    EXPECT_EQ(DmxOutFrame[2], before);

    // Right of the last scene nothing is written.
    const std::uint8_t last = Level(3, 2);
    Press(g->ui->Values, QPoint(ColumnLeft(4) + 2, 0));
    EXPECT_EQ(Level(3, 2), last);

    // F8 closes the editor and gives the work area back; the editor stays shut meanwhile.
    Action("MultiSeqPlayer")->trigger();
    EXPECT_EQ(GraphEdit, nullptr);
    EXPECT_FALSE(ui->WorkArea->isHidden());
    EXPECT_EQ(OpenGraph(), nullptr);
    Action("MultiSeqPlayer")->trigger();

    // The layout switch closes it too.
    ASSERT_NE(OpenGraph(), nullptr);
    form->SetTransportOnBottom(true);
    EXPECT_EQ(GraphEdit, nullptr);
    form->SetTransportOnBottom(false);

    // Closing the main window closes both editors.
    ASSERT_NE(OpenGraph(), nullptr);
    Action("TrackEdit")->trigger();
    ASSERT_NE(TrackEdit, nullptr);
    platform::QueueAnswers({"No"});
    ShowModified = 0;
    form->close();
    EXPECT_EQ(GraphEdit, nullptr);
    EXPECT_EQ(TrackEdit, nullptr);
}

TEST_F(GraphEditTest, TimeModeAsksOnceForScenesWithoutTimeAndDrawsTimes)
{
    PatchHeads();
    Sequences[0]->scenes[2]->sceneTime = 0;
    TGraphEdit *g = OpenGraph();
    ASSERT_NE(g, nullptr);
    platform::QueueAnswers({"No"});
    g->ui->EditTempo->click();
    EXPECT_TRUE(g->ui->EditVal->isChecked());
    EXPECT_EQ(TimeTrackMode, 0);
    EXPECT_EQ(Sequences[0]->scenes[2]->sceneTime, 0u);
    EXPECT_NE(BoxLog().find("It's not time sequence"), std::string::npos);

    platform::QueueAnswers({"Yes"});
    g->ui->EditTempo->click();
    EXPECT_EQ(TimeTrackMode, 1);
    EXPECT_EQ(Sequences[0]->scenes[2]->sceneTime, 500u);
    EXPECT_EQ(g->ui->ValueLabel->text(), QStringLiteral("Interval/Tempo:"));
    EXPECT_TRUE(g->ui->Panel8->isHidden());
    EXPECT_EQ(g->ui->Times->height(), 37);
    EXPECT_EQ(g->ui->ChartPanel->maximumHeight(), 319);

    // Every time is set now: switching again asks nothing.
    const std::string log = BoxLog();
    g->ui->EditVal->click();
    g->ui->EditTempo->click();
    EXPECT_EQ(BoxLog(), log);

    // A line in time mode from scene 1 at 15 s to scene 4 at the top.
    g->ui->ZoomIn->click();
    g->ui->ZoomIn->click();
    g->ui->ZoomIn->click();
    g->ui->Line->click();
    Drag(g->ui->Values, QPoint(ColumnLeft(0) + 1, 150), QPoint(ColumnLeft(3) + 1, 0));
    EXPECT_EQ(Sequences[0]->scenes[0]->sceneTime, 15000u);
    EXPECT_EQ(Sequences[0]->scenes[3]->sceneTime, 30000u);
    form->resize(1024, 740);
    form->show();
    QApplication::processEvents();
    Grab(form, "graph-editor-times.png");

    g->ui->EditVal->click();
    EXPECT_EQ(g->ui->ChartPanel->maximumHeight(), 275);
    // The fixture list at most half the panel wide.
    g->ui->Splitter1->setSizes({900, 100});
    emit g->ui->Splitter1->splitterMoved(900, 1);
    EXPECT_LE(g->ui->Splitter1->sizes()[0], g->ui->PanelGraph->width() / 2);
    g->ui->EditTempo->click();

    // A new editor opens in the mode the last one left.
    g->CloseButtonClick();
    ASSERT_NE(OpenGraph(), nullptr);
    EXPECT_TRUE(GraphEdit->ui->EditTempo->isChecked());
}

TEST_F(GraphEditTest, BlockDialogRangesAskMeEveryTimeFillAndUndoThroughTheMenu)
{
    PatchHeads(1, 8);
    TGraphEdit *g = OpenGraph();
    ASSERT_NE(g, nullptr);
    form->resize(1024, 740);
    form->show();
    QApplication::processEvents();
    // A selection by the ruler: scenes 2..3, all channels.
    Drag(g->ui->Times, QPoint(ColumnLeft(1) + 1, 5), QPoint(ColumnLeft(2) + 2, 5));
    ASSERT_TRUE(SelectionValid);
    EXPECT_EQ(SelFirstScene, 1);
    EXPECT_EQ(SelLastScene, 2);
    EXPECT_EQ(SelLastChannel, 2);

    // Copy: the ranges are editable within the rules and OK takes them back.
    bool ran = false;
    platform::ActOnNextDialog("CopyPaste", [&](QDialog &d) {
        auto &cp = static_cast<TCopyPaste &>(d);
        ran = true;
        EXPECT_EQ(cp.windowTitle(), QStringLiteral("Copy Track Data"));
        EXPECT_EQ(cp.ui->FromScene->maximum(), 3);
        EXPECT_EQ(cp.ui->ToScene->minimum(), 2);
        EXPECT_EQ(cp.ui->ToScene->maximum(), 8);
        cp.ui->FromTrack->setValue(3);
        EXPECT_EQ(cp.ui->ToTrack->minimum(), 3);
        cp.ui->OKButton->click();
    });
    g->PopupMenu->findChild<QAction *>(QStringLiteral("CopySelected"))->trigger();
    ASSERT_TRUE(ran);
    ASSERT_TRUE(CopyBufferValid);
    EXPECT_EQ(CopyBufferChannels, 1);
    EXPECT_EQ(CopyBufferScenes, 2);

    // Fill over five scenes: "Repeat: 2"; unchecking "Ask me every time" stops the dialog.
    ChosenChannel = 2;
    SelFirstScene = 3, SelLastScene = 7, SelFirstChannel = 2, SelLastChannel = 2;
    SelectionValid = 1;
    ran = false;
    platform::ActOnNextDialog("CopyPaste", [&](QDialog &d) {
        auto &cp = static_cast<TCopyPaste &>(d);
        ran = true;
        EXPECT_EQ(cp.windowTitle(), QStringLiteral("Fill Track From Buffer"));
        EXPECT_EQ(cp.ui->RepeatLabel->text(), QStringLiteral("Repeat: 2"));
        EXPECT_TRUE(cp.ui->FromScene->isReadOnly());
        cp.ui->AskCheck->click();
        cp.ui->OKButton->click();
    });
    g->PopupMenu->findChild<QAction *>(QStringLiteral("FillFromBuffer"))->trigger();
    ASSERT_TRUE(ran);
    EXPECT_EQ(AskEveryTime, 0);
    EXPECT_EQ(Level(3, 2), Level(1, 2));
    EXPECT_EQ(Level(6, 2), Level(2, 2));
    EXPECT_EQ(ShowModified, 1);
    // "Refresh Scene" takes the fill back.
    Action("Refresh1")->trigger();
    EXPECT_EQ(Level(3, 2), transport_test::LevelOf(0, 3, 2));

    // A span shorter than the buffer is refused with the message.
    SelFirstScene = SelLastScene = 5;
    SelectionValid = 1;
    g->FillFromBuffer();
    EXPECT_NE(BoxLog().find("Copied buffer larger than selected, use Paste"), std::string::npos);
    // Paste without the dialog now.
    MakeCurrent(7);
    g->PopupMenu->findChild<QAction *>(QStringLiteral("PasteFromBuffer"))->trigger();
    EXPECT_EQ(Level(7, 2), transport_test::LevelOf(0, 1, 2));
    ASSERT_TRUE(UndoBlockValid);

    // An opened show has other fixtures and sequences: the old block is not written.
    const std::string path = (root / "other.d1k").string();
    ASSERT_TRUE(WriteShowFile(path));
    ShowModified = 0;
    ASSERT_TRUE(form->OpenNamedShow(path));
    EXPECT_FALSE(UndoBlockValid);
    const std::uint8_t opened = Level(7, 2);
    Action("Refresh1")->trigger();
    EXPECT_EQ(Level(7, 2), opened);
}

// The channel rows' select drag: along one row it selects that channel over the scenes it
// crossed, straight down those channels at one scene; a click clears. The block menu
// follows the selection.
TEST_F(GraphEditTest, SelectDragAlongOneRowOrStraightDownSelectsAndAClickClears)
{
    PatchHeads(1, 8);
    TGraphEdit *g = OpenGraph();
    ASSERT_NE(g, nullptr);
    form->resize(1024, 740);
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form));
    QWidget *rows = g->ui->Tracks;
    auto row = [](int channel) { return channel * 14 + 7; };
    auto menu = [g] {
        emit g->findChild<QMenu *>(QStringLiteral("PopupMenu"))->aboutToShow();
        return std::pair{g->findChild<QAction *>(QStringLiteral("CopySelected"))->isEnabled(),
                         g->findChild<QAction *>(QStringLiteral("ClearSelected"))->isEnabled()};
    };

    // Along the tilt row from scene 2 to scene 6.
    PointerDrag(rows, QPoint(ColumnLeft(1) + 1, row(1)), QPoint(ColumnLeft(5) + 1, row(1)));
    ASSERT_TRUE(SelectionValid);
    EXPECT_EQ(SelFirstChannel, 1);
    EXPECT_EQ(SelLastChannel, 1);
    EXPECT_EQ(SelFirstScene, 1);
    EXPECT_EQ(SelLastScene, 5);
    EXPECT_EQ(CurScene, 1);
    EXPECT_EQ(menu(), std::pair(true, true));
    Grab(form, "graph-select-along-row.png");

    // "Clear selected" clears exactly that block.
    AskEveryTime = 0;
    g->findChild<QAction *>(QStringLiteral("ClearSelected"))->trigger();
    for (int s = 0; s < 8; ++s) {
        EXPECT_EQ(Level(s, 1) == 0, s >= 1 && s <= 5) << s;
        EXPECT_NE(Level(s, 0), 0) << s;
    }
    EXPECT_FALSE(SelectionValid);

    // A click on a row clears a selection and selects nothing.
    PointerDrag(rows, QPoint(ColumnLeft(1) + 1, row(0)), QPoint(ColumnLeft(3) + 1, row(0)));
    ASSERT_TRUE(SelectionValid);
    PointerDrag(rows, QPoint(ColumnLeft(4) + 1, row(1)), QPoint(ColumnLeft(4) + 1, row(1)));
    EXPECT_FALSE(SelectionValid);
    EXPECT_EQ(menu(), std::pair(false, false));

    // Straight down from the dimmer to the pan row at scene 4: the lower channel is chosen.
    PointerDrag(rows, QPoint(ColumnLeft(3) + 1, row(2)), QPoint(ColumnLeft(3) + 1, row(0)));
    ASSERT_TRUE(SelectionValid);
    EXPECT_EQ(SelFirstChannel, 0);
    EXPECT_EQ(SelLastChannel, 2);
    EXPECT_EQ(SelFirstScene, 3);
    EXPECT_EQ(SelLastScene, 3);
    EXPECT_EQ(ChosenChannel, 0);
    EXPECT_EQ(CurScene, 3);
    EXPECT_EQ(menu(), std::pair(true, true));
    Grab(form, "graph-select-down.png");
}

TEST_F(GraphEditTest, GeneratorPanelWaveFanAndMarker)
{
    PatchHeads(3, 4);
    TGraphEdit *g = OpenGraph();
    ASSERT_NE(g, nullptr);
    form->resize(1024, 740);
    form->show();
    QApplication::processEvents();
    EXPECT_EQ(g->Amplitude->Position(), 128);
    EXPECT_EQ(g->Offset->Position(), 128);
    EXPECT_EQ(g->Shift->Position(), 90);
    // First at (500, 6) of the chart side, held inside it on a narrow window.
    EXPECT_EQ(g->ui->Panel8->y(), 6);
    EXPECT_EQ(g->ui->Panel8->x(), std::min(500, g->ui->ChartSide->width() - g->ui->Panel8->width()));
    EXPECT_EQ(g->ui->Panel8->height(), 19);
    g->ui->SpeedButton1->click();
    EXPECT_EQ(g->ui->Panel8->height(), 310);
    EXPECT_TRUE(g->ui->ChartSide->rect().contains(g->ui->Panel8->geometry()));
    // Dragged by its title: never above or left of the panel.
    Drag(g->ui->Panel8Title, QPoint(20, 5), QPoint(-900, -900));
    EXPECT_EQ(g->ui->Panel8->pos(), QPoint(0, 0));

    // "Squ" shows its Duration slider with caption and value, the others hide all three.
    auto durationShown = [g] {
        QWidget *host = g->Factor->parentWidget();
        const auto *caption = host->findChild<QLabel *>(QStringLiteral("FactorCaption"));
        const auto *value = host->findChild<QLabel *>(QStringLiteral("FactorValue"));
        return std::tuple{g->Factor->isVisible(), caption && caption->isVisible() && !caption->text().isEmpty(),
                          value && value->isVisible() && value->text() == QString::number(g->Factor->Position())};
    };
    g->ui->Squ->click();
    EXPECT_EQ(durationShown(), std::tuple(true, true, true));
    Grab(g->ui->Panel8, "graph-wave-square.png");
    g->ui->Sin->click();
    EXPECT_EQ(durationShown(), std::tuple(false, false, false));

    // The wave into the dimmer of the selected head.
    ChosenChannel = 2;
    g->ui->Group->setChecked(false);
    g->ui->Apply->click();
    EXPECT_EQ(Level(1, 2), 192);
    EXPECT_EQ(Level(3, 2), 64);

    // The fan needs linked pan and tilt on two members at least.
    g->ui->PageControl1->setCurrentIndex(1);
    g->ui->ApplFan->click();
    EXPECT_EQ(g->ui->FanMessage->text(), QStringLiteral("No fixtures in Master group or < 2"));
    for (int f = 0; f < 3; ++f)
        Fixtures[f].states[0] = Fixtures[f].states[1] = 2;
    for (int f = 0; f < 3; ++f)
        Fixtures[f].values[0] = 128;
    g->AmpFan->SetPosition(30);
    g->FanModify(true);
    EXPECT_EQ(Fixtures[0].values[0], 108);
    EXPECT_EQ(Fixtures[2].values[0], 148);
    EXPECT_EQ(g->AmpFan->Position(), 0);
    Playing = 1;
    g->AmpFan->SetPosition(40);
    emit g->AmpFan->OnChange(g->AmpFan);
    EXPECT_EQ(g->AmpFan->Position(), 0);
    EXPECT_EQ(g->ui->FanMessage->text(), QStringLiteral("Can't use in Play mode"));
    Playing = 0;
    g->ui->PageControl1->setCurrentIndex(0);

    // The marker follows the current scene and scrolls to one out of view.
    MakeCurrent(3);
    g->MarkerPaint();
    EXPECT_EQ(g->MarkerScene(), 3);
    ColumnWidth = 64;
    FirstVisibleScene = 0;
    g->FormAssignment();
    g->ui->Values->resize(42 + 64 * 2, g->ui->Values->height());
    g->ui->Times->resize(42 + 64 * 2, g->ui->Times->height());
    g->MarkerPaint();
    EXPECT_EQ(FirstVisibleScene, 3);
}

TEST_F(GraphEditTest, TrackEditorCircleRestoreSetUpAndSequenceFollow)
{
    PatchHeads(2, 4);
    Action("TrackEdit")->trigger();
    TTrackEdit *t = TrackEdit;
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->objectName(), QStringLiteral("TrackEdit"));
    EXPECT_TRUE(t->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(t->isVisible());
    EXPECT_EQ(TrackMode, 1);
    EXPECT_TRUE(t->ui->PencilButton->isVisible());
    EXPECT_TRUE(t->ui->Group->isHidden());

    const std::uint8_t pan0 = Level(0, 0), tilt0 = Level(0, 1);
    t->ui->CircleTool->click();
    t->ui->CircleSize->setValue(100);
    t->ui->CircleApply->click();
    EXPECT_EQ(Level(0, 0), 127);
    EXPECT_EQ(Level(0, 1), 0);
    EXPECT_TRUE(t->RestoreEnabled());
    Grab(t, "track-editor-circle.png");
    // The Line page's text reads whole in the narrow side panel.
    t->ui->LineTool->click();
    QApplication::processEvents();
    const QLabel *line = t->ui->LineLabel;
    const QRect room = line->contentsRect();
    const int wrap = line->wordWrap() ? Qt::TextWordWrap : 0;
    EXPECT_TRUE(room.contains(line->fontMetrics().boundingRect(room, wrap, line->text())))
        << room.width() << "x" << room.height();
    Grab(t, "track-editor-line.png");
    t->ui->CircleTool->click();
    // Another scene made current in the main window keeps the edit of this one.
    MakeCurrent(1);
    EXPECT_EQ(Level(0, 0), 127);
    EXPECT_EQ(Level(0, 1), 0);
    MakeCurrent(0);
    t->ui->Restore->click();
    EXPECT_EQ(Level(0, 0), pan0);
    EXPECT_EQ(Level(0, 1), tilt0);
    EXPECT_FALSE(t->RestoreEnabled());

    // Linked pan and tilt under master linking: "Group" offered; a group generator
    // cannot be restored.
    form->DevT1Click(1, 1);
    form->DevT1Click(0, 1);
    ASSERT_EQ(Fixtures[0].states[0], 2);
    ASSERT_EQ(Fixtures[1].states[1], 2);
    t->FormActivate();
    EXPECT_FALSE(t->ui->Group->isHidden());
    t->ui->Group->setChecked(true);
    t->ui->CircleApply->click();
    EXPECT_FALSE(t->RestoreEnabled());
    EXPECT_EQ(Level(0, 3 + 1), 0);      // the second head too

    // A new scene: the visible range follows the sequence.
    form->NewSceneClick();
    EXPECT_EQ(Sequences[0]->sceneCount, 5);
    EXPECT_EQ(t->ui->To->maximum(), 5);

    // Pencil mode ends on deactivation; no pencil while playing.
    t->ui->PencilButton->click();
    EXPECT_TRUE(PencilOn);
    EXPECT_FALSE(t->ui->DevList->isEnabled());
    t->FormDeactivate();
    EXPECT_FALSE(PencilOn);
    EXPECT_TRUE(t->ui->DevList->isEnabled());
    Playing = 1;
    t->FormActivate();
    EXPECT_TRUE(t->ui->PencilButton->isHidden());
    Playing = 0;

    // Without a current sequence the editor hides and closes.
    CurSequence = -1;
    t->FormActivate();
    EXPECT_EQ(TrackEdit, nullptr);

    // "OK" after a change: the Monitor page is painted again with the fixtures' values.
    CurSequence = 0;
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form));
    Action("TrackEdit")->trigger();
    t = TrackEdit;
    ASSERT_NE(t, nullptr);
    t->ui->Group->setChecked(false);
    t->ui->CircleSize->setValue(40);
    t->ui->CircleApply->click();
    QApplication::processEvents();
    struct PaintCount : QObject {
        int paints = 0;
        bool eventFilter(QObject *, QEvent *e) override
        {
            paints += e->type() == QEvent::Paint;
            return false;
        }
    } monitor;
    form->PaintPanelLeft->installEventFilter(&monitor);
    t->ui->OKButton->click();
    QApplication::processEvents();
    EXPECT_EQ(TrackEdit, nullptr);
    EXPECT_GT(monitor.paints, 0);
    EXPECT_EQ(Fixtures[0].values[0], Level(0, 0));
    EXPECT_EQ(Fixtures[0].values[1], Level(0, 1));
    form->PaintPanelLeft->removeEventFilter(&monitor);
}

} // namespace

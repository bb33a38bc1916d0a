// The main window as the program makes it, on small screens: it fits 1024x768 and 800x600
// with every control inside it, opens inside the screen, keeps the panel widths of the
// settings; the titles; tool windows cascade inside the screen; a termination signal closes
// the program through the main window's close even while a modal tool window is open.
#include "ui_MainForm.h"
#include "transport/ProgramWindowTest.h"

#include "app/TWrapBoxLayout.h"
#include "app/ToolWindows.h"
#include "editors/TMakeScenes.h"
#include "editors/TPMScene.h"
#include "editors/TPosMem.h"
#include "editors/TSeqName.h"
#include "editors/TSeqStCopF.h"
#include "editors/TGraphEdit.h"
#include "editors/TTrackEdit.h"
#include "ui_GraphEdit.h"
#include "ui_TrackEdit.h"

#include <QAbstractScrollArea>

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QScreen>
#include <QSplitter>
#include <QTest>

#include <cstdlib>
#include <filesystem>

namespace {

class MainWindowFitTest : public ProgramWindowTest {
protected:
    void ShowAt(const QSize &size)
    {
        // Shown first: it opens within the screen of the test, then takes the size asked.
        if (!form->isVisible()) {
            form->show();
            QApplication::processEvents();
        }
        form->resize(size);
        QApplication::processEvents();
    }
    // Every visible control of `parent` (recursively, windows excluded) with its rectangle
    // in the main window's coordinates.
    std::vector<std::pair<QWidget *, QRect>> Controls(QWidget *parent)
    {
        std::vector<std::pair<QWidget *, QRect>> out;
        for (QWidget *w : parent->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
            if (w->isWindow() || !w->isVisible())
                continue;
            out.emplace_back(w, QRect(w->mapTo(form, QPoint(0, 0)), w->size()));
        }
        return out;
    }
    // Each control inside `inside`, none over another.
    static void ExpectInsideAndApart(const std::vector<std::pair<QWidget *, QRect>> &controls, const QRect &inside)
    {
        for (std::size_t i = 0; i < controls.size(); ++i) {
            const auto &[w, r] = controls[i];
            EXPECT_TRUE(inside.contains(r)) << w->objectName().toStdString();
            for (std::size_t j = i + 1; j < controls.size(); ++j)
                EXPECT_FALSE(r.intersects(controls[j].second))
                    << w->objectName().toStdString() << " / " << controls[j].first->objectName().toStdString();
        }
    }
    // A grab of the window, kept beside the test programs for a look.
    void Grab(const char *name)
    {
        const char *bin = std::getenv("BRTV_BIN_DIR");
        const std::filesystem::path dir = std::filesystem::path(bin ? bin : ".") / "grabs";
        std::filesystem::create_directories(dir);
        EXPECT_TRUE(form->grab().save(QString::fromStdString((dir / name).string()), "PNG"));
    }
};

TEST_F(MainWindowFitTest, EveryControlIsInsideTheWindowAt1024x768And800x600)
{
    // What the window needs at least fits the smallest screen the program works on.
    EXPECT_LE(form->minimumSizeHint().width(), 800);
    EXPECT_LE(form->minimumSizeHint().height(), 600);

    const struct {
        QSize size;
        const char *grab;
        int maxTransportRows;
    } screens[] = {{{1024, 768}, "main-1024x768.png", 2}, {{800, 600}, "main-800x600.png", 3}};
    for (const auto &s : screens) {
        SCOPED_TRACE(s.grab);
        ShowAt(s.size);
        ASSERT_EQ(form->size(), s.size);
        const QRect inside = form->rect();

        // The transport bar: every control inside the window, none over another.
        // The single player's controls sit in their own group on the bar.
        const auto transport = Controls(ui->TransportControl);
        const auto player = Controls(ui->SPlayer);
        ASSERT_GT(transport.size() + player.size(), 30u);
        for (const auto &[w, r] : player)
            EXPECT_TRUE(inside.contains(r)) << w->objectName().toStdString();
        ExpectInsideAndApart(transport, inside);
        auto *wrap = dynamic_cast<TWrapBoxLayout *>(ui->TransportLayout);
        ASSERT_NE(wrap, nullptr);
        EXPECT_LE(wrap->RowsForWidth(ui->TransportControl->width()), s.maxTransportRows);

        // The scene group with all its controls, the page buttons, the panels.
        for (QWidget *group : std::initializer_list<QWidget *>{ui->SceneGroupBox, ui->SequenceGroupBox, ui->ScenesGroupBox})
            for (const auto &[w, r] : Controls(group)) {
                EXPECT_TRUE(inside.contains(r)) << w->objectName().toStdString();
                if (qobject_cast<QAbstractButton *>(w)) {
                    EXPECT_GE(w->width(), w->minimumSizeHint().width() - 12) << w->objectName().toStdString();
                }
            }
        for (QWidget *w : std::initializer_list<QWidget *>{ui->Panel2, ui->SliderPanel, ui->MasterPanel, ui->SceneGroupBox}) {
            const QRect r(w->mapTo(form, QPoint(0, 0)), w->size());
            EXPECT_TRUE(inside.contains(r)) << w->objectName().toStdString();
            EXPECT_GE(w->width(), w->minimumWidth());
        }
        if (QWidget *pages = form->findChild<QWidget *>(QStringLiteral("PageButtons"))) {
            EXPECT_TRUE(inside.contains(QRect(pages->mapTo(form, QPoint(0, 0)), pages->size())));
        }
        // The work area takes the height the bar leaves.
        EXPECT_GT(ui->WorkArea->height(), s.size.height() / 2);
        Grab(s.grab);
    }
}

// F8 docks the multi-sequence player into the transport bar: the window still fits
// 1024x768 with every control of the bar, the player's included, inside it.
TEST_F(MainWindowFitTest, DockedMultiSequencePlayerFits1024x768)
{
    QAction *player = form->findChild<QAction *>(QStringLiteral("MultiSeqPlayer"));
    ASSERT_NE(player, nullptr);
    transport_test::AddSequence(2);
    form->FillSequenceBox();
    EXPECT_EQ(player->shortcut(), QKeySequence(Qt::Key_F8));
    player->trigger();
    QWidget *panel = ui->TransportControl->findChild<QWidget *>(QStringLiteral("MSPanel"));
    ASSERT_NE(panel, nullptr) << "docked into the transport bar";
    ShowAt({1024, 768});
    ASSERT_EQ(form->size(), QSize(1024, 768));
    EXPECT_LE(form->minimumSizeHint().width(), 1024);
    EXPECT_LE(form->minimumSizeHint().height(), 768);
    EXPECT_TRUE(panel->isVisible());

    const QRect inside = form->rect();
    const auto transport = Controls(ui->TransportControl);
    ExpectInsideAndApart(transport, inside);
    for (const auto &[w, r] : Controls(panel))
        EXPECT_TRUE(inside.contains(r)) << w->objectName().toStdString();
    EXPECT_GT(ui->WorkArea->height(), 768 / 3);
    Grab("main-docked-1024x768.png");
}

TEST_F(MainWindowFitTest, WindowOpensInsideTheAvailableArea)
{
    const QRect area = form->screen()->availableGeometry();
    EXPECT_TRUE(area.contains(form->frameGeometry())) << "as the program starts";
    form->resize(area.width() + 400, area.height() + 300);
    form->move(area.right() - 100, area.bottom() - 50);
    form->FitToScreen();
    EXPECT_TRUE(area.contains(form->frameGeometry())) << form->frameGeometry().x() << "," << form->frameGeometry().y();
    EXPECT_LE(form->width(), area.width());
    EXPECT_LE(form->height(), area.height());
}

TEST_F(MainWindowFitTest, PanelWidthsFromTheSettingsHoldOnScreenAndComeBack)
{
    // Widths that fit beside the fixture area on the test's screen.
    const int scene = ui->SceneGroupBox->minimumWidth() + 10;
    form->SetMasterPanelWidth(140);
    form->SetSliderPanelWidth(64);
    form->SetSceneGroupWidth(scene);
    EXPECT_EQ(form->MasterPanelWidth(), 140) << "kept while the window is not shown";
    form->show();
    QApplication::processEvents();
    EXPECT_EQ(form->MasterPanelWidth(), 140);
    EXPECT_EQ(form->SliderPanelWidth(), 64);
    EXPECT_EQ(form->SceneGroupWidth(), scene);
    EXPECT_EQ(ui->MasterPanel->width(), 140);
    // Narrower than the scene group's buttons need is not kept.
    form->SetSceneGroupWidth(40);
    EXPECT_EQ(form->SceneGroupWidth(), ui->SceneGroupBox->minimumWidth());

    // A drag of the splitter is what the settings get; hiding keeps it.
    QList<int> sizes = form->WorkSplitter->sizes();
    const int master = form->WorkSplitter->indexOf(ui->MasterPanel);
    sizes[master] -= 20;
    sizes[0] += 20;
    form->WorkSplitter->setSizes(sizes);
    EXPECT_EQ(form->MasterPanelWidth(), 120);
    form->hide();
    EXPECT_EQ(form->MasterPanelWidth(), 120);
    form->show();
    QApplication::processEvents();
    EXPECT_EQ(ui->MasterPanel->width(), 120);
}

TEST(WrapBoxLayoutTest, ItemsWrapInOrderAndStayQueryableAsABox)
{
    QWidget host;
    auto *box = new QHBoxLayout(&host);
    box->setContentsMargins(2, 3, 4, 5);
    box->setSpacing(6);
    std::vector<QLabel *> labels;
    for (int i = 0; i < 4; ++i) {
        auto *l = new QLabel(&host);
        l->setFixedSize(100, 20 + i);
        box->addWidget(l);
        labels.push_back(l);
    }
    box->addStretch();
    TWrapBoxLayout *wrap = TWrapBoxLayout::Replace(box);
    ASSERT_NE(wrap, nullptr);
    EXPECT_EQ(host.layout(), wrap);
    EXPECT_EQ(wrap->indexOf(labels[2]), 2) << "the items keep their order";
    EXPECT_EQ(wrap->minimumSize(), QSize(100 + 6, 23 + 8));
    EXPECT_EQ(wrap->sizeHint().width(), 4 * 100 + 3 * 6 + 6);

    // 212 wide: two labels a row.
    EXPECT_EQ(wrap->RowsForWidth(212), 2);
    EXPECT_EQ(wrap->heightForWidth(212), 21 + 6 + 23 + 8);
    wrap->setGeometry(QRect(0, 0, 212, wrap->heightForWidth(212)));
    EXPECT_EQ(labels[0]->geometry().topLeft(), QPoint(2, 3));
    EXPECT_EQ(labels[1]->geometry().left(), 108);
    EXPECT_EQ(labels[2]->geometry().topLeft(), QPoint(2, 3 + 21 + 6));
    EXPECT_EQ(wrap->RowsForWidth(2000), 1);
    EXPECT_EQ(wrap->RowsForWidth(50), 4) << "one item a row when even one does not fit";

    // Hidden items take no room; a widget inserted later wraps like the others.
    labels[1]->hide();
    EXPECT_EQ(wrap->RowsForWidth(212), 2);
    auto *late = new QLabel(&host);
    late->setFixedSize(100, 20);
    wrap->insertWidget(0, late);
    EXPECT_EQ(wrap->indexOf(late), 0);
    EXPECT_EQ(wrap->RowsForWidth(318), 2);
}

TEST_F(MainWindowFitTest, TitlesAfterStartUp)
{
    EXPECT_EQ(ApplicationTitle(), QStringLiteral("Brantoval-1024"));
    EXPECT_FALSE(QGuiApplication::applicationDisplayName().contains(QStringLiteral("Start Dialog")));
    // The caption shown is the window's own: the title and the show, each once.
    const QString display = QGuiApplication::applicationDisplayName();
    QString shown = form->windowTitle();
    if (!display.isEmpty() && !shown.endsWith(display))
        shown += QStringLiteral(" \u2014 ") + display;
    EXPECT_EQ(shown.count(QStringLiteral("Brantoval-1024")), 1) << shown.toStdString();
    EXPECT_EQ(shown.count(QStringLiteral("Show1.d1k")), 1) << shown.toStdString();
}

TEST_F(MainWindowFitTest, ToolWindowsCascadeInsideTheScreen)
{
    ShowAt({1024, 768});
    const QRect area = form->screen()->availableGeometry();
    std::vector<QPoint> corners;
    // Windows that stay on top (the play list, the cue list ...) leave the transport bar free.
    const int belowTransport = ui->TransportControl->mapToGlobal(QPoint(0, ui->TransportControl->height())).y();
    int onTop = 0;
    for (const char *name : {"PhisMast", "MultiSeq", "MusicPlayer", "ProgramForm", "CueListF", "MasterGroups"}) {
        const ToolWindowEntry *e = ToolWindows().Find(name);
        ASSERT_TRUE(e && e->window) << name;
        e->window->resize(area.width() + 100, 200);   // wider than the screen
        ShowToolWindow(name, true);
        QApplication::processEvents();
        EXPECT_TRUE(area.contains(e->window->frameGeometry())) << name;
        if (e->window->windowFlags() & Qt::WindowStaysOnTopHint) {
            ++onTop;
            EXPECT_GE(e->window->frameGeometry().top(), belowTransport) << name << " hides the transport bar";
        }
        corners.push_back(e->window->frameGeometry().topLeft());
    }
    for (std::size_t i = 1; i < corners.size(); ++i)
        EXPECT_NE(corners[i], corners[i - 1]) << "not on top of each other";
    EXPECT_GE(onTop, 3);

    // A window placed before it shows keeps its place when inside the screen.
    const ToolWindowEntry *e = ToolWindows().Find("SequencesList");
    ASSERT_TRUE(e && e->window);
    e->window->resize(200, 150);
    e->window->move(area.left() + 300, area.top() + 200);
    const QPoint placed = e->window->pos();
    ShowToolWindow("SequencesList", true);
    EXPECT_EQ(e->window->pos(), placed);
}

TEST_F(MainWindowFitTest, TerminationSignalClosesThroughTheMainWindowWhileAModalToolWindowIsOpen)
{
    ShowAt({1024, 768});
    ShowModified = 1;
    form->DebugButtonClick();   // the debug window runs modal
    const ToolWindowEntry *debug = ToolWindows().Find("DebugForm");
    ASSERT_TRUE(debug && debug->window && debug->window->isVisible());
    ASSERT_EQ(QApplication::activeModalWidget(), debug->window);

    // The save question of the main window's close is asked: Cancel keeps the program.
    platform::QueueAnswers({"Cancel"});
    CloseProgramOnSignal();
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
    EXPECT_FALSE(debug->window->isVisible());
    EXPECT_NE(BoxLog().find("The Show was modified"), std::string::npos) << BoxLog();
    EXPECT_TRUE(form->isVisible()) << "the close was refused";
    EXPECT_EQ(EngineBusy.load(), 0);

    // Without a modal window the signal closes the tool windows with the main window.
    ShowToolWindow("PhisMast", true);
    ASSERT_TRUE(ToolWindowVisible("PhisMast"));
    platform::QueueAnswers({"No"});
    CloseProgramOnSignal();
    QApplication::processEvents();
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(ToolWindowVisible("PhisMast"));
}

// A moving head (Pan, Tilt, Dimmer) at channel 0, selected, and a sequence of 40 scenes.
void AddHeadAndSequence(TMainForm *form)
{
    DeviceTypeEntry t;
    t.fileName = "head.dsp";
    t.deviceName = "Head";
    t.channelCount = 3;
    t.usedMask = 7;
    t.functions[0] = 1;
    t.functions[1] = 2;
    t.functions[2] = 7;
    DeviceTypes.push_back(t);
    DeviceTypeCount = static_cast<std::int32_t>(DeviceTypes.size());
    const int f = transport_test::AddFixtureWith(0, {0, 0, 0});
    Fixtures[static_cast<std::size_t>(f)].deviceType = static_cast<std::int16_t>(DeviceTypeCount - 1);
    Fixtures[static_cast<std::size_t>(f)].userHeader = "Head";
    transport_test::AddSequence(40);
    form->FillSequenceBox();
    form->Select(0);
}

// Every visible control under `w` (not inside scrolled contents) with its rectangle in
// the main window.
void CollectControls(QWidget *w, QWidget *form, std::vector<std::pair<QWidget *, QRect>> &out)
{
    for (QWidget *c : w->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (c->isWindow() || !c->isVisible())
            continue;
        out.emplace_back(c, QRect(c->mapTo(form, QPoint(0, 0)), c->size()));
        if (!qobject_cast<QAbstractScrollArea *>(c))
            CollectControls(c, form, out);
    }
}

TEST_F(MainWindowFitTest, GraphEditorDockedFits1024x768)
{
    AddHeadAndSequence(form);
    ShowAt({1024, 768});
    ASSERT_EQ(form->size(), QSize(1024, 768));
    form->findChild<QAction *>(QStringLiteral("GraphEd"))->trigger();
    ASSERT_NE(GraphEdit, nullptr);
    GraphEdit->ui->EditVal->click();
    GraphEdit->ui->SpeedButton1->click();
    QApplication::processEvents();
    EXPECT_EQ(form->size(), QSize(1024, 768));
    QWidget *panel = GraphEdit->ui->PanelGraph;
    ASSERT_TRUE(panel->isVisible());
    const QRect inside(panel->mapTo(form, QPoint(0, 0)), panel->size());
    EXPECT_TRUE(form->rect().contains(inside));
    std::vector<std::pair<QWidget *, QRect>> controls;
    CollectControls(panel, form, controls);
    EXPECT_GT(controls.size(), 30u);
    for (const auto &[w, r] : controls)
        EXPECT_TRUE(inside.contains(r)) << w->objectName().toStdString();
    // The chart shows its 256 rows and the rows of the three channels below it.
    EXPECT_GE(GraphEdit->ui->ChartScroll->viewport()->height(), 256);
    EXPECT_GE(GraphEdit->ui->TracksScroll->viewport()->height(), 3 * 14);
    Grab("graph-editor-docked-1024x768.png");
}

TEST_F(MainWindowFitTest, TrackEditorFitsTheScreen)
{
    AddHeadAndSequence(form);
    ShowAt({1024, 768});
    form->findChild<QAction *>(QStringLiteral("TrackEdit"))->trigger();
    ASSERT_NE(TrackEdit, nullptr);
    QApplication::processEvents();
    const QRect area = TrackEdit->screen()->availableGeometry();
    EXPECT_EQ(TrackEdit->geometry(), QRect(186, 141, 418, 301));
    EXPECT_TRUE(area.contains(TrackEdit->frameGeometry()));
    TrackEdit->ui->Plus->click();
    TrackEdit->ui->Plus->click();
    QApplication::processEvents();
    EXPECT_EQ(TrackEdit->ui->Field->width(), 1025);
    EXPECT_TRUE(area.contains(TrackEdit->frameGeometry()));
    EXPECT_EQ(TrackEdit->size(), QSize(418, 301));
    for (QWidget *w : TrackEdit->ui->RightPanel->findChildren<QWidget *>())
        if (w->isVisible() && !w->isWindow())
            EXPECT_TRUE(TrackEdit->rect().contains(QRect(w->mapTo(TrackEdit, QPoint(0, 0)), w->size())))
                << w->objectName().toStdString();
}

} // namespace

namespace {

// Every visible direct child of a window lies inside it.
void ExpectChildrenInside(QWidget &w)
{
    const QRect inside = w.rect();
    for (QWidget *c : w.findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        if (!c->isWindow() && c->isVisibleTo(&w))
            EXPECT_TRUE(inside.contains(c->geometry())) << w.objectName().toStdString() << ": "
                                                        << c->objectName().toStdString();
}

} // namespace

TEST_F(MainWindowFitTest, SequenceListAndPositionMemoryFit1024x768)
{
    const QSize screen(1024, 768);
    transport_test::AddSequence(2);
    transport_test::AddSequence(3);
    form->FillSequenceBox();
    QAction *list = form->findChild<QAction *>(QStringLiteral("SeqList1"));
    ASSERT_NE(list, nullptr);
    list->trigger();
    QWidget *sequences = form->findChild<QWidget *>(QStringLiteral("SequencesList"), Qt::FindDirectChildrenOnly);
    if (!sequences)
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->objectName() == QLatin1String("SequencesList"))
                sequences = w;
    ASSERT_NE(sequences, nullptr);
    ASSERT_TRUE(sequences->isVisible());
    EXPECT_LE(sequences->frameGeometry().width(), screen.width());
    EXPECT_LE(sequences->frameGeometry().height(), screen.height());
    QAction *doubleSize = sequences->findChild<QAction *>(QStringLiteral("DoubleSize1"));
    ASSERT_NE(doubleSize, nullptr);
    doubleSize->trigger();
    EXPECT_LE(sequences->frameGeometry().width(), screen.width());
    EXPECT_LE(sequences->frameGeometry().height(), screen.height());
    doubleSize->trigger();

    PositionScenes.assign(1, PositionScene{});
    PositionSceneCount = 1;
    TPosMem posMem;
    TPMScene chooser(1);
    TSeqName name("Sequence Name", "SEQUENCE 3", true, 3);
    TMakeScenes scenes;
    TSeqStCopF range(0);
    for (QDialog *d : std::initializer_list<QDialog *>{&posMem, &chooser, &name, &scenes, &range}) {
        EXPECT_LE(d->width(), screen.width()) << d->objectName().toStdString();
        EXPECT_LE(d->height(), screen.height()) << d->objectName().toStdString();
        ExpectChildrenInside(*d);
    }

    // The docked player with the tempo twins shown.
    form->findChild<QAction *>(QStringLiteral("MultiSeqPlayer"))->trigger();
    form->DUpDownTempo->show();
    form->DTempoButton->show();
    ShowAt(screen);
    ExpectInsideAndApart(Controls(ui->TransportControl), form->rect());
    QWidget *panel = ui->TransportControl->findChild<QWidget *>(QStringLiteral("MSPanel"));
    ASSERT_NE(panel, nullptr);
    for (const auto &[w, r] : Controls(panel))
        EXPECT_TRUE(form->rect().contains(r)) << w->objectName().toStdString();
    Grab("main-tempo-twins-1024x768.png");
}

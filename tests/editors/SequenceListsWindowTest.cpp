// The sequence list, the sequence dialogs and the position memory editor through the
// real main window: commands, dialogs answered as an operator would, the show file, the
// device-sequence file and the output after a tick.
#include "transport/ProgramWindowTest.h"
#include "profiles/ProfileBuilder.h"
#include "fixtures/ShowFileTestSupport.h"

#include "app/FixtureArea.h"
#include "app/OutputEngine.h"
#include "app/PatchLoader.h"
#include "app/SequenceEditing.h"
#include "app/ShowFile.h"
#include "editors/TMakeScenes.h"
#include "editors/TPMScene.h"
#include "editors/TPosMem.h"
#include "editors/TSeqName.h"
#include "editors/TSeqStCopF.h"
#include "editors/TSequencesList.h"
#include "live/TMultiSeq.h"
#include "ui_MainForm.h"
#include "ui_MakeScenes.h"
#include "ui_PMScene.h"
#include "ui_PosMem.h"
#include "ui_SeqName.h"
#include "ui_SeqStCopF.h"

#include "controls/Buttons.h"
#include "controls/Faders.h"
#include "controls/PanTiltPad.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTableWidget>
#include <QDir>
#include <QTest>

#include <cstdlib>
#include <cstring>

namespace {

class SequenceListsWindowTest : public ProgramWindowTest {
protected:
    void SetUp() override
    {
        ProgramWindowTest::SetUp();
        if (HasFatalFailure())
            return;
        ConfirmOptions = 0x1F;
        SequenceFromFile = 0;
        DeviceSequenceType = -1;
        DeviceSequenceSceneCount = 0;
        DeviceSequenceValues.clear();
    }

    // Two moving heads (Pan, Tilt, Focus) at 0 and 16, the first selected.
    void PatchHeads()
    {
        ProfileBuilder head;
        head.header.count = 3;
        head.header.name = "Head";
        head.Channel(0, FnPan);
        head.Channel(1, FnTilt);
        head.Channel(2, FnFocus);
        head.Add<TFieldXY>(ElFieldXY, 4, 4, MakeTag(0, 1));
        head.Add<TSlider>(ElSlider, 150, 4, MakeTag(2));
        std::filesystem::create_directories(root / "bin" / "Devices");
        std::filesystem::copy_file(head.Save("head.dsp"), root / "bin" / "Devices" / "head.dsp",
                                   std::filesystem::copy_options::overwrite_existing);
        LoadDeviceProfiles();
        ASSERT_EQ(DeviceTypeCount, 1);
        PatchFixture(0, 0, "H1");
        PatchFixture(0, 16, "H2");
        BuildChannelMaps();
        BuildFixturePanels();
        form->Select(0);
    }
    // Two sequences of three scenes; scene k of sequence s holds 10 (k + 1) + c + 100 s on channel c.
    void TwoSequences()
    {
        FreeShowTables();
        AddSequence("One", 3);
        AddSequence("Two", 3);
        for (int s = 0; s < 2; ++s)
            for (int k = 0; k < 3; ++k)
                for (int c = 0; c < MaxChannels; ++c)
                    Sequences[static_cast<std::size_t>(s)]->scenes[k]->levels[c] =
                        static_cast<std::uint8_t>(10 * (k + 1) + c + 100 * s);
        form->FillSequenceBox();
    }
    static void MovePad(TPosMem &p, int x, int y)
    {
        p.ui->FieldXY->SetPosition(x, y);
        emit p.ui->FieldXY->OnChange(p.ui->FieldXY);
    }
    static QPoint CellCentre(QTableWidget *grid, int row, int column)
    {
        return grid->visualRect(grid->model()->index(row, column)).center();
    }
    static void Keep(QWidget *w, const char *name)
    {
        if (const char *dir = std::getenv("BRTV_GRAB_DIR"))
            w->grab().save(QString::fromLocal8Bit(dir) + QLatin1Char('/') + QLatin1String(name));
    }
    QAction *Action(const char *name) const { return form->findChild<QAction *>(QString::fromLatin1(name)); }
    SceneRecord &Scene(int s, int k) { return *Sequences[static_cast<std::size_t>(s)]->scenes[k]; }
};

TEST_F(SequenceListsWindowTest, PositionMemoryIsEditedReferencedUpdatedAndKeptWithTheShow)
{
    PatchHeads();
    TwoSequences();
    ASSERT_TRUE(ui->CreatePosMem->isEnabled());

    platform::ActOnNextDialog("PosMem", [](QDialog &d) {
        auto &p = static_cast<TPosMem &>(d);
        EXPECT_EQ(p.windowTitle(), QStringLiteral("Position Memory"));
        EXPECT_TRUE(p.ui->FieldXY->isVisible());
        EXPECT_TRUE(p.ui->FocusSlider->isVisible());
        MovePad(p, 100, 50);
        QTest::mouseClick(p.ui->AddPosition, Qt::LeftButton);
        EXPECT_EQ(p.ui->TabControl->count(), 2);
        EXPECT_EQ(p.Current(), 2);
        MovePad(p, 200, 10);
        Keep(&p, "position-memory.png");
        QTest::mouseClick(p.ui->Close, Qt::LeftButton);
    });
    ui->CreatePosMem->trigger();
    ASSERT_EQ(PositionSceneCount, 2);
    EXPECT_EQ(PositionScenes[0].levels[0], 100);
    EXPECT_EQ(PositionScenes[0].levels[1], 50);
    EXPECT_EQ(PositionScenes[1].levels[0], 200);
    EXPECT_EQ(PositionScenes[1].levels[1], 10);
    EXPECT_EQ(ShowModified, 1);
    // Back from the editor, the output shows the scene again.
    EXPECT_EQ(DmxOutLevels[0], Scene(0, 0).levels[0]);

    ASSERT_TRUE(ui->AssPosRef->isEnabled());
    platform::ActOnNextDialog("PMScene", [](QDialog &d) {
        auto &c = static_cast<TPMScene &>(d);
        EXPECT_EQ(c.ui->Label1->text(), QStringLiteral("Select Number of Position Memory Scene 1-2"));
        c.ui->UpDown1->SetPosition(2);
        QTest::mouseClick(c.ui->OK, Qt::LeftButton);
    });
    ui->AssPosRef->trigger();
    EXPECT_EQ(Scene(0, 0).positionRef, 2);

    const std::uint8_t second[2] = {Scene(0, 1).levels[0], Scene(0, 1).levels[1]};
    platform::ActOnNextDialog("PosMem", [](QDialog &d) {
        auto &p = static_cast<TPosMem &>(d);
        p.ui->TabControl->setCurrentIndex(1);
        EXPECT_EQ(p.ui->FieldXY->GetX(), 200);
        MovePad(p, 30, 40);
        QTest::mouseClick(p.ui->UpdateThis, Qt::LeftButton);
        QTest::mouseClick(p.ui->Close, Qt::LeftButton);
    });
    ui->EditPosMem->trigger();
    EXPECT_EQ(Scene(0, 0).levels[0], 30);
    EXPECT_EQ(Scene(0, 0).levels[1], 40);
    EXPECT_EQ(Scene(0, 1).levels[0], second[0]);
    EXPECT_EQ(Scene(0, 1).levels[1], second[1]);

    const std::string show = (root / "positions.d1k").string();
    platform::QueueAnswers({show});
    ui->SaveShowAs->trigger();
    ASSERT_TRUE(platform::FileExists(show)) << BoxLog();
    ShowModified = 0;
    ui->NewShow->trigger();
    EXPECT_EQ(PositionSceneCount, 0);
    platform::QueueAnswers({show});
    ui->LoadShow->trigger();
    ASSERT_EQ(PositionSceneCount, 2);
    EXPECT_EQ(PositionScenes[1].levels[0], 30);
    EXPECT_EQ(Scene(0, 0).positionRef, 2);
    EXPECT_TRUE(ui->ChangePosRef->isEnabled());
}

// The scene's "PM n" label follows every change of the current scene's position reference
// at once, not only when the scene is stepped.
TEST_F(SequenceListsWindowTest, PositionLabelFollowsAssignChangeAndRemoveAtOnce)
{
    PatchHeads();
    TwoSequences();
    form->resize(1024, 740);
    form->show();
    QApplication::processEvents();
    platform::ActOnNextDialog("PosMem", [](QDialog &d) {
        auto &p = static_cast<TPosMem &>(d);
        QTest::mouseClick(p.ui->AddPosition, Qt::LeftButton);
        QTest::mouseClick(p.ui->Close, Qt::LeftButton);
    });
    ui->CreatePosMem->trigger();
    ASSERT_EQ(PositionSceneCount, 2);
    EXPECT_EQ(ui->PMLabel->text(), QString());
    auto choose = [](int number) {
        platform::ActOnNextDialog("PMScene", [number](QDialog &d) {
            auto &c = static_cast<TPMScene &>(d);
            c.ui->UpDown1->SetPosition(number);
            QTest::mouseClick(c.ui->OK, Qt::LeftButton);
        });
    };

    choose(2);
    ui->AssPosRef->trigger();
    EXPECT_EQ(Scene(0, 0).positionRef, 2);
    EXPECT_EQ(ui->PMLabel->text(), QStringLiteral("PM 2"));
    if (const char *bin = std::getenv("BRTV_BIN_DIR")) {
        QDir().mkpath(QString::fromLocal8Bit(bin) + QStringLiteral("/grabs"));
        form->grab().save(QString::fromLocal8Bit(bin) + QStringLiteral("/grabs/position-label-assigned.png"));
    }
    choose(1);
    ui->ChangePosRef->trigger();
    EXPECT_EQ(ui->PMLabel->text(), QStringLiteral("PM 1"));
    // Another scene without a reference, and back.
    ui->SliderScene->setValue(1);
    form->SliderSceneChange();
    EXPECT_EQ(ui->PMLabel->text(), QString());
    ui->SliderScene->setValue(0);
    form->SliderSceneChange();
    EXPECT_EQ(ui->PMLabel->text(), QStringLiteral("PM 1"));

    ui->RemPosRef->trigger();
    EXPECT_EQ(Scene(0, 0).positionRef, 0);
    EXPECT_EQ(ui->PMLabel->text(), QString());
    EXPECT_FALSE(ui->RemPosRef->isEnabled());

    // Removing the whole position memory takes the label with it.
    choose(2);
    ui->AssPosRef->trigger();
    EXPECT_EQ(ui->PMLabel->text(), QStringLiteral("PM 2"));
    platform::QueueAnswers({"Yes"});
    ui->RemPosMem->trigger();
    EXPECT_EQ(PositionMemoryPresent, 0);
    EXPECT_EQ(ui->PMLabel->text(), QString());
}

TEST_F(SequenceListsWindowTest, FixtureSequenceGoesThroughTheFileIntoAnotherFixtureAndTheOutput)
{
    PatchHeads();
    TwoSequences();
    const std::string path = (root / "head-range").string();
    platform::ActOnNextDialog("SeqStCopF", [&path](QDialog &d) {
        auto &f = static_cast<TSeqStCopF &>(d);
        EXPECT_EQ(f.ui->Label1->text(), QStringLiteral("Copy SEQUENCE state of device"));
        EXPECT_EQ(f.ui->FileButton->text(), QStringLiteral("Save file"));
        f.ui->EditFrom->SetPosition(1);
        f.ui->EditTo->SetPosition(2);
        platform::QueueAnswers({path});
        QTest::mouseClick(f.ui->FileButton, Qt::LeftButton);
        Keep(&f, "device-sequence.png");
        QTest::mouseClick(f.ui->OK, Qt::LeftButton);
    });
    ui->CopyStSeq->trigger();
    const Bytes file = ReadFileBytes(path + ".sqd");
    ASSERT_EQ(file.size(), 1u + 8 + 1 + 2 + 3 * 2);
    EXPECT_EQ(std::string(file.begin() + 1, file.begin() + 9), "head.dsp");
    EXPECT_EQ(DeviceSequenceSceneCount, 2);
    EXPECT_EQ(DeviceSequenceValues, Bytes(file.begin() + 12, file.end()));

    // Another fixture takes it from the file (the clipboard emptied first).
    DeviceSequenceValues.clear();
    DeviceSequenceSceneCount = 0;
    form->Select(1);
    platform::ActOnNextDialog("SeqStCopF", [&path](QDialog &d) {
        auto &f = static_cast<TSeqStCopF &>(d);
        EXPECT_FALSE(f.ui->OK->isEnabled());
        platform::QueueAnswers({path + ".sqd"});
        QTest::mouseClick(f.ui->FileButton, Qt::LeftButton);
        EXPECT_TRUE(f.ui->OK->isEnabled());
        EXPECT_EQ(f.ui->EditTo->Max(), 2);
        f.ui->EditFrom->SetPosition(1);
        QTest::mouseClick(f.ui->OK, Qt::LeftButton);
    });
    ui->PasteStSeq->trigger();
    for (int k = 0; k < 2; ++k)
        for (int j = 0; j < 3; ++j)
            EXPECT_EQ(Scene(0, k).levels[16 + j], Scene(0, k).levels[j]) << k << " " << j;
    EXPECT_NE(Scene(0, 2).levels[16], Scene(0, 2).levels[0]);
    Tick();
    for (int j = 0; j < 3; ++j)
        EXPECT_EQ(DmxOutFrame[16 + j], Scene(0, 0).levels[j]) << j;
}

TEST_F(SequenceListsWindowTest, ListSelectsRenamesMovesAndFillsPlayerSlots)
{
    TwoSequences();
    std::vector<std::pair<int, int>> moved;
    WindowSeams().cueListSequenceMoved = [&moved](int from, int to) { moved.emplace_back(from, to); };

    ui->SeqList1->trigger();
    ASSERT_TRUE(SequencesList->isVisible());
    EXPECT_EQ(SequencesList->windowTitle(), QStringLiteral("Sequences"));
    EXPECT_TRUE(ui->SeqList1->isChecked());
    EXPECT_TRUE(ui->SeqL->isChecked());
    QTableWidget *grid = SequencesList->GridSeq;
    Keep(SequencesList, "sequence-list.png");

    // Sequence 2's number cell makes it current.
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, CellCentre(grid, 2, 0));
    EXPECT_EQ(CurSequence, 1);
    EXPECT_EQ(ui->Sequence->currentIndex(), 1);

    // Its name cell is edited in place.
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, CellCentre(grid, 2, 1));
    grid->edit(grid->model()->index(2, 1));
    auto *edit = grid->findChild<QLineEdit *>(QStringLiteral("InplaceEdit"));
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->text(), QStringLiteral("Two"));
    edit->setText(QStringLiteral("Intro"));
    ShowModified = 0;
    SequencesList->CheckEditing();
    EXPECT_EQ(Sequences[1]->name, "Intro");
    EXPECT_EQ(ui->Sequence->itemText(1), QStringLiteral("Intro"));
    EXPECT_EQ(ShowModified, 1);

    // Sequence 1 dropped on sequence 2; its own cell takes no drop.
    SequencesList->DragSource = 0;
    EXPECT_FALSE(SequencesList->GridSeqDragOver(grid, 1, 1));
    EXPECT_TRUE(SequencesList->GridSeqDragOver(grid, 2, 0));
    SequencesList->GridSeqDragDrop(grid, 2, 0);
    EXPECT_EQ(ui->Sequence->itemText(0), QStringLiteral("Intro"));
    EXPECT_EQ(ui->Sequence->itemText(1), QStringLiteral("One"));
    EXPECT_EQ(CurSequence, 1);
    ASSERT_EQ(moved.size(), 1u);
    EXPECT_EQ(moved[0], std::make_pair(0, 1));

    // The cue face: a slot cell switches the slot on and off, the docked panel follows.
    Action("MultiSeqPlayer")->trigger();
    EXPECT_EQ(SequencesList->windowTitle(), QStringLiteral("Cues"));
    QTableWidget *cues = SequencesList->GridMultiSeq;
    ASSERT_TRUE(cues->isVisible());
    EXPECT_EQ(cues->rowCount(), 3);
    QTest::mouseClick(cues->viewport(), Qt::LeftButton, {}, CellCentre(cues, 1, 2));
    EXPECT_EQ(PlayerSlots[0].active, 1);
    EXPECT_EQ(PlayerSlots[0].sequence, 0);
    EXPECT_EQ(MultiSeq->OnOff[0]->Color(), clWhite);
    Keep(SequencesList, "cue-grid.png");
    QTest::mouseClick(cues->viewport(), Qt::LeftButton, {}, CellCentre(cues, 1, 2));
    EXPECT_EQ(PlayerSlots[0].active, 0);
    EXPECT_NE(MultiSeq->OnOff[0]->Color(), clWhite);
    Action("MultiSeqPlayer")->trigger();
    EXPECT_EQ(SequencesList->windowTitle(), QStringLiteral("Sequences"));

    SequencesList->close();
    EXPECT_FALSE(ui->SeqList1->isChecked());
    EXPECT_FALSE(ui->SeqL->isChecked());

    // A new sequence named in the dialog, with a zero first scene.
    platform::ActOnNextDialog("SeqName", [](QDialog &d) {
        auto &n = static_cast<TSeqName &>(d);
        EXPECT_TRUE(n.ui->RadioGroup1->isVisible());
        EXPECT_TRUE(n.ui->Inherited->isVisible());
        EXPECT_TRUE(n.ui->Inherited->isChecked());
        n.ui->Edit1->setText(QStringLiteral("Finale"));
        n.ui->Zero->setChecked(true);
        QTest::keyClick(n.ui->Edit1, Qt::Key_Return);
    });
    QTest::mouseClick(ui->NewSeq, Qt::LeftButton);
    ASSERT_EQ(SequenceCount, 3);
    EXPECT_EQ(Sequences[2]->name, "Finale");
    ASSERT_EQ(Sequences[2]->sceneCount, 1);
    for (int c = 0; c < MaxChannels; ++c)
        ASSERT_EQ(Scene(2, 0).levels[c], 0) << c;

    // The right button on "New": three scenes at once.
    platform::ActOnNextDialog("MakeScenes", [](QDialog &d) {
        auto &m = static_cast<TMakeScenes &>(d);
        m.ui->UpDown1->SetPosition(3);
        QTest::mouseClick(m.ui->OK, Qt::LeftButton);
    });
    QTest::mousePress(ui->NewScene, Qt::RightButton);
    QTest::mouseRelease(ui->NewScene, Qt::RightButton);
    EXPECT_EQ(Sequences[2]->sceneCount, 4);
}

TEST_F(SequenceListsWindowTest, DialogsCutNamesClampNumbersAndShowOnlyWhatApplies)
{
    TSeqName name("Sequence Name", "SEQUENCE 2", false, 3);
    EXPECT_EQ(name.windowTitle(), QStringLiteral("Brantoval-1024"));
    EXPECT_EQ(name.ui->Label1->text(), QStringLiteral("Sequence Name"));
    EXPECT_TRUE(name.ui->RadioGroup1->isHidden());
    name.ui->Edit1->setText(QString(300, QLatin1Char('x')));
    EXPECT_EQ(name.NameBytes(), std::string(253, 'x'));
    name.ui->Edit1->setText(QStringLiteral("\u20AC"));
    EXPECT_EQ(name.NameBytes(), std::string(1, '\x80'));
    TSeqName first("Sequence Name", "S", true, 1);
    EXPECT_FALSE(first.ui->RadioGroup1->isHidden());
    EXPECT_TRUE(first.ui->Inherited->isHidden());
    EXPECT_EQ(first.Choice(), 1);
    first.ui->Zero->setChecked(true);
    EXPECT_EQ(first.Choice(), 2);
    Keep(&first, "sequence-name.png");
    // Cancel leaves the caller's choice alone.
    platform::QueueAnswers({"Cancel"});
    std::string text = "keep";
    int choice = 3;
    EXPECT_FALSE(WindowSeams().seqNameDialog("Sequence Name", text, true, choice));
    EXPECT_EQ(choice, 3);
    EXPECT_EQ(text, "keep");

    TMakeScenes scenes;
    scenes.ui->UpDown1->Edit()->setText(QStringLiteral("300"));
    EXPECT_EQ(scenes.ui->UpDown1->Edit()->text(), QStringLiteral("256"));
    EXPECT_EQ(scenes.SceneCount(), 256);
    Keep(&scenes, "make-scenes.png");
    platform::ActOnNextDialog("MakeScenes", [](QDialog &d) { static_cast<TMakeScenes &>(d).ui->Cancel->click(); });
    int count = 0;
    EXPECT_FALSE(WindowSeams().makeScenesDialog(count));

    PositionScenes.assign(5, PositionScene{});
    PositionScenes[4].name = "Stage left";
    PositionSceneCount = 5;
    TPMScene chooser(9);
    EXPECT_EQ(chooser.ui->Label1->text(), QStringLiteral("Select Number of Position Memory Scene 1-5"));
    EXPECT_EQ(chooser.ui->UpDown1->Min(), 1);
    EXPECT_EQ(chooser.ui->UpDown1->Max(), 5);
    EXPECT_EQ(chooser.Number(), 5);
    EXPECT_EQ(chooser.ui->NameLabel->text(), QStringLiteral("Stage left"));
    Keep(&chooser, "position-chooser.png");
    platform::QueueAnswers({"Cancel"});
    EXPECT_EQ(WindowSeams().pmSceneChoose(2), -1);
}

TEST_F(SequenceListsWindowTest, PositionEditorOffersOnlyPanTiltFixturesAndItsOwnControls)
{
    ProfileBuilder dim;
    dim.header.count = 2;
    dim.header.name = "Dim";
    dim.Channel(0, FnDimmer);
    dim.Channel(1, FnFocus);
    dim.Add<TSlider>(ElSlider, 4, 4, MakeTag(0));
    ProfileBuilder fine;
    fine.header.count = 4;
    fine.header.name = "Fine";
    fine.Channel(0, FnPan);
    fine.Channel(1, FnTilt);
    fine.Channel(2, FnPanFine);
    fine.Channel(3, FnTiltFine);
    fine.Add<TFieldXY>(ElFieldXY, 4, 4, MakeTag(0, 1));
    std::filesystem::create_directories(root / "bin" / "Devices");
    std::filesystem::copy_file(dim.Save("dim.dsp"), root / "bin" / "Devices" / "dim.dsp");
    std::filesystem::copy_file(fine.Save("fine.dsp"), root / "bin" / "Devices" / "fine.dsp");
    LoadDeviceProfiles();
    const int dimType = DeviceTypes[0].deviceName == "Dim" ? 0 : 1;
    PatchFixture(dimType, 0, "D");
    PatchFixture(1 - dimType, 8, "F");
    BuildChannelMaps();
    BuildFixturePanels();
    form->Select(0);
    TwoSequences();
    PositionScenes.assign(1, PositionScene{});
    PositionSceneCount = 1;
    PositionMemoryPresent = 1;

    TPosMem p;
    ASSERT_EQ(p.ui->DevList->count(), 2);
    EXPECT_EQ(p.ui->DevList->item(0)->background().color(), QColor(0x80, 0x80, 0x80));
    EXPECT_FALSE(p.ui->DevList->item(0)->flags() & Qt::ItemIsSelectable);
    EXPECT_EQ(p.ui->DevList->item(1)->background().color(), QColor(0, 0xFF, 0));
    EXPECT_EQ(p.ui->DevList->currentRow(), 1);
    EXPECT_TRUE(p.ui->FieldXY->M16bit());
    EXPECT_TRUE(p.ui->FocusSlider->isHidden());
    p.ui->FieldXY->SetPosition(12, 34);
    p.ui->FieldXY->SetFineX(56);
    p.ui->FieldXY->SetFineY(78);
    emit p.ui->FieldXY->OnChange(p.ui->FieldXY);
    const std::uint8_t expected[4] = {12, 34, 56, 78};
    for (int j = 0; j < 4; ++j) {
        EXPECT_EQ(PositionScenes[0].levels[8 + j], expected[j]) << j;
        EXPECT_EQ(DmxOutLevels[8 + j], expected[j]) << j;
    }
    EXPECT_EQ(PositionScenes[0].levels[1], 0);
    // "Get Positions" and a removal refused for the last position.
    QTest::mouseClick(p.ui->GetPositions, Qt::LeftButton);
    EXPECT_EQ(PositionScenes[0].levels[8], Scene(0, 0).levels[8]);
    QTest::mouseClick(p.ui->RemovePosition, Qt::LeftButton);
    EXPECT_EQ(PositionSceneCount, 1);
    EXPECT_NE(BoxLog().find("This is the last position"), std::string::npos);
}

TEST_F(SequenceListsWindowTest, ListRefusesWhilePlayingKeysAndDoubleSizeAndCueCells)
{
    TwoSequences();
    for (int i = 0; i < 3; ++i)
        AddSequence("S" + std::to_string(i + 3), 1);
    form->FillSequenceBox();
    ui->SeqList1->trigger();
    TSequencesList *list = SequencesList;
    QTableWidget *grid = list->GridSeq;

    // Rename: cut at 254 bytes; refused while playing.
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, CellCentre(grid, 1, 1));
    grid->edit(grid->model()->index(1, 1));
    auto *edit = grid->findChild<QLineEdit *>(QStringLiteral("InplaceEdit"));
    ASSERT_NE(edit, nullptr);
    edit->setText(QString(300, QLatin1Char('n')));
    list->CheckEditing();
    EXPECT_EQ(Sequences[0]->name, std::string(254, 'n'));
    Playing = 1;
    grid->edit(grid->model()->index(1, 1));
    edit = grid->findChild<QLineEdit *>(QStringLiteral("InplaceEdit"));
    if (edit) {
        edit->setText(QStringLiteral("late"));
        list->CheckEditing();
    }
    EXPECT_EQ(Sequences[0]->name, std::string(254, 'n'));
    list->DragSource = 0;
    list->GridSeqDragDrop(grid, 3, 0);
    EXPECT_EQ(Sequences[0]->name, std::string(254, 'n'));
    Playing = 0;

    // A drop beyond the last sequence moves to the end.
    list->DragSource = 0;
    list->GridSeqDragDrop(grid, -1, -1);
    EXPECT_EQ(Sequences[4]->name, std::string(254, 'n'));
    EXPECT_EQ(CurSequence, 4);

    // Insert and Delete on a number cell.
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, CellCentre(grid, 1, 0));
    ASSERT_EQ(CurSequence, 0);
    platform::QueueAnswers({"OK"});
    QTest::keyClick(grid, Qt::Key_Insert);
    EXPECT_EQ(SequenceCount, 6);
    platform::QueueAnswers({"Yes"});
    QTest::keyClick(grid, Qt::Key_Delete);
    EXPECT_EQ(SequenceCount, 5);

    // Double size doubles rows, columns and the window, and comes back.
    const QSize size = list->size();
    const int width0 = grid->columnWidth(0);
    list->DoubleSize1->trigger();
    EXPECT_TRUE(list->DoubleSize());
    EXPECT_EQ(grid->rowHeight(0), 40);
    EXPECT_EQ(grid->columnWidth(0), 2 * width0);
    EXPECT_EQ(list->size(), size * 2);
    Keep(list, "sequence-list-double.png");
    list->DoubleSize1->trigger();
    EXPECT_EQ(grid->rowHeight(0), 20);
    EXPECT_EQ(list->size(), size);

    // Cue cells: nothing while hidden or for row < 0; the tempo twins follow the number
    // cell of a tempo sequence.
    Action("MultiSeqPlayer")->trigger();
    QTableWidget *cues = list->GridMultiSeq;
    list->RefreshMultiSeqCell(3, -1, 0);
    list->RefreshMultiSeqCell(3, 2, 0);
    EXPECT_EQ(cues->currentRow(), 3);
    EXPECT_EQ(cues->currentColumn(), 5);
    Sequences[1]->modes = 0;
    Sequences[1]->tempo = 96;
    Sequences[2]->modes = 3;
    QTest::mouseClick(cues->viewport(), Qt::LeftButton, {}, CellCentre(cues, 2, 0));
    EXPECT_EQ(CurSequence, 1);
    EXPECT_TRUE(form->DUpDownTempo->isVisibleTo(form));
    EXPECT_EQ(form->DUpDownTempo->value(), 96);
    QTest::mouseClick(cues->viewport(), Qt::LeftButton, {}, CellCentre(cues, 3, 0));
    EXPECT_FALSE(form->DUpDownTempo->isVisibleTo(form));
    EXPECT_FALSE(form->DTempoButton->isVisibleTo(form));
    list->hide();
    const int column = cues->currentColumn();
    list->RefreshMultiSeqCell(9, 0, 0);
    EXPECT_EQ(cues->currentColumn(), column);
    Action("MultiSeqPlayer")->trigger();
}

} // namespace

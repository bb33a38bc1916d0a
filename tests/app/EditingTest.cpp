// The sequence and scene commands of the main window, driven in this process.
#include "transport/ProgramWindowTest.h"

#include "app/OutputEngine.h"
#include "app/SceneFixtures.h"
#include "app/SequenceEditing.h"
#include "app/ShowFile.h"
#include "ui_MainForm.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTimer>

#include <cstring>

using namespace transport_test;

namespace {

class EditingTest : public ProgramWindowTest {
protected:
    void SetUp() override
    {
        ProgramWindowTest::SetUp();
        if (HasFatalFailure())
            return;
        ConfirmOptions = 0x1F;
        SequenceFromFile = 0;
    }

    // `counts` sequences of the given scene counts, shown in the box, the first current.
    void Show(std::initializer_list<int> counts)
    {
        for (int n : counts)
            AddSequence(n);
        AddFixtureWith(0, {0, 0, 0, 0});
        SelectedFixture = 0;
        form->FillSequenceBox();
    }
    std::vector<QString> BoxItems() const
    {
        std::vector<QString> items;
        for (int i = 0; i < ui->Sequence->count(); ++i)
            items.push_back(ui->Sequence->itemText(i));
        return items;
    }
};

} // namespace

TEST_F(EditingTest, StartUpShowFillsTheBoxAndTheAreaHoldsItsControls)
{
    EXPECT_EQ(startupSequences, 1);
    EXPECT_EQ(startupBox, 1);
    for (const char *name : {"NewSeq", "DelSeq", "Sequence", "SeqNum", "NewScene", "DeleteButton", "NextScene",
                             "PrevScene", "SceneNum", "SliderScene", "Scene", "CopyButton", "InsertButton",
                             "ReplaceButton", "SpeedButton5", "Show", "SeqL", "PMLabel"})
        EXPECT_NE(form->findChild<QWidget *>(QString::fromLatin1(name)), nullptr) << name;
    for (int n = 0; n < 32; ++n) {
        QAction *item = form->findChild<QAction *>(QStringLiteral("S%1").arg(n));
        ASSERT_NE(item, nullptr) << n;
        EXPECT_EQ(item->data().toInt(), n);
    }
    EXPECT_EQ(ui->SequencesMenu->title(), QStringLiteral("Sequences"));
    EXPECT_EQ(ui->ScenesMenu->title(), QStringLiteral("Scenes"));

    Show({2, 3});
    form->resize(1024, 720);
    form->show();
    QTest::qWait(20);
    const QString shot = QString::fromStdString((root / "scene-area.png").string());
    ASSERT_TRUE(ui->SceneGroupBox->grab().save(shot));
    if (const char *keep = std::getenv("BRTV_KEEP_SHOTS"))
        ui->SceneGroupBox->grab().save(QString::fromLatin1(keep));
}

TEST_F(EditingTest, NewSequenceGoesAfterTheCurrentOneWithItsFirstScene)
{
    Show({1, 2, 1});
    Sequences[0]->tempo = 90;
    Sequences[0]->commonFade = 400;
    SequenceRecord *second = Sequences[1];
    QString askedText;
    int asked = 0;
    WindowSeams().seqNameDialog = [&](const std::string &label, std::string &text, bool choiceShown, int &choice) {
        ++asked;
        askedText = QString::fromStdString(text);
        EXPECT_EQ(label, "Sequence Name");
        EXPECT_TRUE(choiceShown);
        text = "Intro";
        choice = 2;
        return true;
    };
    int inserted = -1;
    WindowSeams().cueListSequenceInserted = [&](int index) { inserted = index; };
    form->NewSeqClick();
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(askedText, QStringLiteral("SEQUENCE 4"));
    EXPECT_EQ(SequenceCount, 4);
    EXPECT_EQ(CurSequence, 1);
    EXPECT_EQ(Sequences[2], second);
    EXPECT_EQ(inserted, 1);
    SequenceRecord &made = *Sequences[1];
    EXPECT_EQ(made.name, "Intro");
    EXPECT_EQ(made.tempo, 90u);
    EXPECT_EQ(made.commonFade, 400u);
    ASSERT_EQ(made.sceneCount, 1);
    EXPECT_EQ(SceneNameBytes(*made.scenes[0]), "SCENE 1");
    EXPECT_EQ(made.scenes[0]->levels[2], 0);
    EXPECT_EQ(CurScene, 0);
    EXPECT_EQ(ui->Sequence->currentIndex(), 1);
    EXPECT_EQ(BoxItems()[1], QStringLiteral("Intro"));
    EXPECT_EQ(BoxItems()[2], QStringLiteral("SEQUENCE 2"));
    EXPECT_EQ(ui->SeqNum->text(), QStringLiteral("2"));
    EXPECT_EQ(ShowModified, 1);
    EXPECT_EQ(UndoBlockValid, 0);

    // "Inherited" takes the scene that was current before.
    Sequences[1]->scenes[0]->sceneTime = 2500;
    Sequences[1]->scenes[0]->levels[1] = 99;
    Fixtures[0].values[1] = 99;
    WindowSeams().seqNameDialog = [](const std::string &, std::string &, bool, int &choice) {
        choice = 3;
        return true;
    };
    form->NewSeqClick();
    ASSERT_EQ(CurSequence, 2);
    EXPECT_EQ(Sequences[2]->scenes[0]->sceneTime, 2500u);
    EXPECT_EQ(Sequences[2]->scenes[0]->levels[1], 99);
}

TEST_F(EditingTest, FirstSequenceOfAnEmptyShowAndTheSequenceLimit)
{
    form->FillSequenceBox();
    EXPECT_TRUE(ui->Sequence->isHidden());
    form->NewSeqClick();
    ASSERT_EQ(SequenceCount, 1);
    const SequenceRecord &first = *Sequences[0];
    EXPECT_EQ(first.name, "SEQUENCE 1");
    EXPECT_EQ(first.tempo, 120u);
    EXPECT_EQ(first.commonFade, 50u);
    EXPECT_EQ(first.flags, 3);
    EXPECT_EQ(first.modes, 0);
    ASSERT_EQ(first.sceneCount, 1);
    EXPECT_EQ(SceneNameBytes(*first.scenes[0]), "SCENE 1");
    EXPECT_EQ(first.scenes[0]->sceneTime, 500u);
    EXPECT_EQ(first.scenes[0]->fadeTime, 50u);
    EXPECT_FALSE(ui->Sequence->isHidden());

    // The table full of one shared empty record: the 16385th is refused.
    FreeShowTables();
    static SequenceRecord shared;
    for (auto &slot : Sequences)
        slot = &shared;
    SequenceCount = MaxSequences;
    CurSequence = 0;
    ShowModified = 0;
    form->NewSeqClick();
    EXPECT_EQ(SequenceCount, MaxSequences);
    EXPECT_EQ(ShowModified, 0);
    Sequences.fill(nullptr);
    SequenceCount = 0;
    EXPECT_NE(BoxLog().find("|You can't made more than 16384 SEQUENCES in SHOW|"), std::string::npos) << BoxLog();
}

TEST_F(EditingTest, TheThreeSceneLimitTextsStandWhereTheyBelong)
{
    Show({0, 0});
    static SceneRecord scene;
    for (SequenceRecord *seq : {Sequences[0], Sequences[1]}) {
        for (int i = 0; i < MaxScenes; ++i)
            seq->scenes[i] = &scene;
        seq->sceneCount = MaxScenes / 2;
    }
    Sequences[1]->sceneCount = MaxScenes;
    form->SelectSequence(1);
    form->NewSceneClick();
    form->InsertButtonClick();
    Sequences[1]->sceneCount = MaxScenes / 2;
    form->MergeSequences1Click();
    EXPECT_EQ(SequenceCount, 2);
    for (SequenceRecord *seq : {Sequences[0], Sequences[1]}) {
        seq->scenes.Clear();
        seq->sceneCount = 0;
    }
    const std::string boxes = BoxLog();
    const auto made = boxes.find("|You can't made more than 16384 SCENES in SEQUENCE\r\nCreate new SEQUENCE|");
    const auto make = boxes.find("|You can't make more than 16384 SCENES in SEQUENCE\r\nCreate new SEQUENCE|");
    const auto merge = boxes.find("|You can't made more than 16384 SCENES in one SEQUENCE|");
    EXPECT_NE(made, std::string::npos) << boxes;
    EXPECT_NE(make, std::string::npos) << boxes;
    EXPECT_NE(merge, std::string::npos) << boxes;
    EXPECT_LT(made, make);
    EXPECT_LT(make, merge);
}

TEST_F(EditingTest, DeletingScenesAndSequences)
{
    Show({2, 1, 3});
    int deletedIndex = -1;
    WindowSeams().cueListSequenceDeleted = [&](int index) { deletedIndex = index; };

    // "No" keeps a sequence with scenes.
    platform::QueueAnswers({"No"});
    form->DelSeqClick();
    EXPECT_EQ(SequenceCount, 3);
    EXPECT_NE(BoxLog().find("SEQUENCE not empty, remove all SCENES ?"), std::string::npos);

    // Deleting the only scene of sequence 2 deletes the sequence.
    form->SelectSequence(1);
    SequenceRecord *third = Sequences[2];
    platform::QueueAnswers({"Yes"});
    form->DeleteButtonClick();
    EXPECT_NE(BoxLog().find("Delete SCENE, are you sure?"), std::string::npos);
    EXPECT_EQ(SequenceCount, 2);
    EXPECT_EQ(Sequences[1], third);
    EXPECT_EQ(deletedIndex, 1);
    EXPECT_EQ(CurSequence, 1);
    EXPECT_EQ(CurScene, 0);
    EXPECT_EQ(ui->Sequence->count(), 2);
    EXPECT_EQ(ui->SeqNum->text(), QStringLiteral("2"));

    // Deleting the last scene of a sequence steps back; without confirmations no box.
    ConfirmOptions = 0;
    CurScene = 2;
    form->DeleteButtonClick();
    EXPECT_EQ(Sequences[1]->sceneCount, 2);
    EXPECT_EQ(CurScene, 1);

    // The last sequence of the table: the current one moves back; none left hides all.
    form->DelSeqClick();
    EXPECT_EQ(SequenceCount, 1);
    EXPECT_EQ(CurSequence, 0);
    bool closed = false;
    WindowSeams().closeSequenceEditors = [&] { closed = true; };
    form->DelSeqClick();
    EXPECT_EQ(SequenceCount, 0);
    EXPECT_EQ(CurSequence, -1);
    EXPECT_EQ(CurScene, -1);
    EXPECT_TRUE(closed);
    EXPECT_TRUE(ui->Sequence->isHidden());
    EXPECT_TRUE(ui->SceneNum->isHidden());
    // Nothing left to delete: the commands do nothing.
    form->DelSeqClick();
    form->DeleteButtonClick();
    form->NextSceneClick();
    EXPECT_EQ(SequenceCount, 0);
}

// Background play goes on while the operator edits: deleting the last scene of another
// sequence deletes that sequence, and the play stays on the sequence it was playing.
TEST_F(EditingTest, DeletingTheLastSceneDuringBackgroundPlayDeletesTheSequence)
{
    Show({2, 1, 3});
    ConfirmOptions = 0;
    SequenceRecord *played = Sequences[2];
    StartBackgroundPlay(2, 0);
    form->SelectSequence(1);
    ASSERT_EQ(CurSequence, 1);
    form->DeleteButtonClick();
    EXPECT_EQ(SequenceCount, 2);
    EXPECT_EQ(ui->Sequence->count(), 2);
    EXPECT_TRUE(PlayInBackground.load());
    ASSERT_EQ(PlaySequence, 1);
    EXPECT_EQ(Sequences[1], played);
    Tick(2);
    EXPECT_EQ(DmxOutLevels[0], LevelOf(2, PlayScene, 0));

    // A new sequence in front of the played one: the play follows it again.
    form->SelectSequence(0);
    form->NewSeqClick();
    EXPECT_EQ(SequenceCount, 3);
    EXPECT_EQ(Sequences[static_cast<std::size_t>(PlaySequence)], played);

    // Deleting the played sequence itself ends the background play.
    form->SelectSequence(PlaySequence);
    form->DelSeqClick();
    EXPECT_FALSE(PlayInBackground.load());
    EXPECT_EQ(SequenceCount, 2);
}

TEST_F(EditingTest, SplitAndMergeThroughTheWindow)
{
    Show({5, 1});
    form->SplitSequence1Click();   // at scene 0: refused
    EXPECT_EQ(SequenceCount, 2);

    CurScene = 2;
    Fixtures[0].values[0] = 222;   // the operator's edit goes with the scene
    SceneRecord *moving = Sequences[0]->scenes[2];
    form->SplitSequence1Click();
    ASSERT_EQ(SequenceCount, 3);
    EXPECT_EQ(Sequences[0]->sceneCount, 2);
    EXPECT_EQ(Sequences[1]->sceneCount, 3);
    EXPECT_EQ(Sequences[1]->scenes[0], moving);
    EXPECT_EQ(moving->levels[0], 222);
    EXPECT_EQ(Sequences[1]->name, "SEQUENCE 3");
    EXPECT_EQ(CurSequence, 1);
    EXPECT_EQ(CurScene, 0);
    EXPECT_EQ(BoxItems()[1], QStringLiteral("SEQUENCE 3"));

    // Merge of the first is refused; merging the second puts it back.
    form->SelectSequence(0);
    form->MergeSequences1Click();
    EXPECT_EQ(SequenceCount, 3);
    form->SelectSequence(1);
    ui->SliderScene->setValue(1);   // scene 2 of the moved part
    EXPECT_EQ(CurScene, 1);
    form->MergeSequences1Click();
    ASSERT_EQ(SequenceCount, 2);
    EXPECT_EQ(Sequences[0]->sceneCount, 5);
    EXPECT_EQ(Sequences[0]->scenes[2], moving);
    EXPECT_EQ(CurSequence, 0);
    EXPECT_EQ(CurScene, 3);
    EXPECT_EQ(ui->SceneNum->text(), QStringLiteral("4"));
    EXPECT_EQ(ui->Sequence->count(), 2);
}

TEST_F(EditingTest, HotSequencesAndTheSequenceNumber)
{
    Show({1, 2, 1});
    form->findChild<QAction *>(QStringLiteral("S5"))->trigger();
    EXPECT_EQ(CurSequence, 0);
    form->findChild<QAction *>(QStringLiteral("S2"))->trigger();
    EXPECT_EQ(CurSequence, 2);
    EXPECT_EQ(ui->Sequence->currentIndex(), 2);

    // Left button next (wrapping to the first), right button previous (wrapping to the last).
    QTest::mouseClick(ui->SeqNum, Qt::LeftButton);
    EXPECT_EQ(CurSequence, 0);
    QTest::mouseClick(ui->SeqNum, Qt::RightButton);
    EXPECT_EQ(CurSequence, 2);
    EXPECT_EQ(ui->SeqNum->text(), QStringLiteral("3"));

    // With the multi-sequence player running the item switches its slot.
    std::vector<std::string> calls;
    WindowSeams().setMultiSeqSlotOn = [&](int slot, bool on) {
        calls.push_back("on " + std::to_string(slot) + (on ? " 1" : " 0"));
    };
    WindowSeams().setMultiSeqSlotSequence = [&](int slot, int seq) {
        calls.push_back("seq " + std::to_string(slot) + " " + std::to_string(seq));
    };
    WindowSeams().refreshMultiSeqCell = [&](int slot, int row, int previous) {
        calls.push_back("cell " + std::to_string(slot) + " " + std::to_string(row) + " " + std::to_string(previous));
    };
    MultiSeqRunning = 1;
    PlayerSlots[5].active = 1;
    form->S0Click(5);
    PlayerSlots[6].active = 0;
    PlayerSlots[6].sequence = 1;
    form->S0Click(6);
    MultiSeqRunning = 0;
    PlayerSlots[5].active = 0;
    EXPECT_EQ(calls, (std::vector<std::string>{"on 5 0", "cell 5 0 0", "seq 6 1", "on 6 1", "cell 6 1 1"}));
    EXPECT_EQ(CurSequence, 2);
}

TEST_F(EditingTest, SteppingNumberJumpAndSlider)
{
    Show({3});
    Fixtures[0].states[1] = 1;   // manual: stepping still takes the scene's level
    form->NextClick();
    EXPECT_EQ(CurScene, 1);
    EXPECT_EQ(Fixtures[0].values[1], LevelOf(0, 1, 1));
    EXPECT_EQ(DmxOutLevels[0], LevelOf(0, 1, 0));
    form->NextClick();
    form->NextClick();   // after the last comes the first
    EXPECT_EQ(CurScene, 0);
    EXPECT_EQ(ui->SceneNum->text(), QStringLiteral("1"));
    form->PrevSceneClick();
    EXPECT_EQ(CurScene, 2);
    EXPECT_EQ(ui->Scene->text(), QStringLiteral("SCENE 3"));

    ui->SceneNum->setText(QStringLiteral("99"));
    QTest::keyClick(ui->SceneNum, Qt::Key_Return);
    EXPECT_EQ(CurScene, 2);
    ui->SceneNum->setText(QStringLiteral("2"));
    form->SceneNumKeyPress(Qt::Key_A);
    EXPECT_EQ(CurScene, 2);
    form->SceneNumKeyPress(Qt::Key_Return);
    EXPECT_EQ(CurScene, 1);
    EXPECT_EQ(ui->SliderScene->value(), 1);
    ui->SceneNum->setText(QStringLiteral("0"));
    form->SceneNumKeyPress(Qt::Key_Enter);
    EXPECT_EQ(CurScene, 0);

    // Stepping is refused while playing.
    Playing = 1;
    form->NextSceneClick();
    Playing = 0;
    EXPECT_EQ(CurScene, 0);
}

TEST_F(EditingTest, NamesClipboardAndRefresh)
{
    Show({2});
    ui->Scene->clear();
    QTest::keyClicks(ui->Scene, QStringLiteral("ABCDEFGHIJKLMNOPQRST"));
    EXPECT_EQ(SceneNameBytes(*Sequences[0]->scenes[0]), "ABCDEFGHIJKLMN");
    ui->Show->clear();
    QTest::keyClicks(ui->Show, QStringLiteral("abcdefghijklmnopqrst"));
    EXPECT_EQ(std::string(ShowName.data()), "abcdefghijklmno");
    EXPECT_EQ(ShowName[15], '\0');
    EXPECT_EQ(ShowModified, 1);

    // Copy scene 1, replace scene 2 with it: name, times, reference and levels.
    SceneRecord &first = *Sequences[0]->scenes[0];
    first.positionRef = 7;
    first.levels[1000] = 33;
    EXPECT_TRUE(ui->InsertButton->isHidden());
    form->CopyButtonClick();
    EXPECT_FALSE(ui->InsertButton->isHidden());
    EXPECT_FALSE(ui->ReplaceButton->isHidden());
    first.levels[1000] = 1;   // the clipboard holds its own copy
    form->NextClick();
    form->ReplaceButtonClick();
    const SceneRecord &second = *Sequences[0]->scenes[1];
    EXPECT_EQ(SceneNameBytes(second), "ABCDEFGHIJKLMN");
    EXPECT_EQ(second.sceneTime, 1000u);
    EXPECT_EQ(second.fadeTime, 200u);
    EXPECT_EQ(second.positionRef, 7);
    EXPECT_EQ(second.levels[1000], 33);
    EXPECT_EQ(second.levels[2], LevelOf(0, 0, 2));
    EXPECT_EQ(Fixtures[0].values[2], LevelOf(0, 0, 2));
    EXPECT_EQ(ui->Scene->text(), QStringLiteral("ABCDEFGHIJKLMN"));

    // Insert makes a new scene after the current one and replaces only that one.
    form->InsertButtonClick();
    ASSERT_EQ(Sequences[0]->sceneCount, 3);
    EXPECT_EQ(CurScene, 2);
    EXPECT_EQ(Sequences[0]->scenes[2]->levels[1000], 33);
    Playing = 1;
    form->InsertButtonClick();   // no new scene while playing: nothing is replaced
    Playing = 0;
    EXPECT_EQ(Sequences[0]->sceneCount, 3);

    // Refresh drops the fixtures' unsaved edit.
    Fixtures[0].values[0] = 5;
    form->RefreshClick();
    EXPECT_EQ(Fixtures[0].values[0], Sequences[0]->scenes[2]->levels[0]);
    EXPECT_EQ(DmxOutLevels[0], Sequences[0]->scenes[2]->levels[0]);

    // Rename through the dialog; locked at access level 2.
    WindowSeams().seqNameDialog = [](const std::string &label, std::string &text, bool, int &) {
        EXPECT_EQ(label, "Scene Name");
        text = "Finale";
        return true;
    };
    form->RenameScene2Click();
    EXPECT_EQ(SceneNameBytes(*Sequences[0]->scenes[2]), "Finale");
    EXPECT_EQ(ui->Scene->text(), QStringLiteral("Finale"));
    AccessLevel = 2;
    form->NewSceneClick();
    form->DeleteButtonClick();
    form->NewSeqClick();
    AccessLevel = 0;
    EXPECT_EQ(Sequences[0]->sceneCount, 3);
    EXPECT_EQ(SequenceCount, 1);
}

TEST_F(EditingTest, SequenceChangeWhilePlayingCrossFadesToTheFirstScene)
{
    Show({2, 3, 0});
    ui->CrossFadeSeq->SetValue(200);
    ui->DisaSequence->SetDown(false);
    form->DisaSequenceClick();
    form->PlayClick();
    ASSERT_EQ(Playing.load(), 1);
    Tick(3);
    const std::int32_t clockBefore = PlayClock;
    EngineBusy = 0;

    form->SelectSequence(1);
    EXPECT_EQ(PlaySequence, 1);
    EXPECT_EQ(CurSequence, 1);
    EXPECT_EQ(PlayScene, -1);
    EXPECT_EQ(CurScene, -1);
    EXPECT_EQ(CrossFading.load(), 1);
    EXPECT_EQ(PlayClock, clockBefore + 200);
    EXPECT_EQ(NextStepTime, PlayClock + 50);
    EXPECT_EQ(FadeEnd, PlayClock + 50);
    EXPECT_EQ(EngineBusy.load(), 0);
    EXPECT_TRUE(form->TimerFonPlay->isActive());
    EXPECT_EQ(ui->SeqNum->text(), QStringLiteral("2"));
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(CrossFadeTo[i], LevelOf(1, 0, i));
    // The fade runs its course, then the player steps to scene 0 of the new sequence.
    Tick(8);
    EXPECT_EQ(PlayScene, 0);
    EXPECT_EQ(DmxOutLevels[1], LevelOf(1, 0, 1));

    // A nested hold stays held.
    EngineBusy = 1;
    form->SelectSequence(0);
    EXPECT_EQ(EngineBusy.load(), 1);
    EngineBusy = 0;
    form->TimerFonPlay->stop();
    Tick(8);

    // A sequence without scenes: no cross-fade, nothing placed.
    CrossFading = 0;
    const std::uint8_t level = DmxOutLevels[1];
    form->SelectSequence(2);
    EXPECT_EQ(PlaySequence, 2);
    EXPECT_EQ(CrossFading.load(), 0);
    EXPECT_EQ(PlayScene, -1);
    EXPECT_EQ(DmxOutLevels[1], level);
    Tick(3);
    form->StopClick(ui->Stop);
}

TEST_F(EditingTest, BeatSteppedSequencePutsItsFirstSceneInPlaceAtOnce)
{
    Show({1});
    AddSequence(2, SeqFlagCycle, 2);   // step kind 2: beat
    form->FillSequenceBox();
    ChannelOffValues[3] = 0;
    form->PlayClick();
    BlackOutOn = 1;
    form->SelectSequence(1);
    BlackOutOn = 0;
    EXPECT_EQ(DmxOutLevels[0], LevelOf(1, 0, 0));
    EXPECT_EQ(Fixtures[0].values[0], LevelOf(1, 0, 0));
    EXPECT_NE(DmxOutLevels[3], LevelOf(1, 0, 3));   // held by black-out
    form->StopClick(ui->Stop);
}

TEST_F(EditingTest, DisplayTimerMakesTheBoxFollowThePlay)
{
    Show({1, 1});
    form->PlayClick();
    PlaySequence = 1;
    SceneChanged = 1;
    form->TimerFonPlayTimer();
    EXPECT_EQ(CurSequence, 1);
    EXPECT_EQ(ui->Sequence->currentIndex(), 1);
    form->StopClick(ui->Stop);
}

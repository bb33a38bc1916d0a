// The transport bar of the main window, driven in this process with the engine timer
// stopped: ticks are called directly, the display timer is called by hand.
#include "ProgramWindowTest.h"

#include "app/Application.h"
#include "app/MainForm.h"
#include "app/SceneFixtures.h"
#include "app/WindowSeams.h"
#include "ui_MainForm.h"

#include "controls/Buttons.h"
#include "controls/SpeedButton.h"
#include "controls/SpinEdits.h"

#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/Messages.h"
#include "platform/MsgBox.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include "common/ProgramFolder.h"
#include "common/TestFiles.h"

namespace fs = std::filesystem;
using namespace transport_test;

namespace {

std::uint32_t fakeNow = 0;
std::uint32_t FakeClock() { return fakeNow; }

class TransportTest : public ProgramWindowTest {
protected:
    void SetUp() override
    {
        ProgramWindowTest::SetUp();
        if (HasFatalFailure())
            return;
        // The start-up show's first sequence fades; these tests start with the button up.
        ui->UseFade->SetDown(false);
        // The scene area's controls.
        sceneNum = ui->SceneNum;
        slider = ui->SliderScene;
        slider->setRange(0, 100);
        sceneName = ui->Scene;
        newSeq = ui->NewSeq;
    }

    // Sequence 0 with four scenes, scene 2 (index 1) current, one fixture of four
    // normal channels at 0.
    void FourSceneShow(std::uint8_t flags = SeqFlagCycle, std::uint8_t modes = 0, std::uint32_t tempo = 120)
    {
        AddSequence(4, flags, modes, tempo);
        CurSequence = 0;
        CurScene = 1;
        AddFixtureWith(0, {0, 0, 0, 0});
        SelectedFixture = 0;
        SynchMode = static_cast<std::uint8_t>(StepModeOf(modes));
        SceneToFixtures();
    }
    QLineEdit *sceneNum = nullptr, *sceneName = nullptr;
    QSlider *slider = nullptr;
    QPushButton *newSeq = nullptr;
};

} // namespace

TEST_F(TransportTest, TransportBarHoldsEveryControlAndTheOperationMenu)
{
    const char *widgets[] = {"TransportControl", "Play", "Stop", "SynchButton", "CycleButton", "TempoButton",
                             "UseFade", "FadeButton", "ButtonNonSmooth", "BlackOut1", "Favourite", "Tempo",
                             "UpDownTempo", "TimeEditSc", "FadeTime", "FadeTimeLabel", "CrossFadeFavorite",
                             "CrossFadeSeq", "DisaFavorite", "DisaSequence", "Time", "ScTimeLabel", "Label1",
                             "DTempo", "DUpDownTempo", "DTempoButton", "TabHeader", "EnaDMXout", "EnaDMXin",
                             "EmulatorButton", "Protlevel"};
    for (const char *name : widgets)
        EXPECT_NE(form->findChild<QWidget *>(QString::fromLatin1(name)), nullptr) << name;
    EXPECT_NE(form->findChild<QTimer *>(QStringLiteral("TimerFonPlay")), nullptr);
    EXPECT_NE(form->findChild<QMenu *>(QStringLiteral("PlayPopup")), nullptr);
    EXPECT_EQ(form->Tempo->parentWidget(), ui->UpDownTempo);
    EXPECT_EQ(ui->UpDownTempo->minimum(), 2);
    EXPECT_EQ(ui->UpDownTempo->maximum(), 600);
    EXPECT_EQ(ui->UpDownTempo->value(), 120);
    EXPECT_EQ(ui->CrossFadeFavorite->GetValue(), 3000);
    EXPECT_EQ(ui->CrossFadeSeq->GetValue(), 1000);
    EXPECT_TRUE(ui->TransportControl->isAncestorOf(ui->Play));
    EXPECT_TRUE(ui->TransportControl->isAncestorOf(ui->Favourite));
    EXPECT_FALSE(form->DUpDownTempo->isVisibleTo(form));

    EXPECT_EQ(ui->OperationMenu->title(), QStringLiteral("Operation"));
    struct Item {
        QAction *action;
        const char *text;
        const char *key;
    } items[] = {{ui->Play1, "Play/Stop", "F12"},
                 {ui->BlackOut, "Black Out", "F11"},
                 {ui->Favour, "Favorite", "F10"},
                 {ui->PlayBack, "Play In Background", ""},
                 {ui->Record1, "Record", ""},
                 {ui->SynchChange, "Synch Change", ""},
                 {ui->CycleSequence, "Cycle Sequence", ""},
                 {ui->TempoClick1, "Tempo Button Click", ""},
                 {ui->ManualForward, "Manual Forward", ""},
                 {ui->GO, "GO (Play List)", ""}};
    for (const Item &i : items) {
        EXPECT_EQ(i.action->text(), QString::fromLatin1(i.text));
        EXPECT_EQ(i.action->shortcut(), QKeySequence(QString::fromLatin1(i.key))) << i.text;
        // Every item, hidden ones included, belongs to the window so its shortcut fires.
        EXPECT_TRUE(form->actions().contains(i.action)) << i.text;
    }
    EXPECT_FALSE(ui->OperationMenu->actions().contains(ui->ManualForward));
}

TEST_F(TransportTest, PlayFollowsTheEngineOnTheDisplay)
{
    FourSceneShow();
    CurScene = 2;
    SceneToFixtures();
    form->PlayClick();
    EXPECT_EQ(PlaySequence, 0);
    EXPECT_EQ(PlayScene, 1);
    EXPECT_EQ(NextScene, 2);
    EXPECT_EQ(PlayClock, -50);
    EXPECT_EQ(LastTriggerTime, -50);
    EXPECT_EQ(BeatTrigger.load(), 0);
    EXPECT_EQ(ManualTrigger.load(), 0);
    EXPECT_EQ(Playing.load(), 1);
    EXPECT_TRUE(ui->Play->Down());
    EXPECT_FALSE(ui->Stop->Down());
    EXPECT_FALSE(newSeq->isEnabled());
    EXPECT_FALSE(sceneNum->isEnabled());
    EXPECT_FALSE(ui->ShowMenu->menuAction()->isEnabled());
    EXPECT_TRUE(form->TimerFonPlay->isActive());
    EXPECT_EQ(form->TimerFonPlay->interval(), 50);

    Tick();
    EXPECT_EQ(PlayScene, 2);
    EXPECT_EQ(SceneChanged.load(), 1);
    form->TimerFonPlayTimer();
    EXPECT_EQ(CurScene, 2);
    EXPECT_EQ(sceneNum->text(), QStringLiteral("3"));
    EXPECT_EQ(slider->value(), 2);
    EXPECT_EQ(sceneName->text(), QStringLiteral("SCENE 3"));
    EXPECT_EQ(SceneChanged.load(), 0);
    EXPECT_EQ(ui->Time->text(), QStringLiteral("00:00:00:0"));
    // The display takes the played levels into the fixture's values.
    EXPECT_EQ(Fixtures[0].values[1], LevelOf(0, 2, 1));
    EXPECT_EQ(OutputChanged.load(), 0);
    PlayClock = 3661500;
    form->TimerFonPlayTimer();
    EXPECT_EQ(ui->Time->text(), QStringLiteral("01:01:01:5"));

    // While the engine is held off, the clock is shown but no scene is taken.
    SceneChanged = 1;
    PlayScene = 3;
    EngineBusy = 1;
    form->TimerFonPlayTimer();
    EXPECT_EQ(CurScene, 2);
    EngineBusy = 0;

    form->StopClick(ui->Stop);
    EXPECT_EQ(Playing.load(), 0);
    EXPECT_TRUE(ui->Stop->Down());
    EXPECT_FALSE(ui->Play->Down());
    EXPECT_TRUE(ui->Time->text().isEmpty());
    EXPECT_TRUE(newSeq->isEnabled());
    EXPECT_TRUE(ui->ShowMenu->menuAction()->isEnabled());
    EXPECT_FALSE(form->TimerFonPlay->isActive());
}

TEST_F(TransportTest, PlayWithoutSequenceOrSceneStopsAtOnce)
{
    form->PlayClick();
    EXPECT_EQ(Playing.load(), 0);
    EXPECT_TRUE(newSeq->isEnabled());
    EXPECT_TRUE(sceneNum->isEnabled());
    EXPECT_TRUE(slider->isEnabled());
    EXPECT_TRUE(ui->Stop->Down());

    AddSequence(0);
    CurSequence = 0;
    CurScene = -1;
    ui->Play->Click();   // as a mouse click: the button goes down first
    EXPECT_EQ(Playing.load(), 0);
    EXPECT_TRUE(sceneName->isEnabled());
    EXPECT_TRUE(ui->Stop->Down());
    EXPECT_FALSE(ui->Play->Down());
    Tick(3);
    EXPECT_EQ(Playing.load(), 0);
}

TEST_F(TransportTest, TapTempoWithAFakeClock)
{
    FourSceneShow();
    form->ExtSynchSet(0);
    platform::SetMonotonicMsHook(FakeClock);
    fakeNow = 10000;
    form->TapTime = 10000;
    form->TempoButtonClick();
    EXPECT_EQ(ui->UpDownTempo->value(), 120);
    fakeNow += 600;
    form->TempoButtonClick();
    EXPECT_EQ(ui->UpDownTempo->value(), 100);
    EXPECT_EQ(Sequences[0]->tempo, 100u);
    fakeNow += 650;
    form->TempoButtonClick();
    EXPECT_EQ(ui->UpDownTempo->value(), 96);
    EXPECT_EQ(Sequences[0]->tempo, 96u);
    fakeNow += 2000;
    form->TempoButtonClick();
    EXPECT_EQ(ui->UpDownTempo->value(), 96);
    // Very fast taps are clamped by the up-down.
    fakeNow += 50;
    form->TempoButtonClick();
    EXPECT_EQ(ui->UpDownTempo->value(), 600);

    // Manual stepping: the button steps and the tempo stays.
    Sequences[0]->modes = WithStepKind(Sequences[0]->modes, 3);
    form->ExtSynchSet(3);
    EXPECT_TRUE(ui->TempoButton->isEnabled());
    EXPECT_EQ(ui->TempoButton->text(), QStringLiteral("Beat"));
    fakeNow += 500;
    form->TempoButtonClick();
    EXPECT_EQ(ManualTrigger.load(), 1);
    EXPECT_EQ(ui->UpDownTempo->value(), 600);
    EXPECT_EQ(form->TapTime, static_cast<std::int32_t>(fakeNow - 500));
    ManualTrigger = 0;
    form->ManualForwardClick();
    EXPECT_EQ(ManualTrigger.load(), 1);

    form->ExtSynchSet(2);
    EXPECT_FALSE(ui->TempoButton->isEnabled());
    EXPECT_EQ(ui->TempoButton->text(), QStringLiteral("Tempo"));
}

TEST_F(TransportTest, StepKindCycleWritesTheModesAndRetimesARunningPlay)
{
    FourSceneShow(SeqFlagCycle | SeqFlagFade, WithFadeKind(0, 1));
    SequenceRecord &seq = *Sequences[0];
    form->ExtSynchSet(0);
    form->SynchButtonClick();
    EXPECT_EQ(StepModeOf(seq.modes), 1);
    EXPECT_EQ(SynchMode, 1);
    EXPECT_TRUE(ui->TimeEditSc->isVisibleTo(form));
    EXPECT_FALSE(ui->UpDownTempo->isVisibleTo(form));
    EXPECT_EQ(ui->ScTimeLabel->text(), QStringLiteral("Scene Time"));
    EXPECT_EQ(ui->TimeEditSc->GetValue(), 1100);
    EXPECT_FALSE(ui->TempoButton->isEnabled());

    form->SynchButtonClick();   // to beat: fade kind 1 cannot follow a beat
    EXPECT_EQ(StepModeOf(seq.modes), 2);
    EXPECT_EQ(FadeModeOf(seq.modes), 0);
    EXPECT_TRUE(ui->SynchButton->Down());
    EXPECT_TRUE(ui->ScTimeLabel->text().isEmpty());
    EXPECT_EQ(ui->FadeTime->GetValue(), 50);

    form->SynchButtonClick();
    EXPECT_EQ(StepModeOf(seq.modes), 3);
    EXPECT_EQ(SynchMode, 3);

    form->PlayClick();
    ASSERT_EQ(Playing.load(), 1);
    Tick(4);
    EngineBusy = 1;   // an outer bracket: the handler must leave it set
    form->SynchButtonClick();
    EXPECT_EQ(StepModeOf(seq.modes), 0);
    EXPECT_EQ(SynchMode, 0);
    EXPECT_EQ(NextStepTime, PlayClock);
    EXPECT_EQ(EngineBusy.load(), 1);
    EXPECT_FALSE(ui->SynchButton->Down());
    EngineBusy = 0;
    EXPECT_EQ(seq.modes & ~0x3F, 0);

    // Refused while the access level forbids it.
    AccessLevel = 2;
    form->SynchButtonClick();
    EXPECT_EQ(StepModeOf(seq.modes), 0);
}

TEST_F(TransportTest, FadeKindsAndTheFadeTimeShown)
{
    FourSceneShow(SeqFlagCycle, 0, 100);
    SequenceRecord &seq = *Sequences[0];
    ui->UseFade->Click();   // down: fading on
    EXPECT_TRUE(seq.flags & SeqFlagFade);
    EXPECT_TRUE(ui->FadeTime->isVisibleTo(form));
    EXPECT_EQ(ui->FadeTime->GetValue(), 50);
    EXPECT_TRUE(ui->FadeTime->isEnabled());

    form->FadeButtonClick();
    EXPECT_EQ(FadeModeOf(seq.modes), 1);
    EXPECT_EQ(ui->FadeTime->GetValue(), 600);   // 60000 / 100
    EXPECT_FALSE(ui->FadeTime->isEnabled());
    EXPECT_EQ(ui->FadeButton->toolTip(), QStringLiteral("Fade Time = Scene Time"));
    form->FadeButtonClick();
    EXPECT_EQ(FadeModeOf(seq.modes), 2);
    EXPECT_EQ(ui->FadeTime->GetValue(), 250);   // scene 2's own fade time
    EXPECT_EQ(ui->FadeButton->toolTip(), QStringLiteral("Fade Time from Fade Track\nUse V/T Editor for Editing"));
    form->FadeButtonClick();
    EXPECT_EQ(FadeModeOf(seq.modes), 0);
    EXPECT_EQ(ui->FadeButton->toolTip(), QStringLiteral("Common Fade for All Scenes in Sequence"));

    // In beat stepping the order skips fade kind 1.
    seq.modes = WithStepKind(seq.modes, 2);
    form->FadeButtonClick();
    EXPECT_EQ(FadeModeOf(seq.modes), 2);
    form->ExtFadeSet(1);
    EXPECT_EQ(ui->FadeTime->GetValue(), 500);
    seq.modes = WithStepKind(seq.modes, 1);
    form->ExtFadeSet(1);
    EXPECT_EQ(ui->FadeTime->GetValue(), 1100);

    // Typed values below 50 ms are stored as 50.
    seq.modes = WithFadeKind(WithStepKind(seq.modes, 0), 0);
    form->ExtFadeSet(0);
    ui->FadeTime->setText(QStringLiteral("00:03"));
    EXPECT_EQ(seq.commonFade, 50u);
    ui->FadeTime->SetValue(750);
    EXPECT_EQ(seq.commonFade, 750u);
    seq.modes = WithFadeKind(seq.modes, 2);
    ui->FadeTime->SetValue(900);
    EXPECT_EQ(Sequences[0]->scenes[1]->fadeTime, 900u);

    // Fade off hides the fade controls and stores nothing more.
    ui->UseFade->Click();
    EXPECT_FALSE(seq.flags & SeqFlagFade);
    EXPECT_FALSE(ui->FadeTime->isVisibleTo(form));
    ui->FadeTime->SetValue(1500);
    EXPECT_EQ(Sequences[0]->scenes[1]->fadeTime, 900u);

    // A running fade is ended on the next tick when the kind changes.
    ui->UseFade->Click();
    form->PlayClick();
    Tick(2);
    form->FadeButtonClick();
    EXPECT_EQ(FadeEnd, PlayClock + 50);
    EXPECT_EQ(EngineBusy.load(), 0);
}

TEST_F(TransportTest, ShowingAValueDoesNotRewriteItClamped)
{
    FourSceneShow(SeqFlagCycle | SeqFlagFade, 1);
    Sequences[0]->scenes[1]->sceneTime = 45000;   // beyond what the edit holds
    Sequences[0]->commonFade = 40;
    form->ExtSynchSet(1);
    form->ExtFadeSet(0);
    EXPECT_EQ(ui->TimeEditSc->GetValue(), 30000);
    EXPECT_EQ(Sequences[0]->scenes[1]->sceneTime, 45000u);
    EXPECT_EQ(Sequences[0]->commonFade, 40u);
    // An operator's edit is stored.
    ui->TimeEditSc->SetValue(2000);
    EXPECT_EQ(Sequences[0]->scenes[1]->sceneTime, 2000u);
}

TEST_F(TransportTest, CycleButtonTogglesTheFlagUnlessLocked)
{
    FourSceneShow(0);
    ui->CycleButton->Click();
    EXPECT_TRUE(Sequences[0]->flags & SeqFlagCycle);
    EXPECT_TRUE(ui->CycleButton->Down());
    form->CycleButtonClick();   // the menu item
    EXPECT_FALSE(Sequences[0]->flags & SeqFlagCycle);
    EXPECT_FALSE(ui->CycleButton->Down());
    AccessLevel = 2;
    ui->CycleButton->Click();
    EXPECT_FALSE(Sequences[0]->flags & SeqFlagCycle);
    EXPECT_FALSE(ui->CycleButton->Down());
}

TEST_F(TransportTest, BlackOutAndFavouriteExcludeEachOther)
{
    AddSequence(2);
    CurSequence = 0;
    CurScene = 1;
    AddFixtureWith(0, {0, 0, 3, 0});
    for (int j = 0; j < 4; ++j)
        Fixtures[0].values[j] = static_cast<std::uint8_t>(100 + j);
    form->SetDevicesAfterBlackOut();
    DmxOutLevels[2] = 102;   // held by the operator
    ChannelOffValues[0] = 0;
    ChannelOffValues[1] = -1;
    ChannelOffValues[2] = 0;
    ChannelOffValues[3] = 20;
    IgnoreBlackOut = 1;

    form->BlackOutClick();
    EXPECT_TRUE(ui->BlackOut1->Down());
    EXPECT_EQ(BlackOutOn.load(), 1);
    EXPECT_EQ(DmxOutLevels[0], 0);
    EXPECT_EQ(DmxOutLevels[1], 101);
    EXPECT_EQ(DmxOutLevels[2], 102);   // held, ignored by black-out
    EXPECT_EQ(DmxOutLevels[3], 20);
    // The engine keeps the off values while black-out is on.
    Fixtures[0].values[0] = 180;
    form->SetDevices();
    EXPECT_EQ(DmxOutLevels[0], 0);

    form->FavourClick();
    EXPECT_FALSE(ui->BlackOut1->Down());
    EXPECT_EQ(BlackOutOn.load(), 0);
    EXPECT_EQ(FavouriteOn.load(), 1);
    // Not playing: the fixtures' edit is kept in the scene, the favourite (first scene of
    // the first sequence while none is assigned) goes out, held channels stay.
    EXPECT_EQ(Sequences[0]->scenes[1]->levels[0], 180);
    EXPECT_EQ(DmxOutLevels[1], LevelOf(0, 0, 1));
    EXPECT_EQ(DmxOutLevels[2], 102);

    form->BlackOutClick();
    EXPECT_FALSE(ui->Favourite->Down());
    EXPECT_EQ(FavouriteOn.load(), 0);
    EXPECT_EQ(BlackOutOn.load(), 1);
    form->BlackOutClick();
    EXPECT_EQ(BlackOutOn.load(), 0);
    // Leaving black-out resends the fixtures' values.
    EXPECT_EQ(DmxOutLevels[0], 180);
    EXPECT_EQ(DmxOutLevels[3], 103);
}

TEST_F(TransportTest, FavouriteWhilePlayingCrossFadesWithoutResendingFixtures)
{
    FourSceneShow();
    Fixtures[0].states[3] = 2;   // a linked channel: a resend would put it out
    form->PlayClick();
    Tick();
    form->TimerFonPlayTimer();
    DmxOutLevels[3] = 7;
    form->FavourClick();
    EXPECT_EQ(Playing.load(), 0);
    EXPECT_EQ(FavouriteOn.load(), 1);
    EXPECT_EQ(CrossFading.load(), 1);
    EXPECT_EQ(CrossFadeTicks, 60);
    EXPECT_EQ(CrossFadeFrom[3], 7);
    EXPECT_EQ(CrossFadeTo[0], LevelOf(0, 0, 0));
    EXPECT_TRUE(ui->Stop->Down());
    Tick(30);
    EXPECT_EQ(CrossFading.load(), 1);
    Tick(30);
    EXPECT_EQ(CrossFading.load(), 0);
    EXPECT_EQ(DmxOutLevels[0], LevelOf(0, 0, 0));

    // Favourite up, play again, and favourite with the disable button down: one tick.
    form->FavourClick();
    EXPECT_EQ(FavouriteOn.load(), 0);
    ui->DisaFavorite->Click();
    EXPECT_FALSE(ui->CrossFadeFavorite->isEnabled());
    form->PlayClick();
    Tick();
    form->FavourClick();
    EXPECT_EQ(CrossFadeTicks, 1);
    Tick();
    EXPECT_EQ(CrossFading.load(), 0);
    EXPECT_EQ(DmxOutLevels[1], LevelOf(0, 0, 1));
}

TEST_F(TransportTest, AssigningTheFavouriteWithTheRightButton)
{
    FourSceneShow();
    platform::QueueAnswers({"OK"});
    QTest::mouseClick(ui->Favourite, Qt::RightButton);
    EXPECT_EQ(FavouriteAssigned, 1);
    EXPECT_EQ(ui->Favourite->Color(), clLime);
    EXPECT_FALSE(ui->Favourite->Down());
    EXPECT_EQ(FavouriteLevels[5], LevelOf(0, 1, 5));
    EXPECT_NE(BoxLog().find("Brantoval-1024|Now Assigned Scene N2 from Sequence N1 as Favourite|OK"),
              std::string::npos);

    // The assigned favourite is what the favourite then shows.
    CurScene = 3;
    form->FavourClick();
    EXPECT_EQ(DmxOutLevels[1], LevelOf(0, 1, 1));
}

TEST_F(TransportTest, RightButtonsOpenThePlayPopupAndTheHardwareWindow)
{
    FourSceneShow();
    DeviceState = 0;
    form->show();
    QTest::mouseClick(ui->Play, Qt::RightButton);
    EXPECT_TRUE(form->PlayPopup->isVisible());
    EXPECT_EQ(form->PlayPopup->actions(), QList<QAction *>{ui->PlayBack});
    EXPECT_TRUE(ui->PlayBack->isEnabled());
    EXPECT_EQ(Playing.load(), 0);
    form->PlayPopup->hide();
    DeviceState = -1;

    std::string caption;
    WindowSeams().showAudSynch = [&](const std::string &c) { caption = c; };
    QTest::mouseClick(ui->SynchButton, Qt::RightButton);
    EXPECT_EQ(caption, "Synch and Hardware");
    EXPECT_EQ(SynchMode, 0);   // the right button does not step the kind
}

TEST_F(TransportTest, PlayEndsTheFavouriteWithACrossFadeOnlyWhenThereIsASceneToFadeTo)
{
    form->FavourClick();
    EXPECT_EQ(FavouriteOn.load(), 1);
    form->PlayClick();   // no sequence: the favourite just ends
    EXPECT_EQ(FavouriteOn.load(), 0);
    EXPECT_FALSE(ui->Favourite->Down());
    EXPECT_EQ(CrossFading.load(), 0);
    EXPECT_EQ(Playing.load(), 0);

    FourSceneShow();
    form->FavourClick();
    PlayClock = 500;
    form->PlayClick();
    EXPECT_EQ(FavouriteOn.load(), 0);
    EXPECT_EQ(CrossFading.load(), 1);
    EXPECT_EQ(CrossFadeTicks, 20);
    EXPECT_EQ(CrossFadeTo[2], LevelOf(0, 1, 2));
    EXPECT_EQ(EngineBusy.load(), 0);
    EXPECT_EQ(Playing.load(), 1);
    Tick(20);
    EXPECT_EQ(CrossFading.load(), 0);
    Tick();
    EXPECT_EQ(PlayScene, 1);
}

TEST_F(TransportTest, BackgroundPlayNeedsAnOpenDeviceAndAScene)
{
    form->PlayBackClick();
    EXPECT_EQ(PlayInBackground.load(), 0);
    DeviceState = 0;
    form->PlayBackClick();   // no sequence
    EXPECT_EQ(PlayInBackground.load(), 0);
    form->PlayPopupPopup();
    EXPECT_FALSE(ui->PlayBack->isEnabled());

    FourSceneShow();
    DeviceState = -1;
    form->PlayPopupPopup();
    EXPECT_FALSE(ui->PlayBack->isEnabled());
    EXPECT_EQ(form->PlayPopup->actions().size(), 1);
    form->PlayBackClick();
    EXPECT_EQ(PlayInBackground.load(), 0);

    DeviceState = 0;
    form->PlayPopupPopup();
    form->PlayPopupPopup();
    EXPECT_EQ(form->PlayPopup->actions().size(), 1);
    EXPECT_TRUE(ui->PlayBack->isEnabled());
    form->PlayBackClick();
    EXPECT_EQ(PlayInBackground.load(), 1);
    EXPECT_EQ(PlaySequence, 0);
    EXPECT_EQ(PlayScene, 1);
    EXPECT_EQ(form->TimerFonPlay->interval(), 1000);
    EXPECT_EQ(ui->Play->toolTip(), QStringLiteral("Background plays sequence 1"));
    EXPECT_TRUE(ui->Play->Down());
    const std::uint8_t phase = form->BlinkPhase;
    form->TimerFonPlayTimer();
    EXPECT_NE(form->BlinkPhase, phase);
    form->PlayPopupPopup();
    EXPECT_FALSE(ui->PlayBack->isVisible());
    // Play does not start over background play; the toggle stops it.
    form->PlayClick();
    EXPECT_EQ(Playing.load(), 0);
    form->Play1Click();
    EXPECT_EQ(PlayInBackground.load(), 0);
    EXPECT_EQ(ui->Play->toolTip(), QStringLiteral("Play"));
    DeviceState = -1;
}

TEST_F(TransportTest, FunctionKeysToggleTheTransport)
{
    FourSceneShow();
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form));
    QTest::keyClick(form, Qt::Key_F12);
    EXPECT_EQ(Playing.load(), 1);
    QTest::keyClick(form, Qt::Key_F12);
    EXPECT_EQ(Playing.load(), 0);
    QTest::keyClick(form, Qt::Key_F11);
    EXPECT_EQ(BlackOutOn.load(), 1);
    EXPECT_TRUE(ui->BlackOut1->Down());
    QTest::keyClick(form, Qt::Key_F10);
    EXPECT_EQ(FavouriteOn.load(), 1);
    EXPECT_EQ(BlackOutOn.load(), 0);
    QTest::keyClick(form, Qt::Key_F10);
    EXPECT_EQ(FavouriteOn.load(), 0);
    // A hidden item's shortcut fires too.
    ui->ManualForward->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F6));
    QTest::keyClick(form, Qt::Key_F6, Qt::ShiftModifier);
    EXPECT_EQ(ManualTrigger.load(), 1);
}

TEST_F(TransportTest, AStoredTempoOfZeroIsNeverDividedBy)
{
    FourSceneShow(SeqFlagCycle | SeqFlagFade, WithFadeKind(0, 1), 0);
    Sequences[0]->commonFade = 0;
    form->ExtSynchSet(0);
    form->ExtFadeSet(1);
    EXPECT_EQ(ui->FadeTime->GetValue(), 500);
    EXPECT_EQ(Sequences[0]->tempo, 0u);
    form->PlayClick();
    Tick(40);
    form->TimerFonPlayTimer();
    EXPECT_EQ(Playing.load(), 1);
    Sequences[0]->modes = 0;   // common fade of 0: no fade ticks
    Tick(40);
    form->TimerFonPlayTimer();
    form->StopClick();
    EXPECT_EQ(Playing.load(), 0);
}

TEST_F(TransportTest, DisplayTakesOnlyNormalChannelsFromTheOutput)
{
    FourSceneShow();
    Fixtures[0].states[1] = 1;
    Fixtures[0].values[1] = 5;
    form->PlayClick();
    Tick();
    DmxOutLevels[1] = 99;
    OutputChanged = 1;
    form->TimerFonPlayTimer();
    EXPECT_EQ(Fixtures[0].values[0], LevelOf(0, 1, 0));
    EXPECT_EQ(Fixtures[0].values[1], 5);
    EXPECT_EQ(OutputChanged.load(), 0);
    // Stopping takes the scene that was playing into the fixtures.
    form->StopClick();
    EXPECT_EQ(CurScene, 1);
    EXPECT_EQ(Fixtures[0].values[2], LevelOf(0, 1, 2));
}

TEST_F(TransportTest, PlayStopToggleFollowsPlayListAndMultiPlayerSeams)
{
    FourSceneShow();
    int listPlays = 0, listStops = 0, multiPlays = 0, multiStops = 0, checks = 0;
    WindowSeams().sequencesListCheckEditing = [&] { ++checks; };
    WindowSeams().playListPlay = [&] { ++listPlays; };
    WindowSeams().playListStop = [&] { ++listStops; };
    WindowSeams().multiSeqPlay = [&] { ++multiPlays; };
    WindowSeams().multiSeqStop = [&] { ++multiStops; };
    bool listVisible = true, multiChecked = false;
    WindowSeams().playListVisible = [&] { return listVisible; };
    WindowSeams().multiSeqMenuChecked = [&] { return multiChecked; };

    form->Play1Click();
    EXPECT_EQ(listPlays, 1);
    PlayListRunning = 1;
    form->Play1Click();
    EXPECT_EQ(listStops, 1);
    PlayListRunning = 0;
    listVisible = false;
    multiChecked = true;
    form->Play1Click();
    EXPECT_EQ(multiPlays, 1);
    EXPECT_EQ(Playing.load(), 0);
    multiChecked = false;
    form->Play1Click();
    EXPECT_EQ(Playing.load(), 1);
    EXPECT_EQ(checks, 4);
    multiChecked = true;
    form->Play1Click();
    EXPECT_EQ(multiStops, 1);
}

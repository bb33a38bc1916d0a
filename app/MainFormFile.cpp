// The show commands of the main window: New, Open, Save, Save As, the save question and
// the hooks through which the show file reaches the window.
#include "MainForm.h"
#include "ui_MainForm.h"

#include "OwnedHooks.h"

#include "FixtureArea.h"
#include "LevelPipeline.h"
#include "LookSwitch.h"
#include "OutputEngine.h"
#include "PhysicalMasters.h"
#include "PlayControl.h"
#include "PlayState.h"
#include "RecentFiles.h"
#include "SceneFixtures.h"
#include "SequenceEditing.h"
#include "ShowFile.h"
#include "ShowModel.h"
#include "StartupState.h"
#include "ToolWindows.h"
#include "WindowSeams.h"

#include "controls/Buttons.h"
#include "controls/SpinEdits.h"
#include "controls/SpeedButton.h"
#include "visualiser/TVisuf.h"

#include "platform/Files.h"
#include "platform/MsgBox.h"
#include "platform/Settings.h"

#include "controls/OpenPreviewDialog.h"

#include <QAction>
#include <QTimer>

#include <optional>

namespace {
void SetShowCaption(QWidget *w)
{
    w->setWindowTitle(QStringLiteral("Brantoval-1024 - ") + platform::FromBytes(ShowFileName));
}
} // namespace

// The show file reports new recent shows, takes the cross-fade settings from the
// transport's controls and gives them back, and colours the favourite button.
void TMainForm::InstallShowFileHooks()
{
    ShowFileHooks &events = ShowFileEvents();
    InstallHook(this, events.addRecentFile, [this](const std::string &path) { AddRecentFile(path); });
    InstallHook(this, events.showPatchWindow, [this] { RunPatchWindow(); });
    InstallVisualiserHooks();
    // A show's "PLAN" picture: loaded, then the fixture area shows the plan.
    InstallHook(this, events.loadPlanBitmap, [this](const std::string &path) {
        if (!LoadPlanBitmap(path))
            return;
        LeftPageControlChange(0);
        LeftPageControlChange(2);
    });
    InstallHook(this, events.crossFadeSettings, [this] {
        TransportCreate();
        return CrossFadeSettings{static_cast<std::int32_t>(ui->CrossFadeFavorite->GetValue()),
                                 ui->DisaFavorite->Down(),
                                 static_cast<std::int32_t>(ui->CrossFadeSeq->GetValue()),
                                 ui->DisaSequence->Down()};
    });
    InstallHook(this, events.crossFadeSettingsRead, [this](const CrossFadeSettings &s) {
        TransportCreate();
        ui->CrossFadeFavorite->SetValue(s.favouriteTime);
        ui->DisaFavorite->SetDown(s.favouriteDisabled);
        DisaFavoriteClick();
        ui->CrossFadeSeq->SetValue(s.sequenceTime);
        ui->DisaSequence->SetDown(s.sequenceDisabled);
        DisaSequenceClick();
    });
    InstallHook(this, events.favouriteButtonColour, [this](std::uint32_t colour) {
        TransportCreate();
        ui->Favourite->SetColor(colour);
    });
}

// Stops a running play (normal or background) through the transport's Stop, the display
// timer first. Returns what ran: 0 nothing, 1 play, 2 background play.
int TMainForm::StopPlayForShowChange()
{
    const int was = PlayInBackground.load() ? 2 : Playing.load() ? 1 : 0;
    if (was) {
        TimerFonPlay->stop();
        StopClick();
    }
    return was;
}

// The windows that show parts of the old show are switched off before it goes.
void TMainForm::SwitchOffShowWindows(bool multiSequencePlayer)
{
    if (multiSequencePlayer && MultiSeqRunning.load())
        MultiSeqPlayerClick();
    EmulatorOff();
    if (ToolWindowVisible("ProgramForm"))
        PlayList1Click();
    if (ToolWindowVisible("MasterGroups"))
        GroupsClick();
}

void TMainForm::FileNew()
{
    if (AccessLevel >= 2 || PlayListRunning.load())
        return;
    StopPlayForShowChange();
    EndSolo();
    if (!AskSaveModifiedShow())
        return;
    SwitchOffShowWindows(true);
    // Engine messages are dropped while the patch window of a new show is open.
    platform::WindowHandle saved = MessageWindow;
    MessageWindow = 0;
    // NewShow holds the engine while it frees the show and marks the show busy, which
    // keeps the auto-backup away while the patch window builds the new show.
    NewShow();
    MessageWindow = saved;
    SelectFirstFixture();
    FillSequenceBox();
    SetShowCaption(this);
    UpdateFixtureMenus();
    UndoBlockValid = 0;
    CallSeam(WindowSeams().graphEditRefresh);
    CallSeam(WindowSeams().trackEditRefresh);
    // The masters start at 0 in the new show: a channel still held by one goes to 0 with
    // it rather than keeping the old show's level under a fader that reads 0.
    if (!AskSeam(WindowSeams().refreshPhysicalMasters))
        ReapplyAllMasterLevels();
    CallSeam(WindowSeams().phisMastActivate);
    ShowFileChanged(false);
}

bool TMainForm::OpenNamedShow(const std::string &path)
{
    namedShow_ = path;
    StartChoice = 3;
    FileOpen();
    return showRead_;
}

void TMainForm::FileOpen()
{
    showRead_ = false;
    if (PlayListRunning.load())
        return;
    EndSolo();
    // A show named in advance is taken from OpenNamedShow, else from ShowFileName; either
    // way ShowFileName changes only when the show was read.
    std::string path = std::move(namedShow_);
    namedShow_.clear();
    if (!AskSaveModifiedShow())
        return;
    const std::uint8_t inputWas = DmxInEnabled;
    DmxInEnabled = 0;
    int stopped = 0;
    if (StartChoice == 3) {
        if (path.empty())
            path = ShowFileName;
        StartChoice = 2;
    } else {
        path.clear();
        if (auto chosen = ChooseShowToOpen())
            path = *chosen;
        else if (StartChoice == 2)
            StartChoice = 4;
    }
    if (!path.empty()) {
        stopped = StopPlayForShowChange();
        SwitchOffShowWindows(false);
        StartChoice = 0;
        // The reader holds the engine while the tables change.
        const bool read = ReadShowFile(AbsoluteShowPath(path));
        showRead_ = read;
        // A failed read put the old show back, but not the colour it gave the button.
        ui->Favourite->SetColor(FavouriteAssigned ? clLime : clSilver);
        // The panels were made again either way; a show that stays keeps its selection,
        // its current sequence and scene and the values on its panels.
        const int selected = SelectedFixture;
        SelectFirstFixture();
        if (!read && selected > 0)
            Select(selected);
        if (read) {
            FillSequenceBox();
            SetShowCaption(this);
            ShowFileChanged(true);
            UpdateFixtureMenus();
            if (stopped && !AskSeam(WindowSeams().multiSeqMenuChecked)) {
                if (stopped == 2)
                    PlayBackClick();
                else
                    PlayClick();
            }
        }
    }
    // Whatever happened: the editors and the masters follow the show that is loaded. An
    // undo block of the old show names fixtures and sequences that are gone.
    if (showRead_)
        UndoBlockValid = 0;
    CallSeam(WindowSeams().graphEditRefresh);
    CallSeam(WindowSeams().trackEditRefresh);
    if (MultiSeqRunning.load()) {
        LookSwitch change;   // off and on again: the stage sees only the end
        MultiSeqPlayerClick();
        MultiSeqPlayerClick();
        if (stopped)
            CallSeam(WindowSeams().multiSeqPlay);
    }
    DmxInEnabled = inputWas;
    // The masters' window runs every fader's change; before it exists (a show opened at
    // start-up) the records' levels are applied all the same.
    if (!AskSeam(WindowSeams().refreshPhysicalMasters))
        ReapplyAllMasterLevels();
    CallSeam(WindowSeams().phisMastActivate);
}

void TMainForm::FileSave()
{
    if (AccessLevel >= 2)
        return;
    EndSolo();
    FixturesToScene();
    if (SaveShow())
        SetShowCaption(this);
}

void TMainForm::FileSaveAs()
{
    if (AccessLevel >= 2)
        return;
    EndSolo();
    FixturesToScene();
    if (SaveShowAs())
        SetShowCaption(this);
}

bool TMainForm::AskSaveModifiedShow()
{
    return SaveModifiedShowOnRequest(AccessLevel);
}

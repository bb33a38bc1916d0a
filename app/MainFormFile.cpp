// The show commands of the main window: New, Open, Save, Save As, the save question and
// the hook that reports recent shows.
#include "MainForm.h"
#include "ui_MainForm.h"

#include "LevelPipeline.h"
#include "OutputEngine.h"
#include "PlayState.h"
#include "RecentFiles.h"
#include "ShowFile.h"
#include "ShowModel.h"
#include "StartupState.h"

#include "platform/Files.h"
#include "platform/MsgBox.h"
#include "platform/Settings.h"


namespace {
void SetShowCaption(QWidget *w)
{
    w->setWindowTitle(QStringLiteral("Brantoval-1024 - ") + platform::FromBytes(ShowFileName));
}
} // namespace

// The show file reports new recent shows through this hook.
void TMainForm::InstallShowFileHooks()
{
    ShowFileEvents().addRecentFile = [this](const std::string &path) { AddRecentFile(path); };
    // A show's "PLAN" picture: loaded, then the fixture area shows the plan.
    ShowFileEvents().loadPlanBitmap = [this](const std::string &path) {
        if (!LoadPlanBitmap(path))
            return;
        LeftPageControlChange(0);
        LeftPageControlChange(2);
    };
}

void TMainForm::FileNew()
{
    if (AccessLevel >= 2)
        return;
    Playing.store(0);
    PlayInBackground.store(0);
    if (!AskSaveModifiedShow())
        return;
    // Engine messages are dropped while the patch window of a new show is open.
    platform::WindowHandle saved = MessageWindow;
    MessageWindow = 0;
    // NewShow marks the show busy, which keeps the auto-backup away while the patch
    // window builds the new show.
    NewShow();
    MessageWindow = saved;
    SelectFirstFixture();
    FillSequenceBox();
    SetShowCaption(this);
    ShowFileChanged(false);
}

void TMainForm::FileOpen()
{
    if (!AskSaveModifiedShow())
        return;
    std::uint8_t inputWas = DmxInEnabled;
    DmxInEnabled = 0;
    std::string path;
    if (StartChoice == 3) {
        path = ShowFileName;
        StartChoice = 2;
    } else {
        auto chosen = ChooseShowToOpen();
        if (!chosen) {
            if (StartChoice == 2)
                StartChoice = 4;
            DmxInEnabled = inputWas;
            return;
        }
        path = *chosen;
    }
    StartChoice = 0;
    Playing.store(0);
    PlayInBackground.store(0);
    if (ReadShowFile(AbsoluteShowPath(path))) {
        SelectFirstFixture();
        FillSequenceBox();
        SetShowCaption(this);
        ShowFileChanged(true);
    }
    DmxInEnabled = inputWas;
}

void TMainForm::FileSave()
{
    if (AccessLevel >= 2)
        return;
    if (SaveShow())
        SetShowCaption(this);
}

void TMainForm::FileSaveAs()
{
    if (AccessLevel >= 2)
        return;
    if (SaveShowAs())
        SetShowCaption(this);
}

bool TMainForm::AskSaveModifiedShow()
{
    return SaveModifiedShowOnRequest(AccessLevel);
}

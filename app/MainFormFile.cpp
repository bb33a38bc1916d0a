// The show commands of the main window: New, Open, Save, Save As, the save question and
// the recent-show list.
#include "MainForm.h"
#include "ui_MainForm.h"

#include "LevelPipeline.h"
#include "OutputEngine.h"
#include "PlayState.h"
#include "ShowFile.h"
#include "ShowModel.h"
#include "StartupState.h"

#include "platform/Files.h"
#include "platform/MsgBox.h"
#include "platform/Settings.h"

#include <climits>
#include <unistd.h>

namespace {
void SetShowCaption(QWidget *w)
{
    w->setWindowTitle(QStringLiteral("Brantoval-1024 - ") + platform::FromBytes(ShowFileName));
}

std::string AbsolutePath(const std::string &path)
{
    if (!path.empty() && path[0] == '/')
        return path;
    char cwd[PATH_MAX];
    if (!getcwd(cwd, sizeof cwd))
        return path;
    return std::string(cwd) + "/" + path;
}
} // namespace

// The show file reports new recent shows through this hook.
void TMainForm::InstallShowFileHooks()
{
    ShowFileEvents().addRecentFile = [this](const std::string &path) { AddRecentFile(path); };
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
    NewShow();
    MessageWindow = saved;
    SelectFirstFixture();
    SetShowCaption(this);
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
        auto chosen = platform::OpenFileDialog(ShowOpenTitle, ShowOpenFilter);
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
    if (ReadShowFile(AbsolutePath(path))) {
        SelectFirstFixture();
        SetShowCaption(this);
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

// Puts `path` at the top of File1..File5 (moving the others down, the oldest falling off)
// and shows the items.
void TMainForm::AddRecentFile(const std::string &path)
{
    ShowFileName = AbsolutePath(path);
    platform::Settings reg;
    std::string files[6];
    for (int i = 1; i <= 5; ++i)
        files[i] = reg.ReadString(HistoryKey, "File" + std::to_string(i));
    if (files[1].empty()) {
        files[1] = ShowFileName;
    } else if (files[1] != ShowFileName) {
        int from = 5;
        for (int i = 2; i <= 4; ++i)
            if (files[i] == ShowFileName)
                from = i;
        for (int i = from; i > 1; --i)
            files[i] = files[i - 1];
        files[1] = ShowFileName;
    }
    for (int i = 1; i <= 5; ++i)
        reg.WriteString(HistoryKey, "File" + std::to_string(i), files[i]);
    reg.Flush();
    ShowRecentFiles();
}

// The show commands of the main window: New, Open, Save, Save As and the save question.
#include "MainForm.h"
#include "ui_MainForm.h"

#include "PlayState.h"
#include "ShowModel.h"
#include "StartupState.h"

#include "platform/Files.h"
#include "platform/MsgBox.h"

#include <cstring>

void TMainForm::FileNew()
{
    FreeShowTables();
    ShowFileState = 1;
    ShowFileName = "Show1.d1k";
    ShowName = {};
    std::memcpy(ShowName.data(), "SHOW 1", 6);
    ShowModified = 0;
    setWindowTitle(QStringLiteral("Brantoval-1024 - Show1.d1k"));
}

void TMainForm::FileOpen()
{
    if (StartChoice != 3) {
        auto path = platform::OpenFileDialog("Open File Show", OpenDialogFilter);
        if (!path) {
            StartChoice = 4;
            return;
        }
        ShowFileName = *path;
    }
    if (!platform::FileExists(ShowFileName))
        return;
    ShowFileState = 2;
    setWindowTitle(QStringLiteral("Brantoval-1024 - ") + platform::FromBytes(ShowFileName));
}

void TMainForm::FileSave()
{
    if (ShowFileState != 2) {
        FileSaveAs();
        return;
    }
    ShowModified = 0;
}

void TMainForm::FileSaveAs()
{
    auto path = platform::SaveFileDialog("Save File Show As...", SaveDialogFilter, ShowFileName);
    if (!path)
        return;
    ShowFileName = *path;
    ShowFileState = 2;
    ShowModified = 0;
}

bool TMainForm::AskSaveModifiedShow()
{
    if (AccessLevel >= 2 || !ShowModified)
        return true;
    platform::Answer a =
        platform::MessageBox("Brantoval-1024", "The Show was modified. Save file ?", platform::Buttons::YesNoCancel);
    if (a == platform::Answer::Cancel)
        return false;
    if (a == platform::Answer::Yes) {
        if (ShowFileState == 2)
            FileSave();
        else
            FileSaveAs();
    }
    ShowModified = 0;
    return true;
}

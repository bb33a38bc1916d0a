// The main window's shut-down: FormClose (which may be refused) and FormDestroy.
#include "MainForm.h"
#include "ui_MainForm.h"

#include "InterfaceBinding.h"
#include "OutputEngine.h"
#include "OwnedHooks.h"
#include "PatchLoader.h"
#include "PlayState.h"
#include "ShowModel.h"
#include "StartupState.h"
#include "ToolWindows.h"
#include "WindowSeams.h"

#include "TAudSynch.h"
#include "TCueListF.h"
#include "TMasterGroups.h"
#include "TMusicPlayer.h"
#include "TPhisMast.h"
#include "TProgramForm.h"
#include "TSequencesList.h"

#include "platform/Files.h"
#include "platform/Instance.h"
#include "platform/Messages.h"
#include "platform/MsgBox.h"
#include "platform/Settings.h"

#include <QApplication>
#include <QCloseEvent>
#include <QTimer>
#include "controls/RegForm.h"

#include <chrono>
#include <thread>

void TMainForm::closeEvent(QCloseEvent *event)
{
    // The place keeper asks FormClose first and remembers the place when it allows.
    bool canClose = true;
    RegForm1->CloseQuery(this, canClose);
    if (canClose) {
        event->accept();
        QApplication::quit();
    } else {
        event->ignore();
    }
}

bool TMainForm::FormClose()
{
    TraceStep("FormClose");
    EngineBusy.store(1);
    CloseToolWindows();
    StopPlayback();
    if (!AskSaveModifiedShow()) {
        EngineBusy.store(0);
        TraceStep("CloseRefused");
        return false;
    }
    CloseInterfaceAtClose();
    WriteConfiguration();
    WriteLayoutSettings();
    return true;
}

void TMainForm::CloseToolWindows()
{
    CallSeam(WindowSeams().closeSequenceEditors);
    QWidget *windows[] = {CueListF, MasterGroups, MusicPlayer, PhisMast, ProgramForm, SequencesList};
    for (QWidget *w : windows)
        if (w && w->isVisible())
            w->close();
    ShowToolWindow("Visualiser", false);
    TraceStep("ToolWindowsClosed");
}

void TMainForm::StopPlayback()
{
    if (Playing.load())
        StopClick();
    Playing.store(0);
    PlayInBackground.store(0);
    TraceStep("PlayStopped");
}

void TMainForm::CloseInterfaceAtClose()
{
    CloseInterface();
    TraceStep("InterfaceClosed");
}

// Step 6: the configuration file, written atomically so that a failed write leaves the
// old file as it was.
void TMainForm::WriteConfiguration()
{
    SaveConfigurationFile();
    TraceStep("ConfigurationWritten");
}

void TMainForm::WriteLayoutSettings()
{
    platform::Settings reg;
    reg.WriteInteger(MainWindowKey, "Size", IsFullScreenMode() ? 1 : 0);
    reg.WriteInteger(MainWindowKey, "TemplatePosition", MasterPanelWidth());
    reg.WriteInteger(MainWindowKey, "SlidersPosition", SliderPanelWidth());
    reg.WriteInteger(MainWindowKey, "Transport", TransportOnBottom() ? 1 : 0);
    reg.WriteInteger(MainWindowKey, "CrossPos", SceneGroupWidth());
    reg.Flush();
    TraceStep("LayoutWritten");
}

void TMainForm::FormDestroy()
{
    if (destroyed_)
        return;
    destroyed_ = true;
    TraceStep("FormDestroy");
    // No hook table may keep a call into this window.
    ReleaseOwnedHooks(this);
    if (BackupTimer)
        BackupTimer->stop();
    ToolWindows().changed = nullptr;
    // Hold the engine off and wait for a tick in progress before the tables go; a tick
    // blocked in a send to this window is released first.
    platform::BeginMessageShutdown();
    EngineBusy.store(1);
    while (TickInProgress.load())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    std::string folder = platform::ProgramFolder();
    platform::RemoveFile(folder + "copyel$$.tmp");
    platform::RemoveFile(folder + "copysq$$.tmp");
    FreeShowTables();
    PositionScenes.clear();
    PositionSceneCount = 0;
    platform::ReleaseMessageWindow(MessageWindow);
    MessageWindow = 0;
    CallSeam(WindowSeams().visualiserRelease);
    platform::StopInstanceServer();
    StopOutputTimer();
    TraceStep("TimerStopped");
}

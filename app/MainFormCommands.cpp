// The main window's own commands: full screen, exit, help, DMX switches, device notices.
#include "MainForm.h"
#include "ui_MainForm.h"

#include "AboutBox.h"

#include "LevelPipeline.h"
#include "LookSwitch.h"
#include "PlayState.h"
#include "ShowModel.h"
#include "StartupState.h"
#include "WindowSeams.h"
#include "visualiser/TVisuf.h"

#include "platform/Files.h"
#include "platform/MsgBox.h"

#include <QApplication>
#include <QDesktopServices>
#include <QEvent>
#include <QUrl>

#include <optional>

bool TMainForm::event(QEvent *e)
{
    if (e->type() == QEvent::WindowActivate)
        FormActivate();
    else if (e->type() == QEvent::WindowDeactivate)
        FormDeactivate();
    return QMainWindow::event(e);
}

// Applies the start mode once, on the first activation.
void TMainForm::FormActivate()
{
    if (!StartupActionsPending)
        return;
    // Taken at once: a play list's media wait handles events, and an activation then must
    // not apply the start mode a second time.
    StartupActionsPending = 0;
    TraceStep("FormActivate");
    CallSeam(WindowSeams().phisMastActivate);
    // The start mode's selections and its play reach the stage as one step. The play
    // list asks its questions before it runs, so it opens its own switches per line.
    std::optional<LookSwitch> change;
    if (StartMode == 0 || StartMode == 1)
        change.emplace();
    switch (StartMode) {
    case 0:
        // A start index beyond the sequences selects nothing.
        if (StartIndex >= 0 && StartIndex < SequenceCount)
            SelectSequence(StartIndex);
        if (AutoPlay && !Playing.load())
            PlayClick();
        break;
    case 1:
        if (StartIndex == -1)
            StartIndex = 0;
        // The cue list opens with the player on, the start cue applied.
        CueListMClick();
        if (WindowSeams().selectCue)
            WindowSeams().selectCue(StartIndex);
        if (AutoPlay)
            CallSeam(WindowSeams().multiSeqPlay);
        break;
    case 2:
        PlayList1Click();
        if (AutoPlay)
            CallSeam(WindowSeams().playListPlay);
        break;
    default:
        break;
    }
}

// No cursor confinement is used, so there is nothing to release.
void TMainForm::FormDeactivate() {}

void TMainForm::FullScreenClick()
{
    if (switchingFullScreen_)
        return;
    switchingFullScreen_ = true;
    hide();
    if (!ui->FullScreen->isChecked()) {
        // The item was checked before this click toggled it: back to a normal window.
        setWindowFlag(Qt::FramelessWindowHint, false);
        setWindowState(Qt::WindowNoState);
        if (normalSize_.isValid())
            resize(normalSize_);
    } else {
        normalSize_ = size();
        setWindowFlag(Qt::FramelessWindowHint, true);
        setWindowState(Qt::WindowMaximized);
    }
    show();
    switchingFullScreen_ = false;
}

void TMainForm::FileExit()
{
    if (!Playing.load())
        close();
}

// Opens the help pages of the program folder when they are there.
void OpenHelp()
{
    std::string index = platform::ProgramFolder() + "help/index.html";
    if (platform::FileExists(index))
        QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(index)));
}

void TMainForm::HelpContents() { OpenHelp(); }
void TMainForm::HelpSearch() { OpenHelp(); }
void TMainForm::HelpHowToUse() { OpenHelp(); }
// The About box comes with the start dialog.
void TMainForm::HelpAbout()
{
    TAboutBox box(this);
    platform::RunModalDialog(box);
}

// The menu item and the button are toggled together before this runs: their new state
// decides whether the visualiser window is made or closed and freed.
void TMainForm::EmulatorClick()
{
    if (ui->Emulator->isChecked())
        OpenVisualiser();
    else
        CloseVisualiser();
}

void TMainForm::EmulatorOff()
{
    if (!ui->Emulator->isChecked())
        return;
    ui->Emulator->setChecked(false);
    ui->EmulatorButton->setChecked(false);
    EmulatorClick();
}

namespace {
void ProcessMessagesTimes(int n)
{
    for (int i = 0; i < n; ++i)
        QCoreApplication::processEvents();
}
} // namespace

void TMainForm::EnaDMXoutClick()
{
    if (!ui->EnaDMXout->isEnabled())
        return;
    ui->EnaDMXout->setEnabled(false);
    ProcessMessagesTimes(1000);
    DmxOutEnabled = DmxOutEnabled ? 0 : 1;
    if (DmxOutEnabled)
        SendFullFrame.store(1);
    ui->EnaDMXout->setChecked(!DmxOutEnabled);
    ProcessMessagesTimes(1000);
    ui->EnaDMXout->setEnabled(true);
    CallSeam(WindowSeams().audSynchDmxState);
}

void TMainForm::EnaDMXinClick()
{
    if (!ui->EnaDMXin->isEnabled())
        return;
    ui->EnaDMXin->setEnabled(false);
    ProcessMessagesTimes(1000);
    if (!DmxInEnabled) {
        DmxInEnabled = 1;
    } else {
        DmxInEnabled = 0;
        DmxInThrough = 0;
    }
    ui->EnaDMXin->setChecked(!DmxInEnabled);
    ProcessMessagesTimes(1000);
    ui->EnaDMXin->setEnabled(true);
    CallSeam(WindowSeams().phisMastActivate);
    CallSeam(WindowSeams().audSynchDmxState);
}

void TMainForm::DeviceChange(unsigned event)
{
    if (event == 0x8000) {
        DeviceArrived = 1;
        DeviceReady = 0;
    } else if (event == 7 && DeviceArrived) {
        DeviceReady = 1;
    }
}

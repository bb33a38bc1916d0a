// The "Autonom" page: the flash id of the interface, the compile of the stand-alone image
// with its report, the download into the flash and the stand-alone mode.
#include "TAudSynch.h"
#include "ui_AudSynch.h"

#include "HardwareSettings.h"
#include "StandAloneImage.h"
#include "TDOWNLOAD.h"

#include "EngineHold.h"
#include "InterfaceBinding.h"
#include "LevelPipeline.h"
#include "PlayControl.h"
#include "PlayState.h"

#include "platform/Files.h"
#include "platform/MsgBox.h"

#include <chrono>
#include <thread>

namespace {
const char *const Caption = "Brantoval-1024";

bool PlayRunning()
{
    return Playing.load() || PlayInBackground.load() || PlayListRunning.load();
}
} // namespace

void TAudSynch::ConnectAutonomPage()
{
    connect(ui->Programming, &QPushButton::clicked, this, [this] { ProgrammingClick(); });
    connect(ui->Confirm, &QPushButton::clicked, this, [this] { ConfirmClick(); });
    connect(ui->Cancel, &QPushButton::clicked, this, [this] { CancelClick(); });
    connect(ui->GoAutonom, &QPushButton::clicked, this, [this] { GoAutonomClick(); });
}

void TAudSynch::AutonomShow()
{
    if (DeviceState < 0) {
        ui->NoProgramming->setText(QStringLiteral("Programming is impossible"));
        ui->NoProgramming->show();
        ui->ProgPanel->hide();
        return;
    }
    if (InterfaceKind == UsbInterfaceKind) {
        ui->NoProgramming->setText(
            QStringLiteral("This version of hardware does not support programming of autonomic mode"));
        ui->NoProgramming->show();
        ui->ProgPanel->hide();
        return;
    }
    ui->NoProgramming->hide();
    ui->ProgPanel->show();
    ui->AudioStart->setVisible(HardwareRevision[0] == '7' && HardwareRevision[2] == '4');
    QueryFlashId();
}

void TAudSynch::QueryFlashId()
{
    std::uint8_t id = 0;
    {
        HoldEngine hold;
        SendInterfaceRequest(14, 0, 0);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        if (!ReadInterfaceBuffer(1, &id))
            id = 0;
    }
    FlashCapacity = FlashCapacityForId(id);
    const QString hex = QStringLiteral("%1").arg(id, 2, 16, QLatin1Char('0')).toUpper();
    ui->FlashID->setText(QStringLiteral("Flash ID = %1, FlashSize = %2").arg(hex).arg(FlashCapacity));
}

void TAudSynch::ProgrammingClick()
{
    // A compile whose report is shown waits for "Confirm" or "Cancel".
    if (PlayRunning() || compileHold_)
        return;
    if (DmxInMode == 4) {
        platform::ShowMessage(Caption, "Controller doesn't support current DMX input mode");
        return;
    }
    AutonomShow();
    compileHold_ = std::make_unique<HoldEngine>();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    CalculateShow();
}

void TAudSynch::CalculateShow()
{
    ui->Memo->clear();
    ui->Memo->show();
    StandAloneInput input;
    const bool revision74 = HardwareRevision[0] == '7' && HardwareRevision[2] == '4';
    const bool audioStart = revision74 && !ui->AudioStart->isHidden() && ui->AudioStart->isChecked();
    input.flags = StandAloneFlags(DmxInEnabled != 0, DmxInMode, audioStart);
    input.delay = static_cast<std::uint8_t>(DorvDelayMs() / 50);
    input.capacity = FlashCapacity;
    input.folder = platform::ProgramFolder();

    const StandAloneResult result = CompileStandAloneImage(input);
    for (const std::string &line : result.memo)
        ui->Memo->appendPlainText(QString::fromStdString(line));
    if (!result.error.empty())
        platform::ShowMessage(Caption, result.error);
    if (result.status == StandAloneResult::Compiled && result.fits) {
        ui->Confirm->show();
        ui->Cancel->show();
        ui->Confirm->setFocus();
        return;
    }
    AbandonCompile();
}

void TAudSynch::AbandonCompile()
{
    compileHold_.reset();
    ui->Confirm->hide();
    ui->Cancel->show();
    ui->Cancel->setFocus();
}

namespace {
void RemoveImage()
{
    const std::string path = platform::ProgramFolder() + StandAloneImageName;
    if (platform::FileExists(path))
        platform::RemoveFile(path);
}
} // namespace

void TAudSynch::HideCompileReport()
{
    ui->Memo->clear();
    ui->Memo->hide();
    ui->Confirm->hide();
    ui->Cancel->hide();
}

void TAudSynch::ConfirmClick()
{
    HideCompileReport();
    if (InterfaceRequestsBound()) {
        SendInterfaceRequest(11, 0, 0);
        {
            TDOWNLOAD download(this);
            if (download.Ready())
                platform::RunModalDialog(download);
        }
        RebindInterface();
        RemoveImage();
    } else {
        platform::ShowMessage(Caption, "Internal error, programming aborted.");
    }
    compileHold_.reset();
    FormActivate();
}

void TAudSynch::CancelClick()
{
    RemoveImage();
    HideCompileReport();
    compileHold_.reset();
}

void TAudSynch::GoAutonomClick()
{
    if (PlayRunning())
        return;
    {
        HoldEngine hold;
        if (InterfaceRequestsBound())
            SendInterfaceRequest(15, 0, 0);
        platform::ShowMessage(Caption, "Hardware is in AUTONOMIC mode\r\nClick OK to return into normal mode");
        RebindInterface();
    }
    FormActivate();
}

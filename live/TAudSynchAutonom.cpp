// The "Autonom" page: the flash id of the interface, the compile of the stand-alone image
// with its report, the download into the flash and the stand-alone mode.
#include "TAudSynch.h"
#include "ui_AudSynch.h"

#include "HardwareSettings.h"

#include "EngineHold.h"
#include "InterfaceBinding.h"
#include "LevelPipeline.h"
#include "PlayControl.h"
#include "PlayState.h"

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
}

void TAudSynch::CalculateShow()
{
}

void TAudSynch::AbandonCompile()
{
    compileHold_.reset();
    ui->Confirm->hide();
    ui->Cancel->show();
    ui->Cancel->setFocus();
}

void TAudSynch::ConfirmClick()
{
}

void TAudSynch::CancelClick()
{
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

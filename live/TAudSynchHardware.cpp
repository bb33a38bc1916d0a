// The "Hardware" page: interface choice and test, the interface's own beat input and the
// DMX input settings.
#include "TAudSynch.h"
#include "ui_AudSynch.h"

#include "EngineHold.h"
#include "EngineMessages.h"
#include "InterfaceBinding.h"
#include "LevelPipeline.h"
#include "MainForm.h"
#include "PlayState.h"
#include "TDMXINf.h"
#include "WindowSeams.h"

#include "platform/MsgBox.h"

#include <QButtonGroup>

namespace {
const char *const Caption = "Brantoval-1024";

QString RevisionText(const char *format)
{
    // The revision text is digit, point, digit.
    return QString::asprintf(format, HardwareRevision[0], HardwareRevision[2], int(DmxOutChannels));
}
} // namespace

void TAudSynch::ConnectHardwarePage()
{
    connect(ui->TEST, &QPushButton::clicked, this, [this] { TESTClick(); });
    connect(ui->DorvIICheck, &QCheckBox::clicked, this, [this] { DorvIICheckClick(); });
    connect(ui->DorvDelay, &QSpinBox::editingFinished, this, [this] { DorvDelayChange(); });
    auto *modes = new QButtonGroup(this);
    modes->setObjectName(QStringLiteral("DMXInputModeButtons"));
    const QRadioButton *buttons[] = {ui->InMode0, ui->InMode1, ui->InMode2, ui->InMode3, ui->InMode4};
    for (int i = 0; i < 5; ++i)
        modes->addButton(const_cast<QRadioButton *>(buttons[i]), i);
    connect(modes, &QButtonGroup::idClicked, this, [this](int id) { DMXInputModeClick(id); });
    connect(ui->Through, &QCheckBox::clicked, this, [this] { ThroughClick(); });
    connect(ui->FromLan, &QCheckBox::clicked, this, [this] { FromLanClick(); });
    connect(ui->BeatDetector, &QCheckBox::clicked, this, [this](bool on) {
        if (on) {
            HardwareBeatInput = 0;
            ui->DorvIICheck->setChecked(false);
        }
    });
    ui->Assign->setEnabled(true);
    connect(ui->Assign, &QPushButton::clicked, this, [this] { RunDmxInAssignment(this); });
    connect(ui->Diagnostics, &QPushButton::toggled, this, [this](bool down) { ui->Correct->setVisible(down); });
    // The interface correction the engine asks for after a slow tick, by hand; the button
    // waits while it runs.
    connect(ui->Correct, &QPushButton::clicked, this, [this] {
        if (!MainForm || UsbCorrecting)
            return;
        ui->Correct->setEnabled(false);
        UsbCorrecting = 1;
        MainForm->USBCorrect();
        UsbCorrecting = 0;
        ui->Correct->setEnabled(true);
    });
}

void TAudSynch::ShowRevision()
{
    if (DeviceState < 0)
        ui->Revision->setText(QStringLiteral("Hardware is inaccessible"));
    else
        ui->Revision->setText(RevisionText("Hardware revision %c.%c\nDMX Out channels: %d"));
}

void TAudSynch::ShowDmxState()
{
    ui->DmxOutState->setText(DmxOutEnabled ? QStringLiteral("DMX OUT: Enabled") : QStringLiteral("DMX OUT: Disabled"));
    ui->DmxInState->setText(DmxInEnabled ? QStringLiteral("DMX IN: Enabled") : QStringLiteral("DMX IN: Disabled"));
    const bool offered = DmxInEnabled && DmxInMode == 0;
    if (!offered) {
        ui->Through->setChecked(false);
        DmxInThrough = 0;
    }
    ui->Through->setVisible(offered);
}

void TAudSynch::RebindInterface()
{
    CloseInterface();
    OpenInterface(InterfaceKind, false);
    ReadHardwareRevision(HardwareRevision);
}

void TAudSynch::TESTClick()
{
    const std::uint8_t out = DmxOutEnabled;
    const std::uint8_t in = DmxInEnabled;
    {
        HoldEngine hold;
        DmxOutEnabled = 0;
        DmxInEnabled = 0;
        InterfaceKind = ui->USB->isChecked() ? UsbInterfaceKind : ParallelPortKind;
        RebindInterface();
        if (DeviceState < 0) {
            ui->Revision->clear();
        } else {
            const QString text = RevisionText("Test Passed\r\nHardware revision %c.%c\r\nDMX Out channels: %d");
            platform::ShowMessage(Caption, text.toStdString());
        }
        DmxOutEnabled = out;
        DmxInEnabled = in;
    }
    FormActivate();
}

void TAudSynch::DorvIICheckClick()
{
    HardwareBeatInput = ui->DorvIICheck->isChecked() ? 1 : 0;
    if (HardwareBeatInput && ui->BeatDetector->isChecked())
        ui->BeatDetector->click();   // the sound-card detector stops
}

void TAudSynch::DorvDelayChange()
{
    if (!InterfaceRequestsBound())
        return;
    HoldEngine hold;
    SendInterfaceRequest(17, static_cast<std::int16_t>(ui->DorvDelay->value() / 50), 0);
}

void TAudSynch::DMXInputModeClick(int index)
{
    if (index < 0 || index > 4)
        return;
    DmxInMode = static_cast<std::uint8_t>(index);
    CallSeam(WindowSeams().phisMastActivate);
    ShowDmxState();
}

void TAudSynch::ThroughClick()
{
    DmxInThrough = ui->Through->isChecked() ? 1 : 0;
}

void TAudSynch::FromLanClick()
{
    DmxInFromLan = ui->FromLan->isChecked() ? 1 : 0;
    // A port that cannot be bound leaves the input with the interface: ticked, the engine
    // would stop reading the interface while nothing arrives from the LAN.
    if (DmxInFromLan && !OpenSlot()) {
        ui->FromLan->setChecked(false);
        DmxInFromLan = 0;
    } else if (!DmxInFromLan) {
        CloseSlot();
    }
    CallSeam(WindowSeams().phisMastActivate);
}

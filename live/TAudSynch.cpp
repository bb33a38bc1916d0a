// The window itself: creation and destruction with the stored settings, activation, the
// close rule, the "Other" page and the hooks the main window calls.
#include "TAudSynch.h"
#include "ui_AudSynch.h"

#include "HardwareSettings.h"

#include "EngineHold.h"
#include "InterfaceBinding.h"
#include "LevelPipeline.h"
#include "MainForm.h"
#include "OwnedHooks.h"
#include "PlayState.h"
#include "SequenceEditing.h"
#include "WindowSeams.h"

#include "platform/Mailslot.h"

#include <QCloseEvent>
#include <QTimer>

#include <array>

TAudSynch *AudSynch = nullptr;

namespace {

constexpr int MinuteMs = 60000;

// The delete-confirmation boxes in the order of their bits.
std::array<QCheckBox *, 5> ConfirmBoxes(Ui::TAudSynch *ui)
{
    return {ui->DelScene, ui->DelSequence, ui->DelCue, ui->DelGroup, ui->DelPlayListLine};
}

} // namespace

TAudSynch::TAudSynch(QWidget *parent) : QWidget(parent, Qt::Window), ui(new Ui::TAudSynch)
{
    ui->setupUi(this);
    ConnectHardwarePage();
    ConnectAutonomPage();
    ConnectOtherPage();
    connect(ui->Close, &QPushButton::clicked, this, [this] { close(); });
    connect(ui->PageControl, &QTabWidget::currentChanged, this, [this](int) {
        if (ui->PageControl->currentWidget() == ui->Autonom)
            AutonomShow();
    });

    // DMX input from the LAN is not kept: it starts off.
    BrantovalMain = std::make_unique<platform::TzolMailslot>();
    DmxInFromLan = 0;

    WindowSeamTable &seams = WindowSeams();
    InstallHook(this, seams.audSynchFullControl, [this](bool offered) { SetFullControlOffered(offered); });
    InstallHook(this, seams.audSynchDmxState, [this] { ShowDmxState(); });
    FormCreate();
}

TAudSynch::~TAudSynch()
{
    ReleaseOwnedHooks(this);
    CloseSlot();
    DmxInFromLan = 0;
    FormDestroy();
    if (AudSynch == this)
        AudSynch = nullptr;
    delete ui;
}

void TAudSynch::FormCreate()
{
    creating_ = true;
    const HardwareSettingsRead read = ReadHardwareSettings();

    ui->BackupMinutes->setValue(read.backupMinutes > 0 ? read.backupMinutes : ui->BackupMinutes->value());
    ui->EAbak->setChecked(read.backupMinutes > 0);
    if (MainForm && MainForm->BackupTimer) {
        if (read.backupMinutes > 0) {
            MainForm->BackupTimer->setInterval(read.backupMinutes * MinuteMs);
            MainForm->BackupTimer->start();
        } else {
            MainForm->BackupTimer->stop();
        }
    }

    // DMX input: the main window's toggle sets it from the opposite state.
    if (MainForm) {
        DmxInEnabled = DmxInSettingsBytes[0] ? 0 : 1;
        MainForm->EnaDMXinClick();
    } else {
        DmxInEnabled = DmxInSettingsBytes[0] ? 1 : 0;
    }
    DmxInMode = DmxInSettingsBytes[1];
    const std::array<QRadioButton *, 5> modes = {ui->InMode0, ui->InMode1, ui->InMode2, ui->InMode3, ui->InMode4};
    modes[DmxInMode]->setChecked(true);
    // The delay is shown whether the interface's beat is on or not, so that it is written
    // back as it was stored.
    const int delay = DmxInSettingsBytes[3] ? DmxInSettingsBytes[3] : 10;
    ui->DorvDelay->setValue(delay * 50);
    if (DmxInSettingsBytes[2] && InterfaceKind != UsbInterfaceKind && DeviceState >= 0) {
        HardwareBeatInput = 1;
        ui->DorvIICheck->setChecked(true);
    }
    SynchMediaPlayList = DmxInSettingsBytes[4] ? 1 : 0;
    MediaPlayerOption = DmxInSettingsBytes[5] ? 1 : 0;
    ui->SyncMediaPlayList->setChecked(SynchMediaPlayList);
    (MediaPlayerOption ? ui->PluginPlayer : ui->InternalPlayer)->setChecked(true);

    ConfirmOptions = read.confirmOptions;
    const auto boxes = ConfirmBoxes(ui);
    for (int bit = 0; bit < int(boxes.size()); ++bit)
        boxes[bit]->setChecked(ConfirmOptions & (1u << bit));
    ShowDmxState();
    MidiCreate();
    AudioCreate();
    creating_ = false;
}

void TAudSynch::FormDestroy()
{
    MidiDestroy();
    AudioDestroy();
    DmxInSettingsBytes = {DmxInEnabled ? std::uint8_t(1) : std::uint8_t(0),
                          DmxInMode,
                          HardwareBeatInput ? std::uint8_t(1) : std::uint8_t(0),
                          static_cast<std::uint8_t>(DorvDelayMs() / 50),
                          SynchMediaPlayList,
                          MediaPlayerOption,
                          DmxOutEnabled ? std::uint8_t(1) : std::uint8_t(0),
                          0};
    WriteHardwareSettings(ConfirmOptions);
    compileHold_.reset();
}

void TAudSynch::FormActivate()
{
    const bool playing = Playing.load() != 0;
    ui->Programming->setEnabled(!playing);
    ui->GoAutonom->setEnabled(!playing);
    (InterfaceKind == UsbInterfaceKind ? ui->USB : ui->LPT)->setChecked(true);
    ShowRevision();
    AutonomShow();
}

bool TAudSynch::FormCloseQuery()
{
    return ui->Memo->isHidden();
}

void TAudSynch::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    FormActivate();
}

void TAudSynch::closeEvent(QCloseEvent *e)
{
    if (!FormCloseQuery()) {
        e->ignore();
        return;
    }
    QWidget::closeEvent(e);
}

void TAudSynch::SetFullControlOffered(bool offered)
{
    ui->FullControl->setEnabled(offered);
    if (!offered) {
        ui->SequencesMode->setChecked(true);
        MidiSettingsBytes[3] = 1;
    }
}

int TAudSynch::DorvDelayMs() const
{
    return ui->DorvDelay->value();
}

void TAudSynch::ConnectOtherPage()
{
    connect(ui->EAbak, &QCheckBox::clicked, this, [this] { BackupClick(); });
    connect(ui->BackupMinutes, qOverload<int>(&QSpinBox::valueChanged), this, [this] {
        if (!creating_)
            BackupClick();
    });
    connect(ui->SyncMediaPlayList, &QCheckBox::clicked, this,
            [this](bool on) { SynchMediaPlayList = on ? 1 : 0; });
    connect(ui->InternalPlayer, &QRadioButton::clicked, this, [] { MediaPlayerOption = 0; });
    connect(ui->PluginPlayer, &QRadioButton::clicked, this, [] { MediaPlayerOption = 1; });
    const auto boxes = ConfirmBoxes(ui);
    for (QCheckBox *box : boxes) {
        const int bit = box->property("tag").toInt();
        connect(box, &QCheckBox::clicked, this, [this, bit](bool on) { ConfirmBoxClick(bit, on); });
    }
}

void TAudSynch::BackupClick()
{
    const bool on = ui->EAbak->isChecked();
    const int minutes = ui->BackupMinutes->value();
    if (MainForm && MainForm->BackupTimer) {
        if (on) {
            MainForm->BackupTimer->setInterval(minutes * MinuteMs);
            MainForm->BackupTimer->start();
        } else {
            MainForm->BackupTimer->stop();
        }
    }
    WriteBackupMinutes(on ? minutes : 0);
}

void TAudSynch::ConfirmBoxClick(int bit, bool checked)
{
    if (checked)
        ConfirmOptions = static_cast<std::uint8_t>(ConfirmOptions | (1u << bit));
    else
        ConfirmOptions = static_cast<std::uint8_t>(ConfirmOptions & ~(1u << bit));
}

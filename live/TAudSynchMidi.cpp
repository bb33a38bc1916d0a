// The MIDI page: remote control from a MIDI keyboard or sequencer. The reader thread
// hands each message to this page's message window by a blocking send, so the dispatcher
// runs on the GUI thread, in order, while the reader waits.
#include "TAudSynch.h"
#include "ui_AudSynch.h"

#include "HardwareSettings.h"
#include "MidiInput.h"

#include "OutputEngine.h"
#include "PlayState.h"

#include "platform/Messages.h"
#include "platform/MidiIn.h"
#include "platform/MsgBox.h"

#include <QSignalBlocker>

namespace {

const char *const Caption = "Brantoval-1024";
constexpr std::uint32_t MidiDataMessage = 0x3C3;

} // namespace

struct TAudSynch::MidiPage {
    platform::WindowHandle window = 0;
    platform::MidiIn input;
};

void TAudSynch::MidiCreate()
{
    midi_ = new MidiPage;
    MidiSettingsFromBytes(MidiSettingsBytes, Midi);
    midi_->window = platform::AllocateMessageWindow([](std::uint32_t msg, std::uintptr_t packed, std::intptr_t) {
        if (msg != MidiDataMessage)
            return std::intptr_t(0);
        MidiActions actions;
        actions.send = [](std::uintptr_t code) { platform::SendMessageTo(MessageWindow, EngineMessage, code, 0); };
        MidiInputCallback(static_cast<std::uint32_t>(packed), actions);
        return std::intptr_t(0);
    });

    const std::initializer_list<QWidget *> controls{ui->MidiEnabled,   ui->MidiChannel,    ui->UseStartStop,
                                                    ui->FullControl,   ui->SequencesMode,  ui->ControllerMode,
                                                    ui->MsbController, ui->LsbController, ui->Transpose,
                                                    ui->MidiDevices};
    for (QWidget *w : controls)
        w->blockSignals(true);
    FillMidiDevices();
    ui->MidiChannel->setValue(Midi.channel + 1);
    ui->UseStartStop->setChecked(Midi.startStop);
    (Midi.mode == MidiModeFullControl ? ui->FullControl
     : Midi.mode == MidiModeController ? ui->ControllerMode
                                        : ui->SequencesMode)
        ->setChecked(true);
    ui->MsbController->setValue(Midi.msbController);
    ui->LsbController->setValue(Midi.lsbController);
    ui->Transpose->setValue(Midi.transpose / 12);
    ui->MidiEnabled->setChecked(MidiSettingsBytes[0] != 0);
    for (QWidget *w : controls)
        w->blockSignals(false);

    connect(ui->MidiEnabled, &QCheckBox::clicked, this, [this] { MidiEnabledClick(); });
    connect(ui->MidiDevices, qOverload<int>(&QComboBox::activated), this, [this](int i) { MidiDevicesChange(i); });
    connect(ui->MidiChannel, qOverload<int>(&QSpinBox::valueChanged), this, [](int v) { Midi.channel = (v - 1) & 0x0F; });
    connect(ui->UseStartStop, &QCheckBox::toggled, this, [](bool on) { Midi.startStop = on; });
    // Toggled, not clicked: the multi-sequence player's switch to "Sequences" counts too.
    connect(ui->FullControl, &QRadioButton::toggled, this, [](bool on) {
        if (on)
            Midi.mode = MidiModeFullControl;
    });
    connect(ui->SequencesMode, &QRadioButton::toggled, this, [](bool on) {
        if (on)
            Midi.mode = MidiModeSequences;
    });
    connect(ui->ControllerMode, &QRadioButton::toggled, this, [](bool on) {
        if (on)
            Midi.mode = MidiModeController;
    });
    connect(ui->MsbController, qOverload<int>(&QSpinBox::valueChanged), this, [](int v) { Midi.msbController = v & 0x7F; });
    connect(ui->LsbController, qOverload<int>(&QSpinBox::valueChanged), this, [](int v) { Midi.lsbController = v & 0x7F; });
    connect(ui->Transpose, &QSlider::valueChanged, this, [](int v) { Midi.transpose = v * 12; });

    if (ui->MidiEnabled->isChecked())
        MidiEnabledClick();
}

void TAudSynch::MidiDestroy()
{
    if (!midi_)
        return;
    midi_->input.Close();
    MidiInputOn = 0;
    MidiSettingsBytes = MidiSettingsToBytes(Midi, ui->MidiEnabled->isChecked());
    platform::ReleaseMessageWindow(midi_->window);
    delete midi_;
    midi_ = nullptr;
}

namespace {

// Opens device `index` with the reader sending to `window`; false when it is busy.
bool OpenMidiDevice(platform::MidiIn &input, int index, platform::WindowHandle window)
{
    return input.Open(index, [window](std::uint32_t packed) {
        platform::SendMessageTo(window, MidiDataMessage, packed, 0);
    });
}

} // namespace

void TAudSynch::MidiEnabledClick()
{
    if (!midi_)
        return;
    if (!ui->MidiEnabled->isChecked()) {
        midi_->input.Close();
        MidiInputOn = 0;
        return;
    }
    if (ui->MidiDevices->count() == 0)
        FillMidiDevices();
    if (ui->MidiDevices->count() == 0) {
        ui->MidiEnabled->setChecked(false);
        return;
    }
    const int index = std::max(ui->MidiDevices->currentIndex(), 0);
    Midi.device = index;
    if (!OpenMidiDevice(midi_->input, index, midi_->window)) {
        if (index < MaxMidiDevices)
            Midi.unusable[static_cast<std::size_t>(index)] = true;
        platform::ShowMessage(Caption, "MIDI In is Busy,\r\nSelect Another MIDI Device");
        ui->MidiEnabled->setChecked(false);
        MidiInputOn = 0;
        return;
    }
    MidiInputOn = 1;
}

void TAudSynch::MidiDevicesChange(int index)
{
    if (!midi_)
        return;
    midi_->input.Close();
    MidiInputOn = 0;
    Midi.device = index;
    if (!ui->MidiEnabled->isChecked())
        return;
    if (!OpenMidiDevice(midi_->input, index, midi_->window)) {
        if (index >= 0 && index < MaxMidiDevices)
            Midi.unusable[static_cast<std::size_t>(index)] = true;
        platform::ShowMessage(Caption, "MIDI In Busy,\r\nSelect Another MIDI Device");
        ui->MidiEnabled->setChecked(false);
        return;
    }
    MidiInputOn = 1;
}

void TAudSynch::FillMidiDevices()
{
    const QSignalBlocker block(ui->MidiDevices);
    ui->MidiDevices->clear();
    for (const std::string &name : platform::MidiInDevices())
        ui->MidiDevices->addItem(QString::fromStdString(name));
    if (Midi.device >= 0 && Midi.device < ui->MidiDevices->count())
        ui->MidiDevices->setCurrentIndex(Midi.device);
}

std::thread::id TAudSynch::MidiReaderId() const
{
    return midi_ ? midi_->input.ReaderId() : std::thread::id{};
}

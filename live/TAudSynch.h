// Hardware and synchronisation window: interface choice and test, DMX input settings,
// the stand-alone mode with its image compile and flash download, auto-backup, media and
// delete-confirmation options, and the pages of beat and MIDI input.
#pragma once

#include <QWidget>

#include <cstdint>
#include <memory>
#include <thread>

namespace Ui {
class TAudSynch;
}
class HoldEngine;
namespace platform {
class TzolMailslot;
}

class TAudSynch : public QWidget {
    Q_OBJECT

public:
    explicit TAudSynch(QWidget *parent = nullptr);
    ~TAudSynch() override;

    Ui::TAudSynch *ui;

    // Form.
    void FormCreate();
    void FormDestroy();
    void FormActivate();
    bool FormCloseQuery();

    // Hardware page (TAudSynchHardware.cpp).
    void TESTClick();
    void DorvIICheckClick();
    void DorvDelayChange();
    void DMXInputModeClick(int index);
    void ThroughClick();
    void FromLanClick();
    // LAN link (TAudSynchLan.cpp): the server slot "BRVX" and its messages.
    bool OpenSlot();
    void CloseSlot();
    void BrantovalMainMessage(platform::TzolMailslot &sender, const std::uint8_t *message, const std::string &user,
                              const std::string &computer, int length);
    std::unique_ptr<platform::TzolMailslot> BrantovalMain;

    // Shows the DMX output and input states and offers "Through" as they allow.
    void ShowDmxState();
    // The revision text of the open device, or "Hardware is inaccessible".
    void ShowRevision();

    // Autonom page (TAudSynchAutonom.cpp).
    void AutonomShow();
    // Asks the interface for its flash id and sets FlashCapacity and the label.
    void QueryFlashId();
    void ProgrammingClick();
    void CalculateShow();
    void ConfirmClick();
    void CancelClick();
    void GoAutonomClick();

    // Other page.
    void BackupClick();
    void ConfirmBoxClick(int bit, bool checked);

    // The choice of "Full Control" on the MIDI page (off while the multi-sequence player
    // runs; "Sequences" is taken then).
    void SetFullControlOffered(bool offered);

    // Audio delay of the interface's own beat input, in ms (200..5000).
    int DorvDelayMs() const;

    // Audio page (TAudSynchAudio.cpp): the sound-card beat detector.
    void AudioCreate();
    void AudioDestroy();
    // Stops a running capture and, with the detector on, starts it on the chosen device
    // and format.
    void AudioDevicesChange();
    void StopClick();
    std::intptr_t AudioAppMessage(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam);
    void AudioFormPaint();

    // MIDI page (TAudSynchMidi.cpp): remote control from a MIDI device.
    void MidiCreate();
    void MidiDestroy();
    void MidiEnabledClick();
    void MidiDevicesChange(int index);
    // The device list from the sequencer; the stored device chosen when it is there.
    void FillMidiDevices();
    // The reader thread of the open device (none when closed).
    std::thread::id MidiReaderId() const;

    struct AudioPage;
    struct MidiPage;

protected:
    void showEvent(QShowEvent *e) override;
    void closeEvent(QCloseEvent *e) override;

private:
    void ConnectHardwarePage();
    void ConnectAutonomPage();
    void ConnectOtherPage();
    // Rebinds the interface library of InterfaceKind and reads the revision again.
    void RebindInterface();
    // Ends a compile that cannot go on: the engine is released and "Cancel" offered.
    void AbandonCompile();
    void HideCompileReport();

    // Held from "Programming" until "Confirm" or "Cancel" ends it, or a failure does.
    std::unique_ptr<HoldEngine> compileHold_;
    bool creating_ = false;
    AudioPage *audio_ = nullptr;   // made by AudioCreate, freed by AudioDestroy
    MidiPage *midi_ = nullptr;     // made by MidiCreate, freed by MidiDestroy
};

extern TAudSynch *AudSynch;

// MIDI input through the sequencer: one input port of this program, the other programs'
// and devices' readable ports as the device list, and a reader thread that hands each
// message in packed form to a handler. Tests put an event source of their own in place
// of the sequencer.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

struct snd_seq_event;
typedef struct snd_seq_event snd_seq_event_t;

namespace platform {

// A sequencer event as a packed MIDI message: status in bits 0-7, data1 in 8-14, data2 in
// 16-22. Note on and off, program and controller changes, start, continue and stop;
// 0 for every other event.
std::uint32_t PackSequencerEvent(const snd_seq_event_t &event);

// The readable ports of the other sequencer clients, "client:port" by name; empty when
// no sequencer can be opened.
std::vector<std::string> MidiInDevices();

using MidiHandler = std::function<void(std::uint32_t packed)>;

class MidiIn {
public:
    MidiIn();
    ~MidiIn();   // closes
    MidiIn(const MidiIn &) = delete;
    MidiIn &operator=(const MidiIn &) = delete;

    // Connects device `device` of MidiInDevices() to the input port and starts the reader
    // thread, which calls `handler` for each message. False when the device is missing
    // or refuses the connection (busy).
    bool Open(int device, MidiHandler handler);
    // Stops the reader and joins it. A reader blocked in a send to the GUI thread is
    // released, so this never waits on the GUI thread.
    void Close();
    bool IsOpen() const;
    std::thread::id ReaderId() const;

    struct Reader;

private:
    std::unique_ptr<Reader> reader_;
};

// Tests: a device list of names in place of the sequencer's, the devices whose
// connection is refused, and events that the open reader takes as if they came in.
void SetFakeMidiDevices(std::vector<std::string> names, std::vector<int> busy = {});
void UseSystemMidiDevices();
// False when no reader is open on a fake device.
bool InjectMidiEvent(const snd_seq_event_t &event);

} // namespace platform

// Sound capture: the input devices, the formats they take, and a capture that hands each
// whole buffer to a handler on its own worker thread. Tests put a device list of their
// own and a WAV file in place of the sound card.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// Mono PCM: 16-bit signed little-endian or 8-bit unsigned.
struct WaveInFormat {
    int rate = 44100;
    int bits = 16;
    bool operator==(const WaveInFormat &) const = default;
};

// The capture devices' names, in the order the device index counts.
std::vector<std::string> WaveInDevices();
// True when device `device` records mono PCM of that format.
bool WaveInSupports(int device, const WaveInFormat &format);

// Tests: a device list of names and the formats each records, in place of the system's.
struct FakeWaveInDevice {
    std::string name;
    std::vector<WaveInFormat> formats;
};
void SetFakeWaveInDevices(std::vector<FakeWaveInDevice> devices);
void UseSystemWaveInDevices();

// A WAV file's samples: RIFF PCM, mono, 8 or 16 bit. Nothing, with the reason, for a
// file that is unreadable, truncated or of another kind.
struct WaveData {
    WaveInFormat format;
    std::vector<std::uint8_t> bytes;
};
std::optional<WaveData> ReadWaveFile(const std::string &path, std::string &error);

// BRTV_WAVE_IN names a WAV file that stands in for the sound card: the only device,
// played in real time. Read on first use; tests read it again with this.
void ReadWaveInEnvironment();

// Tests: the next captures read this WAV file instead of the device. Paced, the file
// plays in real time; otherwise a buffer is handed over only by StepWaveIn. An empty
// path gives the device back.
void SetWaveInFile(const std::string &path, bool paced);
// Hands the next whole buffer of the file to the running capture's handler, on its
// worker thread, and returns once it was handled; false when nothing is left or no
// capture reads the file.
bool StepWaveIn();

using WaveBufferHandler = std::function<void(const std::uint8_t *data, int size)>;

class WaveIn {
public:
    WaveIn();
    ~WaveIn();   // stops
    WaveIn(const WaveIn &) = delete;
    WaveIn &operator=(const WaveIn &) = delete;

    // Records from device `device` in `format`, cut into buffers of `bufferBytes`, each
    // handed to `handler` on the worker thread. False with the reason when it cannot.
    bool Start(int device, const WaveInFormat &format, int bufferBytes, WaveBufferHandler handler,
               std::string &error);
    // Stops recording and waits for the worker thread; no buffer is handed over after.
    void Stop();
    bool Running() const;

    struct Worker;

private:
    std::unique_ptr<Worker> worker_;
};

} // namespace platform

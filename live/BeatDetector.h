// The sound-card beat detector: the capture formats, the detector settings and the
// level and beat of one captured buffer, in integer arithmetic. The capture thread runs
// it; the Audio page edits the settings.
#pragma once

#include "platform/Messages.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <vector>

// One capture format: mono PCM. Every buffer holds about 46 ms of sound.
struct CaptureFormat {
    int rate;
    int bits;
    int samples;   // per buffer
    int bytes;     // per buffer
};

constexpr int CaptureFormatCount = 6;
constexpr std::array<CaptureFormat, CaptureFormatCount> CaptureFormats{{
    {44100, 16, 2048, 4096},
    {22050, 16, 1024, 2048},
    {11025, 16, 512, 1024},
    {44100, 8, 2048, 2048},
    {22050, 8, 1024, 1024},
    {11025, 8, 512, 512},
}};

// The format of an index; an index outside 0..5 means format 0.
const CaptureFormat &CaptureFormatAt(int index);

constexpr int LevelHistoryLength = 128;

// The detector's settings, one set per process. The capture thread reads them and the
// automatic gain writes the volume, so every field is atomic.
struct AudioSettings {
    std::atomic<int> enabled{0};
    std::atomic<int> device{0};
    std::atomic<int> format{0};
    std::atomic<int> volume{50};        // 1..100
    std::atomic<int> agc{1};
    std::atomic<int> depth{32};         // compression depth 2..62
    std::atomic<int> trigger{65};       // 1..100
    std::atomic<int> hold{5};           // buffers
    std::atomic<int> filter{0};         // low-frequency filter on
    std::atomic<int> filterDepth{1};    // 1..8 (stored as the operator set it)
    std::atomic<int> waveform{0};       // display: 0 level history, 1 waveform
    std::atomic<int> stopping{0};       // set while the capture stops: buffers are ignored
};

extern AudioSettings Audio;

// The divisor of a filter depth: 512, 256 ... 4 for 1..8; any other depth gives 8.
int FilterDivisor(int depth);

// The settings from the 8 stored "AUDIO" bytes and back; the format index is kept apart.
void AudioSettingsFromBytes(const std::array<std::uint8_t, 8> &bytes, AudioSettings &s);
std::array<std::uint8_t, 8> AudioSettingsToBytes(const AudioSettings &s);

// The detector's run state.
struct DetectorState {
    int hold = 0;
    bool beatOn = false;
    int index = 0;
    std::array<int, LevelHistoryLength> history{};
};

struct DetectorResult {
    int level = 0;
    bool beat = false;
    int index = 0;
};

// The low-frequency filter: each sample becomes the mean of samples i .. i+window-1 as
// they were; near the end only the samples that exist are averaged.
void FilterSamples(std::vector<int> &samples, int window);

// One whole buffer of `format` (little-endian signed 16-bit or unsigned 8-bit samples):
// optional low-frequency filter, level, beat with its hold, history, automatic gain.
DetectorResult RunDetector(AudioSettings &s, DetectorState &state, const std::uint8_t *data, int format);

// wParam of the level update: the history index and the level.
constexpr std::uintptr_t PackLevel(int index, int level)
{
    return (static_cast<std::uintptr_t>(level) << 8) | static_cast<std::uintptr_t>(index & 0xFF);
}
constexpr int LevelIndexOf(std::uintptr_t w) { return static_cast<int>(w & 0xFF); }
constexpr int LevelOf(std::uintptr_t w) { return static_cast<int>(w >> 8); }

// Codes of AudioMessage (lParam).
constexpr std::intptr_t AudioCodeRequeue = 65;
constexpr std::intptr_t AudioCodeLevel = 71;
constexpr std::intptr_t AudioCodeCloseError = 67;
constexpr std::intptr_t AudioCodeResetError = 82;

// The capture thread's step for one buffer: nothing while stopping; else the detector,
// BeatTrigger on a beat, and the level update posted to `window`.
void HandleCaptureBuffer(DetectorState &state, const std::uint8_t *data, int size, platform::WindowHandle window);

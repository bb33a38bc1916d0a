#include "BeatDetector.h"

#include "app/OutputEngine.h"
#include "app/PlayState.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

AudioSettings Audio;

const CaptureFormat &CaptureFormatAt(int index)
{
    if (index < 0 || index >= CaptureFormatCount)
        index = 0;
    return CaptureFormats[static_cast<std::size_t>(index)];
}

int FilterDivisor(int depth)
{
    if (depth < 1 || depth > 8)
        return 8;
    return 512 >> (depth - 1);
}

void AudioSettingsFromBytes(const std::array<std::uint8_t, 8> &b, AudioSettings &s)
{
    s.enabled = b[0] != 0;
    s.device = b[1];
    s.agc = b[2] != 0;
    s.depth = b[3];
    s.volume = std::clamp<int>(b[4], 1, 100);   // 0 would divide by zero
    s.hold = b[5];
    s.trigger = b[6];
    s.waveform = (b[7] & 1) == 0;
    s.filter = (b[7] & 2) != 0;
    s.filterDepth = b[7] >> 2;
}

std::array<std::uint8_t, 8> AudioSettingsToBytes(const AudioSettings &s)
{
    auto byte = [](int v) { return static_cast<std::uint8_t>(std::clamp(v, 0, 255)); };
    std::array<std::uint8_t, 8> b{};
    b[0] = s.enabled ? 1 : 0;
    b[1] = byte(s.device);
    b[2] = s.agc ? 1 : 0;
    b[3] = byte(s.depth);
    b[4] = byte(s.volume);
    b[5] = byte(s.hold);
    b[6] = byte(s.trigger);
    b[7] = static_cast<std::uint8_t>((s.waveform ? 0 : 1) | (s.filter ? 2 : 0) | ((s.filterDepth & 0x3F) << 2));
    return b;
}

namespace {

// The buffer's samples as signed values: 16-bit as they are, 8-bit as stored (0..255).
void ReadSamples(const std::uint8_t *data, const CaptureFormat &f, std::vector<int> &out)
{
    out.resize(static_cast<std::size_t>(f.samples));
    if (f.bits == 16) {
        for (int i = 0; i < f.samples; ++i)
            out[i] = static_cast<std::int16_t>(data[2 * i] | (data[2 * i + 1] << 8));
    } else {
        for (int i = 0; i < f.samples; ++i)
            out[i] = data[i];
    }
}

} // namespace

void FilterSamples(std::vector<int> &x, int w)
{
    const int n = static_cast<int>(x.size());
    if (w <= 1)
        return;
    const std::vector<int> raw = x;
    std::int64_t sum = 0;
    for (int j = 0; j < std::min(w, n); ++j)
        sum += raw[j];
    for (int i = 0; i < n; ++i) {
        const int count = std::min(w, n - i);
        x[i] = static_cast<int>(sum / count);
        sum -= raw[i];
        if (i + w < n)
            sum += raw[i + w];
    }
}

DetectorResult RunDetector(AudioSettings &s, DetectorState &state, const std::uint8_t *data, int format)
{
    const CaptureFormat &f = CaptureFormatAt(format);
    thread_local std::vector<int> samples;
    ReadSamples(data, f, samples);
    const int n = f.samples;
    if (s.filter)
        FilterSamples(samples, n / FilterDivisor(s.filterDepth));

    std::int64_t sum = 0;
    if (f.bits == 16) {
        for (int v : samples)
            sum += std::abs(v);
    } else {
        for (int v : samples)
            sum += std::abs(v * 256 - 32768);
    }
    state.index = (state.index + 1) % LevelHistoryLength;
    const int volume = std::clamp(s.volume.load(), 1, 100);
    const int c = static_cast<int>(sum / ((static_cast<std::int64_t>(n) * 3200) / volume));
    if (state.hold > 0)
        --state.hold;

    DetectorResult r;
    const int p = c * 100 / 128;
    const int trigger = s.trigger;
    if (state.beatOn && state.hold == 0 && p <= trigger)
        state.beatOn = false;
    if (p > trigger && !state.beatOn) {
        state.beatOn = true;
        r.beat = true;
        state.hold = s.hold;
    }
    state.history[static_cast<std::size_t>(state.index)] = c;

    if (s.agc) {
        const int d = s.depth;
        int v = volume;
        if (c < 64 - d)
            v = std::min(v + 1, 100);
        if (c > 64 + d)
            v = std::max(v - 1, 1);
        s.volume = v;
    }
    r.level = c;
    r.index = state.index;
    return r;
}

void HandleCaptureBuffer(DetectorState &state, const std::uint8_t *data, int size, platform::WindowHandle window)
{
    if (Audio.stopping)
        return;
    const int format = Audio.format;
    if (size < CaptureFormatAt(format).bytes)
        return;
    const DetectorResult r = RunDetector(Audio, state, data, format);
    if (r.beat)
        BeatTrigger.store(1);
    platform::PostMessageTo(window, AudioMessage, PackLevel(r.index, r.level), AudioCodeLevel);
}

// WAV files for the capture tests: clicks at a tempo, silence, or a stereo file.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace wave_test {

// Mono samples (16-bit signed, or 8-bit unsigned) of `seconds` with a burst of `burstMs`
// of amplitude `amplitude` (16-bit scale) every 60000 / bpm ms; `clicks` bursts.
inline std::vector<int> Clicks(int rate, int bits, int seconds, int clicks, int bpm, int burstMs, int amplitude)
{
    const int centre = bits == 8 ? 128 : 0;
    const int a = bits == 8 ? amplitude / 256 : amplitude;
    std::vector<int> s(static_cast<std::size_t>(rate * seconds), centre);
    const int period = rate * 60 / bpm;
    const int burst = rate * burstMs / 1000;
    for (int c = 0; c < clicks; ++c)
        for (int i = 0; i < burst; ++i)
            s[static_cast<std::size_t>(c * period + i)] = centre + ((i & 1) ? a : -a);
    return s;
}

inline void Write(const std::string &path, int rate, int bits, const std::vector<int> &samples, int channels = 1)
{
    std::vector<std::uint8_t> data;
    for (int v : samples)
        for (int ch = 0; ch < channels; ++ch) {
            if (bits == 16) {
                data.push_back(static_cast<std::uint8_t>(v & 0xFF));
                data.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
            } else {
                data.push_back(static_cast<std::uint8_t>(v));
            }
        }
    auto le = [](std::vector<std::uint8_t> &b, std::uint32_t v, int n) {
        for (int i = 0; i < n; ++i)
            b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    };
    std::vector<std::uint8_t> f{'R', 'I', 'F', 'F'};
    le(f, static_cast<std::uint32_t>(36 + data.size()), 4);
    for (char c : std::string("WAVEfmt "))
        f.push_back(static_cast<std::uint8_t>(c));
    le(f, 16, 4);
    le(f, 1, 2);
    le(f, static_cast<std::uint32_t>(channels), 2);
    le(f, static_cast<std::uint32_t>(rate), 4);
    le(f, static_cast<std::uint32_t>(rate * channels * bits / 8), 4);
    le(f, static_cast<std::uint32_t>(channels * bits / 8), 2);
    le(f, static_cast<std::uint32_t>(bits), 2);
    for (char c : std::string("data"))
        f.push_back(static_cast<std::uint8_t>(c));
    le(f, static_cast<std::uint32_t>(data.size()), 4);
    f.insert(f.end(), data.begin(), data.end());
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char *>(f.data()),
                                                 static_cast<std::streamsize>(f.size()));
}

} // namespace wave_test

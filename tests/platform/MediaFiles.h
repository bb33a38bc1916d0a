// Small media files written by the tests themselves: an 8 kHz mono WAV (2 s unless told) and a
// 10-frame 32x24 uncompressed AVI at 10 frames a second.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace mediafiles {

class Bytes {
public:
    void Tag(const char *t) { data.insert(data.end(), t, t + 4); }
    void U32(std::uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            data.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    }
    void U16(std::uint16_t v)
    {
        data.push_back(static_cast<std::uint8_t>(v));
        data.push_back(static_cast<std::uint8_t>(v >> 8));
    }
    // Fills in the size of the chunk whose size field is at `at`.
    void Close(std::size_t at)
    {
        const auto n = static_cast<std::uint32_t>(data.size() - at - 4);
        for (int i = 0; i < 4; ++i)
            data[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(n >> (8 * i));
    }
    std::size_t Open(const char *tag)
    {
        Tag(tag);
        const std::size_t at = data.size();
        U32(0);
        return at;
    }
    void Save(const std::string &path) const
    {
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char *>(data.data()),
                                                    static_cast<std::streamsize>(data.size()));
    }
    std::vector<std::uint8_t> data;
};

inline void WriteWav(const std::string &path, int ms = 2000)
{
    Bytes b;
    const std::size_t riff = b.Open("RIFF");
    b.Tag("WAVE");
    const std::size_t fmt = b.Open("fmt ");
    b.U16(1);        // PCM
    b.U16(1);        // mono
    b.U32(8000);     // samples a second
    b.U32(8000);     // bytes a second
    b.U16(1);        // block
    b.U16(8);        // bits
    b.Close(fmt);
    const std::size_t data = b.Open("data");
    for (int i = 0; i < 8 * ms; ++i)
        b.data.push_back(static_cast<std::uint8_t>(128 + ((i / 10) % 2 ? 40 : -40)));
    b.Close(data);
    b.Close(riff);
    b.Save(path);
}

inline void WriteAvi(const std::string &path)
{
    constexpr std::uint32_t W = 32, H = 24, Frames = 10, FrameBytes = W * H * 3;
    Bytes b;
    const std::size_t riff = b.Open("RIFF");
    b.Tag("AVI ");
    const std::size_t hdrl = b.Open("LIST");
    b.Tag("hdrl");
    const std::size_t avih = b.Open("avih");
    for (std::uint32_t v : {100000u, FrameBytes * 10, 0u, 0x10u, Frames, 0u, 1u, FrameBytes, W, H, 0u, 0u, 0u, 0u})
        b.U32(v);
    b.Close(avih);
    const std::size_t strl = b.Open("LIST");
    b.Tag("strl");
    const std::size_t strh = b.Open("strh");
    b.Tag("vids");
    b.Tag("DIB ");
    for (std::uint32_t v : {0u, 0u, 0u, 1u, 10u, 0u, Frames, FrameBytes, 0xFFFFFFFFu, 0u})
        b.U32(v);
    for (std::uint16_t v : {std::uint16_t(0), std::uint16_t(0), std::uint16_t(W), std::uint16_t(H)})
        b.U16(v);
    b.Close(strh);
    const std::size_t strf = b.Open("strf");
    b.U32(40);
    b.U32(W);
    b.U32(H);
    b.U16(1);
    b.U16(24);
    for (std::uint32_t v : {0u, FrameBytes, 0u, 0u, 0u, 0u})
        b.U32(v);
    b.Close(strf);
    b.Close(strl);
    b.Close(hdrl);
    const std::size_t movi = b.Open("LIST");
    const std::size_t moviStart = b.data.size();
    b.Tag("movi");
    std::vector<std::uint32_t> offsets;
    for (std::uint32_t f = 0; f < Frames; ++f) {
        offsets.push_back(static_cast<std::uint32_t>(b.data.size() - moviStart));
        b.Open("00db");
        for (std::uint32_t i = 0; i < FrameBytes; ++i)
            b.data.push_back(static_cast<std::uint8_t>((i + f * 25) & 0xFF));
        b.Close(b.data.size() - FrameBytes - 4);
    }
    b.Close(movi);
    const std::size_t idx = b.Open("idx1");
    for (std::uint32_t off : offsets) {
        b.Tag("00db");
        b.U32(0x10);
        b.U32(off);
        b.U32(FrameBytes);
    }
    b.Close(idx);
    b.Close(riff);
    b.Save(path);
}

} // namespace mediafiles

// Small media files written by the tests themselves: an 8 kHz mono WAV (2 s unless told), a
// 32x24 uncompressed AVI at 10 frames a second (10 frames unless told), and an Ogg Vorbis
// sound encoded by the installed media framework.
#pragma once

#include <dlfcn.h>

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

inline void WriteAvi(const std::string &path, std::uint32_t Frames = 10)
{
    constexpr std::uint32_t W = 32, H = 24, FrameBytes = W * H * 3;
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

// An Ogg Vorbis tone of `ms` (a multiple of 100) encoded through the media framework's own
// elements, reached at run time so that no development files are needed. An empty answer
// on success, else what failed.
inline std::string WriteOgg(const std::string &path, int ms = 1000)
{
    void *gst = dlopen("libgstreamer-1.0.so.0", RTLD_NOW | RTLD_GLOBAL);
    if (!gst)
        return "no media framework library";
    using Init = int (*)(int *, char ***, void **);
    using Launch = void *(*)(const char *, void **);
    using SetState = int (*)(void *, int);
    using GetBus = void *(*)(void *);
    using Pop = void *(*)(void *, std::uint64_t, int);
    using Unref = void (*)(void *);
    using Structure = const void *(*)(void *);
    const auto init = reinterpret_cast<Init>(dlsym(gst, "gst_init_check"));
    const auto launch = reinterpret_cast<Launch>(dlsym(gst, "gst_parse_launch"));
    const auto setState = reinterpret_cast<SetState>(dlsym(gst, "gst_element_set_state"));
    const auto getBus = reinterpret_cast<GetBus>(dlsym(gst, "gst_element_get_bus"));
    const auto pop = reinterpret_cast<Pop>(dlsym(gst, "gst_bus_timed_pop_filtered"));
    const auto unrefMessage = reinterpret_cast<Unref>(dlsym(gst, "gst_mini_object_unref"));
    const auto unrefObject = reinterpret_cast<Unref>(dlsym(gst, "gst_object_unref"));
    const auto structure = reinterpret_cast<Structure>(dlsym(gst, "gst_message_get_structure"));
    if (!init || !launch || !setState || !getBus || !pop || !unrefMessage || !unrefObject || !structure ||
        !init(nullptr, nullptr, nullptr))
        return "the media framework does not start";
    // 100 ms buffers of 22.05 kHz mono.
    const std::string description = "audiotestsrc num-buffers=" + std::to_string(ms / 100) +
                                    " samplesperbuffer=2205 ! audio/x-raw,rate=22050,channels=1 ! audioconvert ! "
                                    "vorbisenc ! oggmux ! filesink location=\"" + path + "\"";
    void *pipeline = launch(description.c_str(), nullptr);
    if (!pipeline)
        return "no Ogg Vorbis encoder (audiotestsrc, vorbisenc, oggmux)";
    constexpr int Null = 1, Playing = 4, Eos = 1, Error = 2;
    setState(pipeline, Playing);
    void *bus = getBus(pipeline);
    void *message = pop(bus, 20'000'000'000ull, Eos | Error);   // 20 s at most
    std::string failed = "the encoder failed";
    if (message) {
        // The end of the stream carries no details; an error does.
        if (!structure(message))
            failed.clear();
        unrefMessage(message);
    } else {
        failed = "the encoder did not finish";
    }
    unrefObject(bus);
    setState(pipeline, Null);
    unrefObject(pipeline);
    return failed;
}

} // namespace mediafiles

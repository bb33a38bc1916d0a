// What the fuzz targets and their seed maker share: a quiet show core without windows,
// in a program folder of its own with one fixture profile, and the round-trip check.
#pragma once

#include "app/BinaryStream.h"
#include "app/PatchLoader.h"
#include "app/ShowFile.h"
#include "fixtures/ProfileFile.h"
#include "platform/Files.h"
#include "platform/MsgBox.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

// A fuzz finding: what was read, written back and read again differs.
inline void FuzzRequire(bool ok, const char *what)
{
    if (!ok) {
        std::fprintf(stderr, "round trip failed: %s\n", what);
        std::abort();
    }
}

// An eight-channel profile header: Pan, Tilt, Dimmer on the first channels.
inline DspProfile SpotProfileHeader(const std::string &name)
{
    DspProfile spot;
    spot.count = 8;
    spot.usedMask = 0xFF;
    spot.functions[0] = FnPan;
    spot.functions[1] = FnTilt;
    spot.functions[2] = FnDimmer;
    for (int i = 0; i < DspChannels; ++i)
        spot.defaults[i] = spot.blackOut[i] = -1;
    spot.name = name;
    return spot;
}

inline void QuietShowCore()
{
    // Every box answers at once; nothing ends the process.
    platform::QueueAnswers({});
    ShowFileEvents().memoryAllocationError = [] {};
    static std::string folder =
        (std::filesystem::temp_directory_path() / ("brtv-fuzz-" + std::to_string(::getpid()))).string();
    std::filesystem::create_directories(folder + "/Devices");
    platform::SetProgramFolder(folder);
    // One eight-channel profile, so that patched fixtures of the inputs survive the read.
    MemoryStream s;
    WriteDspHeader(s, SpotProfileHeader("Spot"));
    std::ofstream(folder + "/Devices/spot.dsp", std::ios::binary)
        .write(reinterpret_cast<const char *>(s.Data().data()), static_cast<std::streamsize>(s.Data().size()));
    LoadDeviceProfiles();
}

// Removes the folder made by QuietShowCore.
inline void RemoveFuzzFolder()
{
    std::error_code ec;
    std::filesystem::remove_all(platform::ProgramFolder(), ec);
}

// A folder for the files a target writes and reads back on every input: in memory
// (/dev/shm) where there is one, so the disk does not hold the target up, else in the
// program folder. It goes at exit.
inline const std::string &ScratchFolder()
{
    // Never destroyed: the exit handler below still needs it.
    static const std::string &folder = *new std::string([] {
        std::error_code ec;
        std::filesystem::path dir = std::filesystem::is_directory("/dev/shm", ec) ? std::filesystem::path("/dev/shm")
                                                                                   : std::filesystem::path(platform::ProgramFolder());
        dir /= "brtv-fuzz-scratch-" + std::to_string(::getpid());
        std::filesystem::create_directories(dir, ec);
        return dir.string();
    }());
    static const bool removedAtExit = std::atexit([] {
        std::error_code e;
        std::filesystem::remove_all(ScratchFolder(), e);
    }) == 0;
    (void)removedAtExit;
    return folder;
}

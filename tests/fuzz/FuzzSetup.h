// What the fuzz target and its seed maker share: a quiet show core without windows.
#pragma once

#include "app/PatchLoader.h"
#include "app/ShowFile.h"
#include "platform/Files.h"
#include "platform/MsgBox.h"

#include <filesystem>
#include <unistd.h>

inline void QuietShowCore()
{
    // Every box answers at once; nothing ends the process.
    platform::QueueAnswers({});
    ShowFileEvents().memoryAllocationError = [] {};
    static std::string folder =
        (std::filesystem::temp_directory_path() / ("brtv-fuzz-" + std::to_string(::getpid()))).string();
    std::filesystem::create_directories(folder + "/Devices");
    platform::SetProgramFolder(folder);
}

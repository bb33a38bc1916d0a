// The main window's tests run the program in this process: each test gets its own
// program folder ("bin"), settings folder ("cfg") and message-box log ("box.log") under
// a fresh folder, scripted boxes and a start mode as on a first start.
#pragma once

#include "app/StartupState.h"
#include "platform/Files.h"
#include "platform/Messages.h"
#include "platform/MsgBox.h"

#include <cstdlib>
#include <filesystem>
#include <string>

namespace testfiles {

// Points the program at `root` and returns the box log's path.
inline std::string UseProgramFolder(const std::filesystem::path &root)
{
    std::filesystem::create_directories(root / "bin");
    setenv("XDG_CONFIG_HOME", (root / "cfg").c_str(), 1);
    platform::SetProgramFolder((root / "bin").string());
    const std::string log = (root / "box.log").string();
    setenv("BRTV_BOX_LOG", log.c_str(), 1);
    platform::ResetAnswers();
    platform::ResetMessages();
    ResetStartMode();
    TerminateRequested = false;
    return log;
}

} // namespace testfiles

// Media soak: runs the program as an operator starts it, "brantoval /LIST /PLAY show.d1k",
// with the video screen chosen on the hardware window and a play list that loops over a
// video, a WAV and an Ogg sound (AVI 1.4 s -> WAV -> OGG -> Goto line 1), all made here.
// A cycle begins each time the program opens the video file again (seen in its open
// files); after each cycle the program's resident memory is printed.
//
//   media_soak [cycles (60)] [--program path/to/brantoval]
//
// Exits 0 when the program lived through the cycles and closed on SIGTERM, 1 when it died,
// stalled or would not close, 77 when the media could not be made here.
#include "platform/MediaFiles.h"

#include "app/ShowFile.h"
#include "app/ShowModel.h"
#include "app/StartupState.h"
#include "live/PlayList.h"
#include "platform/Settings.h"

#include <csignal>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

extern char **environ;

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point t)
{
    return std::chrono::duration<double>(Clock::now() - t).count();
}

// Resident memory of `pid` in kB (0 when gone).
long RssKb(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    return 0;
}

// Whether `pid` has `file` open.
bool HasOpen(pid_t pid, const fs::path &file)
{
    std::error_code ec;
    for (const auto &fd : fs::directory_iterator("/proc/" + std::to_string(pid) + "/fd", ec)) {
        std::error_code lec;
        if (fs::read_symlink(fd.path(), lec) == file)
            return true;
    }
    return false;
}

PlayListEntry MediaLine(std::int32_t at, const fs::path &file)
{
    PlayListEntry e;
    e.startTime = at;
    e.mediaFile = file.string();   // no start or stop: the whole media
    e.action = ActPlay;
    return e;
}

} // namespace

int main(int argc, char **argv)
{
    int cycles = 60;
    fs::path program = fs::canonical("/proc/self/exe").parent_path() / "brantoval";
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--program" && i + 1 < argc)
            program = argv[++i];
        else
            cycles = std::max(1, std::atoi(a.c_str()));
    }

    char tmpl[] = "/tmp/brtv-soak-XXXXXX";
    if (!mkdtemp(tmpl)) {
        std::perror("media_soak: temporary folder");
        return 1;
    }
    const fs::path root = tmpl;
    fs::create_directories(root / "bin");
    fs::create_directories(root / "cfg");
    fs::create_directories(root / "media");
    // The program's folder holds its configuration: a copy of its own.
    fs::copy_file(program, root / "bin" / "brantoval");
    const fs::path avi = root / "media" / "clip.avi", wav = root / "media" / "tone.wav", ogg = root / "media" / "tone.ogg";
    mediafiles::WriteAvi(avi.string(), 14);   // 1.4 s
    mediafiles::WriteWav(wav.string(), 1000);
    if (const std::string failed = mediafiles::WriteOgg(ogg.string(), 1000); !failed.empty()) {
        std::fprintf(stderr, "media_soak: cannot make the Ogg file: %s\n", failed.c_str());
        fs::remove_all(root);
        return 77;
    }

    // The hardware window's "Windows Media Player Plugin" choice, stored as it stores it.
    setenv("XDG_CONFIG_HOME", (root / "cfg").c_str(), 1);
    {
        platform::Settings settings;
        settings.WriteBinary(MainWindowKey, "DMXIN", {0, 0, 0, 10, 0, 1, 1, 0});
    }
    // The video ends by itself; the WAV is cut short by the Ogg line; the Ogg ends just
    // before the jump.
    NewShow();
    PlayListEntries = {MediaLine(0, avi), MediaLine(1500, wav), MediaLine(2000, ogg)};
    PlayListEntry jump;
    jump.startTime = 3100;
    jump.action = ActGoto;
    jump.gotoRow = 0;
    PlayListEntries.push_back(jump);
    PlayListCount = static_cast<std::int32_t>(PlayListEntries.size());
    const fs::path show = root / "soak.d1k";
    if (!WriteShowFile(show.string())) {
        std::fprintf(stderr, "media_soak: cannot write %s\n", show.c_str());
        return 1;
    }

    // Without a display the program draws off screen.
    if (!std::getenv("DISPLAY"))
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // No interface library beside the copy: demo mode; no to saving at the end.
    setenv("BRTV_ANSWERS", "Yes,No,No,No", 1);
    setenv("BRTV_BOX_LOG", (root / "boxes.log").c_str(), 1);
    const std::string exe = (root / "bin" / "brantoval").string();
    std::vector<std::string> args = {exe, "/LIST", "/PLAY", show.string()};
    std::vector<char *> argvChild;
    for (std::string &a : args)
        argvChild.push_back(a.data());
    argvChild.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, exe.c_str(), nullptr, nullptr, argvChild.data(), environ) != 0) {
        std::perror("media_soak: start");
        return 1;
    }
    std::printf("media_soak: %d cycles of AVI 1.4 s -> WAV -> OGG -> Goto 1 with the video screen, pid %d\n", cycles,
                static_cast<int>(pid));
    std::printf("cycle  seconds  rss_MB\n");
    std::fflush(stdout);

    const auto started = Clock::now();
    auto lastCycle = started;
    int done = -1;   // cycles completed; the first opening of the video starts cycle 1
    bool open = false;
    bool oggSince = true;   // the Ogg file was open since the video last opened
    int status = 0;
    bool died = false;
    while (done < cycles) {
        if (waitpid(pid, &status, WNOHANG) == pid) {
            died = true;
            break;
        }
        const bool nowOpen = HasOpen(pid, avi);
        oggSince = oggSince || HasOpen(pid, ogg);
        // The backend may open a file more than once while it loads it.
        if (nowOpen && !open && oggSince) {
            oggSince = false;
            if (done >= 0) {
                std::printf("%5d  %7.1f  %6.1f\n", done + 1, SecondsSince(started), RssKb(pid) / 1024.0);
                std::fflush(stdout);
            }
            ++done;
            lastCycle = Clock::now();
        }
        if (nowOpen != open && std::getenv("SOAK_TRACE"))
            std::printf("  %.2f avi %s\n", SecondsSince(started), nowOpen ? "open" : "closed");
        open = nowOpen;
        if (SecondsSince(lastCycle) > 30) {
            std::printf("media_soak: the video was not opened again for 30 s (after %d cycles)\n", std::max(done, 0));
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            fs::remove_all(root);
            return 1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (died) {
        if (WIFSIGNALED(status))
            std::printf("media_soak: the program died of signal %d in cycle %d\n", WTERMSIG(status), std::max(done, 0) + 1);
        else
            std::printf("media_soak: the program ended (status %d) in cycle %d\n", WEXITSTATUS(status), std::max(done, 0) + 1);
        fs::remove_all(root);
        return 1;
    }

    // Closed the way a desktop closes it.
    kill(pid, SIGTERM);
    const auto closing = Clock::now();
    while (waitpid(pid, &status, WNOHANG) != pid) {
        if (SecondsSince(closing) > 20) {
            std::printf("media_soak: the program did not close within 20 s of SIGTERM\n");
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            fs::remove_all(root);
            return 1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    const bool clean = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    std::printf("media_soak: %d cycles lived; %s\n", cycles,
                clean ? "closed cleanly" : (WIFSIGNALED(status) ? "died while closing" : "closed with an error"));
    fs::remove_all(root);
    return clean ? 0 : 1;
}

// Show file benchmark: makes a show of 1000 sequences of 100 scenes (every scene with
// all 1024 levels), saves it, and prints the median of three runs of: one plain read of
// the file into memory, the open (ReadShowFile) and the save (WriteShowFile), in ms, with
// the open/plain ratio. Those opens reuse the memory the made show left behind; the first
// open of a real start has none, so the first open is also timed in a new process of
// this program (median of R processes), the case an operator meets.
//
//   showfile_bench [--sequences N] [--scenes M] [--runs R]
//   showfile_bench --first-open FILE   (one open in this process; prints its ms)
#include "app/ShowFile.h"
#include "app/ShowModel.h"

#include "platform/Files.h"
#include "platform/MsgBox.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace {

void MakeShow(int sequences, int scenes)
{
    FreeShowTables();
    for (int i = 0; i < sequences; ++i) {
        SequenceRecord *seq = NewSequenceRecord(SequenceCount);
        seq->name = "SEQUENCE " + std::to_string(i + 1);
        for (int j = 0; j < scenes; ++j) {
            SceneRecord *sc = NewSceneRecord(nullptr);
            std::snprintf(reinterpret_cast<char *>(sc->name.data()), sc->name.size(), "SCENE %d", j + 1);
            for (int c = 0; c < MaxChannels; ++c)
                sc->levels[c] = static_cast<std::uint8_t>(c * 7 + j + i);
            seq->scenes[j] = sc;
        }
        seq->sceneCount = static_cast<std::int16_t>(scenes);
        Sequences[static_cast<std::size_t>(SequenceCount++)] = seq;
    }
}

// One plain read of the whole file into memory.
bool PlainRead(const std::string &path, std::vector<char> &into)
{
    int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0)
        return false;
    into.resize(static_cast<std::size_t>(std::filesystem::file_size(path)));
    std::size_t got = 0;
    while (got < into.size()) {
        ssize_t r = ::read(fd, into.data() + got, into.size() - got);
        if (r <= 0)
            break;
        got += static_cast<std::size_t>(r);
    }
    ::close(fd);
    return got == into.size();
}

double MedianMs(int runs, const std::function<bool()> &run, bool &ok)
{
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        auto t0 = std::chrono::steady_clock::now();
        ok = run() && ok;
        auto t1 = std::chrono::steady_clock::now();
        ms.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

// The open of `path` as the first thing a process does after its set-up.
int FirstOpen(const std::string &path)
{
    platform::QueueAnswers({});
    platform::SetProgramFolder(std::filesystem::path(path).parent_path().string());
    const auto t0 = std::chrono::steady_clock::now();
    const bool ok = ReadShowFile(path);
    const auto t1 = std::chrono::steady_clock::now();
    std::printf("%.3f\n", std::chrono::duration<double, std::milli>(t1 - t0).count());
    return ok ? 0 : 1;
}

// One first open in a new process of this program; negative when it failed.
double FirstOpenInNewProcess(const std::string &path)
{
    const std::string command = "'" + std::filesystem::read_symlink("/proc/self/exe").string() + "' --first-open '" +
                                path + "'";
    FILE *child = ::popen(command.c_str(), "r");
    if (!child)
        return -1;
    double ms = -1;
    if (std::fscanf(child, "%lf", &ms) != 1)
        ms = -1;
    return ::pclose(child) == 0 ? ms : -1;
}

int IntArg(int argc, char **argv, const char *name, int fallback)
{
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], name) == 0)
            return std::max(1, std::atoi(argv[i + 1]));
    return fallback;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--first-open") == 0)
        return FirstOpen(argv[2]);
    const int sequences = std::min(IntArg(argc, argv, "--sequences", 1000), MaxSequences);
    const int scenes = std::min(IntArg(argc, argv, "--scenes", 100), MaxScenes);
    const int runs = IntArg(argc, argv, "--runs", 3);

    // A quiet show core in a folder of its own: every box answers at once.
    platform::QueueAnswers({});
    const auto folder = std::filesystem::temp_directory_path() / ("brtv-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder / "Devices");
    platform::SetProgramFolder(folder.string());
    const std::string path = (folder / "bench.d1k").string();

    MakeShow(sequences, scenes);
    bool ok = WriteShowFile(path);
    const auto bytes = std::filesystem::file_size(path);
    std::vector<char> plain;
    PlainRead(path, plain);   // the file now sits in the page cache for every run

    const double readMs = MedianMs(runs, [&] { return PlainRead(path, plain); }, ok);
    const double openMs = MedianMs(runs, [&] { return ReadShowFile(path); }, ok);
    const bool sameShow = SequenceCount == sequences && Sequences[0]->sceneCount == scenes;
    const double saveMs = MedianMs(runs, [&] { return WriteShowFile(path); }, ok);
    PlainRead(path, plain);
    // The first open of a new process, as that process timed it.
    std::vector<double> first;
    for (int i = 0; i < runs; ++i)
        first.push_back(FirstOpenInNewProcess(path));
    std::sort(first.begin(), first.end());
    ok = first.front() >= 0 && ok;
    const double firstMs = first[first.size() / 2];

    std::printf("show: %d sequences x %d scenes, %.1f MB, median of %d runs\n", sequences, scenes,
                static_cast<double>(bytes) / 1e6, runs);
    std::printf("plain read  %9.1f ms\n", readMs);
    std::printf("open        %9.1f ms\n", openMs);
    std::printf("save        %9.1f ms\n", saveMs);
    std::printf("open/plain  %9.1f x\n", openMs / std::max(readMs, 1e-3));
    std::printf("first open in a new process %9.1f ms\n", firstMs);
    std::printf("first open/plain            %9.1f x\n", firstMs / std::max(readMs, 1e-3));
    std::filesystem::remove_all(folder);
    if (!ok || !sameShow) {
        std::fprintf(stderr, "showfile_bench: a read or write failed\n");
        return 1;
    }
    return 0;
}

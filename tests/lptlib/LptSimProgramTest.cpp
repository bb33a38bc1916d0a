// The lptsim program: options, socket readiness, the --log and --frames files, SIGTERM.
#include "lptlib/LptLibrary.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

struct SimProcess {
    pid_t pid = -1;
    int Start(const std::vector<std::string> &args)
    {
        pid = fork();
        if (pid == 0) {
            std::vector<char *> argv;
            argv.push_back(const_cast<char *>(BRTV_LPTSIM_PROGRAM));
            for (const auto &a : args)
                argv.push_back(const_cast<char *>(a.c_str()));
            argv.push_back(nullptr);
            execv(BRTV_LPTSIM_PROGRAM, argv.data());
            _exit(127);
        }
        return pid;
    }
    int Wait()
    {
        int status = 0;
        waitpid(pid, &status, 0);
        pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    ~SimProcess()
    {
        if (pid > 0) {
            kill(pid, SIGKILL);
            Wait();
        }
    }
};

bool WaitForFile(const fs::path &p)
{
    for (int i = 0; i < 500; ++i) {
        if (fs::exists(p))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

std::string ReadAll(const fs::path &p)
{
    std::ifstream in(p, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

struct SimProgramTest : ::testing::Test {
    fs::path dir;
    void SetUp() override
    {
        char tmpl[] = "/tmp/brtv-lptsim-prog-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = tmpl;
    }
    void TearDown() override { fs::remove_all(dir); }
};

TEST_F(SimProgramTest, ServesProbesFramesAndInputAndWritesItsFiles)
{
    std::string pattern(512, '\0');
    for (int i = 0; i < 512; ++i)
        pattern[i] = static_cast<char>(i * 7);
    std::ofstream(dir / "input", std::ios::binary) << pattern;

    const fs::path sock = dir / "s";
    SimProcess sim;
    sim.Start({"--socket", sock, "--base", "0x3BC", "--revision", "74", "--channels", "1024", "--input",
               dir / "input", "--beat", "5", "--frames", dir / "frames", "--log", dir / "log"});
    ASSERT_TRUE(WaitForFile(sock));

    setenv("BRTV_LPT_SIM", sock.c_str(), 1);
    {
        portio::TLPTBRTV_Driver driver;
        lpt::LptLibrary lib(driver, [](int) {});
        EXPECT_FALSE(lib.TestLoad(0x378));
        EXPECT_FALSE(lib.TestLoad(0x278));
        ASSERT_TRUE(lib.TestLoad(0x3BC));
        auto &p = lib.Protocol();
        EXPECT_EQ(p.GetBufferSize(), 1024);
        ASSERT_TRUE(p.SendInterfaceRequest(4, 0, 0));
        std::uint8_t beat = 0;
        ASSERT_TRUE(p.ReadBlock(1, &beat));
        EXPECT_EQ(beat, 5);
        std::vector<std::uint8_t> levels(256, 0);
        levels[0] = 200;
        EXPECT_EQ(p.DMXWrite(256, levels.data()), 256);
        EXPECT_EQ(p.DMXWrite(2, levels.data()), 2);
        std::vector<std::uint8_t> in(512);
        EXPECT_EQ(p.DMXRead(512, in.data()), 512);
        EXPECT_EQ(std::string(in.begin(), in.end()), pattern);
        lib.CloseDevice();
    }
    unsetenv("BRTV_LPT_SIM");

    // The close reaches the log before SIGTERM ends the simulator.
    for (int i = 0; i < 200 && ReadAll(dir / "log").find("CLOSE") == std::string::npos; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    kill(sim.pid, SIGTERM);
    EXPECT_EQ(sim.Wait(), 0);
    EXPECT_FALSE(fs::exists(sock)) << "the socket is removed on exit";

    EXPECT_EQ(ReadAll(dir / "log"), "BASE 0x378\nBASE 0x278\nBASE 0x3BC\n"
                                    "02 FD 00 00 00 00\n03 FC 00 00 00 00\n04 FB 00 00 00 00\n"
                                    "00 FF 00 00 00 01\n00 FF 00 00 02 00\n01 FE 00 00 00 02\nCLOSE\n");
    const std::string frames = ReadAll(dir / "frames");
    ASSERT_EQ(frames.size(), 2u + 256u + 2u + 2u);
    EXPECT_EQ(static_cast<std::uint8_t>(frames[0]), 0x00);
    EXPECT_EQ(static_cast<std::uint8_t>(frames[1]), 0x01);
    EXPECT_EQ(static_cast<std::uint8_t>(frames[2]), 200);
    EXPECT_EQ(frames.substr(3, 255), std::string(255, '\0'));
    EXPECT_EQ(frames.substr(258, 4), std::string("\x02\x00\xC8\x00", 4));
}

TEST_F(SimProgramTest, RejectsBadOptions)
{
    SimProcess a;
    a.Start({"--base", "0x378"});
    EXPECT_EQ(a.Wait(), 2) << "--socket is required";
    SimProcess b;
    b.Start({"--socket", dir / "s", "--revision", "300"});
    EXPECT_EQ(b.Wait(), 2);
    SimProcess c;
    c.Start({"--socket", dir / "s", "--input", dir / "missing"});
    EXPECT_EQ(c.Wait(), 1);
    EXPECT_FALSE(fs::exists(dir / "s"));
}

} // namespace

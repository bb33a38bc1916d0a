// The program with the interface simulator standing in for the hardware: in this process
// (offscreen, the test ticks the engine itself) and as the real program in its own process.
// The simulator is the lptsim program; the library is the build's lptbrtv.so, copied into a
// temporary program folder.
#include "app/Application.h"
#include "app/InterfaceBinding.h"
#include "app/InterfaceLibrary.h"
#include "app/LevelPipeline.h"
#include "app/MainForm.h"
#include "app/OutputEngine.h"
#include "app/PlayState.h"
#include "app/StartupState.h"

#include "platform/Files.h"
#include "platform/Messages.h"
#include "platform/MsgBox.h"

#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>
#include "common/TestFiles.h"
#include "SimulatorHarness.h"

namespace fs = std::filesystem;
using namespace simharness;

namespace {

const char *const Inaccessible = "Brantoval-1024|DMX hardware is inaccessible\r\nContinue in demo mode ?";
const char *const Forbidden = "Brantoval-1024|Access to DMX hardware is forbidden\r\nContinue in demo mode ?";

std::vector<std::string> steps;
void RecordStep(const char *step) { steps.emplace_back(step); }

using testfiles::Read;

std::vector<std::string> Lines(const std::string &text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        out.push_back(line);
    return out;
}

class InterfaceEndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = testfiles::FreshFolder("brtv-iface");
        fs::create_directories(root / "bin");
        const char *bin = std::getenv("BRTV_BIN_DIR");
        ASSERT_NE(bin, nullptr);
        buildBin = bin;
        fs::copy_file(buildBin / "lptbrtv.so", root / "bin" / "lptbrtv.so");
        socket = root / "sim";
        simLog = root / "sim.log";
        frames = root / "frames";
        boxLog = root / "box.log";
    }
    void TearDown() override
    {
        if (MainForm)
            DestroyProgramWindows();
        CloseInterface();
        LifecycleTrace = nullptr;
        AccessLevel = 0;
        for (QProcess *p : processes) {
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished(5000);
            }
            delete p;
        }
        sim.Stop();
        unsetenv("BRTV_LPT_SIM");
        unsetenv("BRTV_BOX_LOG");
        platform::ResetAnswers();
        platform::SetProgramFolder("");
        DmxInEnabled = DmxInThrough = DmxInMode = 0;
        fs::remove_all(root);
    }

    void StartSimulator(std::vector<std::string> args)
    {
        args.insert(args.end(), {"--log", simLog.string(), "--frames", frames.string()});
        ASSERT_TRUE(sim.Start(socket, args));
    }

    // The program in this process, a new show from the start dialog. The test ticks the
    // engine itself.
    void StartInProcess()
    {
        setenv("XDG_CONFIG_HOME", (root / "cfg").c_str(), 1);
        setenv("BRTV_LPT_SIM", socket.c_str(), 1);
        setenv("BRTV_BOX_LOG", boxLog.c_str(), 1);
        platform::SetProgramFolder((root / "bin").string());
        platform::ResetAnswers();
        platform::ResetMessages();
        platform::QueueAnswers({"1"});
        ResetStartMode();
        TerminateRequested = false;
        ShowModified = 0;
        EngineBusy = 0;
        AccessLevel = 0;
        InterfaceKind = 0;
        steps.clear();
        LifecycleTrace = RecordStep;
        char arg0[] = "brantoval";
        char *argv[] = {arg0, nullptr};
        ASSERT_TRUE(CreateProgramWindows(1, argv));
        StopOutputTimer();
        DmxOutEnabled = 1;
    }

    // The real program from a copy of the build's bin folder.
    QProcess *Launch(const QStringList &env)
    {
        if (!fs::exists(root / "bin" / "brantoval")) {
            fs::copy_file(buildBin / "brantoval", root / "bin" / "brantoval");
            fs::permissions(root / "bin" / "brantoval", fs::perms::owner_all);
        }
        auto *p = new QProcess;
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        e.remove("BRTV_LPT_IOPERM");
        e.insert("QT_QPA_PLATFORM", "offscreen");
        e.insert("XDG_CONFIG_HOME", QString::fromStdString((root / "pcfg").string()));
        e.insert("BRTV_TRACE", QString::fromStdString((root / "trace").string()));
        e.insert("BRTV_BOX_LOG", QString::fromStdString(boxLog.string()));
        for (const QString &kv : env)
            e.insert(kv.section('=', 0, 0), kv.section('=', 1));
        p->setProcessEnvironment(e);
        p->setWorkingDirectory(QString::fromStdString(root.string()));
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p->start(QString::fromStdString((root / "bin" / "brantoval").string()), {});
        p->waitForStarted(30000);
        processes.push_back(p);
        return p;
    }
    bool Traced(const std::string &step) { return Read(root / "trace").find(step + "\n") != std::string::npos; }

    fs::path root, buildBin, socket, simLog, frames, boxLog;
    Simulator sim;
    std::vector<QProcess *> processes;
};

const char *const RevisionRequest = "02 FD 00 00 00 00";
const char *const SizeRequest = "03 FC 00 00 00 00";

} // namespace

TEST_F(InterfaceEndToEnd, ProbesBindsAndSendsTheChangedFrameThenClosesTheDevice)
{
    StartSimulator({"--base", "0x3BC"});
    StartInProcess();
    EXPECT_EQ(DeviceState, 0);
    EXPECT_EQ(DmxOutChannels, 512);
    EXPECT_EQ(std::memcmp(HardwareRevision, "5.5\0", 4), 0);
    EXPECT_EQ(Read(boxLog).find("demo mode"), std::string::npos);
    const std::vector<std::string> log = Lines(Read(simLog));
    ASSERT_GE(log.size(), 6u);
    EXPECT_EQ(std::vector<std::string>(log.begin(), log.begin() + 6),
              (std::vector<std::string>{"BASE 0x378", "BASE 0x278", "BASE 0x3BC", RevisionRequest, SizeRequest,
                                        RevisionRequest}));

    OutputTick();
    EXPECT_TRUE(Frames(frames).empty());
    SetChannelLevel(0, 200);
    OutputTick();
    ASSERT_TRUE(WaitFor([&] { return !Frames(frames).empty(); }));
    const std::vector<std::string> sent = Frames(frames);
    ASSERT_EQ(sent.size(), 1u);
    std::string expected(256, '\0');
    expected[0] = static_cast<char>(200);
    EXPECT_EQ(sent[0], expected);
    // Nothing changed: nothing is sent.
    OutputTick();
    EXPECT_EQ(Frames(frames).size(), 1u);

    // The normal close releases the device.
    EXPECT_TRUE(MainForm->close());
    EXPECT_EQ(DeviceState, -1);
    EXPECT_EQ(InterfaceLibrary.handle, nullptr);
    EXPECT_TRUE(WaitFor([&] { return Lines(Read(simLog)).back() == "CLOSE"; }));
}

TEST_F(InterfaceEndToEnd, InputThroughComesBackAsTheNextFrame)
{
    std::string pattern(512, '\0');
    for (int i = 0; i < 512; ++i)
        pattern[static_cast<std::size_t>(i)] = static_cast<char>(i * 7 + 3);
    std::ofstream(root / "input", std::ios::binary) << pattern;
    StartSimulator({"--input", (root / "input").string()});
    StartInProcess();
    ASSERT_EQ(DeviceState, 0);
    ASSERT_NE(InterfaceLibrary._DMXRead, nullptr);
    DmxInEnabled = 1;
    DmxInMode = 0;
    DmxInThrough = 1;
    OutputTick();
    ASSERT_TRUE(WaitFor([&] { return !Frames(frames).empty(); }));
    const std::vector<std::string> sent = Frames(frames);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0], pattern);
    EXPECT_EQ(std::string(reinterpret_cast<const char *>(DmxInLevels), 512), pattern);
}

TEST_F(InterfaceEndToEnd, NoToTheQuestionAfterStartClosesTheMainWindow)
{
    StartSimulator({});
    StartInProcess();
    ASSERT_EQ(DeviceState, 0);
    // The access level is raised while the program runs.
    AccessLevel = 3;
    platform::QueueAnswers({"No"});
    EXPECT_FALSE(OpenInterface(InterfaceKind, false));
    EXPECT_FALSE(TerminateRequested);
    const std::string boxes = Read(boxLog), asked = std::string(Forbidden) + "|No\n";
    ASSERT_GE(boxes.size(), asked.size());
    EXPECT_EQ(boxes.substr(boxes.size() - asked.size()), asked);
    EXPECT_TRUE(WaitFor([&] { return Lines(Read(simLog)).back() == "CLOSE"; }));
    // The close was posted, not run inside the question.
    EXPECT_EQ(std::count(steps.begin(), steps.end(), "FormClose"), 0);
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(std::count(steps.begin(), steps.end(), "FormClose"), 1);
    EXPECT_EQ(std::count(steps.begin(), steps.end(), "InterfaceClosed"), 1);
}

TEST_F(InterfaceEndToEnd, RealProgramBindsTheSimulatorAndClosesTheDeviceOnSigterm)
{
    StartSimulator({});
    QProcess *p = Launch({"BRTV_LPT_SIM=" + QString::fromStdString(socket.string()), "BRTV_ANSWERS=1"});
    ASSERT_TRUE(WaitFor([&] { return Traced("TDebugForm"); }));
    std::vector<std::string> log = Lines(Read(simLog));
    ASSERT_GE(log.size(), 4u);
    EXPECT_EQ(std::vector<std::string>(log.begin(), log.begin() + 4),
              (std::vector<std::string>{"BASE 0x378", RevisionRequest, SizeRequest, RevisionRequest}));
    EXPECT_EQ(Read(boxLog).find("demo mode"), std::string::npos);
    EXPECT_NE(log.back(), "CLOSE");

    ::kill(static_cast<pid_t>(p->processId()), SIGTERM);
    ASSERT_TRUE(p->waitForFinished(30000));
    EXPECT_EQ(p->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p->exitCode(), 0);
    EXPECT_TRUE(Traced("InterfaceClosed"));
    EXPECT_TRUE(WaitFor([&] { return Lines(Read(simLog)).back() == "CLOSE"; }));
}

TEST_F(InterfaceEndToEnd, WithoutTheSimulatorNoEndsTheProgramAtStart)
{
    // The simulator's socket is named but nothing listens: no real port is ever tried.
    QProcess *p = Launch({"BRTV_LPT_SIM=" + QString::fromStdString((root / "nothing").string()), "BRTV_ANSWERS=No"});
    ASSERT_TRUE(p->waitForFinished(30000));
    EXPECT_EQ(p->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p->exitCode(), 0);
    EXPECT_NE(Read(boxLog).find(std::string(Inaccessible) + "|No\n"), std::string::npos);
    EXPECT_TRUE(Traced("FormCreate"));
    EXPECT_FALSE(Traced("TAudSynch"));
}

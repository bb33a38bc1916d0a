// The real program started as a process: single instance, SIGTERM, the settings file.
#include <QProcess>
#include <QProcessEnvironment>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <utility>
#include <vector>
#include "common/TestFiles.h"

namespace fs = std::filesystem;

namespace {
using testfiles::Read;

// Waits up to 30 s (a hang guard) for `done`.
template <class F> bool WaitFor(F done)
{
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!done()) {
        if (std::chrono::steady_clock::now() > until)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

class ProgramProcess : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = testfiles::FreshFolder("brtv-proc");
        fs::create_directories(root / "bin");
        const char *bin = std::getenv("BRTV_BIN_DIR");
        ASSERT_NE(bin, nullptr);
        fs::copy_file(fs::path(bin) / "brantoval", root / "bin" / "brantoval");
        fs::permissions(root / "bin" / "brantoval", fs::perms::owner_all);
    }
    void TearDown() override
    {
        for (auto *p : processes) {
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished(5000);
            }
            delete p;
        }
        fs::remove_all(root);
    }
    QProcess *Launch(const std::string &cfg, const QStringList &args, const QStringList &env = {})
    {
        auto *p = new QProcess;
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        e.insert("QT_QPA_PLATFORM", "offscreen");
        e.insert("XDG_CONFIG_HOME", QString::fromStdString((root / cfg).string()));
        e.insert("BRTV_TRACE", QString::fromStdString((root / (cfg + ".trace")).string()));
        e.insert("BRTV_BOX_LOG", QString::fromStdString((root / (cfg + ".box")).string()));
        for (const QString &kv : env)
            e.insert(kv.section('=', 0, 0), kv.section('=', 1));
        // No interface library beside the copied program: the demo-mode question comes first.
        if (e.contains("BRTV_ANSWERS"))
            e.insert("BRTV_ANSWERS", "Yes," + e.value("BRTV_ANSWERS"));
        p->setProcessEnvironment(e);
        p->setWorkingDirectory(QString::fromStdString(root.string()));
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p->start(QString::fromStdString((root / "bin" / "brantoval").string()), args);
        p->waitForStarted(30000);
        processes.push_back(p);
        return p;
    }
    bool Traced(const std::string &cfg, const std::string &step)
    {
        return Read(root / (cfg + ".trace")).find(step + "\n") != std::string::npos;
    }
    bool Running(const std::string &cfg) { return Traced(cfg, "TDebugForm"); }
    fs::path root;
    std::vector<QProcess *> processes;
};
} // namespace

TEST_F(ProgramProcess, SigtermClosesThroughTheNormalClose)
{
    QProcess *p = Launch("a", {"/SEQUENCE:1"}, {"BRTV_ANSWERS=1"});
    ASSERT_TRUE(WaitFor([&] { return Running("a"); }));
    EXPECT_EQ(fs::file_size(root / "bin" / "PlanImg.bmp"), 720054u);
    std::string ini = Read(root / "a" / "Brantoval" / "settings.ini");
    EXPECT_NE(ini.find("[Software/Brantoval/MainWindow]\n"), std::string::npos);
    EXPECT_NE(ini.find("Size=0\n"), std::string::npos);
    EXPECT_NE(ini.find("[Software/Brantoval/History]\nFile1=\nFile2=\nFile3=\nFile4=\nFile5=\n"), std::string::npos);
    ::kill(static_cast<pid_t>(p->processId()), SIGTERM);
    ASSERT_TRUE(p->waitForFinished(30000));
    EXPECT_EQ(p->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p->exitCode(), 0);
    EXPECT_TRUE(Traced("a", "FormClose"));
    EXPECT_TRUE(Traced("a", "TimerStopped"));
}

TEST_F(ProgramProcess, ModifiedShowAsksOnSigterm)
{
    std::string show = (root / "show.d1k").string();
    { std::ofstream(show) << "x"; }
    // The unreadable show brings the start dialog: New Show and its patch window, then the
    // close is cancelled.
    QProcess *p = Launch("m", {QString::fromStdString(show)},
                         {"BRTV_ANSWERS=1,1,Cancel,No", "BRTV_SHOW_MODIFIED=1"});
    ASSERT_TRUE(WaitFor([&] { return Running("m"); }));
    ::kill(static_cast<pid_t>(p->processId()), SIGTERM);
    ASSERT_TRUE(WaitFor([&] { return Traced("m", "CloseRefused"); }));
    std::string boxes = Read(root / "m.box");
    EXPECT_NE(boxes.find("Brantoval-1024|The Show was modified. Save file ?|Cancel\n"), std::string::npos);
    EXPECT_EQ(boxes.find("|No\n"), std::string::npos);
    EXPECT_FALSE(p->waitForFinished(300));
    ::kill(static_cast<pid_t>(p->processId()), SIGTERM);
    ASSERT_TRUE(p->waitForFinished(30000));
    EXPECT_EQ(p->exitCode(), 0);
}

TEST_F(ProgramProcess, SecondStartRaisesTheFirstAndEnds)
{
    QProcess *first = Launch("s", {}, {"BRTV_ANSWERS=1"});
    ASSERT_TRUE(WaitFor([&] { return Running("s"); }));
    QProcess *second = Launch("s", {}, {"BRTV_ANSWERS=1"});
    ASSERT_TRUE(second->waitForFinished(30000));
    EXPECT_EQ(second->exitCode(), 0);
    EXPECT_TRUE(WaitFor([&] { return Traced("s", "RaiseRequest"); }));
    EXPECT_EQ(first->state(), QProcess::Running);

    // Another settings folder is another user's world: both run.
    QProcess *other = Launch("t", {}, {"BRTV_ANSWERS=1"});
    ASSERT_TRUE(WaitFor([&] { return Running("t"); }));
    EXPECT_EQ(other->state(), QProcess::Running);
    EXPECT_EQ(first->state(), QProcess::Running);
}

// A settings file whose access record cannot be read, or that cannot be read itself:
// each start stays locked (level 3 when the record's first byte reads as 3, else 2),
// says so once, skips the save question at the close as level 2 does, and leaves the
// value as it was; a file the reader could not take whole is kept as settings.ini.bad,
// and when the record went with it the file stays as it was.
TEST_F(ProgramProcess, DamagedAccessRecordKeepsTheLockAndItsBytes)
{
    struct Case {
        std::string name, pwd;
        int level;
    };
    const std::string zeros = "000000000000000000";
    const std::vector<Case> cases = {
        {"short", "hex:03" + zeros.substr(0, 14), 3},              // 8 bytes
        {"long", "hex:02" + zeros + "0000", 2},                    // 11 bytes
        {"empty", "hex:", 2},
        {"plain", "03" + zeros, 2},                                // no "hex:"
        {"letter", "hex:2z" + zeros, 2},                           // first digit pair not hex
        {"odd", "hex:03" + zeros + "0", 3},                        // 21 digits
        {"setup", "hex:01" + zeros.substr(0, 14), 2},              // level 1, 8 bytes: stricter
        {"badfirst", "hex:z3" + zeros, 2},                         // first digit not hex
    };
    auto settings = [&](const std::string &cfg) { return root / cfg / "Brantoval" / "settings.ini"; };
    for (const Case &c : cases) {
        fs::create_directories(settings(c.name).parent_path());
        std::ofstream(settings(c.name), std::ios::binary)
            << "[Software/Brantoval/MainWindow]\nPWD=" << c.pwd << "\nSize=0\n";
    }
    // Random bytes, and a file the program wrote cut inside the record's name.
    std::string noise;
    std::uint32_t state = 12345;
    for (int i = 0; i < 3000; ++i) {
        state = state * 1103515245u + 12345u;
        noise += char(state >> 16);
    }
    const std::string cut = "[Software/Brantoval/History]\nFile1=\n\n[Software/Brantoval/MainWindow]\nCrossPos=200\n"
                            "PW";
    for (const auto &[cfg, text] : {std::pair<std::string, std::string>{"noise", noise}, {"cut", cut}}) {
        fs::create_directories(settings(cfg).parent_path());
        std::ofstream(settings(cfg), std::ios::binary) << text;
    }
    std::vector<std::pair<std::string, QProcess *>> runs;
    for (const std::string cfg : {"short", "long", "empty", "plain", "letter", "odd", "setup", "badfirst", "noise", "cut"})
        runs.emplace_back(cfg, Launch(cfg, {}, {"BRTV_ANSWERS=1,No", "BRTV_SHOW_MODIFIED=1"}));
    for (auto &[cfg, p] : runs)
        ASSERT_TRUE(WaitFor([&, cfg = cfg] { return Running(cfg); })) << cfg;
    for (auto &[cfg, p] : runs)
        ::kill(static_cast<pid_t>(p->processId()), SIGTERM);
    auto count = [](const std::string &text, const std::string &part) {
        int n = 0;
        for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
            ++n;
        return n;
    };
    for (auto &[cfg, p] : runs) {
        SCOPED_TRACE(cfg);
        ASSERT_TRUE(p->waitForFinished(30000));
        EXPECT_EQ(p->exitCode(), 0);
        const std::string boxes = Read(root / (cfg + ".box"));
        EXPECT_EQ(count(boxes, "Brantoval-1024|The access record is damaged: the program stays locked.\r\n"), 1) << boxes;
        EXPECT_EQ(boxes.find("Save file ?"), std::string::npos) << boxes;
        const auto it = std::find_if(cases.begin(), cases.end(), [&](const Case &c) { return c.name == cfg; });
        const int level = it != cases.end() ? it->level : 2;
        EXPECT_EQ(boxes.find("Access to DMX hardware is forbidden") != std::string::npos, level == 3) << boxes;
        const std::string ini = Read(settings(cfg));
        if (it != cases.end()) {
            EXPECT_NE(ini.find("\nPWD=" + it->pwd + "\n"), std::string::npos) << ini;
            EXPECT_FALSE(fs::exists(settings(cfg).string() + ".bad"));
        } else {
            EXPECT_EQ(Read(settings(cfg).string() + ".bad"), cfg == "noise" ? noise : cut);
            EXPECT_EQ(ini, cfg == "noise" ? noise : cut) << "not replaced at the close";
        }
    }
}

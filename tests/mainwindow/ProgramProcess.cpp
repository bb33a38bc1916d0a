// The real program started as a process: single instance, SIGTERM, the settings file.
#include <QProcess>
#include <QProcessEnvironment>
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
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

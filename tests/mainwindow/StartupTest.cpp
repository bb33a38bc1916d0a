// The program's start-up and shut-down in this process, offscreen.
#include "app/Application.h"
#include "app/LevelPipeline.h"
#include "app/MainForm.h"
#include "app/OutputEngine.h"
#include "app/PatchLoader.h"
#include "app/PlayState.h"
#include "app/StartupState.h"
#include "app/BinaryStream.h"
#include "app/ShowModel.h"
#include "fixtures/SetupFile.h"
#include "ui_MainForm.h"

#include "platform/Files.h"
#include "platform/Messages.h"
#include "platform/MsgBox.h"
#include "platform/Settings.h"

#include <QAction>
#include <QImage>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <sys/stat.h>
#include "common/ProgramFolder.h"
#include "common/TestFiles.h"

namespace fs = std::filesystem;

namespace {
std::vector<std::string> trace;
void Record(const char *step) { trace.emplace_back(step); }

using testfiles::Read;

int IndexOf(const std::string &step)
{
    for (std::size_t i = 0; i < trace.size(); ++i)
        if (trace[i] == step)
            return static_cast<int>(i);
    return -1;
}

class StartupTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = testfiles::FreshFolder("brtv-start");
        log = testfiles::UseProgramFolder(root);
        ShowModified = 0;
        EngineBusy = 0;
        trace.clear();
        LifecycleTrace = Record;
    }
    void TearDown() override
    {
        if (MainForm)
            DestroyProgramWindows();
        LifecycleTrace = nullptr;
        FileWriter() = platform::WriteFileAtomically;
        unsetenv("BRTV_BOX_LOG");
        platform::ResetAnswers();
        platform::SetProgramFolder("");
        fs::remove_all(root);
    }
    // Without `exact`, "Yes" goes first: there is no interface library in the program
    // folder, so the demo-mode question comes before the start dialog.
    bool Start(std::vector<std::string> answers = {"1"}, bool exact = false)
    {
        if (!exact)
            answers.insert(answers.begin(), "Yes");
        platform::QueueAnswers(answers);
        char arg0[] = "brantoval";
        char *argv[] = {arg0, nullptr};
        return CreateProgramWindows(1, argv);
    }
    fs::path root;
    std::string log;
};
} // namespace

TEST_F(StartupTest, WindowsAreCreatedInOrderAfterFormCreate)
{
    ASSERT_TRUE(Start());
    const char *order[] = {"FormCreate", "LoadHotKeys", "TAudSynch", "TPhisMast", "TProgramForm", "TSequencesList", "TMusicPlayer",
                           "TMultiSeq", "TCueListF", "TMasterGroups", "TDebugForm"};
    int last = -1;
    for (const char *step : order) {
        int i = IndexOf(step);
        EXPECT_GT(i, last) << step;
        last = i;
    }
    EXPECT_TRUE(OutputTimerRunning());
    EXPECT_EQ(ApplicationTitle(), QStringLiteral("Brantoval-1024"));
    EXPECT_NE(MessageWindow, 0u);
    StartupActionsPending = 1;
    MainForm->FormActivate();
    EXPECT_EQ(StartupActionsPending, 0);

    // The first start makes the stage-plan bitmap and the settings keys.
    fs::path plan = root / "bin" / "PlanImg.bmp";
    ASSERT_TRUE(fs::exists(plan));
    EXPECT_EQ(fs::file_size(plan), 720054u);
    QImage img(QString::fromStdString(plan.string()));
    EXPECT_EQ(img.size(), QSize(480, 500));
    platform::Settings reg;
    EXPECT_TRUE(reg.ValueExists(MainWindowKey, "Size"));
    EXPECT_EQ(reg.ReadInteger(MainWindowKey, "Size"), 0);
    EXPECT_EQ(reg.ReadInteger(MainWindowKey, "TemplatePosition"), MainForm->MasterPanelWidth());
    for (int i = 1; i <= 5; ++i)
        EXPECT_TRUE(reg.ValueExists(HistoryKey, "File" + std::to_string(i)));
    EXPECT_FALSE(MainForm->ui->File1->isVisible());

    DestroyProgramWindows();
    EXPECT_FALSE(OutputTimerRunning());
    EXPECT_EQ(trace.back(), "TimerStopped");
}

TEST_F(StartupTest, StartModeSelectsAndPlaysTheSequenceOnce)
{
    ASSERT_TRUE(Start());
    ASSERT_GE(SequenceCount, 1);   // a new show has its first sequence
    StartMode = 0;
    StartIndex = 0;
    AutoPlay = 1;
    StartupActionsPending = 1;
    MainForm->FormActivate();
    EXPECT_EQ(CurSequence, 0);
    EXPECT_EQ(Playing.load(), 1);
    EXPECT_EQ(StartupActionsPending, 0);
    // Only the first activation applies it.
    MainForm->StopClick();
    MainForm->FormActivate();
    EXPECT_EQ(Playing.load(), 0);
    ResetStartMode();
}

TEST_F(StartupTest, CorruptPlanBitmapIsLeftAloneAndStartGoesOn)
{
    { std::ofstream(root / "bin" / "planimg.BMP") << "not a bitmap"; }
    ASSERT_TRUE(Start());
    EXPECT_EQ(MainForm->PlanBitmap().size(), QSize(480, 500));
    EXPECT_EQ(Read(root / "bin" / "planimg.BMP"), "not a bitmap");
    EXPECT_FALSE(fs::exists(root / "bin" / "PlanImg.bmp"));
}

TEST_F(StartupTest, RecentFilesAndLayoutComeBackFromTheSettings)
{
    {
        platform::Settings reg;
        reg.WriteInteger(MainWindowKey, "Size", 0);
        reg.WriteInteger(MainWindowKey, "TemplatePosition", 300);
        reg.WriteInteger(MainWindowKey, "Transport", 1);
        reg.WriteString(HistoryKey, "File2", "/shows/b.d1k");
        reg.Flush();
    }
    ASSERT_TRUE(Start());
    EXPECT_FALSE(MainForm->ui->File1->isVisible());
    EXPECT_TRUE(MainForm->ui->File2->isVisible());
    EXPECT_EQ(MainForm->ui->File2->text(), QStringLiteral("/shows/b.d1k"));
    EXPECT_FALSE(MainForm->ui->File3->isVisible());
    EXPECT_EQ(MainForm->MasterPanelWidth(), 300);
    EXPECT_TRUE(MainForm->TransportOnBottom());
    // Widths that read 0 were filled in from the window.
    platform::Settings reg;
    EXPECT_EQ(reg.ReadInteger(MainWindowKey, "SlidersPosition"), MainForm->SliderPanelWidth());

    MainForm->SetSliderPanelWidth(222);
    MainForm->SetTransportOnBottom(false);
    ASSERT_TRUE(MainForm->FormClose());
    EXPECT_EQ(reg.ReadInteger(MainWindowKey, "SlidersPosition"), 222);
    EXPECT_EQ(reg.ReadInteger(MainWindowKey, "Transport"), 0);
    EXPECT_EQ(reg.ReadInteger(MainWindowKey, "TemplatePosition"), 300);
}

TEST_F(StartupTest, CancelKeepsTheProgramAndNoRunsTheStepsInOrder)
{
    // An unreadable configuration file is reported and start-up goes on.
    { std::ofstream(root / "bin" / "brantoval.CFG") << "old configuration"; }
    FileWriter() = [](const std::string &, const std::function<bool(const std::string &)> &) { return false; };
    ASSERT_TRUE(Start({"OK", "Yes", "1"}, true));
    EXPECT_NE(Read(log).find("Brantoval-1024|Error reading configuration file|OK"), std::string::npos);
    MainForm->show();
    ShowModified = 1;

    platform::QueueAnswers({"Cancel"});
    EXPECT_FALSE(MainForm->close());
    EXPECT_TRUE(MainForm->isVisible());
    EXPECT_EQ(EngineBusy.load(), 0);
    EXPECT_EQ(ShowModified, 1);

    trace.clear();
    platform::QueueAnswers({"No"});
    EXPECT_TRUE(MainForm->close());
    const char *order[] = {"FormClose", "ToolWindowsClosed", "PlayStopped", "InterfaceClosed",
                           "ConfigurationWritten", "LayoutWritten"};
    int last = -1;
    for (const char *step : order) {
        int i = IndexOf(step);
        EXPECT_GT(i, last) << step;
        last = i;
    }
    // The unreadable file was kept aside before the failing write, which said so.
    EXPECT_EQ(Read(root / "bin" / "brantoval.cfg.bad"), "old configuration");
    EXPECT_FALSE(fs::exists(root / "bin" / "brantoval.CFG"));
    for (const auto &e : fs::directory_iterator(root / "bin"))
        EXPECT_EQ(e.path().filename().string().find(".tmp"), std::string::npos) << e.path();
    std::string boxes = Read(log);
    EXPECT_NE(boxes.find("Brantoval-1024|The Show was modified. Save file ?|Cancel"), std::string::npos);
    EXPECT_NE(boxes.find("Setup|Error writing configuration file|OK"), std::string::npos);

    DestroyProgramWindows();
    EXPECT_EQ(trace.back(), "TimerStopped");
    EXPECT_LT(IndexOf("LayoutWritten"), IndexOf("FormDestroy"));
}

TEST_F(StartupTest, GarbageConfigurationIsKeptAsBadAndReplacedAtShutDown)
{
    const std::string garbage("\x02not a configuration\xff\0\x01", 24);
    const fs::path cfg = root / "bin" / "brantoval.cfg", bad = root / "bin" / "brantoval.cfg.bad";
    { std::ofstream(cfg, std::ios::binary) << garbage; }
    { std::ofstream(bad) << "an older unreadable file"; }
    ASSERT_TRUE(Start({"OK", "Yes", "1"}, true));
    EXPECT_NE(Read(log).find("Brantoval-1024|Error reading configuration file|OK"), std::string::npos);
    EXPECT_EQ(Read(cfg), garbage);   // nothing touched while the program runs
    ShowModified = 0;
    EXPECT_TRUE(MainForm->close());
    DestroyProgramWindows();

    EXPECT_EQ(Read(bad), garbage);
    const std::string written = Read(cfg);
    ASSERT_GT(written.size(), 22u) << written;
    MemoryStream s(std::vector<std::uint8_t>(written.begin(), written.end()));
    EXPECT_EQ(LoadSetup(s, LoadSetupConfig), 0);
    // The message said nothing else, and only once.
    const std::string boxes = Read(log);
    EXPECT_EQ(boxes.find("configuration"), boxes.rfind("configuration"));
}

// Fixtures whose profiles are damaged (random bytes, empty, 100 MB, a pipe, a folder) are
// dropped at start-up; the configuration file as read is first copied whole to the next
// free "brantoval.cfg.dropped-N", which the message names, so the write at shut-down
// loses nothing. No profile holds the start up.
TEST_F(StartupTest, DroppedFixturesLeaveTheConfigurationThatWasReadInANumberedCopy)
{
    const fs::path bin = root / "bin", devices = bin / "Devices", cfg = bin / "brantoval.cfg";
    fs::create_directories(devices / "folder.dsp");
    { std::ofstream(devices / "noise.dsp", std::ios::binary) << std::string(4096, '\xA5'); }
    { std::ofstream(devices / "empty.dsp"), std::ofstream(devices / "huge.dsp"); }
    fs::resize_file(devices / "huge.dsp", 100u << 20);
    ASSERT_EQ(mkfifo((devices / "pipe.dsp").c_str(), 0600), 0);
    const std::string profiles[] = {"noise.dsp", "empty.dsp", "huge.dsp", "pipe.dsp", "folder.dsp"};
    ClearFixtures();
    for (int i = 0; i < 5; ++i) {
        FixtureRecord &f = Fixtures[static_cast<std::size_t>(AddFixture())];
        f.start = static_cast<std::int16_t>(i * 8);
        f.channelCount = 4;
        f.profileFileName = &profiles[i];
        f.userHeader = "Head " + std::to_string(i);
    }
    {
        FileStream out(cfg.string(), FileStream::CreateWrite);
        SaveSetup(out, SetupConfigFile);
    }
    ClearFixtures();
    const std::string read = Read(cfg);
    fs::copy_file(cfg, bin / "saved.cfg");

    for (const char *copy : {"brantoval.cfg.dropped-1", "brantoval.cfg.dropped-2"}) {
        SCOPED_TRACE(copy);
        std::ofstream(log, std::ios::trunc).close();
        ASSERT_TRUE(Start());
        EXPECT_EQ(FixtureCount, 0);
        EXPECT_EQ(Read(bin / copy), read);
        const std::string boxes = Read(log);
        EXPECT_NE(boxes.find("Brantoval-1024|= FILES NOT FOUND - Ignored!!! =\r\nnoise.dsp - \"Head 0\"\r\n"
                             "empty.dsp - \"Head 1\"\r\nhuge.dsp - \"Head 2\"\r\npipe.dsp - \"Head 3\"\r\n"
                             "folder.dsp - \"Head 4\"\r\nThe configuration file as read is kept as " +
                             std::string(copy) + "\r\n|OK\n"),
                  std::string::npos)
            << boxes;
        std::string notDsp;   // every file but the folder, then the list
        for (int i = 0; i < 4; ++i)
            notDsp += "Brantoval-1024|Not DSP Format !!!|OK\n";
        EXPECT_NE(boxes.find(notDsp + "Brantoval-1024|= FILES"), std::string::npos);
        ShowModified = 0;
        EXPECT_TRUE(MainForm->close());
        DestroyProgramWindows();
        EXPECT_EQ(Read(bin / "brantoval.cfg.dropped-1"), read) << "never written over";
        // The operator puts the patch back before the next start.
        fs::copy_file(bin / "saved.cfg", cfg, fs::copy_options::overwrite_existing);
    }
    EXPECT_FALSE(fs::exists(bin / "brantoval.cfg.dropped-3"));
}

TEST_F(StartupTest, ExitFromTheStartDialogEndsTheProgram)
{
    EXPECT_FALSE(Start({"0"}));
    EXPECT_TRUE(TerminateRequested);
    EXPECT_EQ(IndexOf("TAudSynch"), -1);
}

// The first start writes the stage-plan bitmap whole through the atomic file writer; a
// later start keeps the file there, even one it cannot read, byte for byte.
TEST_F(StartupTest, StagePlanBitmapIsWrittenWholeAndNeverReplaced)
{
    std::vector<std::string> written;
    FileWriter() = [&written](const std::string &path, const std::function<bool(const std::string &)> &body) {
        written.push_back(path);
        return platform::WriteFileAtomically(path, body);
    };
    const fs::path plan = root / "bin" / "PlanImg.bmp";
    ASSERT_TRUE(Start());
    EXPECT_EQ(std::count(written.begin(), written.end(), plan.string()), 1);
    EXPECT_EQ(QImage(QString::fromStdString(plan.string())).size(), QSize(480, 500));
    DestroyProgramWindows();

    { std::ofstream(plan, std::ios::binary) << "BM cut short"; }
    written.clear();
    ASSERT_TRUE(Start());
    EXPECT_EQ(Read(plan), "BM cut short");
    EXPECT_EQ(std::count(written.begin(), written.end(), plan.string()), 0);
}

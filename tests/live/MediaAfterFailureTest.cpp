// Media after a failure, on the real media backend through the real main window: a
// damaged file is refused, then a good 1.5 s file plays to its end in the play list (on
// its own player and on the video screen's) and in the music player; a named pipe, a
// folder and a device are refused at once without holding the windows. The machine may
// have no sound card: the backend still opens and times a file without an audio device.
#include "platform/MediaFiles.h"
#include "transport/ProgramWindowTest.h"

#include "live/HardwareSettings.h"
#include "live/PlayList.h"
#include "live/TMusicPlayer.h"
#include "live/TProgramForm.h"
#include "live/TTVScreenf.h"
#include "live/TTimeMaskEdit.h"
#include "ui_MusicPlayer.h"
#include "ui_ProgramForm.h"

#include "controls/Faders.h"

#include "platform/MediaPlayer.h"

#include <QAction>
#include <QTest>
#include <QTimer>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <random>
#include <thread>

using namespace transport_test;

namespace {

// Opens a named pipe for writing, again and again, from `afterMs` on: an open for reading
// that waits for a writer then ends, so that a test of a program that opens the pipe on its
// GUI thread ends too (and fails on its timing).
class PipeWriter {
public:
    PipeWriter(std::string path, int afterMs)
        : thread_([this, path = std::move(path), afterMs] {
              const auto from = std::chrono::steady_clock::now() + std::chrono::milliseconds(afterMs);
              while (!done_.load()) {
                  if (std::chrono::steady_clock::now() >= from) {
                      const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK);
                      if (fd >= 0)
                          ::close(fd);
                  }
                  std::this_thread::sleep_for(std::chrono::milliseconds(20));
              }
          })
    {
    }
    ~PipeWriter()
    {
        done_.store(true);
        thread_.join();
    }

private:
    std::atomic<bool> done_{false};
    std::thread thread_;
};

class MediaAfterFailureTest : public ProgramWindowTest {
protected:
    void SetUp() override
    {
        ProgramWindowTest::SetUp();
        if (HasFatalFailure())
            return;
        damaged = (root / "damaged.wav").string();
        good = (root / "good.wav").string();
        mediafiles::Bytes junk;
        std::mt19937 random(38);
        for (int i = 0; i < 20000; ++i)
            junk.data.push_back(static_cast<std::uint8_t>(random()));
        junk.Save(damaged);
        mediafiles::WriteWav(good, 1500);
        MediaPlayerOption = 0;
        PlayListModified = PlayListFromFile = 0;
    }
    void TearDown() override
    {
        if (ProgramForm && PlayListRunning.load())
            ProgramForm->StopClick();
        MediaPlayerOption = 0;
        PlayListModified = PlayListFromFile = 0;
        ProgramWindowTest::TearDown();
    }
    QAction *Action(const char *name) const { return form->findChild<QAction *>(QString::fromLatin1(name)); }
    static std::int64_t MsSince(std::chrono::steady_clock::time_point t)
    {
        return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t).count();
    }
    // The music player's boxes so far.
    int PlayerBoxes() const
    {
        const std::string boxes = BoxLog();
        int n = 0;
        for (std::size_t at = boxes.find("\nPlayer|"); at != std::string::npos; at = boxes.find("\nPlayer|", at + 1))
            ++n;
        return n;
    }
    // The play list window from the main window's menu, with the video screen (option 1)
    // or without.
    TProgramForm *ShowPlayList(std::uint8_t option) const
    {
        MediaPlayerOption = option;
        Action("PlayList1")->trigger();
        return ProgramForm;
    }
    // Fills the play list with one line per file, `stepMs` apart, each selecting sequence
    // `index` and playing on; the first line is the current one.
    static void MediaLines(TProgramForm *pl, const std::vector<std::string> &files, std::int32_t stepMs, std::int16_t index)
    {
        while (PlayListCount < static_cast<int>(files.size()))
            pl->InsertLine();
        for (std::size_t i = 0; i < files.size(); ++i) {
            PlayListEntry &e = PlayListEntries[i];
            e.mediaFile = files[i];
            e.mediaStart = e.mediaStop = -1;   // typed in place: the whole media
            e.startTime = static_cast<std::int32_t>(i) * stepMs;
            e.index = index;
            e.action = ActPlay;
        }
        pl->FullBuild();
        pl->ui->ProgrammList->setCurrentCell(0, 0);
    }
    std::string damaged, good;
};

TEST_F(MediaAfterFailureTest, GoodFilePlaysToItsEndAfterADamagedOne)
{
    {
        auto probe = platform::CreateMediaPlayer(false);
        if (!platform::OpenAndWait(*probe, good))
            GTEST_SKIP() << "no media backend: " << platform::MediaErrorText(*probe);
    }
    AddSequence(1);
    Sequences[0]->scenes[0]->levels[0] = 100;
    AddFixtureWith(0, {0});
    form->SelectFirstFixture();
    form->FillSequenceBox();

    // The play list: the damaged line and the good one start together; the list ends when
    // the good file's 1.5 s are over, on the list's own player and on the video screen's.
    for (const std::uint8_t option : {std::uint8_t{0}, std::uint8_t{1}}) {
        SCOPED_TRACE(option ? "video screen" : "play list player");
        TProgramForm *pl = ShowPlayList(option);
        ASSERT_NE(pl, nullptr);
        ASSERT_TRUE(pl->isVisible());
        ASSERT_EQ(TVScreenf != nullptr, option == 1);
        MediaLines(pl, {damaged, good}, 0, 0);
        // Timed from the click: opening the files is part of the line (a spoiled player
        // held the good line 5 s, a spoiled file ended at once).
        const auto started = std::chrono::steady_clock::now();
        pl->PlayClick();
        EXPECT_EQ(pl->ui->StaticText2->text(), QStringLiteral("MCI Play: good.wav"));
        EXPECT_TRUE(platform::WaitProcessing([] { return PlayListRunning.load() == 0; }, 8000));
        const std::int64_t lasted = MsSince(started);
        EXPECT_GE(lasted, 1400);
        EXPECT_LE(lasted, 4500);
        EXPECT_EQ(pl->ui->StaticText2->text(), QStringLiteral("That's All"));
        pl->close();
    }

    // The window closed while the video screen's player opens the line's file (the wait
    // handles events): the list stops, and the screen, still held by that wait, goes only
    // after it.
    {
        TProgramForm *pl = ShowPlayList(1);
        ASSERT_NE(pl, nullptr);
        MediaLines(pl, {good}, 0, 0);
        QTimer::singleShot(0, pl, [pl] { pl->close(); });
        QTest::mouseClick(pl->ui->Play, Qt::LeftButton);
        EXPECT_EQ(PlayListRunning.load(), 0);
        EXPECT_EQ(TVScreenf, nullptr);
        EXPECT_FALSE(pl->isVisible());
        platform::WaitProcessing([] { return false; }, 100);
    }

    // The music player refuses the damaged file with the backend's error; closed and opened
    // again, it opens the good file and plays it to its end.
    TMusicPlayer *mp = MusicPlayer;
    ASSERT_NE(mp, nullptr);
    Action("MusPlay1")->trigger();
    platform::QueueAnswers({damaged});
    mp->OpenClick();
    ASSERT_NE(BoxLog().find("\nPlayer|Error 1: "), std::string::npos) << BoxLog();
    ASSERT_EQ(PlayerBoxes(), 1);
    mp->close();
    Action("MusPlay1")->trigger();
    ASSERT_TRUE(mp->isVisible());
    platform::QueueAnswers({good});
    mp->OpenClick();
    EXPECT_EQ(PlayerBoxes(), 1) << BoxLog();
    EXPECT_EQ(mp->ui->Max->text(), QStringLiteral("00:01:5"));
    mp->PlayClick();
    const auto started = std::chrono::steady_clock::now();
    ASSERT_TRUE(mp->Timer1->isActive());
    EXPECT_TRUE(platform::WaitProcessing([mp] { return !mp->Timer1->isActive(); }, 5000));
    EXPECT_GE(MsSince(started), 1200);
    EXPECT_EQ(mp->Sliderh1->Position(), 1500);
    EXPECT_TRUE(mp->TimeEdit->isEnabled());
    EXPECT_EQ(PlayerBoxes(), 1) << BoxLog();
    mp->close();
}

} // namespace

namespace {

TEST_F(MediaAfterFailureTest, PipeFolderAndDeviceAreRefusedAtOnceAndTheClockGoesOn)
{
    {
        auto probe = platform::CreateMediaPlayer(false);
        if (!platform::OpenAndWait(*probe, good))
            GTEST_SKIP() << "no media backend: " << platform::MediaErrorText(*probe);
    }
    const std::string pipe = (root / "pipe.wav").string();
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const std::string folder = (root / "folder.avi").string();
    std::filesystem::create_directory(folder);
    const std::string device = "/dev/zero";
    PipeWriter writer(pipe, 8000);

    // The play list, on its own player and on the video screen's: each line says at once
    // that it cannot open its file, the clock runs on meanwhile, and the good file after
    // them plays.
    for (const std::uint8_t option : {std::uint8_t{0}, std::uint8_t{1}}) {
        SCOPED_TRACE(option ? "video screen" : "play list player");
        TProgramForm *pl = ShowPlayList(option);
        ASSERT_NE(pl, nullptr);
        MediaLines(pl, {pipe, folder, device, good}, 300, -1);
        const auto started = std::chrono::steady_clock::now();
        QTest::mouseClick(pl->ui->Play, Qt::LeftButton);
        EXPECT_LT(MsSince(started), 1500);
        std::vector<std::string> media{pl->ui->StaticText2->text().toStdString()};
        std::vector<std::string> clocks{pl->ui->StaticText1->text().toStdString()};
        const bool played = platform::WaitProcessing(
            [&] {
                if (media.back() != pl->ui->StaticText2->text().toStdString())
                    media.push_back(pl->ui->StaticText2->text().toStdString());
                if (clocks.back() != pl->ui->StaticText1->text().toStdString())
                    clocks.push_back(pl->ui->StaticText1->text().toStdString());
                return media.back() == "MCI Play: good.wav";
            },
            12000);
        EXPECT_TRUE(played);
        EXPECT_LT(MsSince(started), 4000);
        EXPECT_EQ(media, (std::vector<std::string>{"Can't Open " + pipe, "Can't Open " + folder, "Can't Open " + device,
                                                   "MCI Play: good.wav"}));
        // A new clock text every step (100 ms) while the lines fired.
        EXPECT_GE(clocks.size(), 6u);
        if (option == 1) {
            EXPECT_FALSE(TVScreenf->PlayerShown());
        }
        QTest::mouseClick(pl->ui->StopB, Qt::LeftButton);
        EXPECT_EQ(PlayListRunning.load(), 0);

        // The media button of a line refuses the pipe with the player's error.
        pl->ui->ProgrammList->setCurrentCell(0, 6);
        platform::QueueAnswers({pipe});
        const auto dialog = std::chrono::steady_clock::now();
        pl->MediaButtonClick();
        EXPECT_LT(MsSince(dialog), 1500);
        EXPECT_NE(BoxLog().find("Brantoval-1024|Error 1: Not a regular file.|"), std::string::npos) << BoxLog();
        if (option == 1) {
            // The video screen's own open gives up at once and shows nothing.
            platform::QueueAnswers({pipe});
            const auto opened = std::chrono::steady_clock::now();
            TVScreenf->OpenClick();
            EXPECT_LT(MsSince(opened), 1500);
            EXPECT_FALSE(TVScreenf->PlayerShown());
        }
        pl->close();
    }

    // The music player: the "Player" box with the error, at once, for each of them.
    TMusicPlayer *mp = MusicPlayer;
    ASSERT_NE(mp, nullptr);
    Action("MusPlay1")->trigger();
    for (const std::string &path : {pipe, folder, device}) {
        SCOPED_TRACE(path);
        platform::QueueAnswers({path});
        const auto opened = std::chrono::steady_clock::now();
        QTest::mouseClick(mp->ui->Open, Qt::LeftButton);
        EXPECT_LT(MsSince(opened), 1500);
    }
    EXPECT_EQ(PlayerBoxes(), 3) << BoxLog();
    EXPECT_NE(BoxLog().find("\nPlayer|Error 1: Not a regular file.|"), std::string::npos) << BoxLog();
    mp->close();
}

} // namespace

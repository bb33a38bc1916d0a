// Media after a failure, on the real media backend through the real main window: a
// damaged file is refused, then a good 1.5 s file plays to its end in the play list (on
// its own player and on the video screen's) and in the music player. The machine may have
// no sound card: the backend still opens and times a file without an audio device.
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
#include <QTimer>

#include <chrono>
#include <random>

using namespace transport_test;

namespace {

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
        MediaPlayerOption = option;
        Action("PlayList1")->trigger();
        TProgramForm *pl = ProgramForm;
        ASSERT_NE(pl, nullptr);
        ASSERT_TRUE(pl->isVisible());
        ASSERT_EQ(TVScreenf != nullptr, option == 1);
        while (PlayListCount < 2)
            pl->InsertLine();
        for (int i = 0; i < 2; ++i) {
            PlayListEntry &e = PlayListEntries[static_cast<std::size_t>(i)];
            e.mediaFile = i == 0 ? damaged : good;
            e.mediaStart = e.mediaStop = -1;   // typed in place: the whole media
            e.startTime = 0;
            e.index = 0;
            e.action = ActPlay;
        }
        pl->FullBuild();
        pl->ui->ProgrammList->setCurrentCell(0, 0);
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

// The play list without windows: its file bytes and every way a file can be cut, the
// line editing, and the runner against its own clock with a recording host and fake media.
#include "FakeMediaPlayer.h"

#include "app/BinaryStream.h"
#include "app/PatchLoader.h"
#include "app/PlayControl.h"
#include "app/PlayListFile.h"
#include "app/PlayState.h"
#include "app/ShowModel.h"
#include "live/HardwareSettings.h"
#include "live/PlayList.h"
#include "live/PlayListRunner.h"

#include "platform/Clock.h"
#include "platform/MsgBox.h"

#include "common/TestFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>
#include <fstream>

namespace {

// Two lines as the file table lays them out, written by hand.
const std::vector<std::uint8_t> TwoLines = {
    'P', 'R', 'G', '2', 0, 0, 0, 0,
    // 0 ms, sequence 2, no media, -1/-1, Play, goto 0, no comment, fade 1500
    0x00, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
    0x00, 0x00, 0x00, 0x00, 0xDC, 0x05, 0x00, 0x00,
    // 10000 ms, cue 0, "a.wav" 0..3000, Goto row 0, "hi", fade 0
    0x10, 0x27, 0x00, 0x00, 0x00, 0x00, 0x01, 0x05, 'a', '.', 'w', 'a', 'v', 0x00, 0x00, 0x00, 0x00,
    0xB8, 0x0B, 0x00, 0x00, 0x04, 0x00, 0x00, 0x02, 'h', 'i', 0x00, 0x00, 0x00, 0x00};

PlayListEntry Line(std::int32_t start, int index, int action = ActPlay, int cue = 0)
{
    PlayListEntry e;
    e.startTime = start;
    e.index = static_cast<std::int16_t>(index);
    e.action = static_cast<std::uint8_t>(action);
    e.cueFlag = static_cast<std::uint8_t>(cue);
    return e;
}

void SetList(std::vector<PlayListEntry> lines)
{
    PlayListEntries = std::move(lines);
    PlayListCount = static_cast<std::int32_t>(PlayListEntries.size());
}

std::uint32_t FakeNow = 0;
std::uint32_t FakeClock()
{
    return FakeNow;
}

class PlayListCore : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = testfiles::FreshFolder("brtv-playlist");
        log = (root / "box.log").string();
        setenv("BRTV_BOX_LOG", log.c_str(), 1);
        platform::ResetAnswers();
        platform::QueueAnswers({});
        SetList({});
        SequenceCount = 3;
        CueCount = 1;
        PlayListModified = 0;
        Playing = 0;
        PlayInBackground = 0;
        PlayPaused = 0;
        BlackOutOn = 0;
        EngineBusy = 0;
        PlayClock = 0;
        SynchMediaPlayList = 0;
        PlayListRunning = 0;
    }
    void TearDown() override
    {
        platform::SetMonotonicMsHook(nullptr);
        unsetenv("BRTV_BOX_LOG");
        platform::ResetAnswers();
        SetList({});
        SequenceCount = CueCount = 0;
        Playing = 0;
        PlayListRunning = 0;
        std::filesystem::remove_all(root);
    }
    int Boxes(const std::string &text) const
    {
        const std::string all = testfiles::Read(log);
        int n = 0;
        for (auto at = all.find(text); at != std::string::npos; at = all.find(text, at + 1))
            ++n;
        return n;
    }
    std::string WriteFile(const std::string &name, const std::vector<std::uint8_t> &bytes) const
    {
        const std::string path = (root / name).string();
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char *>(bytes.data()),
                                                    static_cast<std::streamsize>(bytes.size()));
        return path;
    }
    std::filesystem::path root;
    std::string log;
};

TEST_F(PlayListCore, FileHoldsTheTableBytesAndOlderListsLoadWithoutFades)
{
    PlayListEntry a = Line(0, 2);
    a.fade = 1500;
    PlayListEntry b = Line(10000, 0, ActGoto, 1);
    b.mediaFile = "a.wav";
    b.mediaStart = 0;
    b.mediaStop = 3000;
    b.comments = "hi";
    SetList({a, b});
    MemoryStream out;
    WritePlayList(out);
    ASSERT_EQ(out.Data(), TwoLines);

    SetList({});
    MemoryStream in(TwoLines);
    ASSERT_TRUE(ReadPlayList(in, in.Size()));
    ASSERT_EQ(PlayListCount, 2);
    EXPECT_EQ(PlayListEntries[0].fade, 1500);
    EXPECT_EQ(PlayListEntries[0].mediaStop, -1);
    EXPECT_EQ(PlayListEntries[1].mediaFile, "a.wav");
    EXPECT_EQ(PlayListEntries[1].comments, "hi");
    EXPECT_EQ(PlayListEntries[1].cueFlag, 1);
    EXPECT_EQ(PlayListEntries[1].action, ActGoto);

    // The older form: "PRGL" and no fade field.
    std::vector<std::uint8_t> older(TwoLines.begin(), TwoLines.begin() + 28);
    older.insert(older.end(), TwoLines.begin() + 32, TwoLines.end() - 4);
    older[3] = 'L';
    ASSERT_EQ(older.size(), 55u);
    ASSERT_TRUE(LoadPlayListFile(WriteFile("old.pgl", older)));
    ASSERT_EQ(PlayListCount, 2);
    EXPECT_EQ(PlayListEntries[0].fade, 0);
    EXPECT_EQ(PlayListEntries[1].comments, "hi");
    MemoryStream again;
    WritePlayList(again);
    EXPECT_EQ(std::string(again.Data().begin(), again.Data().begin() + 4), "PRG2");
    EXPECT_EQ(again.Data().size(), 63u);

    // A save that fails keeps the list file that was there.
    const std::string kept = (root / "kept.pgl").string();
    SetList({a, b});
    ASSERT_TRUE(SavePlayListFile(kept));
    const AtomicFileWriter saved = FileWriter();
    FileWriter() = [](const std::string &, const std::function<bool(const std::string &)> &) { return false; };
    SetList({});
    EXPECT_FALSE(SavePlayListFile(kept));
    FileWriter() = saved;
    ASSERT_TRUE(LoadPlayListFile(kept));
    EXPECT_EQ(PlayListCount, 2);
}

TEST_F(PlayListCore, EveryCutLengthLeavesTheListOrLoadsWhole)
{
    const std::string badMagic = WriteFile("bad.pgl", {'P', 'R', 'G', '3', 0, 0, 0, 0});
    SetList({Line(777, 1)});
    EXPECT_FALSE(LoadPlayListFile(badMagic));
    EXPECT_EQ(Boxes("HLVR|Program List Data Error"), 1);
    ASSERT_EQ(PlayListCount, 1);
    EXPECT_EQ(PlayListEntries[0].startTime, 777);

    int messages = 1;
    for (std::size_t cut = 0; cut < TwoLines.size(); ++cut) {
        SCOPED_TRACE(cut);
        SetList({Line(777, 1)});
        const bool ok = LoadPlayListFile(WriteFile("cut.pgl", {TwoLines.begin(), TwoLines.begin() + static_cast<long>(cut)}));
        if (cut == 8 || cut == 32) {
            EXPECT_TRUE(ok);
            EXPECT_EQ(PlayListCount, cut == 8 ? 0 : 1);
        } else {
            EXPECT_FALSE(ok);
            ++messages;
            ASSERT_EQ(PlayListCount, 1);
            EXPECT_EQ(PlayListEntries[0].startTime, 777);
        }
        EXPECT_EQ(Boxes("HLVR|Program List Data Error"), messages);
    }
}

TEST_F(PlayListCore, EditingKeepsOrderFadesAndLimits)
{
    // The first line of an empty list, then copies 10 s later with the cue flag kept.
    EXPECT_EQ(InsertPlayListLine(-1), 0);
    PlayListEntries[0].cueFlag = 1;
    PlayListEntries[0].fade = 700;
    PlayListEntries[0].index = 0;
    PlayListEntries[0].comments = "x";
    EXPECT_EQ(InsertPlayListLine(0), 1);
    EXPECT_EQ(PlayListEntries[1].startTime, 10000);
    EXPECT_EQ(PlayListEntries[1].cueFlag, 1);
    EXPECT_EQ(PlayListEntries[1].index, -1);
    EXPECT_EQ(PlayListEntries[1].fade, 0);
    EXPECT_TRUE(PlayListEntries[1].comments.empty());
    EXPECT_EQ(PlayListEntries[0].fade, 700);
    EXPECT_EQ(PlayListModified, 1);

    // A shift that would take the current line below 0 changes nothing.
    SetList({Line(0, 0), Line(5000, 1), Line(9000, 2)});
    EXPECT_EQ(ShiftPlayListTimes(1, -5001), -1);
    EXPECT_EQ(PlayListEntries[1].startTime, 5000);
    // Equal to line 0 now: equal times keep their order, so it stays behind it.
    EXPECT_EQ(ShiftPlayListTimes(1, -5000), 1);
    EXPECT_EQ(PlayListEntries[0].index, 0);
    EXPECT_EQ(PlayListEntries[1].index, 1);
    EXPECT_EQ(PlayListEntries[2].startTime, 4000);

    // Sorting after a time edit: equal times keep order, the edited line stays current.
    SetList({Line(1000, 0), Line(2000, 1), Line(3000, 2), Line(4000, 3)});
    PlayListEntries[3].startTime = 2000;
    ASSERT_TRUE(PlayListLineOutOfOrder(3));
    EXPECT_EQ(SortPlayList(3), 2);
    EXPECT_EQ(PlayListEntries[1].index, 1);
    EXPECT_EQ(PlayListEntries[2].index, 3);
    EXPECT_EQ(PlayListEntries[3].index, 2);
    PlayListEntries[0].startTime = 2500;   // behind both lines of 2000
    EXPECT_EQ(SortPlayList(0), 2);
    EXPECT_EQ(PlayListEntries[1].index, 3);
    EXPECT_EQ(PlayListEntries[2].index, 0);

    EXPECT_EQ(ClampGotoNumber(0), 1);
    EXPECT_EQ(ClampGotoNumber(9), PlayListCount);
    EXPECT_EQ(ParsePlayListTime("1:02:03:4"), 3723400);
    EXPECT_EQ(ParsePlayListTime(" 1:02:03:4"), 3723400);
    EXPECT_EQ(ParsePlayListTime("1:02"), std::nullopt);
    EXPECT_EQ(FormatPlayListTime(3723400 + 100 * 3600000), "101:02:03:4");
    // Fades over a minute keep their seconds.
    EXPECT_EQ(FormatFadeTime(75000), "75:00");
    EXPECT_EQ(ParseFadeTime("75:00"), 75000);
    EXPECT_EQ(FormatMediaTime(-1), "");
    EXPECT_EQ(FormatMediaTime(3723400), "062:03:4");

    // Indices of sequences and cues that are gone (and stray negatives) become -1.
    SetList({Line(0, 3), Line(0, 1, ActPlay, 1), Line(0, -5), Line(0, 2)});
    EXPECT_TRUE(ClearMissingPlayListIndices());
    EXPECT_EQ(PlayListEntries[0].index, -1);
    EXPECT_EQ(PlayListEntries[1].index, -1);
    EXPECT_EQ(PlayListEntries[2].index, -1);
    EXPECT_EQ(PlayListEntries[3].index, 2);
}

// ---- runner -----------------------------------------------------------------------------

class RunnerTest : public PlayListCore {
protected:
    void SetUp() override
    {
        PlayListCore::SetUp();
        FakeNow = 100000;
        platform::SetMonotonicMsHook(&FakeClock);
        PlayListHost &h = runner.Host();
        h.mainStop = [this] { calls.push_back("stop"); Playing = 0; };
        h.mainPlay = [this] { calls.push_back("play"); Playing = 1; };
        h.sequenceChange = [this](int i) { calls.push_back("seq " + std::to_string(i)); };
        h.cueListChecked = [this] { return cueList; };
        h.cueListClick = [this] { calls.push_back("cuelist"); cueList = true; };
        h.multiSeqChecked = [this] { return multi; };
        h.multiSeqClick = [this] { calls.push_back("multi"); multi = !multi; };
        h.selectCue = [this](int c) { calls.push_back("cue " + std::to_string(c)); };
        h.playButtonsEnabled = [this](bool e) { buttons = e; };
        h.mediaText = [this](const std::string &s) { media = s; };
        h.timer = [this](bool on) { timer = on; };
        h.mediaPlayer = [this](bool) { return &player; };
    }
    void At(std::uint32_t ms)
    {
        FakeNow = 100000 + ms;
        runner.Step();
    }
    PlayListRunner runner;
    FakeMediaWorld world;
    FakeMediaPlayer player{world, false};
    std::vector<std::string> calls;
    bool cueList = false, multi = false, buttons = true, timer = false;
    std::string media;
};

TEST_F(RunnerTest, LinesFireInOrderFromTheStartRowAndMediaEndsTheList)
{
    SetList({Line(0, 0), Line(0, 1), Line(500, 0, ActPlay, 1), Line(2000, 2)});
    const std::string wav = WriteFile("a.wav", {1, 2, 3});
    world.media[wav] = {10000, false};
    PlayListEntries[3].mediaFile = wav;
    PlayListEntries[3].mediaStart = 1000;
    PlayListEntries[3].mediaStop = 4000;

    ASSERT_TRUE(runner.Start(0));
    EXPECT_EQ(calls, (std::vector<std::string>{"seq 0", "play", "seq 1"}));
    EXPECT_FALSE(buttons);
    EXPECT_TRUE(timer);
    calls.clear();
    At(499);
    EXPECT_TRUE(calls.empty());
    At(500);   // the cue line stops the main player and opens the cue list first
    EXPECT_EQ(calls, (std::vector<std::string>{"stop", "cuelist", "cue 0", "play"}));
    At(2000);
    EXPECT_EQ(media, "MCI Play: a.wav");
    EXPECT_NE(std::find(world.log.begin(), world.log.end(), "seek 1000"), world.log.end());
    EXPECT_EQ(runner.MediaEnd, 5000);
    // After the last line the list runs until the media ends.
    At(4999);
    EXPECT_EQ(PlayListRunning.load(), 1);
    At(5000);
    EXPECT_EQ(PlayListRunning.load(), 0);
    EXPECT_EQ(media, "That's All");
    EXPECT_TRUE(buttons);

    // Starting at the third line never fires the two before it; a missing file does not
    // stop the list.
    calls.clear();
    PlayListEntries[3].mediaFile = (root / "gone.wav").string();
    FakeNow = 100000;
    ASSERT_TRUE(runner.Start(2));
    EXPECT_EQ(calls, (std::vector<std::string>{"cue 0", "play"}));
    At(1500);
    EXPECT_EQ(media, "MCI Not Found: " + PlayListEntries[3].mediaFile);
    EXPECT_EQ(calls.back(), "seq 2");
    runner.Stop();
}

TEST_F(RunnerTest, StartOffersBrokenJumpsAsEnd)
{
    // A jump to its own time, answered Yes: it becomes End and the list is modified.
    SetList({Line(0, 0, ActGoto), Line(1000, 1, ActGoto)});
    PlayListEntries[1].gotoRow = 5;
    platform::QueueAnswers({"Yes", "No"});
    ASSERT_TRUE(runner.Start(0));
    EXPECT_EQ(Boxes("Incorrect time for GOTO 1, correct to \"End\"?"), 1);
    EXPECT_EQ(Boxes("Label 6 does not exist, correct?"), 1);
    EXPECT_EQ(PlayListEntries[0].action, ActEnd);
    EXPECT_EQ(PlayListEntries[1].action, ActGoto);
    EXPECT_EQ(PlayListModified, 1);
    EXPECT_EQ(PlayListRunning.load(), 0);   // the first line ended it

    // Answered No, a jump to itself still ends the list when it fires.
    SetList({Line(0, 0, ActGoto)});
    platform::QueueAnswers({"No"});
    ASSERT_TRUE(runner.Start(0));
    EXPECT_EQ(PlayListEntries[0].action, ActGoto);
    EXPECT_EQ(PlayListRunning.load(), 0);
}

TEST_F(RunnerTest, JumpsBetweenTwoLinesNeverHangAStep)
{
    SetList({Line(0, 0, ActGoto), Line(10000, 1, ActGoto)});
    PlayListEntries[0].gotoRow = 1;
    PlayListEntries[1].gotoRow = 0;
    ASSERT_TRUE(runner.Start(0));   // returns: at most a few lines per step
    EXPECT_EQ(PlayListRunning.load(), 1);
    EXPECT_LE(calls.size(), 8u);
    At(50);
    At(100);
    EXPECT_EQ(PlayListRunning.load(), 1);
    runner.Stop();
    EXPECT_EQ(PlayListRunning.load(), 0);
    EXPECT_FALSE(timer);
}

TEST_F(RunnerTest, LineTimesAtTheEndOfTheClockFireAndNeverWrapAround)
{
    // Times a file can hold at the top of the 32-bit clock: the list clock stops at its
    // end instead of turning negative, so the last line still fires and the media's end
    // is still ahead.
    constexpr std::int32_t Top = std::numeric_limits<std::int32_t>::max();
    SetList({Line(Top - 500, 0), Line(Top, 1)});
    const std::string wav = WriteFile("b.wav", {1, 2, 3});
    world.media[wav] = {60000, false};
    PlayListEntries[0].mediaFile = wav;
    ASSERT_TRUE(runner.Start(0));
    EXPECT_EQ(runner.MediaEnd, Top);
    calls.clear();
    At(1000);
    EXPECT_EQ(runner.Now(), Top);
    EXPECT_EQ(calls, (std::vector<std::string>{"seq 1"}));
    EXPECT_EQ(PlayListRunning.load(), 1);
    runner.Stop();
}

TEST_F(RunnerTest, WaitGoHoldsBothClocksAndFastButtonsRestoreTheEngine)
{
    // A sequence line of -1 without media: the multi player goes off, then its action.
    multi = true;
    SetList({Line(0, -1), Line(1000, 1, ActWaitGo), Line(2000, 2)});
    ASSERT_TRUE(runner.Start(0));
    EXPECT_EQ(calls, (std::vector<std::string>{"multi", "play"}));
    calls.clear();
    At(1000);
    EXPECT_EQ(runner.GoState, 1);
    EXPECT_EQ(PlayPaused.load(), 1);
    EXPECT_TRUE(calls.empty());   // the line waits for GO
    At(1300);
    EXPECT_TRUE(calls.empty());
    PlayClock = 5000;
    FakeNow = 100000 + 1400;
    const std::uint32_t startTick = runner.PlayListStartTick;
    runner.Go();
    EXPECT_EQ(runner.PlayListStartTick, startTick + 400);
    EXPECT_EQ(PlayClock, 5400);
    EXPECT_EQ(PlayPaused.load(), 0);
    EXPECT_EQ(calls, (std::vector<std::string>{"seq 1"}));
    At(2399);
    EXPECT_EQ(calls.size(), 1u);
    At(2400);
    EXPECT_EQ(calls.back(), "seq 2");

    // Fast backward fires the line before the last one again; both keep EngineBusy.
    SetList({Line(0, 0), Line(5000, 1), Line(9000, 2)});
    calls.clear();
    FakeNow = 100000;
    ASSERT_TRUE(runner.Start(0));
    At(5000);
    EngineBusy = 1;
    runner.FastBackward();
    EXPECT_EQ(EngineBusy.load(), 1);
    EngineBusy = 0;
    EXPECT_EQ(runner.PlayListPos, 0);
    At(5000);
    EXPECT_EQ(calls.back(), "seq 0");
    runner.FastForward();
    EXPECT_EQ(EngineBusy.load(), 0);
    At(5000);
    EXPECT_EQ(calls.back(), "seq 1");
    runner.Stop();
}

} // namespace

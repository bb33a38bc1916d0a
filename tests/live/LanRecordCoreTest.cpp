// The DMX-input recording without windows: the recorder file, the split of long holds and
// the scenes made from it.
#include "live/DmxRecording.h"

#include "common/TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

std::array<std::uint8_t, MaxInputChannels> State(std::uint8_t level)
{
    std::array<std::uint8_t, MaxInputChannels> s{};
    s.fill(level);
    return s;
}

TEST(DmxRecordingTest, TheFileReadsBackAsStatesAndTheTimesTheyEnded)
{
    const fs::path root = testfiles::FreshFolder("brtv-rec");
    const std::string folder = root.string() + "/";
    const std::string path = folder + RecordFileName;
    EXPECT_TRUE(ReadRecordedPairs(path).empty());   // no recording yet

    {
        DmxRecordWriter w(path, State(1).data());
        w.Change(50, State(2).data());
        w.Change(70050, State(3).data());
        w.Finish(100050);
    }
    EXPECT_EQ(fs::file_size(path), 512u + 2 * 516u + 4u);
    std::vector<RecordedPair> pairs = ReadRecordedPairs(path);
    ASSERT_EQ(pairs.size(), 3u);
    EXPECT_EQ(pairs[0].state[0], 1);
    EXPECT_EQ(pairs[0].end, 50u);
    EXPECT_EQ(pairs[1].end, 70050u);
    EXPECT_EQ(pairs[2].state[511], 3);

    // A hold of 70 s becomes 30 + 30 + 10 s; one of exactly 30 s stays whole.
    pairs = SplitRecordingFile(folder);
    EXPECT_FALSE(fs::exists(folder + RecordSplitFileName));
    ASSERT_EQ(pairs.size(), 5u);
    std::uint32_t previous = 0;
    const std::uint32_t lengths[] = {50, 30000, 30000, 10000, 30000};
    const std::uint8_t states[] = {1, 2, 2, 2, 3};
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        EXPECT_EQ(pairs[i].end - previous, lengths[i]) << i;
        EXPECT_EQ(pairs[i].state[0], states[i]) << i;
        previous = pairs[i].end;
    }
    EXPECT_EQ(ReadRecordedPairs(path).size(), 5u);

    // A truncated file gives its whole pairs only.
    fs::resize_file(path, 3 * RecordPairSize + 100);
    EXPECT_EQ(ReadRecordedPairs(path).size(), 3u);
    fs::remove_all(root);
}

TEST(DmxRecordingTest, ScenesTakeTheStateIntoTheChosenHalfAndNeverLastNoTime)
{
    const fs::path root = testfiles::FreshFolder("brtv-rec2");
    const std::string folder = root.string() + "/";
    {
        // No change: one scene holding the start state for the whole time.
        DmxRecordWriter w(folder + RecordFileName, State(9).data());
        w.Finish(1500);
    }
    const std::vector<RecordedPair> pairs = SplitRecordingFile(folder);
    ASSERT_EQ(pairs.size(), 1u);

    SceneRecord scene;
    scene.levels[0] = 77;
    scene.positionRef = 4;
    FillRecordedScene(scene, pairs[0], 0, false);
    EXPECT_EQ(scene.levels[0], 0);
    EXPECT_EQ(scene.levels[511], 0);
    EXPECT_EQ(scene.levels[512], 9);
    EXPECT_EQ(scene.levels[1023], 9);
    EXPECT_EQ(scene.sceneTime, 1500u);
    EXPECT_EQ(scene.fadeTime, 50u);
    EXPECT_EQ(scene.positionRef, 0);
    EXPECT_EQ(scene.levelCount, 1024);

    FillRecordedScene(scene, pairs[0], 1500, true);
    EXPECT_EQ(scene.levels[0], 9);
    EXPECT_EQ(scene.levels[512], 0);
    EXPECT_EQ(scene.sceneTime, 50u);   // no time at all still lasts a tick

    EXPECT_EQ(RecordClockText(0), "00:00:00:0");
    EXPECT_EQ(RecordClockText(3723450), "01:02:03:4");
    fs::remove_all(root);
}

} // namespace

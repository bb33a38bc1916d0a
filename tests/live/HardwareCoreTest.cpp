// The hardware window's core without windows: its stored settings, the stand-alone image
// byte for byte, and the flash download on the interface simulator.
#include "app/LevelPipeline.h"
#include "app/PlayState.h"
#include "app/ShowModel.h"
#include "app/StartupState.h"
#include "live/FlashDownload.h"
#include "live/HardwareSettings.h"
#include "live/StandAloneImage.h"
#include "platform/Settings.h"

#include "common/TestFiles.h"
#include "lptlib/SimDeviceFixture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

std::vector<std::uint8_t> ReadBytes(const fs::path &p)
{
    const std::string s = testfiles::Read(p);
    return {s.begin(), s.end()};
}

std::uint16_t Word(const std::vector<std::uint8_t> &b, std::size_t at)
{
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

// The record r of the image (counted from the first record block).
std::size_t RecordAt(int r)
{
    return static_cast<std::size_t>((ImageLeadingBlocks + r) * ImageBlockSize);
}

class StandAloneImageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = testfiles::FreshFolder("brtv-image");
        FreeShowTables();
        ClearFixtures();
        ResetChannelMaps();
        ResetMasterTables();
        std::memset(FadeKind, Fade8Bit, sizeof FadeKind);
        std::fill(std::begin(FineChannel), std::end(FineChannel), std::int16_t(-1));
        std::fill(std::begin(ChannelOffValues), std::end(ChannelOffValues), std::int16_t(0));
        std::memset(DmxOutLevels, 0, sizeof DmxOutLevels);
        std::memset(DmxInverted, 0, sizeof DmxInverted);
        std::memset(DmxPrevFrame, 0, sizeof DmxPrevFrame);
        FavouriteAssigned = 0;
    }
    void TearDown() override
    {
        FreeShowTables();
        ClearFixtures();
        fs::remove_all(root);
    }

    // A sequence whose scene s sets channel 0 to levels[s] (the other channels 0).
    SequenceRecord &AddSequence(std::initializer_list<std::uint8_t> levels, std::uint8_t flags, std::uint8_t modes = 0,
                                std::uint32_t tempo = 120)
    {
        auto *seq = new SequenceRecord;
        seq->name = "SEQ" + std::to_string(SequenceCount + 1);
        seq->tempo = tempo;
        seq->flags = flags;
        seq->modes = modes;
        for (std::uint8_t level : levels) {
            auto *scene = new SceneRecord;
            scene->levels[0] = level;
            seq->scenes[seq->sceneCount++] = scene;
        }
        Sequences[static_cast<std::size_t>(SequenceCount++)] = seq;
        return *seq;
    }
    FixtureRecord &AddDimmers(int start, int channels)
    {
        FixtureRecord &fx = Fixtures[static_cast<std::size_t>(AddFixture())];
        fx.start = static_cast<std::int16_t>(start);
        fx.channelCount = static_cast<std::uint8_t>(channels);
        for (int j = 0; j < channels; ++j)
            fx.used[j] = 1;
        return fx;
    }
    StandAloneResult Compile(std::int32_t capacity = 4080)
    {
        StandAloneInput in;
        in.flags = StandAloneFlags(false, 3, false);
        in.delay = 500 / 50;
        in.capacity = capacity;
        in.folder = root.string();
        return CompileStandAloneImage(in);
    }
    std::vector<std::uint8_t> Image() const { return ReadBytes(root / StandAloneImageName); }

    fs::path root;
};

TEST(HardwareSettingsTest, MissingOrDamagedValuesTakeTheDefaultsAndTheTwoIntegersAreWrittenBack)
{
    const fs::path root = testfiles::FreshFolder("brtv-hwsettings");
    setenv("XDG_CONFIG_HOME", (root / "cfg").c_str(), 1);
    {
        const HardwareSettingsRead r = ReadHardwareSettings();
        EXPECT_EQ(r.backupMinutes, 0);
        EXPECT_EQ(r.confirmOptions, 2);
        EXPECT_EQ(MidiSettingsBytes, (SettingsBytes{0, 0, 15, 0, 1, 0, 32, 0}));
        EXPECT_EQ(AudioSettingsBytes, (SettingsBytes{0, 0, 1, 32, 50, 5, 65, 1}));
        EXPECT_EQ(DmxInSettingsBytes, (SettingsBytes{0, 0, 0, 10, 0, 0, 1, 0}));
        platform::Settings s;
        EXPECT_EQ(s.ReadIntegerValue(MainWindowKey, "ABackTime"), 0);
        EXPECT_EQ(s.ReadIntegerValue(MainWindowKey, "Confirmation"), 2);
        EXPECT_FALSE(s.ValueExists(MainWindowKey, "MIDI"));
    }
    {
        platform::Settings s;
        s.WriteBinary(MainWindowKey, "MIDI", {1, 2, 3});
        s.WriteString(MainWindowKey, "DMXIN", "12345678");
        s.WriteBinary(MainWindowKey, "AUDIO", {1, 1, 0, 20, 70, 4, 50, 3});
        s.WriteInteger(MainWindowKey, "ABackTime", 5000);
        s.WriteInteger(MainWindowKey, "Confirmation", 0x1F);
    }
    HardwareSettingsRead r = ReadHardwareSettings();
    EXPECT_EQ(r.backupMinutes, 0);
    EXPECT_EQ(r.confirmOptions, 0x1F);
    EXPECT_EQ(MidiSettingsBytes, DefaultMidiSettings);
    EXPECT_EQ(DmxInSettingsBytes, DefaultDmxInSettings);
    EXPECT_EQ(AudioSettingsBytes, (SettingsBytes{1, 1, 0, 20, 70, 4, 50, 3}));

    // Written and read back; an input mode beyond the five reads as the first.
    DmxInSettingsBytes = {1, 9, 1, 20, 1, 1, 0, 0};
    WriteHardwareSettings(0x05);
    WriteBackupMinutes(15);
    r = ReadHardwareSettings();
    EXPECT_EQ(r.backupMinutes, 15);
    EXPECT_EQ(r.confirmOptions, 0x05);
    EXPECT_EQ(DmxInSettingsBytes, (SettingsBytes{1, 0, 1, 20, 1, 1, 0, 0}));
    EXPECT_EQ(FlashCapacityForId(0x28), 4080);
    EXPECT_EQ(FlashCapacityForId(0xA0), 2040);
    EXPECT_EQ(FlashCapacityForId(0x30), 8160);
    EXPECT_EQ(FlashCapacityForId(0x18), 0);
    fs::remove_all(root);
}

TEST_F(StandAloneImageTest, OneAndThreeSceneSequencesGiveTheirBlocksByteForByte)
{
    AddSequence({40}, 0);
    StandAloneResult r = Compile();
    ASSERT_EQ(r.status, StandAloneResult::Compiled) << r.error;
    std::vector<std::uint8_t> img = Image();
    ASSERT_EQ(img.size(), 4644u);
    EXPECT_EQ((std::vector<std::uint8_t>(img.begin(), img.begin() + 4)), (std::vector<std::uint8_t>{0, 10, 1, 8}));
    EXPECT_EQ(Word(img, 4), 0);     // first record
    EXPECT_EQ(Word(img, 6), 1);     // records
    EXPECT_EQ(Word(img, 8), 500);   // ms per beat
    EXPECT_EQ(img[10], 0);
    EXPECT_EQ(img[11], 0);
    EXPECT_EQ(img[12], 0xFF);       // the rest of the header
    EXPECT_EQ(Word(img, RecordAt(0) + 512), 0);
    EXPECT_EQ(Word(img, RecordAt(0) + 514), 0);
    EXPECT_FALSE(fs::exists(root / StandAloneTempName));

    // Three scenes without fade: one record per step, whether the sequence cycles or not.
    for (std::uint8_t flags : {std::uint8_t(0), SeqFlagCycle}) {
        SCOPED_TRACE(int(flags));
        FreeShowTables();
        ClearFixtures();
        AddDimmers(0, 1);
        AddSequence({10, 10, 30}, flags);
        r = Compile();
        ASSERT_EQ(r.status, StandAloneResult::Compiled) << r.error;
        img = Image();
        ASSERT_EQ(img.size(), 5676u);
        EXPECT_EQ(RecordAt(0), 4128u);
        EXPECT_EQ(RecordAt(2), 5160u);
        EXPECT_EQ(img[10], flags);
        const std::uint16_t links[] = {1, 2, 0};
        for (int k = 0; k < 3; ++k) {
            EXPECT_EQ(Word(img, RecordAt(k) + 512), links[k]) << k;
            EXPECT_EQ(Word(img, RecordAt(k) + 514), 10) << k;
        }
        EXPECT_EQ(img[RecordAt(2)], 30);
        EXPECT_EQ(r.memo, (std::vector<std::string>{"SEQ1 Addr:0 Scenes counter:3", "Total Size:3 scenes",
                                                    "Programming is possible"}));
    }
}

TEST_F(StandAloneImageTest, AFadeGivesOneRecordPerChangedTickAndACycleDropsTheWrappedFrame)
{
    AddDimmers(0, 1);
    SequenceRecord &seq = AddSequence({0, 255}, SeqFlagFade, 1 << 3, 60);
    StandAloneResult r = Compile();
    ASSERT_EQ(r.status, StandAloneResult::Compiled) << r.error;
    std::vector<std::uint8_t> img = Image();
    ASSERT_EQ(img.size(), 14964u);
    EXPECT_EQ(Word(img, 6), 21);
    for (int k = 0; k < 21; ++k) {
        EXPECT_EQ(Word(img, RecordAt(k) + 514), 1) << k;
        EXPECT_EQ(img[RecordAt(k)], k == 20 ? 255 : 255 * k / 20) << k;
        EXPECT_EQ(Word(img, RecordAt(k) + 512), k == 0 ? 20 : k == 20 ? 0 : 0xFFFF) << k;
    }

    seq.flags |= SeqFlagCycle;
    r = Compile();
    ASSERT_EQ(r.status, StandAloneResult::Compiled) << r.error;
    img = Image();
    EXPECT_EQ(img.size(), 24768u);
    EXPECT_EQ(Word(img, 6), 40);
    EXPECT_EQ(img[RecordAt(39)], 255 - 255 * 19 / 20);
    EXPECT_EQ(Word(img, RecordAt(39) + 514), 1);
}

TEST_F(StandAloneImageTest, TablesStayInsideTheFirstOutputAndTheLiveBuffersAreLeftAlone)
{
    for (int s = 0; s < 41; ++s)
        AddSequence({std::uint8_t(s)}, 0);
    AddDimmers(510, 8);
    ChannelOffValues[511] = -1;
    FixtureRecord &high = AddDimmers(598, 4);
    high.states[2] = 3;
    PhysMasterMap[600] = 5;
    AddDimmers(20, 2).states[1] = 3;
    PhysMasterMap[21] = 7;
    ChannelOffValues[3] = 77;
    // A channel without a fixture keeps its live level, in every record.
    DmxOutLevels[100] = 99;
    DmxPrevFrame[100] = 98;
    PlayerSlots[0].levels[0] = 55;
    DmxInvert[101] = 1;
    DmxPatch[102] = 101;

    const StandAloneResult r = Compile();
    ASSERT_EQ(r.status, StandAloneResult::Compiled) << r.error;
    const std::vector<std::uint8_t> img = Image();
    EXPECT_EQ(img[2], 40);
    EXPECT_EQ(Word(img, 4 + 8 * 39), 39);
    // Off values, start frame.
    EXPECT_EQ(img[ImageBlockSize + 3], 77);
    EXPECT_EQ(img[ImageBlockSize + 511], 0xFF);
    EXPECT_EQ(img[2 * ImageBlockSize + 0], 0);
    // Channel flags: no master 0x1F, fixture channels 0x40 (0xC0 without an off value),
    // state-3 channels carry their master; nothing past the first output.
    const std::size_t flags = 3 * ImageBlockSize;
    EXPECT_EQ(img[flags + 0], 0x1F);
    EXPECT_EQ(img[flags + 510], 0x5F);
    EXPECT_EQ(img[flags + 511], 0xDF);
    EXPECT_EQ(img[flags + 20], 0x5F);
    EXPECT_EQ(img[flags + 21], 0x47);
    for (int i = 512; i < ImageBlockSize; ++i)
        EXPECT_EQ(img[flags + i], 0xFF) << i;
    for (int b = 4; b < 8; ++b)
        for (int i = 0; i < ImageBlockSize; i += 97)
            EXPECT_EQ(img[b * ImageBlockSize + i], 0xFF);
    for (int k = 0; k < 40; ++k) {
        EXPECT_EQ(img[RecordAt(k) + 100], 99) << k;
        EXPECT_EQ(img[RecordAt(k) + 102], 0xFF) << k;   // inverted 0 through the patch
    }
    EXPECT_EQ(DmxOutLevels[100], 99);
    EXPECT_EQ(DmxOutLevels[0], 0);
    EXPECT_EQ(DmxPrevFrame[100], 98);
    EXPECT_EQ(PlayerSlots[0].levels[0], 55);
}

TEST_F(StandAloneImageTest, RefusalsWriteNothingAndAFullFlashIsReported)
{
    StandAloneResult r = Compile();
    EXPECT_EQ(r.status, StandAloneResult::Refused);
    EXPECT_EQ(r.error, "No sequences, programming aborted");

    AddSequence({1}, 0);
    AddSequence({}, 0).name = "EMPTY";
    r = Compile();
    EXPECT_EQ(r.status, StandAloneResult::Refused);
    EXPECT_EQ(r.error, "Sequence EMPTY has no scenes, programming aborted");
    EXPECT_FALSE(fs::exists(root / StandAloneImageName));
    EXPECT_FALSE(fs::exists(root / StandAloneTempName));

    FreeShowTables();
    AddSequence({1, 2}, 0);
    r = Compile(0);
    EXPECT_EQ(r.status, StandAloneResult::Compiled);
    EXPECT_FALSE(r.fits);
    EXPECT_EQ(r.memo.back(), "Programming is impossible, scenes counter > 0");

    // A folder that cannot take the files: the compile fails and says which file.
    StandAloneInput in;
    in.folder = (root / "missing").string();
    r = CompileStandAloneImage(in);
    EXPECT_EQ(r.status, StandAloneResult::Failed);
    EXPECT_NE(r.error.find("Scn_auto.tm$"), std::string::npos);
}

// The download of an image into the simulator's flash, through the library's handshake.
class FlashDownloadTest : public lpttest::SimDeviceTest {
protected:
    FlashRequests Requests()
    {
        FlashRequests r;
        r.send = [this](std::uint8_t c, std::int16_t p1, std::int16_t p2) {
            return proto->SendInterfaceRequest(c, p1, p2);
        };
        r.write = [this](int n, std::uint8_t *b) { return proto->WriteBlock(n, b); };
        r.read = [this](int n, std::uint8_t *b) { return proto->ReadBlock(n, b); };
        r.sleep = [](int) {};
        return r;
    }
    static std::vector<std::uint8_t> Block(int seed)
    {
        std::vector<std::uint8_t> b(ImageBlockSize);
        for (int i = 0; i < ImageBlockSize; ++i)
            b[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(seed * 31 + i * 7);
        return b;
    }
};

TEST_F(FlashDownloadTest, EveryBlockLandsInItsPageAndFaultsAreNamed)
{
    Make();
    for (int blocks : {9, 8}) {
        device->Config().flashPages.clear();
        for (int page = 0; page < blocks; ++page) {
            const std::vector<std::uint8_t> b = Block(page + blocks);
            std::string text;
            int attempts = 0;
            ASSERT_TRUE(FlashDownloadBlock(Requests(), b.data(), static_cast<std::uint16_t>(page), text, attempts))
                << text;
            EXPECT_EQ(text, "OK");
            EXPECT_EQ(attempts, 1);
        }
        ASSERT_EQ(device->Config().flashPages.size(), static_cast<std::size_t>(blocks));
        for (int page = 0; page < blocks; ++page)
            EXPECT_EQ(device->Config().flashPages[static_cast<std::size_t>(page)], Block(page + blocks)) << page;
    }
    EXPECT_EQ(device->Errors(), 0);

    std::vector<std::uint8_t> zero(ImageBlockSize, 0);
    zero[0] = 200;
    zero[1] = 56;
    EXPECT_EQ(FlashChecksum(zero.data()), 0);
    zero[2] = 1;
    EXPECT_EQ(FlashChecksum(zero.data()), 255);

    // "NO" to writing page 3: five attempts, each a failure with the answer as its text.
    device->Config().flashNoPage = 3;
    const std::vector<std::uint8_t> b = Block(1);
    std::string text;
    int attempts = 0;
    const std::size_t requestsBefore = log.size();
    EXPECT_FALSE(FlashDownloadBlock(Requests(), b.data(), 3, text, attempts));
    EXPECT_EQ(text, "NO");
    EXPECT_EQ(attempts, FlashAttempts);
    int writes = 0;
    for (std::size_t i = requestsBefore; i < log.size(); ++i)
        writes += log[i].rfind("0C F3 03 00", 0) == 0;
    EXPECT_EQ(writes, FlashAttempts);

    device->Config().flashNoPage = -1;
    device->Config().flashBadChecksum = true;
    EXPECT_FALSE(FlashDownload(Requests(), b.data(), 4, FlashChecksum(b.data()), text));
    EXPECT_EQ(text, "Check Sum Error after transmittion");
}

TEST(FlashImageTest, OnlyAWholeImageIsOffered)
{
    const fs::path root = testfiles::FreshFolder("brtv-flashimage");
    auto make = [&](std::size_t bytes) {
        std::ofstream(root / "img", std::ios::binary) << std::string(bytes, '\x11');
        return FlashImageBlocks((root / "img").string());
    };
    EXPECT_EQ(FlashImageBlocks((root / "none").string()), -1);
    EXPECT_EQ(make(0), -1);
    EXPECT_EQ(make(1000), -1);
    EXPECT_EQ(make(8 * ImageBlockSize), 8);
    EXPECT_EQ(make(9 * ImageBlockSize), 9);
    fs::remove_all(root);
}

} // namespace

// The DMX-input recording without windows: the recorder file, the split of long holds and
// the scenes made from it.
#include "app/LevelPipeline.h"
#include "live/DmxRecording.h"
#include "live/LanLink.h"
#include "platform/Mailslot.h"
#include "platform/Messages.h"

#include "common/TestFiles.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>

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

// ---- mailslots and the LAN link on loopback ---------------------------------------------

using Clock = std::chrono::steady_clock;

// Delivers what the readers hand over until `done` holds; false after `ms`.
template <class Done>
bool DeliverUntil(Done done, int ms = 3000)
{
    const auto end = Clock::now() + std::chrono::milliseconds(ms);
    while (!done()) {
        if (Clock::now() > end)
            return false;
        platform::DeliverPostedMessages();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

struct Received {
    std::string payload, user, computer;
};

// A server slot on an ephemeral loopback port that keeps what it receives.
struct Server {
    platform::TzolMailslot slot;
    std::vector<Received> got;
    explicit Server(bool withHandler = true)
    {
        slot.SlotName = "TEST";
        slot.BindAddress = "127.0.0.1";
        if (withHandler)
            slot.OnMessage = [this](platform::TzolMailslot &, const std::uint8_t *m, const std::string &u,
                                    const std::string &c, int n) {
                got.push_back({std::string(reinterpret_cast<const char *>(m), static_cast<std::size_t>(n)), u, c});
            };
        EXPECT_TRUE(slot.CreateMailslot());
        EXPECT_NE(slot.BoundPort(), 0);
    }
};

// Sends raw bytes as one datagram to a loopback port.
void SendRaw(std::uint16_t port, const std::string &bytes)
{
    const int s = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::sendto(s, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr *>(&to), sizeof to);
    ::close(s);
}

class MailslotTest : public ::testing::Test {
protected:
    void SetUp() override { platform::ResetMessages(); }
    void TearDown() override
    {
        DmxInFromLan = 0;
        platform::ResetMessages();
    }
};

TEST_F(MailslotTest, MessagesArriveOnceWithTheirSenderAndBadOnesAreDropped)
{
    Server server;
    platform::TzolMailslot client;
    client.PeerPort = server.slot.BoundPort();
    ASSERT_TRUE(client.OpenClientMailslot(".", "TEST"));
    ASSERT_TRUE(client.WriteClientMailslot("hello", 5));
    ASSERT_TRUE(DeliverUntil([&] { return server.got.size() == 1; }));
    EXPECT_EQ(server.got[0].payload, "hello");
    EXPECT_EQ(server.got[0].user, client.UserName());
    EXPECT_EQ(server.got[0].computer, client.ComputerName());

    // The same datagram twice arrives once; a new stamp from the same user arrives.
    const std::string copy = "pc;user;46000.0000000001;copy";
    SendRaw(server.slot.BoundPort(), copy);
    SendRaw(server.slot.BoundPort(), copy);
    SendRaw(server.slot.BoundPort(), "pc;user;46000.0000000002;next");
    // Fewer than three separators in the first 100 bytes: dropped.
    SendRaw(server.slot.BoundPort(), std::string(100, 'x') + ";;;late");
    SendRaw(server.slot.BoundPort(), "pc;user;no stamp end");
    // Two different messages a millisecond apart from this process both arrive.
    ASSERT_TRUE(client.WriteClientMailslot("one", 3));
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_TRUE(client.WriteClientMailslot("two", 3));
    ASSERT_TRUE(DeliverUntil([&] { return server.got.size() >= 5; }));
    DeliverUntil([] { return false; }, 100);
    std::vector<std::string> payloads;
    for (const Received &r : server.got)
        payloads.push_back(r.payload);
    EXPECT_EQ(payloads, (std::vector<std::string>{"hello", "copy", "next", "one", "two"}));

    // Stamps of one process never repeat.
    std::string last = platform::NextMailslotStamp();
    for (int i = 0; i < 1000; ++i) {
        const std::string next = platform::NextMailslotStamp();
        ASSERT_GT(next, last);
        last = next;
    }

    // A second server on the same port fails as a second slot of one name does.
    platform::TzolMailslot second;
    second.Port = server.slot.BoundPort();
    second.BindAddress = "127.0.0.1";
    EXPECT_FALSE(second.CreateMailslot());
    EXPECT_FALSE(server.slot.CreateMailslot());   // already open
}

TEST_F(MailslotTest, ClosingWhileTheReaderWaitsOnTheGuiThreadReturnsPromptly)
{
    Server server;
    platform::TzolMailslot client;
    client.PeerPort = server.slot.BoundPort();
    ASSERT_TRUE(client.OpenClientMailslot(".", "TEST"));
    ASSERT_TRUE(client.WriteClientMailslot("blocked", 7));
    // The reader hands the message over and waits for this thread, which does not deliver.
    const auto deadline = Clock::now() + std::chrono::seconds(3);
    while (platform::PendingMessages() == 0 && Clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_EQ(platform::PendingMessages(), 1);
    const auto start = Clock::now();
    server.slot.CloseMailslot();
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(5));
    platform::DeliverPostedMessages();
    EXPECT_TRUE(server.got.empty());
}

TEST_F(MailslotTest, TwoInstancesOnLoopbackExchangeNamesAndFrames)
{
    // Two programs' links, ports crossed: A's replies go to B's slot and B's to A's.
    Server a(false), b(false);
    std::vector<std::string> aGot;
    auto link = [](platform::TzolMailslot &self, std::vector<std::string> *log) {
        self.OnMessage = [log](platform::TzolMailslot &sender, const std::uint8_t *m, const std::string &,
                               const std::string &, int n) {
            if (log)
                log->push_back(std::string(reinterpret_cast<const char *>(m), static_cast<std::size_t>(n)));
            LanLinkMessage(m, n, MailslotLinkActions(sender, [](const std::string &caption) { ADD_FAILURE() << caption; }));
        };
    };
    for (Server *s : {&a, &b}) {
        s->slot.CloseMailslot();
        s->slot.Port = 0;
    }
    link(a.slot, &aGot);
    link(b.slot, nullptr);
    ASSERT_TRUE(a.slot.CreateMailslot());
    ASSERT_TRUE(b.slot.CreateMailslot());
    a.slot.PeerPort = b.slot.BoundPort();
    b.slot.PeerPort = a.slot.BoundPort();

    std::uint8_t rnam[LanReplyBytes] = {'R', 'N', 'A', 'M', '.'};
    ASSERT_TRUE(a.slot.OpenClientMailslot(".", LanSlotName));
    // With the link off nothing answers.
    DmxInFromLan = 0;
    ASSERT_TRUE(a.slot.WriteClientMailslot(rnam, LanReplyBytes));
    DeliverUntil([] { return false; }, 200);
    EXPECT_TRUE(aGot.empty());

    DmxInFromLan = 1;
    ASSERT_TRUE(a.slot.OpenClientMailslot(".", LanSlotName));
    ASSERT_TRUE(a.slot.WriteClientMailslot(rnam, LanReplyBytes));
    ASSERT_TRUE(DeliverUntil([&] { return !aGot.empty(); }));
    std::string name;
    ASSERT_TRUE(platform::GetComputerName(name, LanNameBytes));
    ASSERT_EQ(aGot[0].size(), std::size_t(LanReplyBytes));
    EXPECT_EQ(aGot[0].substr(0, 4), "HNAM");
    EXPECT_EQ(std::string(aGot[0].c_str() + 4), name);
    EXPECT_EQ(aGot[0][4 + name.size()], '\0');

    // Frames: 100 levels change channels 1-100 only, 600 levels fill all 512.
    std::memset(DmxInLevels, 7, sizeof DmxInLevels);
    std::string frame = "RDMX" + std::string(100, '\x2A');
    ASSERT_TRUE(a.slot.OpenClientMailslot(".", LanSlotName));
    ASSERT_TRUE(a.slot.WriteClientMailslot(frame.data(), static_cast<int>(frame.size())));
    ASSERT_TRUE(DeliverUntil([] { return DmxInLevels[99] == 0x2A; }));
    EXPECT_EQ(DmxInLevels[0], 0x2A);
    EXPECT_EQ(DmxInLevels[100], 7);
    frame = "RDMX" + std::string(600, '\x33');
    ASSERT_TRUE(a.slot.WriteClientMailslot(frame.data(), static_cast<int>(frame.size())));
    ASSERT_TRUE(DeliverUntil([] { return DmxInLevels[511] == 0x33; }));
    EXPECT_EQ(DmxInLevels[0], 0x33);
}

TEST_F(MailslotTest, TheLinkIgnoresShortAndUnknownPayloads)
{
    DmxInFromLan = 1;
    int answered = 0;
    LanLinkActions act;
    act.openClient = [&] { ++answered; return true; };
    act.write = [](const std::uint8_t *, int) { return true; };
    act.closeClient = [] {};
    act.computerName = [](std::string &n) { n = "HOST"; return true; };
    act.fail = [](const std::string &) {};
    std::memset(DmxInLevels, 1, sizeof DmxInLevels);
    const std::uint8_t shortOne[] = {'R', 'D'};
    EXPECT_FALSE(LanLinkMessage(shortOne, 2, act));
    const std::uint8_t tagOnly[] = {'R', 'D', 'M', 'X'};
    EXPECT_FALSE(LanLinkMessage(tagOnly, 4, act));
    const std::uint8_t hnam[] = {'H', 'N', 'A', 'M', 'x'};
    EXPECT_FALSE(LanLinkMessage(hnam, 5, act));
    std::uint8_t full[4 + 512];
    std::memcpy(full, "RDMX", 4);
    std::memset(full + 4, 9, 512);
    DmxInFromLan = 0;
    EXPECT_FALSE(LanLinkMessage(full, sizeof full, act));
    EXPECT_EQ(DmxInLevels[0], 1);
    DmxInFromLan = 1;
    EXPECT_TRUE(LanLinkMessage(full, sizeof full, act));
    EXPECT_EQ(DmxInLevels[0], 9);
    EXPECT_EQ(DmxInLevels[511], 9);
    EXPECT_EQ(answered, 0);
}

} // namespace

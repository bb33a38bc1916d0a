// The handshake and requests against a counting fake port.
#include "lptlib/LptProtocol.h"
#include "tests/lptlib/CountingPort.h"

#include <gtest/gtest.h>

#include <numeric>

using lpttest::CountingPort;
using lpttest::SleepLog;

namespace {

constexpr std::uint16_t Base = 0x378;
constexpr std::uint16_t Data = Base, Status = Base + 1, Control = Base + 2;

struct ProtocolTest : ::testing::Test {
    CountingPort port{Base};
    SleepLog sleeps;
    lpt::LptProtocol proto{port, sleeps.Hook()};
    void SetUp() override { proto.SetPortAddresses(Base); }
};

TEST_F(ProtocolTest, RequestBytesAreCommandComplementAndLittleEndianParameters)
{
    ASSERT_TRUE(proto.SendInterfaceRequest(14, 0x1234, -1));
    EXPECT_EQ(port.Written(Data), (std::vector<std::uint8_t>{0x0E, 0xF1, 0x34, 0x12, 0xFF, 0xFF}));
    // Each byte: strobe 0x07, release 0x06; the lines rest at 0x04 afterwards.
    std::vector<std::uint8_t> control;
    for (int i = 0; i < 6; ++i) {
        control.push_back(0x07);
        control.push_back(0x06);
    }
    control.push_back(0x04);
    EXPECT_EQ(port.Written(Control), control);
    EXPECT_EQ(proto.RetryCounter(), lpt::RetryStart);
}

TEST_F(ProtocolTest, FrameOfMoreThan512ChannelsIsClampedAndClockedOut)
{
    std::vector<std::uint8_t> levels(1024);
    std::iota(levels.begin(), levels.end(), 0);
    EXPECT_EQ(proto.DMXWrite(1024, levels.data()), 512);
    const auto data = port.Written(Data);
    ASSERT_EQ(data.size(), 6u + 512u);
    EXPECT_EQ(std::vector<std::uint8_t>(data.begin(), data.begin() + 6),
              (std::vector<std::uint8_t>{0x00, 0xFF, 0x00, 0x00, 0x00, 0x02}));
    EXPECT_TRUE(std::equal(data.begin() + 6, data.end(), levels.begin()));
    // Data bytes are clocked with 0x05 / 0x04.
    const auto control = port.Written(Control);
    ASSERT_EQ(control.size(), 13u + 2u * 512u);
    for (std::size_t i = 13; i < control.size(); i += 2) {
        EXPECT_EQ(control[i], 0x05);
        EXPECT_EQ(control[i + 1], 0x04);
    }
}

TEST_F(ProtocolTest, InputReadReleasesLinesAndClampsTo512)
{
    for (int i = 0; i < 512; ++i)
        port.replies.push_back(static_cast<std::uint8_t>(i * 3));
    std::vector<std::uint8_t> in(1000, 0xEE);
    EXPECT_EQ(proto.DMXRead(1000, in.data()), 512);
    for (int i = 0; i < 512; ++i)
        ASSERT_EQ(in[i], static_cast<std::uint8_t>(i * 3)) << i;
    EXPECT_EQ(in[512], 0xEE);  // nothing beyond the clamped count is touched
    const auto data = port.Written(Data);
    ASSERT_EQ(data.size(), 7u);  // the request, then 0xFF once before the first read
    EXPECT_EQ(data[0], 0x01);
    EXPECT_EQ(data[6], 0xFF);
    EXPECT_EQ(port.Written(Control).back(), 0x04);
}

TEST_F(ProtocolTest, RevisionTextAndBufferSize)
{
    char rev[4] = {'x', 'x', 'x', 'x'};
    port.replies = {0};
    proto.GetHardwareRevision(rev);
    EXPECT_EQ(std::string(rev, 4), std::string(4, '\0'));

    port.replies = {55};
    proto.GetHardwareRevision(rev);
    EXPECT_EQ(std::string(rev, 4), std::string("5.5\0", 4));

    port.replies = {74};
    proto.GetHardwareRevision(rev);
    EXPECT_EQ(std::string(rev, 4), std::string("7.4\0", 4));

    // Beyond 99 the digit formula runs past '9'; the fourth byte stays NUL.
    port.replies = {123};
    proto.GetHardwareRevision(rev);
    EXPECT_EQ(rev[0], static_cast<char>('0' + 12));
    EXPECT_EQ(rev[2], '3');
    EXPECT_EQ(rev[3], '\0');

    port.replies = {0x00, 0x04};
    EXPECT_EQ(proto.GetBufferSize(), 1024);
    port.replies = {0x00, 0x80};
    EXPECT_EQ(proto.GetBufferSize(), static_cast<std::int16_t>(-32768));
}

TEST_F(ProtocolTest, DeviceWithoutAcknowledgeFailsAfter256PollsAndResetsOnTheTenth)
{
    port.acksLeft = 0;
    for (int failure = 1; failure <= 9; ++failure) {
        port.Clear();
        EXPECT_FALSE(proto.SendInterfaceRequest(2, 0, 0));
        EXPECT_EQ(port.statusPolls, lpt::PollLimit);
        // The transfer stops at the first byte and rests the lines.
        EXPECT_EQ(port.Written(Control), (std::vector<std::uint8_t>{0x07, 0x04}));
        EXPECT_EQ(proto.RetryCounter(), 10 - failure);
    }
    EXPECT_TRUE(sleeps.ms.empty());

    port.Clear();
    std::uint8_t byte = 0;
    EXPECT_FALSE(proto.ReadBlock(1, &byte));
    EXPECT_EQ(port.statusPolls, lpt::PollLimit);
    EXPECT_EQ(port.Written(Control), (std::vector<std::uint8_t>{0x25, 0x04, 0x08, 0x04}));
    EXPECT_EQ(sleeps.ms, (std::vector<int>{40, 300}));
    EXPECT_EQ(proto.RetryCounter(), lpt::RetryStart);
}

TEST_F(ProtocolTest, CompletedTransferAfterNineTimeoutsRestartsTheCount)
{
    port.acksLeft = 0;
    for (int i = 0; i < 9; ++i)
        EXPECT_FALSE(proto.SendInterfaceRequest(2, 0, 0));
    EXPECT_EQ(proto.RetryCounter(), 1);
    port.acksLeft = -1;
    EXPECT_TRUE(proto.SendInterfaceRequest(2, 0, 0));
    EXPECT_EQ(proto.RetryCounter(), lpt::RetryStart);

    port.acksLeft = 0;
    for (int i = 0; i < 9; ++i)
        EXPECT_FALSE(proto.SendInterfaceRequest(2, 0, 0));
    EXPECT_TRUE(sleeps.ms.empty()) << "nine time-outs after a completed transfer must not reset";
    EXPECT_FALSE(proto.SendInterfaceRequest(2, 0, 0));
    EXPECT_EQ(sleeps.ms, (std::vector<int>{40, 300}));
}

TEST_F(ProtocolTest, ReleaseEdgeTimeoutAlsoFails)
{
    // The device raises the line for the strobe and never lowers it again.
    struct StuckPort : CountingPort {
        using CountingPort::CountingPort;
        std::uint8_t PortIn(std::uint16_t p) override
        {
            const std::uint8_t v = CountingPort::PortIn(p);
            return p == Status ? static_cast<std::uint8_t>(v | (raised ? 0x40 : 0)) : v;
        }
        void PortOut(std::uint16_t p, std::uint8_t v) override
        {
            CountingPort::PortOut(p, v);
            if (p == Control && v == 0x07)
                raised = true;
        }
        bool raised = false;
    } stuck{Base};
    lpt::LptProtocol p(stuck, sleeps.Hook());
    p.SetPortAddresses(Base);
    EXPECT_FALSE(p.SendInterfaceRequest(0, 0, 0));
    EXPECT_EQ(stuck.statusPolls, 1 + lpt::PollLimit);
    EXPECT_EQ(stuck.Written(Control), (std::vector<std::uint8_t>{0x07, 0x06, 0x04}));
    EXPECT_EQ(p.RetryCounter(), 9);
}

TEST_F(ProtocolTest, BlockTimeoutAfterGoodRequestStillReportsTheCount)
{
    std::vector<std::uint8_t> levels(300, 7);
    port.acksLeft = 6 + 100;  // the request and 100 data bytes
    EXPECT_EQ(proto.DMXWrite(300, levels.data()), 300);
    EXPECT_EQ(port.Written(Data).size(), 6u + 101u);  // the 101st byte was offered, not taken
    EXPECT_EQ(proto.RetryCounter(), 9);

    port.acksLeft = 6 + 3;
    port.replies = {11, 22, 33, 44, 55};
    std::vector<std::uint8_t> in(10, 0);
    EXPECT_EQ(proto.DMXRead(10, in.data()), 10);
    EXPECT_EQ(in[0], 11);
    EXPECT_EQ(in[1], 22);
    EXPECT_EQ(in[2], 33);
    EXPECT_EQ(in[3], 0);  // kept what came before the time-out, nothing after it

    // A failed request gives 0, and the buffer-size read times out after a good request: 0.
    port.acksLeft = 0;
    EXPECT_EQ(proto.DMXWrite(10, levels.data()), 0);
    port.acksLeft = 6 + 1;
    port.replies = {0x00, 0x02};
    EXPECT_EQ(proto.GetBufferSize(), 0);
}

TEST_F(ProtocolTest, CountsOfZeroOrLessTouchNoPort)
{
    std::uint8_t buf[4] = {1, 2, 3, 4};
    EXPECT_EQ(proto.DMXWrite(0, buf), 0);
    EXPECT_EQ(proto.DMXWrite(-5, buf), 0);
    EXPECT_EQ(proto.DMXRead(0, buf), 0);
    EXPECT_EQ(proto.DMXRead(-1, buf), 0);
    EXPECT_FALSE(proto.WriteBlock(0, buf));
    EXPECT_FALSE(proto.ReadBlock(-3, buf));
    EXPECT_FALSE(proto.ReadBlock(2, nullptr));
    EXPECT_EQ(port.Accesses(), 0u);
    EXPECT_EQ(buf[0], 1);
}

TEST_F(ProtocolTest, ProbeResetsAndAsksForTheRevision)
{
    CountingPort other{0x278};
    lpt::LptProtocol p(other, sleeps.Hook());
    other.replies = {55};
    EXPECT_TRUE(p.ProbeInterface(0x278));
    EXPECT_EQ(p.DataPort(), 0x278);
    EXPECT_EQ(p.StatusPort(), 0x279);
    EXPECT_EQ(p.ControlPort(), 0x27A);
    EXPECT_EQ(sleeps.ms, (std::vector<int>{1, 40, 300}));
    ASSERT_FALSE(other.log.empty());
    EXPECT_TRUE(other.log[0].write);
    EXPECT_EQ(other.log[0].port, 0x278);
    EXPECT_EQ(other.log[0].value, 0xFF);
    const auto control = other.Written(0x27A);
    ASSERT_GE(control.size(), 3u);
    EXPECT_EQ(control[0], 0x08);
    EXPECT_EQ(control[1], 0x04);
    EXPECT_EQ(other.Written(0x278)[1], 0x02);

    other.replies = {0};
    EXPECT_FALSE(p.ProbeInterface(0x278)) << "revision 0 means no interface";
}

} // namespace

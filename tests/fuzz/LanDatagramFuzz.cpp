// Feeds arbitrary bytes, as one datagram on the LAN port, through the reader's path:
// the header is taken off, the duplicate filter passes or drops it, and the LAN link
// handles the payload with DMX input from the LAN on. The payload must lie inside the
// datagram, the filter must stay within its bound, a name request must be answered
// with one 68-byte "HNAM" record to the sender, and a frame must land in the input levels.
#include "FuzzSetup.h"

#include "app/LevelPipeline.h"
#include "live/LanLink.h"
#include "platform/Mailslot.h"
#include "platform/RecentSenders.h"

#include <cstdint>
#include <cstring>
#include <string>

namespace {
platform::RecentSenders Senders;   // kept across inputs, as the reader keeps it
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size > 65535)
        return 0;   // the reader's buffer drops larger datagrams
    int length = static_cast<int>(size);
    std::string time, user, computer;
    const std::uint8_t *payload = platform::TzolMailslot::RemoveHeader(data, length, time, user, computer);
    if (!payload)
        return 0;
    FuzzRequire(payload >= data && length >= 0 && payload + length == data + size, "the payload lies in the datagram");
    FuzzRequire(user.size() + time.size() + computer.size() + 3 == size - std::size_t(length), "the header's length");
    const bool first = Senders.Admit(user, time);
    FuzzRequire(!Senders.Admit(user, time), "a copy of the last message is dropped");
    FuzzRequire(Senders.Size() <= platform::RecentSenders::MaxSenders, "the filter keeps its bound");
    if (!first)
        return 0;

    DmxInFromLan = 1;
    std::memset(DmxInLevels, 0xEE, sizeof DmxInLevels);
    int opened = 0, written = 0, closed = 0;
    LanLinkActions act;
    act.openClient = [&] { ++opened; return true; };
    act.write = [&](const std::uint8_t *bytes, int n) {
        FuzzRequire(n == LanReplyBytes && std::memcmp(bytes, "HNAM", 4) == 0, "the answer is one HNAM record");
        FuzzRequire(std::memcmp(bytes + 4, "fuzz-host", 10) == 0, "the answer names this computer");
        ++written;
        return true;
    };
    act.closeClient = [&] { ++closed; };
    act.computerName = [](std::string &name) { name = "fuzz-host"; return true; };
    act.fail = [](const std::string &) { FuzzRequire(false, "no failure with a working slot"); };
    const bool handled = LanLinkMessage(payload, length, act);
    const bool request = length >= 4 && std::memcmp(payload, "RNAM", 4) == 0;
    const bool frame = length > 4 && std::memcmp(payload, "RDMX", 4) == 0;
    FuzzRequire(handled == (request || frame), "known tags are handled, others ignored");
    FuzzRequire(opened == (request ? 1 : 0) && written == opened && closed == opened, "one answer per request");
    if (frame) {
        const int n = std::min(length - 4, MaxInputChannels);
        FuzzRequire(std::memcmp(DmxInLevels, payload + 4, static_cast<std::size_t>(n)) == 0, "the frame's levels");
        FuzzRequire(n == MaxInputChannels || DmxInLevels[n] == 0xEE, "channels after the frame stay");
    }
    return 0;
}

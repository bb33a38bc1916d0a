#include "LanLink.h"

#include "app/LevelPipeline.h"
#include "platform/Mailslot.h"

#include <algorithm>
#include <cstring>

namespace {

bool Tagged(const std::uint8_t *payload, const char *tag)
{
    return std::memcmp(payload, tag, 4) == 0;
}

bool AnswerName(const LanLinkActions &a)
{
    // The request names its computer (64 bytes after the tag); the answer goes to the
    // request's own address all the same, so the name is not read.
    if (!a.openClient()) {
        a.fail("Error OpenClientMailSlot");
        return true;
    }
    std::string own;
    if (!a.computerName(own)) {
        a.closeClient();
        a.fail("Error GetComputerName");
        return true;
    }
    std::uint8_t reply[LanReplyBytes] = {'H', 'N', 'A', 'M'};
    std::memcpy(reply + 4, own.data(), std::min<std::size_t>(own.size(), LanNameBytes - 1));
    a.write(reply, LanReplyBytes);
    a.closeClient();
    return true;
}

} // namespace

bool LanLinkMessage(const std::uint8_t *payload, int length, const LanLinkActions &actions)
{
    if (!DmxInFromLan || !payload || length < 4)
        return false;
    if (Tagged(payload, "RNAM"))
        return AnswerName(actions);
    if (Tagged(payload, "RDMX")) {
        if (length <= 4)
            return false;
        std::memcpy(DmxInLevels, payload + 4, static_cast<std::size_t>(std::min(length - 4, MaxInputChannels)));
        return true;
    }
    return false;
}

LanLinkActions MailslotLinkActions(platform::TzolMailslot &slot, std::function<void(const std::string &)> fail)
{
    LanLinkActions a;
    a.openClient = [&slot] { return slot.OpenClientToSender(); };
    a.write = [&slot](const std::uint8_t *bytes, int n) { return slot.WriteClientMailslot(bytes, n); };
    a.closeClient = [&slot] { slot.CloseClientMailslot(); };
    a.computerName = [](std::string &name) { return platform::GetComputerName(name, LanNameBytes); };
    a.fail = std::move(fail);
    return a;
}

// The LAN link: a peer program asks this computer's name ("RNAM", answered with "HNAM")
// and sends DMX frames ("RDMX") that arrive as DMX input. It acts only while DMX input
// is taken from the LAN. The answer goes back to the address the request came from:
// the computer named in the request is never looked up, so a slow name cannot stall the
// windows and a request cannot aim the answer at a third computer.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

inline const char *const LanSlotName = "BRVX";
constexpr int LanNameBytes = 64;
constexpr int LanReplyBytes = 4 + LanNameBytes;   // "HNAM" and the name record

// What answering a name request needs from the mailslot component and the window.
struct LanLinkActions {
    std::function<bool()> openClient;   // to the sender's "BRVX"
    std::function<bool(const std::uint8_t *bytes, int length)> write;
    std::function<void()> closeClient;
    // This computer's name, asked with a 64-byte buffer; false when it cannot be had.
    std::function<bool(std::string &name)> computerName;
    // A failure shown in the window's caption.
    std::function<void(const std::string &caption)> fail;
};

namespace platform {
class TzolMailslot;
}
// The actions on a mailslot component inside its OnMessage: replies through its client
// slot to the sender's "BRVX" (the sender's address, the slot's PeerPort), the computer
// name from the system, failures told to `fail`.
LanLinkActions MailslotLinkActions(platform::TzolMailslot &slot, std::function<void(const std::string &)> fail);

// Handles one payload; false when it was ignored (link off, too short, unknown tag).
bool LanLinkMessage(const std::uint8_t *payload, int length, const LanLinkActions &actions);

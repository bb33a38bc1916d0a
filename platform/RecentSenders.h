// The mailslot reader's duplicate filter: for each recent sender (the user name in the
// header) the time stamp of the last message delivered from it. It keeps at most
// MaxSenders senders, the most recently heard; the one heard longest ago makes room for a
// new one. A dropped sender's next message is delivered as a first message is, so a flood
// of made-up names costs a fixed amount of memory and delays no one.
#pragma once

#include <cstddef>
#include <list>
#include <map>
#include <string>
#include <utility>

namespace platform {

class RecentSenders {
public:
    static constexpr std::size_t MaxSenders = 256;

    // True when the message is to be delivered: its sender is not known or sent another
    // time stamp last; the stamp is then kept. False for a copy of the last message.
    bool Admit(const std::string &user, const std::string &time);
    std::size_t Size() const { return index_.size(); }

private:
    using Entry = std::pair<std::string, std::string>;   // user, last time stamp
    std::list<Entry> recent_;                             // most recently heard first
    std::map<std::string, std::list<Entry>::iterator> index_;
};

} // namespace platform

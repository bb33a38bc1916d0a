#include "RecentSenders.h"

namespace platform {

bool RecentSenders::Admit(const std::string &user, const std::string &time)
{
    const auto found = index_.find(user);
    if (found != index_.end()) {
        // Heard again: it moves to the front, copy or not.
        recent_.splice(recent_.begin(), recent_, found->second);
        if (found->second->second == time)
            return false;
        found->second->second = time;
        return true;
    }
    if (index_.size() >= MaxSenders) {
        index_.erase(recent_.back().first);
        recent_.pop_back();
    }
    recent_.emplace_front(user, time);
    index_.emplace(user, recent_.begin());
    return true;
}

} // namespace platform

// A fake parallel port that counts and records every access and plays the interface's part
// of the handshake: it acknowledges a given number of clock edges, then goes silent.
#pragma once

#include "lptlib/LptProtocol.h"

#include <cstdint>
#include <deque>
#include <vector>

namespace lpttest {

struct PortAccess {
    bool write;
    std::uint16_t port;
    std::uint8_t value;
};

class CountingPort : public lpt::PortIo {
public:
    explicit CountingPort(std::uint16_t base = 0x378) : base_(base) {}

    std::uint8_t PortIn(std::uint16_t port) override
    {
        log.push_back({false, port, 0});
        if (port == base_ + 1) {
            ++statusPolls;
            return ack_ ? 0x40 : 0x00;
        }
        if (port == base_)
            return (control_ & 0x20) ? lines_ : data_;
        return control_;
    }

    void PortOut(std::uint16_t port, std::uint8_t value) override
    {
        log.push_back({true, port, value});
        if (port == base_) {
            data_ = value;
            return;
        }
        if (port != base_ + 2)
            return;
        control_ = value;
        if (value == 0x07 || value == 0x05 || value == 0x25) {
            if (acksLeft == 0)
                return;
            if (acksLeft > 0)
                --acksLeft;
            ack_ = true;
            if (value == 0x25) {
                lines_ = replies.empty() ? 0 : replies.front();
                if (!replies.empty())
                    replies.pop_front();
            }
        } else {
            ack_ = false;
        }
    }

    // Values written to a port, in order.
    std::vector<std::uint8_t> Written(std::uint16_t port) const
    {
        std::vector<std::uint8_t> out;
        for (const auto &a : log)
            if (a.write && a.port == port)
                out.push_back(a.value);
        return out;
    }

    std::size_t Accesses() const { return log.size(); }
    void Clear()
    {
        log.clear();
        statusPolls = 0;
    }

    long acksLeft = -1;              // clock edges still acknowledged; < 0: all of them
    std::deque<std::uint8_t> replies; // bytes put on the data lines at each read clock
    std::vector<PortAccess> log;
    long statusPolls = 0;

private:
    std::uint16_t base_;
    std::uint8_t data_ = 0;
    std::uint8_t lines_ = 0;
    std::uint8_t control_ = 0x04;
    bool ack_ = false;
};

// Sleeps recorded instead of taken.
struct SleepLog {
    std::vector<int> ms;
    lpt::SleepHook Hook()
    {
        return [this](int v) { ms.push_back(v); };
    }
};

} // namespace lpttest

// Monotonic time and the periodic timer thread that drives the engine.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <thread>

namespace platform {

// Milliseconds of the monotonic clock, wrapping at 2^32.
std::uint32_t MonotonicMs();

// Replaces MonotonicMs for tests: while set, MonotonicMs returns what the hook returns.
void SetMonotonicMsHook(std::uint32_t (*hook)());

// Calls a function every period on its own thread, at absolute deadlines of the
// monotonic clock (1 ms resolution). A callback that overruns drops the periods it
// missed; they are never fired in a burst. Callbacks run one at a time; Stop joins.
class PeriodicTimer {
public:
    PeriodicTimer() = default;
    ~PeriodicTimer() { Stop(); }
    PeriodicTimer(const PeriodicTimer &) = delete;
    PeriodicTimer &operator=(const PeriodicTimer &) = delete;

    // Starts the thread; false when it cannot be started. True at once when running.
    bool Start(int periodMs, std::function<void()> callback);
    // Stops the thread and joins it. While a callback is still running, `whileWaiting`
    // (when given) is called about once a millisecond, so that the caller can release
    // what the callback waits for.
    void Stop(const std::function<void()> &whileWaiting = {});
    bool Running() const { return running_.load(); }
    // Periods skipped because a callback overran.
    std::uint64_t LostPeriods() const { return lost_.load(); }
    // True when called on the timer's own thread.
    bool OnTimerThread() const;
    // The timer thread's id (a default id when not running).
    std::thread::id ThreadId() const { return thread_.get_id(); }

private:
    void Run();

    std::function<void()> callback_;
    int periodMs_ = 50;
    std::thread thread_;
    std::atomic<bool> running_{false};
    std::atomic<bool> stop_{false};
    std::atomic<bool> finished_{false};
    std::atomic<std::uint64_t> lost_{0};
    int wakeFd_ = -1;
};

} // namespace platform

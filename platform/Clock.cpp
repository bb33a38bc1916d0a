#include "Clock.h"

#include <cerrno>
#include <chrono>
#include <ctime>
#include <pthread.h>
#include <sched.h>
#include <sys/eventfd.h>
#include <poll.h>
#include <unistd.h>

namespace platform {

namespace {
std::atomic<std::uint32_t (*)()> msHook{nullptr};

std::int64_t NowNs()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return std::int64_t(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

timespec ToTimespec(std::int64_t ns)
{
    timespec ts;
    ts.tv_sec = static_cast<time_t>(ns / 1000000000);
    ts.tv_nsec = static_cast<long>(ns % 1000000000);
    return ts;
}
} // namespace

std::uint32_t MonotonicMs()
{
    if (auto hook = msHook.load())
        return hook();
    return static_cast<std::uint32_t>(NowNs() / 1000000);
}

void SetMonotonicMsHook(std::uint32_t (*hook)())
{
    msHook.store(hook);
}

bool PeriodicTimer::Start(int periodMs, std::function<void()> callback)
{
    if (running_.load())
        return true;
    if (periodMs <= 0 || !callback)
        return false;
    callback_ = std::move(callback);
    periodMs_ = periodMs;
    stop_.store(false);
    finished_.store(false);
    lost_.store(0);
    wakeFd_ = eventfd(0, EFD_CLOEXEC);
    if (wakeFd_ < 0)
        return false;
    try {
        thread_ = std::thread([this] { Run(); });
    } catch (...) {
        close(wakeFd_);
        wakeFd_ = -1;
        return false;
    }
    running_.store(true);
    return true;
}

void PeriodicTimer::Stop(const std::function<void()> &whileWaiting)
{
    if (!running_.load())
        return;
    stop_.store(true);
    std::uint64_t one = 1;
    [[maybe_unused]] auto n = write(wakeFd_, &one, sizeof one);
    if (whileWaiting && thread_.get_id() != std::this_thread::get_id()) {
        while (!finished_.load()) {
            whileWaiting();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id())
        thread_.join();
    else if (thread_.joinable())
        thread_.detach();
    close(wakeFd_);
    wakeFd_ = -1;
    running_.store(false);
}

bool PeriodicTimer::OnTimerThread() const
{
    return thread_.get_id() == std::this_thread::get_id();
}

void PeriodicTimer::Run()
{
    // Real-time priority when the system grants it; ordinary scheduling otherwise.
    sched_param sp{};
    sp.sched_priority = sched_get_priority_min(SCHED_FIFO) + 10;
    pthread_setschedparam(pthread_self(), SCHED_FIFO, &sp);

    const std::int64_t period = std::int64_t(periodMs_) * 1000000;
    std::int64_t deadline = NowNs() + period;
    while (!stop_.load()) {
        // Sleep to the absolute deadline, waking early only for Stop.
        while (!stop_.load()) {
            std::int64_t now = NowNs();
            if (now >= deadline)
                break;
            std::int64_t left = deadline - now;
            if (left > 2000000) {
                // Coarse wait that Stop can interrupt, then the exact absolute sleep.
                pollfd p{wakeFd_, POLLIN, 0};
                poll(&p, 1, static_cast<int>((left - 1000000) / 1000000));
                continue;
            }
            timespec ts = ToTimespec(deadline);
            int rc = clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr);
            if (rc == 0 || rc != EINTR)
                break;
        }
        if (stop_.load())
            break;
        callback_();
        deadline += period;
        std::int64_t now = NowNs();
        if (now >= deadline) {
            // Overran: drop the missed periods and keep the phase of the grid.
            std::int64_t missed = (now - deadline) / period + 1;
            lost_ += static_cast<std::uint64_t>(missed);
            deadline += missed * period;
        }
    }
    finished_.store(true);
}

} // namespace platform

#include "platform/Clock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

TEST(Clock, MonotonicMsCanBeReplacedByTheTestsClock)
{
    static std::uint32_t now = 1234;
    platform::SetMonotonicMsHook([] { return now; });
    EXPECT_EQ(platform::MonotonicMs(), 1234u);
    now = 1300;
    EXPECT_EQ(platform::MonotonicMs(), 1300u);
    platform::SetMonotonicMsHook(nullptr);
    std::uint32_t a = platform::MonotonicMs();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_GE(platform::MonotonicMs() - a, 4u);
}

TEST(Clock, PeriodicTimerRunsOneCallbackAtATimeAndDropsMissedPeriods)
{
    platform::PeriodicTimer timer;
    std::atomic<int> calls{0}, inside{0}, overlap{0};
    ASSERT_TRUE(timer.Start(5, [&] {
        if (inside.fetch_add(1) != 0)
            overlap = 1;
        if (calls.fetch_add(1) == 2)
            std::this_thread::sleep_for(std::chrono::milliseconds(30));   // overrun
        inside.fetch_sub(1);
    }));
    EXPECT_TRUE(timer.Start(5, [] {}));   // already running
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (calls.load() < 8 && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    timer.Stop();
    EXPECT_FALSE(timer.Running());
    EXPECT_GE(calls.load(), 8);
    EXPECT_EQ(overlap.load(), 0);
    EXPECT_GE(timer.LostPeriods(), 4u);
    int after = calls.load();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(calls.load(), after);
}

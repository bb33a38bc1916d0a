#include "platform/Messages.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace {
struct Received {
    std::uint32_t msg;
    std::uintptr_t w;
    std::intptr_t l;
};
} // namespace

TEST(Messages, PostsArriveInOrderOnDelivery)
{
    platform::ResetMessages();
    std::vector<Received> got;
    auto h = platform::AllocateMessageWindow([&](std::uint32_t m, std::uintptr_t w, std::intptr_t l) -> std::intptr_t {
        got.push_back({m, w, l});
        return 0;
    });
    EXPECT_FALSE(platform::PostMessageTo(0, 5027, 'Z', 0));
    std::thread t([h] {
        EXPECT_TRUE(platform::PostMessageTo(h, 5027, 'Z', 0));
        EXPECT_TRUE(platform::PostMessageTo(h, 5025, 3, 71));
    });
    t.join();
    EXPECT_EQ(platform::PendingMessages(), 2);
    platform::DeliverPostedMessages();
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].w, std::uintptr_t('Z'));
    EXPECT_EQ(got[1].msg, 5025u);
    EXPECT_EQ(got[1].l, 71);
    // Posts to a released window are dropped.
    platform::PostMessageTo(h, 5027, 'H', 0);
    platform::ReleaseMessageWindow(h);
    platform::DeliverPostedMessages();
    EXPECT_EQ(got.size(), 2u);
}

TEST(Messages, SendBlocksUntilHandledAndGivesUpAtShutdown)
{
    platform::ResetMessages();
    auto h = platform::AllocateMessageWindow([](std::uint32_t, std::uintptr_t w, std::intptr_t) -> std::intptr_t {
        return static_cast<std::intptr_t>(w) + 1;
    });
    // On the GUI thread a send is a direct call.
    EXPECT_EQ(platform::SendMessageTo(h, 5027, 41, 0), 42);

    std::atomic<std::intptr_t> result{-1};
    std::thread sender([&] { result = platform::SendMessageTo(h, 5027, 9, 0); });
    while (platform::PendingMessages() == 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_EQ(result.load(), -1);
    platform::DeliverPostedMessages();
    sender.join();
    EXPECT_EQ(result.load(), 10);

    // A sender blocked when shut-down begins returns 0 and its message is withdrawn.
    std::thread blocked([&] { result = platform::SendMessageTo(h, 5027, 1, 0); });
    while (platform::PendingMessages() == 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    platform::BeginMessageShutdown();
    blocked.join();
    EXPECT_EQ(result.load(), 0);
    EXPECT_EQ(platform::SendMessageTo(h, 5027, 1, 0), 2);   // GUI thread still calls directly
    std::thread late([&] { result = platform::SendMessageTo(h, 5027, 5, 0); });
    late.join();
    EXPECT_EQ(result.load(), 0);
    platform::ResetMessages();
}

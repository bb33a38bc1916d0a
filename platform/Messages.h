// Message windows: handlers on the GUI thread that other threads reach by posting
// (queued, never blocking, no allocation) or sending (blocking until handled).
#pragma once

#include <cstdint>
#include <functional>
#include <thread>

namespace platform {

// 0 is "no window": nothing is ever delivered to it.
using WindowHandle = std::uint32_t;
using MessageHandler = std::function<std::intptr_t(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam)>;

// Makes a message window whose handler runs on the GUI thread (the thread that calls this).
WindowHandle AllocateMessageWindow(MessageHandler handler);
// Removes the window; messages still queued for it are dropped.
void ReleaseMessageWindow(WindowHandle window);

// Queues a message for the window's GUI thread. Safe from any thread, allocates nothing.
// False when the window is 0 or the queue is full.
bool PostMessageTo(WindowHandle window, std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam);
// Calls the handler and returns its result: directly on the GUI thread, otherwise by
// blocking until the GUI thread has handled it. Gives up and returns 0 once shut-down has
// begun, so that a blocked sender can never deadlock the GUI thread's shut-down.
std::intptr_t SendMessageTo(WindowHandle window, std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam);

// Delivers every queued message on the GUI thread now (the event loop also does this).
void DeliverPostedMessages();
// Number of posts waiting.
int PendingMessages();

// Wakes every send from thread `sender` that the GUI thread has not yet taken: it is
// withdrawn and returns 0. A send whose handler already runs is left to finish; later
// sends block as usual.
void AbandonBlockedSends(std::thread::id sender);

// Raised at the start of shut-down: wakes every blocked sender, which then returns 0.
void BeginMessageShutdown();
bool MessageShutdownBegun();
// For tests: lowers the flag again and forgets every window and queued message.
void ResetMessages();

} // namespace platform

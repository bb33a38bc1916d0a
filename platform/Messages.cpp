#include "Messages.h"

#include <QCoreApplication>
#include <QObject>
#include <QSocketNotifier>

#include <array>
#include <atomic>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>
#include <sys/eventfd.h>
#include <unistd.h>

namespace platform {

namespace {

struct SendRecord {
    std::intptr_t result = 0;
    bool done = false;
    bool abandoned = false;
    std::thread::id sender;
};

struct QueuedMessage {
    WindowHandle window = 0;
    std::uint32_t msg = 0;
    std::uintptr_t wParam = 0;
    std::intptr_t lParam = 0;
    SendRecord *send = nullptr;   // non-null for a blocking send
};

constexpr int QueueSize = 4096;

struct Dispatcher {
    std::mutex mutex;
    std::condition_variable sendDone;
    std::array<QueuedMessage, QueueSize> queue;
    int head = 0, count = 0;
    std::map<WindowHandle, MessageHandler> windows;
    WindowHandle nextHandle = 1;
    std::thread::id guiThread;
    bool guiThreadSet = false;
    std::atomic<bool> shutdown{false};
    int wakeFd = -1;
    QSocketNotifier *notifier = nullptr;
    SendRecord *running = nullptr;

    bool OnGuiThread()
    {
        return !guiThreadSet || std::this_thread::get_id() == guiThread;
    }

    // Caller holds the mutex.
    bool Push(const QueuedMessage &m)
    {
        if (count == QueueSize)
            return false;
        queue[(head + count) % QueueSize] = m;
        ++count;
        if (wakeFd >= 0) {
            std::uint64_t one = 1;
            [[maybe_unused]] auto n = write(wakeFd, &one, sizeof one);
        }
        return true;
    }

    void EnsureNotifier()
    {
        if (notifier || !QCoreApplication::instance())
            return;
        wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        if (wakeFd < 0)
            return;
        notifier = new QSocketNotifier(wakeFd, QSocketNotifier::Read);
        QObject::connect(notifier, &QSocketNotifier::activated, [this] {
            std::uint64_t v;
            [[maybe_unused]] auto n = read(wakeFd, &v, sizeof v);
            DeliverPostedMessages();
        });
    }
};

Dispatcher &D()
{
    static Dispatcher d;
    return d;
}

} // namespace

WindowHandle AllocateMessageWindow(MessageHandler handler)
{
    Dispatcher &d = D();
    std::lock_guard<std::mutex> lock(d.mutex);
    if (!d.guiThreadSet) {
        d.guiThread = std::this_thread::get_id();
        d.guiThreadSet = true;
    }
    d.EnsureNotifier();
    WindowHandle h = d.nextHandle++;
    d.windows[h] = std::move(handler);
    return h;
}

void ReleaseMessageWindow(WindowHandle window)
{
    Dispatcher &d = D();
    std::lock_guard<std::mutex> lock(d.mutex);
    d.windows.erase(window);
}

bool PostMessageTo(WindowHandle window, std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam)
{
    if (window == 0)
        return false;
    Dispatcher &d = D();
    std::lock_guard<std::mutex> lock(d.mutex);
    return d.Push(QueuedMessage{window, msg, wParam, lParam, nullptr});
}

std::intptr_t SendMessageTo(WindowHandle window, std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam)
{
    if (window == 0)
        return 0;
    Dispatcher &d = D();
    if (d.OnGuiThread()) {
        MessageHandler handler;
        {
            std::lock_guard<std::mutex> lock(d.mutex);
            auto it = d.windows.find(window);
            if (it == d.windows.end())
                return 0;
            handler = it->second;
        }
        return handler(msg, wParam, lParam);
    }
    if (d.shutdown.load())
        return 0;
    SendRecord record;
    record.sender = std::this_thread::get_id();
    std::unique_lock<std::mutex> lock(d.mutex);
    if (!d.Push(QueuedMessage{window, msg, wParam, lParam, &record}))
        return 0;
    d.sendDone.wait(lock, [&] {
        return record.done || ((d.shutdown.load() || record.abandoned) && d.running != &record);
    });
    if (record.done)
        return record.result;
    // Shut-down began (or the send was abandoned) before the GUI thread took the
    // message: withdraw it.
    for (int i = 0; i < d.count; ++i) {
        QueuedMessage &m = d.queue[(d.head + i) % QueueSize];
        if (m.send == &record) {
            m.send = nullptr;
            m.window = 0;
        }
    }
    return 0;
}

void DeliverPostedMessages()
{
    Dispatcher &d = D();
    for (;;) {
        QueuedMessage m;
        MessageHandler handler;
        {
            std::lock_guard<std::mutex> lock(d.mutex);
            if (d.count == 0)
                return;
            m = d.queue[d.head];
            d.head = (d.head + 1) % QueueSize;
            --d.count;
            auto it = d.windows.find(m.window);
            if (it == d.windows.end()) {
                if (m.send) {
                    m.send->done = true;
                    d.sendDone.notify_all();
                }
                continue;
            }
            handler = it->second;
            d.running = m.send;
        }
        std::intptr_t result = 0;
        try {
            result = handler(m.msg, m.wParam, m.lParam);
        } catch (...) {
        }
        if (m.send) {
            std::lock_guard<std::mutex> lock(d.mutex);
            m.send->result = result;
            m.send->done = true;
            d.running = nullptr;
            d.sendDone.notify_all();
        } else {
            std::lock_guard<std::mutex> lock(d.mutex);
            d.running = nullptr;
        }
    }
}

int PendingMessages()
{
    Dispatcher &d = D();
    std::lock_guard<std::mutex> lock(d.mutex);
    return d.count;
}

void AbandonBlockedSends(std::thread::id sender)
{
    Dispatcher &d = D();
    std::lock_guard<std::mutex> lock(d.mutex);
    // A send that waits is still in the queue; the one whose handler runs is not.
    bool any = false;
    for (int i = 0; i < d.count; ++i) {
        SendRecord *r = d.queue[(d.head + i) % QueueSize].send;
        if (r && r->sender == sender && !r->done) {
            r->abandoned = true;
            any = true;
        }
    }
    if (any)
        d.sendDone.notify_all();
}

void BeginMessageShutdown()
{
    Dispatcher &d = D();
    std::lock_guard<std::mutex> lock(d.mutex);
    d.shutdown.store(true);
    d.sendDone.notify_all();
}

bool MessageShutdownBegun()
{
    return D().shutdown.load();
}

void ResetMessages()
{
    Dispatcher &d = D();
    std::lock_guard<std::mutex> lock(d.mutex);
    d.shutdown.store(false);
    d.windows.clear();
    d.head = d.count = 0;
    d.guiThread = std::this_thread::get_id();
    d.guiThreadSet = true;
}

} // namespace platform

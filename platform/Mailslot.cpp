#include "Mailslot.h"

#include "Messages.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <mutex>

namespace platform {

namespace {

// The message that hands one received message to the GUI thread.
constexpr std::uint32_t MailslotMessage = 0x5A00;
// Names in the header longer than this are left empty.
constexpr std::size_t HeaderNameLimit = 15;
constexpr int HeaderSearch = 100;

struct Delivery {
    const std::uint8_t *payload;
    int length;
    const std::string *user;
    const std::string *computer;
    std::uint32_t from;   // the sender's IPv4 address, network order
};

std::string Limited(const std::string &s)
{
    return s.size() > HeaderNameLimit ? std::string() : s;
}

std::string HostName()
{
    char name[256] = {};
    if (gethostname(name, sizeof name - 1) != 0)
        return {};
    return name;
}

std::string LoginName()
{
    const passwd *pw = getpwuid(geteuid());
    return pw && pw->pw_name ? std::string(pw->pw_name) : std::string();
}

// The IPv4 address of a computer name; "." and this computer's name are the loopback.
bool Resolve(const std::string &computer, std::uint32_t &address)
{
    if (computer == "." || computer == HostName() || computer == "localhost") {
        address = htonl(INADDR_LOOPBACK);
        return true;
    }
    if (computer.empty())
        return false;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo *found = nullptr;
    if (getaddrinfo(computer.c_str(), nullptr, &hints, &found) != 0 || !found)
        return false;
    address = reinterpret_cast<const sockaddr_in *>(found->ai_addr)->sin_addr.s_addr;
    freeaddrinfo(found);
    return true;
}

void CloseFd(int &fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

} // namespace

std::string NextMailslotStamp()
{
    static std::mutex mutex;
    static std::int64_t last = 0;
    constexpr std::int64_t Units = 10000000000LL;   // 1e10 per day
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    const std::int64_t us = std::chrono::duration_cast<std::chrono::microseconds>(now).count();
    // Days since 1899-12-30 (25569 days before 1970-01-01), in units of 1e-10 day.
    std::int64_t units = 25569 * Units + static_cast<std::int64_t>(static_cast<long double>(us) * Units / 86400e6L);
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (units <= last)
            units = last + 1;
        last = units;
    }
    char text[40];
    std::snprintf(text, sizeof text, "%lld.%010lld", static_cast<long long>(units / Units),
                  static_cast<long long>(units % Units));
    return text;
}

bool GetComputerName(std::string &name, std::size_t bufferSize)
{
    const std::string host = HostName();
    if (host.empty() || host.size() >= bufferSize)
        return false;
    name = host;
    return true;
}

// ---- the reader ----------------------------------------------------------------------------

SlotThread::SlotThread(TzolMailslot &owner, int socket, int wakeFd, std::uint32_t window)
    : owner_(owner), socket_(socket), wakeFd_(wakeFd), window_(window),
      buffer_(std::make_unique<std::uint8_t[]>(BufferSize))
{
    thread_ = std::thread([this] { Execute(); });
}

SlotThread::~SlotThread()
{
    terminated_ = true;
    const std::uint8_t wake = 1;
    [[maybe_unused]] const auto n = ::write(wakeFd_, &wake, 1);
    // The reader may be waiting in a send to this (the GUI) thread: withdraw it, again
    // until the reader has seen the stop, then join.
    const std::thread::id reader = thread_.get_id();
    while (!finished_.load()) {
        AbandonBlockedSends(reader);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    thread_.join();
}

void SlotThread::Execute()
{
    while (!terminated_.load()) {
        pollfd fds[2] = {{socket_, POLLIN, 0}, {wakeFd_, POLLIN, 0}};
        const int ready = ::poll(fds, 2, ReadTimeoutMs);
        if (terminated_.load())
            break;
        if (ready <= 0 || !(fds[0].revents & POLLIN))
            continue;
        sockaddr_in from{};
        socklen_t fromLength = sizeof from;
        const ssize_t got = ::recvfrom(socket_, buffer_.get(), BufferSize, MSG_TRUNC | MSG_DONTWAIT,
                                       reinterpret_cast<sockaddr *>(&from), &fromLength);
        // A datagram larger than the buffer came truncated: dropped.
        if (got <= 0 || got > BufferSize)
            continue;
        int length = static_cast<int>(got);
        std::string time, user, computer;
        const std::uint8_t *payload = TzolMailslot::RemoveHeader(buffer_.get(), length, time, user, computer);
        if (!payload)
            continue;
        if (!StringMap.Admit(user, time))
            continue;   // a copy of the last message from this user
        Delivery d{payload, length, &user, &computer, from.sin_addr.s_addr};
        SendMessageTo(window_, MailslotMessage, reinterpret_cast<std::uintptr_t>(&d), 0);
    }
    finished_ = true;
}

// ---- the component -------------------------------------------------------------------------

TzolMailslot::TzolMailslot() : computerName_(Limited(HostName())), userName_(Limited(LoginName())) {}

TzolMailslot::~TzolMailslot()
{
    CloseClientMailslot();
    CloseMailslot();
}

bool TzolMailslot::CreateMailslot()
{
    if (serverSocket_ >= 0)
        return false;
    int s = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (s < 0)
        return false;
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(Port);
    addr.sin_addr.s_addr = htonl(INADDR_ANY);
    if (!BindAddress.empty() && inet_pton(AF_INET, BindAddress.c_str(), &addr.sin_addr) != 1) {
        ::close(s);
        return false;
    }
    if (::bind(s, reinterpret_cast<const sockaddr *>(&addr), sizeof addr) != 0) {
        ::close(s);
        return false;
    }
    socklen_t len = sizeof addr;
    getsockname(s, reinterpret_cast<sockaddr *>(&addr), &len);
    if (::pipe2(wakePipe_, O_CLOEXEC | O_NONBLOCK) != 0) {
        ::close(s);
        return false;
    }
    serverSocket_ = s;
    boundPort_ = ntohs(addr.sin_port);
    if (OnMessage) {
        window_ = AllocateMessageWindow([this](std::uint32_t msg, std::uintptr_t wParam, std::intptr_t) {
            if (msg != MailslotMessage || !OnMessage)
                return std::intptr_t(0);
            const auto *d = reinterpret_cast<const Delivery *>(wParam);
            sender_ = d->from;
            OnMessage(*this, d->payload, *d->user, *d->computer, d->length);
            sender_ = 0;
            return std::intptr_t(1);
        });
        thread_ = std::make_unique<SlotThread>(*this, serverSocket_, wakePipe_[0], window_);
    }
    return true;
}

bool TzolMailslot::CloseMailslot()
{
    if (thread_) {
        std::uint8_t wake = 1;
        [[maybe_unused]] const auto n = ::write(wakePipe_[1], &wake, 1);
        thread_.reset();
    }
    if (window_) {
        ReleaseMessageWindow(window_);
        window_ = 0;
    }
    CloseFd(serverSocket_);
    CloseFd(wakePipe_[0]);
    CloseFd(wakePipe_[1]);
    boundPort_ = 0;
    return true;
}

bool TzolMailslot::OpenClientMailslot(const std::string &computer, const std::string &slot)
{
    (void)slot;   // the peer port stands for the slot's name
    CloseClientMailslot();
    std::uint32_t address = 0;
    if (!Resolve(computer, address))
        return false;
    clientSocket_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (clientSocket_ < 0)
        return false;
    clientAddress_ = address;
    return true;
}

bool TzolMailslot::OpenClientToSender()
{
    CloseClientMailslot();
    if (sender_ == 0)
        return false;
    clientSocket_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (clientSocket_ < 0)
        return false;
    clientAddress_ = sender_;
    return true;
}

void TzolMailslot::CloseClientMailslot()
{
    CloseFd(clientSocket_);
}

bool TzolMailslot::WriteClientMailslot(const void *buffer, int length)
{
    if (clientSocket_ < 0 || length < 0)
        return false;
    const std::string message = AddHeader(buffer, length);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(PeerPort);
    to.sin_addr.s_addr = clientAddress_;
    const ssize_t sent = ::sendto(clientSocket_, message.data(), message.size(), 0,
                                  reinterpret_cast<const sockaddr *>(&to), sizeof to);
    return sent == static_cast<ssize_t>(message.size());
}

std::string TzolMailslot::AddHeader(const void *buffer, int length) const
{
    std::string message = computerName_ + ";" + userName_ + ";" + NextMailslotStamp() + ";";
    message.append(static_cast<const char *>(buffer), static_cast<std::size_t>(length));
    return message;
}

const std::uint8_t *TzolMailslot::RemoveHeader(const std::uint8_t *buffer, int &length, std::string &time,
                                               std::string &user, std::string &computer)
{
    int marks[3];
    int found = 0;
    const int limit = std::min(length, HeaderSearch);
    for (int i = 0; i < limit && found < 3; ++i)
        if (buffer[i] == ';')
            marks[found++] = i;
    if (found < 3)
        return nullptr;
    const char *text = reinterpret_cast<const char *>(buffer);
    computer.assign(text, static_cast<std::size_t>(marks[0]));
    user.assign(text + marks[0] + 1, static_cast<std::size_t>(marks[1] - marks[0] - 1));
    time.assign(text + marks[1] + 1, static_cast<std::size_t>(marks[2] - marks[1] - 1));
    length -= marks[2] + 1;
    return buffer + marks[2] + 1;
}

} // namespace platform

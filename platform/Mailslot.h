// Mailslots over UDP: a server slot read by a thread of its own, and a client slot that
// writes single datagrams to a named computer. Every message carries a text header
// "computer;user;time;" before its payload; the reader drops repeated copies of one
// message (same user and time stamp) and hands each other one to the GUI thread, waiting
// until it has been handled.
//
// Slots have names, UDP needs ports: the server binds `Port` (0 takes a free one, which
// BoundPort() tells) on `BindAddress` (empty: every interface), with no address reuse, so
// a second server on the same port fails as a second slot of one name does. Client writes
// go to `PeerPort` of the computer named; "." and this computer's own name mean 127.0.0.1.
// A handler that answers opens the client slot to the sender (OpenClientToSender): the
// address the message came from, found without any name lookup.
#pragma once

#include "RecentSenders.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>

namespace platform {

class TzolMailslot;

// The reader thread of a server slot.
class SlotThread {
public:
    static constexpr int BufferSize = 65535;
    static constexpr int ReadTimeoutMs = 2000;

    SlotThread(TzolMailslot &owner, int socket, int wakeFd, std::uint32_t window);
    ~SlotThread();   // stops and joins
    SlotThread(const SlotThread &) = delete;
    SlotThread &operator=(const SlotThread &) = delete;

private:
    void Execute();

    TzolMailslot &owner_;
    int socket_;
    int wakeFd_;
    std::uint32_t window_;
    std::unique_ptr<std::uint8_t[]> buffer_;
    // User name -> time stamp of the last message delivered from that user, for the most
    // recent senders only.
    RecentSenders StringMap;
    std::atomic<bool> terminated_{false};
    std::atomic<bool> finished_{false};
    std::thread thread_;
};

class TzolMailslot {
public:
    using MessageHandler = std::function<void(TzolMailslot &sender, const std::uint8_t *message,
                                              const std::string &user, const std::string &computer, int length)>;

    TzolMailslot();
    ~TzolMailslot();   // closes both slots
    TzolMailslot(const TzolMailslot &) = delete;
    TzolMailslot &operator=(const TzolMailslot &) = delete;

    std::string SlotName;
    // Runs on the GUI thread (the thread that created the server slot).
    MessageHandler OnMessage;
    std::uint16_t Port = 0;
    std::string BindAddress;
    std::uint16_t PeerPort = 0;

    // False when the server slot is open already or cannot be bound.
    bool CreateMailslot();
    bool CloseMailslot();
    bool ServerOpen() const { return serverSocket_ >= 0; }
    std::uint16_t BoundPort() const { return boundPort_; }

    bool OpenClientMailslot(const std::string &computer, const std::string &slot);
    // Inside OnMessage: opens the client slot to the address the message came from (its
    // `PeerPort`). False outside a handler or without a socket.
    bool OpenClientToSender();
    void CloseClientMailslot();
    // False without a client slot or when the datagram could not be sent whole.
    bool WriteClientMailslot(const void *buffer, int length);

    // Header and payload in one message.
    std::string AddHeader(const void *buffer, int length) const;
    // The payload after the header, or null when the first 100 bytes hold fewer than
    // three ';'. `length` becomes the payload's length.
    static const std::uint8_t *RemoveHeader(const std::uint8_t *buffer, int &length, std::string &time,
                                            std::string &user, std::string &computer);

    const std::string &ComputerName() const { return computerName_; }
    const std::string &UserName() const { return userName_; }

private:
    std::string computerName_;
    std::string userName_;
    int serverSocket_ = -1;
    int wakePipe_[2] = {-1, -1};
    std::uint16_t boundPort_ = 0;
    std::uint32_t window_ = 0;
    std::unique_ptr<SlotThread> thread_;
    std::uint32_t sender_ = 0;   // network order; the message being handled came from it
    int clientSocket_ = -1;
    std::uint32_t clientAddress_ = 0;   // network order
};

// This computer's name as a buffer of `bufferSize` bytes takes it (at most bufferSize - 1
// characters); false when it cannot be had or does not fit.
bool GetComputerName(std::string &name, std::size_t bufferSize);
// The time stamp of a new message: days since 1899-12-30 as "%.10f", later than every
// stamp this process made before.
std::string NextMailslotStamp();

} // namespace platform

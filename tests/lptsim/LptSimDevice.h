// The interface's side of the parallel-port byte handshake, for tests and the lptsim program.
//
// The host writes the data and control registers and polls status bit 6. Every byte takes
// two control edges, as on the hardware: the strobe edge (0x07 request byte, 0x05 data byte
// out, 0x25 data byte in with the device driving the data lines) makes the device take the
// byte and raise bit 6; the release edge (0x06, 0x04, 0x24) completes the byte, and the
// device lowers bit 6. The device answers each edge only after the host has polled the
// status register (DeviceConfig::ackDelay polls), so a host that does not wait, or that
// skips the release edge, breaks the handshake: the device logs "ERROR ..." and drops what
// it was receiving. A read expects the host to have released the data lines with 0xFF.
// 0x08 resets the device. Six request bytes make a request; the library's own commands
// 0..3 need p1 = 0.
//
// The flash: request 6 (0, 0) takes the next 512 data bytes as the held frame, 8 sets its
// two trailing words, 9 answers the held frame's checksum, 12 writes the held block to a
// page and 13 reads a page back into it (each answering "OK"), 14 answers the flash id.
// 5, 11, 15 and 17 are only logged, as is the engine's reset, 6 (1, 1).
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace lptsim {

struct DeviceConfig {
    std::uint16_t base = 0x378;      // the one base address the device answers at
    std::uint8_t revision = 55;      // request 2
    std::uint16_t channels = 512;    // request 3
    std::array<std::uint8_t, 512> input{};  // request 1
    std::uint8_t beat = 0;           // request 4
    bool noAck = false;              // never raise status bit 6
    long stopAfter = -1;             // stop acknowledging after this many bytes (< 0: never)
    int ackDelay = 1;                // status polls after an edge before bit 6 follows it
    // Flash: its id (request 14) and its 516-byte pages, grown as they are written.
    std::uint8_t flashId = 0x28;
    std::vector<std::vector<std::uint8_t>> flashPages;
    int flashNoPage = -1;            // request 12 for this page answers "NO"
    bool flashBadChecksum = false;   // request 9 answers a wrong checksum
    bool flashSilent = false;        // flash requests get no answer (reads time out)
};

constexpr std::size_t FlashPageSize = 516;

class LptSimDevice {
public:
    explicit LptSimDevice(DeviceConfig config = {});

    DeviceConfig &Config() { return config_; }

    // A host connects for a base: logs "BASE 0x..." and tells whether the device answers there.
    bool Connect(std::uint16_t base);
    // The host's connection ended (logs "CLOSE").
    void Disconnect();

    // Register offsets: 0 data, 1 status, 2 control.
    void Write(int offset, std::uint8_t value);
    // Reading the status register is what lets the device answer an edge.
    std::uint8_t Read(int offset);

    void Reset();

    long BytesClocked() const { return clocked_; }
    long Requests() const { return requests_; }
    long Resets() const { return resets_; }
    // Handshake faults of the host (each also logged as "ERROR ...").
    long Errors() const { return errors_; }

    // One completed output frame (request 0 and its bytes).
    std::function<void(const std::vector<std::uint8_t> &)> OnFrame;
    // One line per request ("00 FF 00 00 00 02"), per connection ("BASE 0x378") and per close.
    std::function<void(const std::string &)> OnLog;

private:
    // Where the byte in transfer stands.
    enum class Phase {
        Idle,       // bit 6 low, waiting for a strobe edge
        Strobed,    // byte taken, bit 6 not raised yet
        Raised,     // bit 6 high, waiting for the release edge
        Released,   // byte complete, bit 6 not lowered yet
    };
    void StrobeEdge(std::uint8_t control);
    void ReleaseEdge(std::uint8_t control);
    void Complete();
    void Fault(const char *what);
    void Poll();
    bool Strobe();
    void RequestByte(std::uint8_t byte);
    void Decode();
    void DecodeFlash(std::uint8_t cmd, std::uint16_t p1, std::uint16_t p2);
    void ReplyText(const char *two);
    void Log(const std::string &line);

    DeviceConfig config_;
    std::uint8_t hostData_ = 0;
    std::uint8_t deviceData_ = 0;
    std::uint8_t control_ = 0x04;
    bool ack_ = false;
    Phase phase_ = Phase::Idle;
    std::uint8_t strobe_ = 0;       // the strobe value of the byte in transfer
    std::uint8_t latched_ = 0;      // the byte taken on the strobe edge
    int pollsLeft_ = 0;
    long errors_ = 0;
    long clocked_ = 0;
    long requests_ = 0;
    long resets_ = 0;
    std::array<std::uint8_t, 6> request_{};
    int requestFill_ = 0;
    bool frameOpen_ = false;
    std::size_t frameExpected_ = 0;
    std::vector<std::uint8_t> frame_;
    std::deque<std::uint8_t> reply_;
    std::vector<std::uint8_t> held_ = std::vector<std::uint8_t>(FlashPageSize, 0xFF);
    bool heldOpen_ = false;          // request 6 (0, 0) waits for its 512 bytes
    std::size_t heldFill_ = 0;
};

// "0E F1 34 12 FF FF"
std::string FormatRequest(const std::uint8_t *bytes, int count);

} // namespace lptsim

// The interface's side of the parallel-port byte handshake, for tests and the lptsim program.
//
// The host writes the data and control registers and polls status bit 6. The device
// acknowledges every clock edge: control 0x07 (request byte), 0x05 (data byte out) and 0x25
// (data byte in, the device drives the data lines) raise bit 6; 0x06, 0x04 and 0x24 lower it;
// 0x08 resets the device. Six request bytes make a request, which the device decodes.
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
};

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
    std::uint8_t Read(int offset) const;

    void Reset();

    long BytesClocked() const { return clocked_; }
    long Requests() const { return requests_; }
    long Resets() const { return resets_; }

    // One completed output frame (request 0 and its bytes).
    std::function<void(const std::vector<std::uint8_t> &)> OnFrame;
    // One line per request ("00 FF 00 00 00 02"), per connection ("BASE 0x378") and per close.
    std::function<void(const std::string &)> OnLog;

private:
    bool Strobe();
    void RequestByte(std::uint8_t byte);
    void Decode();
    void Log(const std::string &line);

    DeviceConfig config_;
    std::uint8_t hostData_ = 0;
    std::uint8_t deviceData_ = 0;
    std::uint8_t control_ = 0x04;
    bool ack_ = false;
    long clocked_ = 0;
    long requests_ = 0;
    long resets_ = 0;
    std::array<std::uint8_t, 6> request_{};
    int requestFill_ = 0;
    bool frameOpen_ = false;
    std::size_t frameExpected_ = 0;
    std::vector<std::uint8_t> frame_;
    std::deque<std::uint8_t> reply_;
};

// "0E F1 34 12 FF FF"
std::string FormatRequest(const std::uint8_t *bytes, int count);

} // namespace lptsim

#include "tests/lptsim/LptSimDevice.h"

#include <cstdio>
#include <utility>

namespace lptsim {

std::string FormatRequest(const std::uint8_t *bytes, int count)
{
    std::string out;
    char hex[4];
    for (int i = 0; i < count; ++i) {
        std::snprintf(hex, sizeof hex, "%02X", bytes[i]);
        if (i)
            out += ' ';
        out += hex;
    }
    return out;
}

LptSimDevice::LptSimDevice(DeviceConfig config) : config_(std::move(config)) {}

void LptSimDevice::Log(const std::string &line)
{
    if (OnLog)
        OnLog(line);
}

bool LptSimDevice::Connect(std::uint16_t base)
{
    char line[32];
    std::snprintf(line, sizeof line, "BASE 0x%03X", base);
    Log(line);
    return base == config_.base;
}

void LptSimDevice::Disconnect()
{
    Log("CLOSE");
}

void LptSimDevice::Reset()
{
    ++resets_;
    ack_ = false;
    deviceData_ = 0;
    requestFill_ = 0;
    frameOpen_ = false;
    frame_.clear();
    reply_.clear();
}

bool LptSimDevice::Strobe()
{
    if (config_.noAck)
        return false;
    if (config_.stopAfter >= 0 && clocked_ >= config_.stopAfter)
        return false;
    ++clocked_;
    ack_ = true;
    return true;
}

void LptSimDevice::Write(int offset, std::uint8_t value)
{
    if (offset == 0) {
        hostData_ = value;
        return;
    }
    if (offset != 2)
        return;
    control_ = value;
    switch (value) {
    case 0x08:
        Reset();
        break;
    case 0x07:
        if (Strobe())
            RequestByte(hostData_);
        break;
    case 0x05:
        if (Strobe() && frameOpen_) {
            frame_.push_back(hostData_);
            if (frame_.size() >= frameExpected_) {
                frameOpen_ = false;
                if (OnFrame)
                    OnFrame(frame_);
            }
        }
        break;
    case 0x25:
        if (Strobe()) {
            if (reply_.empty()) {
                deviceData_ = 0;
            } else {
                deviceData_ = reply_.front();
                reply_.pop_front();
            }
        }
        break;
    case 0x04:
        // The host rests the lines after every request; a partial one was abandoned.
        requestFill_ = 0;
        ack_ = false;
        break;
    case 0x06:
    case 0x24:
        ack_ = false;
        break;
    default:
        break;
    }
}

std::uint8_t LptSimDevice::Read(int offset) const
{
    switch (offset) {
    case 0:
        return (control_ & 0x20) ? deviceData_ : hostData_;
    case 1:
        return ack_ ? 0x40 : 0x00;
    case 2:
        return control_;
    default:
        return 0xFF;
    }
}

void LptSimDevice::RequestByte(std::uint8_t byte)
{
    request_[static_cast<std::size_t>(requestFill_++)] = byte;
    if (requestFill_ == 6) {
        requestFill_ = 0;
        Decode();
    }
}

void LptSimDevice::Decode()
{
    ++requests_;
    const std::uint8_t cmd = request_[0];
    const bool good = request_[1] == static_cast<std::uint8_t>(~cmd);
    std::string line = FormatRequest(request_.data(), 6);
    if (!good)
        line += " BAD";
    Log(line);
    if (!good)
        return;

    const std::size_t p2 = static_cast<std::size_t>(request_[4] | (request_[5] << 8));
    // A new request ends what an earlier one left open.
    frameOpen_ = false;
    frame_.clear();
    reply_.clear();
    switch (cmd) {
    case 0:
        frameExpected_ = p2;
        if (p2 == 0) {
            if (OnFrame)
                OnFrame(frame_);
        } else {
            frameOpen_ = true;
            frame_.reserve(p2);
        }
        break;
    case 1:
        for (std::size_t i = 0; i < p2; ++i)
            reply_.push_back(i < config_.input.size() ? config_.input[i] : 0);
        break;
    case 2:
        reply_.push_back(config_.revision);
        break;
    case 3:
        reply_.push_back(static_cast<std::uint8_t>(config_.channels & 0xFF));
        reply_.push_back(static_cast<std::uint8_t>(config_.channels >> 8));
        break;
    case 4:
        reply_.push_back(config_.beat);
        break;
    default:
        break;  // logged above, otherwise ignored
    }
}

} // namespace lptsim

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
    phase_ = Phase::Idle;
    pollsLeft_ = 0;
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
    return true;
}

void LptSimDevice::Fault(const char *what)
{
    ++errors_;
    Log(std::string("ERROR ") + what);
    // What was being received is lost; the device waits for the next strobe edge.
    requestFill_ = 0;
    frameOpen_ = false;
    frame_.clear();
    reply_.clear();
    ack_ = false;
    phase_ = Phase::Idle;
    pollsLeft_ = 0;
}

void LptSimDevice::Write(int offset, std::uint8_t value)
{
    if (offset == 0) {
        hostData_ = value;
        return;
    }
    if (offset != 2)
        return;
    const std::uint8_t previous = control_;
    control_ = value;
    if (value == previous)
        return;  // no edge
    switch (value) {
    case 0x08:
        Reset();
        break;
    case 0x07:
    case 0x05:
    case 0x25:
        StrobeEdge(value);
        break;
    case 0x06:
    case 0x24:
        ReleaseEdge(value);
        break;
    case 0x04:
        if (phase_ == Phase::Idle) {
            // The host rests the lines after every request; a partial one was abandoned.
            requestFill_ = 0;
        } else if (phase_ == Phase::Raised && strobe_ == 0x05) {
            ReleaseEdge(value);
        } else if (phase_ == Phase::Strobed) {
            Fault("lines rested before the acknowledge");
        } else if (phase_ == Phase::Raised) {
            Fault("lines rested without the release edge");
        } else {
            Fault("lines rested before the acknowledge was cleared");
        }
        break;
    default:
        break;
    }
}

void LptSimDevice::StrobeEdge(std::uint8_t control)
{
    if (phase_ == Phase::Strobed || phase_ == Phase::Raised) {
        Fault("strobe edge without the release edge of the byte before");
        return;
    }
    if (phase_ == Phase::Released) {
        Fault("strobe edge before the acknowledge was cleared");
        return;
    }
    if (!Strobe())
        return;  // a silent device: bit 6 never rises
    strobe_ = control;
    latched_ = hostData_;
    if (control == 0x25 && hostData_ != 0xFF) {
        // Lines the host still drives low read as 0 whatever the device sends.
        char line[64];
        std::snprintf(line, sizeof line, "ERROR read with the data lines held at 0x%02X", hostData_);
        ++errors_;
        Log(line);
    }
    phase_ = Phase::Strobed;
    pollsLeft_ = config_.ackDelay;
    if (pollsLeft_ <= 0)
        Poll();
}

void LptSimDevice::ReleaseEdge(std::uint8_t control)
{
    if (phase_ == Phase::Idle)
        return;  // nothing in transfer
    if (phase_ == Phase::Strobed) {
        Fault("release edge before the acknowledge");
        return;
    }
    if (phase_ == Phase::Released) {
        Fault("release edge repeated");
        return;
    }
    if (control != (strobe_ & ~0x01)) {
        Fault("release edge of another kind of byte");
        return;
    }
    Complete();
    phase_ = Phase::Released;
    pollsLeft_ = config_.ackDelay;
    if (pollsLeft_ <= 0)
        Poll();
}

// The byte taken on the strobe edge counts once its release edge came.
void LptSimDevice::Complete()
{
    if (strobe_ == 0x07) {
        RequestByte(latched_);
    } else if (strobe_ == 0x05 && heldOpen_) {
        held_[heldFill_++] = latched_;
        if (heldFill_ >= 512)
            heldOpen_ = false;
    } else if (strobe_ == 0x05 && frameOpen_) {
        frame_.push_back(latched_);
        if (frame_.size() >= frameExpected_) {
            frameOpen_ = false;
            if (OnFrame)
                OnFrame(frame_);
        }
    }
}

// The device answers a pending edge once the host has looked often enough.
void LptSimDevice::Poll()
{
    if (pollsLeft_ > 0 && --pollsLeft_ > 0)
        return;
    if (phase_ == Phase::Strobed) {
        if (strobe_ == 0x25 && reply_.empty() && config_.flashSilent)
            return;   // no answer: the host's read times out
        if (strobe_ == 0x25) {
            // The device drives the next byte of its reply while bit 6 is high.
            if (reply_.empty()) {
                deviceData_ = 0;
            } else {
                deviceData_ = reply_.front();
                reply_.pop_front();
            }
        }
        ack_ = true;
        phase_ = Phase::Raised;
    } else if (phase_ == Phase::Released) {
        ack_ = false;
        phase_ = Phase::Idle;
    }
}

std::uint8_t LptSimDevice::Read(int offset)
{
    switch (offset) {
    case 0:
        return (control_ & 0x20) ? static_cast<std::uint8_t>(deviceData_ & hostData_) : hostData_;
    case 1: {
        const std::uint8_t status = ack_ ? 0x40 : 0x00;
        if (phase_ == Phase::Strobed || phase_ == Phase::Released)
            Poll();
        return status;
    }
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
    const std::uint16_t p1 = static_cast<std::uint16_t>(request_[2] | (request_[3] << 8));
    // The library's own commands carry no first parameter.
    const bool good = request_[1] == static_cast<std::uint8_t>(~cmd) && (cmd > 3 || p1 == 0);
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
    heldOpen_ = false;
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
        DecodeFlash(cmd, p1, static_cast<std::uint16_t>(p2));
        break;
    }
}

void LptSimDevice::ReplyText(const char *two)
{
    if (config_.flashSilent)
        return;
    reply_.push_back(static_cast<std::uint8_t>(two[0]));
    reply_.push_back(static_cast<std::uint8_t>(two[1]));
}

void LptSimDevice::DecodeFlash(std::uint8_t cmd, std::uint16_t p1, std::uint16_t p2)
{
    switch (cmd) {
    case 6:
        // (0, 0) takes a frame into the held block; the engine's reset (1, 1) is only logged.
        if (p1 == 0 && p2 == 0) {
            heldOpen_ = true;
            heldFill_ = 0;
        }
        break;
    case 8:
        held_[512] = static_cast<std::uint8_t>(p1 & 0xFF);
        held_[513] = static_cast<std::uint8_t>(p1 >> 8);
        held_[514] = static_cast<std::uint8_t>(p2 & 0xFF);
        held_[515] = static_cast<std::uint8_t>(p2 >> 8);
        break;
    case 9: {
        if (config_.flashSilent)
            break;
        unsigned sum = 0;
        for (std::size_t i = 0; i < 512; ++i)
            sum += held_[i];
        std::uint8_t check = static_cast<std::uint8_t>((256 - sum % 256) % 256);
        if (config_.flashBadChecksum)
            check = static_cast<std::uint8_t>(check + 1);
        reply_.push_back(check);
        break;
    }
    case 12:
        if (static_cast<int>(p1) == config_.flashNoPage) {
            ReplyText("NO");
            break;
        }
        if (config_.flashPages.size() <= p1)
            config_.flashPages.resize(std::size_t(p1) + 1, std::vector<std::uint8_t>(FlashPageSize, 0xFF));
        config_.flashPages[p1] = held_;
        ReplyText("OK");
        break;
    case 13:
        if (p1 < config_.flashPages.size())
            held_ = config_.flashPages[p1];
        else
            held_.assign(FlashPageSize, 0xFF);
        ReplyText("OK");
        break;
    case 14:
        if (!config_.flashSilent)
            reply_.push_back(config_.flashId);
        break;
    default:
        break;  // logged above, otherwise ignored (5, 11, 15, 17 ...)
    }
}

} // namespace lptsim

// Wire format between the library's simulator backend and the interface simulator.
//
// AF_UNIX SOCK_SEQPACKET. Every message from the host is one SimMessage. The first one on a
// connection is Hello with the base address in value; the simulator answers with a Hello whose
// value is SimHelloAccept when it serves that base, or 0 before it closes the connection.
// After that: Write {reg, value} gets no reply; Read {reg} gets one byte. Messages are handled
// strictly in order, so a write has taken effect before the reply to the next read is made.
#pragma once

#include <cstdint>

namespace portio {

enum : std::uint8_t {
    SimOpHello = 1,
    SimOpWrite = 2,
    SimOpRead = 3,
};

constexpr std::uint16_t SimHelloAccept = 0x123;
constexpr int SimMessageSize = 4;

// op, register offset (0 data, 1 status, 2 control), value (16-bit little-endian).
struct SimMessage {
    std::uint8_t op = 0;
    std::uint8_t reg = 0;
    std::uint16_t value = 0;
};

inline void EncodeSimMessage(const SimMessage &m, std::uint8_t out[SimMessageSize])
{
    out[0] = m.op;
    out[1] = m.reg;
    out[2] = static_cast<std::uint8_t>(m.value & 0xFF);
    out[3] = static_cast<std::uint8_t>(m.value >> 8);
}

inline SimMessage DecodeSimMessage(const std::uint8_t in[SimMessageSize])
{
    SimMessage m;
    m.op = in[0];
    m.reg = in[1];
    m.value = static_cast<std::uint16_t>(in[2] | (in[3] << 8));
    return m;
}

} // namespace portio

// The access lock's password store: a fixed substitution that scrambles the password
// kept in the access record, and the 10-byte record itself (the level, then the
// scrambled password and a terminating 0).
#pragma once

#include <array>
#include <cstdint>
#include <string>

constexpr int ScrambleRows = 3;
constexpr int ScrambleWidth = 224;         // characters 32..255
constexpr std::size_t MaxPasswordBytes = 8;
using AccessRecordBytes = std::array<std::uint8_t, 10>;

// Row r maps character c (32..255) to ScrambleForward[r][c - 32] (32..255);
// ScrambleInverse[r][x - 32] + 32 maps it back. Built by the first use.
extern std::uint8_t ScrambleForward[ScrambleRows][ScrambleWidth];
extern std::uint8_t ScrambleInverse[ScrambleRows][ScrambleWidth];

// The generator the tables are drawn from: state := state * 22695477 + 1, each draw
// bits 16..30 of the new state. Stored passwords depend on it: it must never change.
class ScrambleGenerator {
public:
    explicit ScrambleGenerator(std::uint32_t seed) : state_(seed) {}
    int Next()
    {
        state_ = state_ * 22695477u + 1u;
        return static_cast<int>((state_ >> 16) & 0x7FFF);
    }

private:
    std::uint32_t state_;
};
constexpr std::uint32_t ScrambleSeed = 4870316;

// Fills both tables (once; later calls do nothing).
void BuildScrambleTable();
// Characters 32..255 are substituted through the rows in turn (0, 1, 2, 0, ...); a byte
// below 32 is copied and does not move the row.
std::string ScrambleText(const std::string &text);
std::string UnscrambleText(const std::string &text);

// The scrambled password of a record: bytes 1..9 up to the first 0, at most 9 bytes.
std::string StoredPassword(const std::uint8_t (&record)[10]);
// A record of `level` and the scrambled `password` (at most 8 bytes), zeros after it.
AccessRecordBytes MakeAccessRecord(int level, const std::string &password);

// Writing the stand-alone image into the interface's flash: one 516-byte block per page,
// each verified by its checksum after the transfer and again after reading the page back.
// The requests go through a small table of calls, so the steps run without a window.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

struct FlashRequests {
    std::function<bool(std::uint8_t cmd, std::int16_t p1, std::int16_t p2)> send;
    std::function<bool(int count, std::uint8_t *bytes)> write;
    std::function<bool(int count, std::uint8_t *buf)> read;
    std::function<void(int ms)> sleep;
};

constexpr int FlashAttempts = 5;

// The two's complement of the 8-bit sum of the block's first 512 bytes.
std::uint8_t FlashChecksum(const std::uint8_t *block);

// The request sequence for one block (516 bytes) into flash page `page`. `text` gets
// "OK", the failing step's text, or the two characters the interface answered.
bool FlashDownload(const FlashRequests &requests, const std::uint8_t *block, std::uint16_t page,
                   std::uint8_t checksum, std::string &text);

// Up to FlashAttempts tries of FlashDownload; `attempts` gets how many were made.
bool FlashDownloadBlock(const FlashRequests &requests, const std::uint8_t *block, std::uint16_t page,
                        std::string &text, int &attempts);

// The number of 516-byte blocks of the image file, or -1 when it is missing, empty or
// not made of whole blocks.
std::int64_t FlashImageBlocks(const std::string &path);

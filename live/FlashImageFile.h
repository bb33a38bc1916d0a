// The stand-alone image as the "PROGRAMMING" window reads it: whole 516-byte blocks, one
// per flash page, from the start of the file.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

class FileStream;

class FlashImageFile {
public:
    using Block = std::array<std::uint8_t, 516>;

    FlashImageFile();
    ~FlashImageFile();
    FlashImageFile(const FlashImageFile &) = delete;
    FlashImageFile &operator=(const FlashImageFile &) = delete;

    // False when the file is missing, empty, not made of whole blocks or cannot be opened.
    bool Open(const std::string &path);
    bool IsOpen() const { return stream_ != nullptr; }
    // The blocks the file holds.
    std::int64_t Blocks() const { return blocks_; }
    // The next block; false when it cannot be read whole (it is then never sent).
    bool Next(Block &block);
    // The whole blocks after the last one read.
    std::int64_t Left() const;

private:
    std::unique_ptr<FileStream> stream_;
    std::int64_t blocks_ = 0;
};

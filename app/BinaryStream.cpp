#include "BinaryStream.h"

#include <algorithm>
#include <cstring>

void BinaryStream::Read(void *buf, std::size_t n)
{
    if (n == 0)
        return;
    if (Remaining() < static_cast<std::int64_t>(n) || ReadSome(buf, n) != n)
        throw StreamError("read past the end of the stream");
}

void BinaryStream::Write(const void *buf, std::size_t n)
{
    if (n != 0 && WriteSome(buf, n) != n)
        throw StreamError("stream write failed");
}

void BinaryStream::Skip(std::int64_t n)
{
    if (n < 0 || Remaining() < n)
        throw StreamError("seek past the end of the stream");
    Seek(Position() + n);
}

std::uint8_t BinaryStream::ReadU8()
{
    std::uint8_t v;
    Read(&v, 1);
    return v;
}

std::uint16_t BinaryStream::ReadU16()
{
    std::uint8_t b[2];
    Read(b, 2);
    return static_cast<std::uint16_t>(b[0] | (b[1] << 8));
}

std::uint32_t BinaryStream::ReadU32()
{
    std::uint8_t b[4];
    Read(b, 4);
    return std::uint32_t(b[0]) | (std::uint32_t(b[1]) << 8) | (std::uint32_t(b[2]) << 16) |
           (std::uint32_t(b[3]) << 24);
}

float BinaryStream::ReadF32()
{
    std::uint32_t bits = ReadU32();
    float f;
    std::memcpy(&f, &bits, 4);
    return f;
}

std::string BinaryStream::ReadShortString()
{
    std::size_t n = ReadU8();
    return ReadChars(n);
}

std::string BinaryStream::ReadChars(std::size_t n)
{
    std::string s(n, '\0');
    Read(s.data(), n);
    return s;
}

void BinaryStream::WriteU16(std::uint16_t v)
{
    std::uint8_t b[2] = {std::uint8_t(v), std::uint8_t(v >> 8)};
    Write(b, 2);
}

void BinaryStream::WriteU32(std::uint32_t v)
{
    std::uint8_t b[4] = {std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16), std::uint8_t(v >> 24)};
    Write(b, 4);
}

void BinaryStream::WriteF32(float v)
{
    std::uint32_t bits;
    std::memcpy(&bits, &v, 4);
    WriteU32(bits);
}

void BinaryStream::WriteShortString(const std::string &s, std::size_t maxLen)
{
    std::size_t n = std::min({s.size(), maxLen, std::size_t(255)});
    WriteU8(static_cast<std::uint8_t>(n));
    Write(s.data(), n);
}

std::size_t MemoryStream::ReadSome(void *buf, std::size_t n)
{
    std::int64_t left = Size() - pos_;
    if (left <= 0)
        return 0;
    if (static_cast<std::int64_t>(n) > left)
        n = static_cast<std::size_t>(left);
    std::memcpy(buf, data_.data() + pos_, n);
    pos_ += static_cast<std::int64_t>(n);
    return n;
}

std::size_t MemoryStream::WriteSome(const void *buf, std::size_t n)
{
    std::size_t end = static_cast<std::size_t>(pos_) + n;
    if (end > data_.size())
        data_.resize(end);
    std::memcpy(data_.data() + pos_, buf, n);
    pos_ = static_cast<std::int64_t>(end);
    return n;
}

void MemoryStream::Seek(std::int64_t pos)
{
    if (pos < 0)
        throw StreamError("seek before the start of the stream");
    pos_ = pos;
}

FileStream::FileStream(const std::string &path, Mode mode)
{
    file_ = std::fopen(path.c_str(), mode == ReadOnly ? "rb" : "w+b");
    if (!file_)
        throw StreamError("cannot open " + path);
}

FileStream::~FileStream()
{
    if (file_)
        std::fclose(file_);
}

std::size_t FileStream::ReadSome(void *buf, std::size_t n)
{
    return std::fread(buf, 1, n, file_);
}

std::size_t FileStream::WriteSome(const void *buf, std::size_t n)
{
    return std::fwrite(buf, 1, n, file_);
}

std::int64_t FileStream::Position() const
{
    return static_cast<std::int64_t>(std::ftell(file_));
}

std::int64_t FileStream::Size() const
{
    long here = std::ftell(file_);
    std::fseek(file_, 0, SEEK_END);
    long end = std::ftell(file_);
    std::fseek(file_, here, SEEK_SET);
    return end;
}

void FileStream::Seek(std::int64_t pos)
{
    if (pos < 0 || std::fseek(file_, static_cast<long>(pos), SEEK_SET) != 0)
        throw StreamError("seek failed");
}

void FileStream::Flush()
{
    if (std::fflush(file_) != 0)
        throw StreamError("flush failed");
}

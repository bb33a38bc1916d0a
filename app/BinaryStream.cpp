#include "BinaryStream.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
    // A read never waits for a writer: opening a named pipe without one would block, and
    // only a regular file's bytes are read (anything else reads as empty).
    fd_ = ::open(path.c_str(),
                 mode == ReadOnly ? O_RDONLY | O_NONBLOCK | O_CLOEXEC : O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd_ < 0)
        throw StreamError("cannot open " + path);
    struct stat st;
    if (::fstat(fd_, &st) != 0) {
        ::close(fd_);
        throw StreamError("cannot open " + path);
    }
    size_ = S_ISREG(st.st_mode) ? static_cast<std::int64_t>(st.st_size) : 0;
    bufCap_ = mode == ReadOnly ? std::min<std::size_t>(BufferSize, static_cast<std::size_t>(size_) + 1) : BufferSize;
    buf_.reset(new std::uint8_t[bufCap_]);
}

FileStream::~FileStream()
{
    WritePending();
    ::close(fd_);
}

bool FileStream::WritePending()
{
    if (!pending_)
        return true;
    std::size_t done = 0;
    while (done < bufLen_) {
        ssize_t w = ::pwrite(fd_, buf_.get() + done, bufLen_ - done, static_cast<off_t>(bufStart_ + done));
        if (w < 0 && errno == EINTR)
            continue;
        if (w <= 0)
            break;
        done += static_cast<std::size_t>(w);
    }
    const bool ok = done == bufLen_;
    pending_ = false;
    bufLen_ = 0;
    return ok;
}

std::size_t FileStream::ReadSome(void *buf, std::size_t n)
{
    if (pending_ && !WritePending())
        return 0;
    auto *out = static_cast<std::uint8_t *>(buf);
    std::size_t got = 0;
    while (got < n && pos_ < size_) {
        if (pos_ >= bufStart_ && pos_ < bufStart_ + static_cast<std::int64_t>(bufLen_)) {
            const std::size_t at = static_cast<std::size_t>(pos_ - bufStart_);
            const std::size_t k = std::min(n - got, bufLen_ - at);
            std::memcpy(out + got, buf_.get() + at, k);
            got += k;
            pos_ += static_cast<std::int64_t>(k);
            continue;
        }
        // Large reads go straight into the caller's memory; small ones refill the buffer.
        const bool direct = n - got >= bufCap_;
        std::uint8_t *into = direct ? out + got : buf_.get();
        const std::size_t want = direct ? n - got : bufCap_;
        ssize_t r = ::pread(fd_, into, want, static_cast<off_t>(pos_));
        if (r < 0 && errno == EINTR)
            continue;
        if (r <= 0)
            break;
        if (direct) {
            got += static_cast<std::size_t>(r);
            pos_ += r;
        } else {
            bufStart_ = pos_;
            bufLen_ = static_cast<std::size_t>(r);
        }
    }
    return got;
}

std::size_t FileStream::WriteSome(const void *buf, std::size_t n)
{
    const auto *in = static_cast<const std::uint8_t *>(buf);
    // Bytes read ahead are dropped; pending bytes are joined when this write follows them.
    if (!pending_ || pos_ != bufStart_ + static_cast<std::int64_t>(bufLen_) || bufLen_ + n > bufCap_) {
        if (!WritePending())
            return 0;
        bufLen_ = 0;
        bufStart_ = pos_;
    }
    if (n >= bufCap_) {
        std::size_t done = 0;
        while (done < n) {
            ssize_t w = ::pwrite(fd_, in + done, n - done, static_cast<off_t>(pos_));
            if (w < 0 && errno == EINTR)
                continue;
            if (w <= 0)
                break;
            done += static_cast<std::size_t>(w);
            pos_ += w;
        }
        size_ = std::max(size_, pos_);
        return done;
    }
    std::memcpy(buf_.get() + bufLen_, in, n);
    bufLen_ += n;
    pending_ = true;
    pos_ += static_cast<std::int64_t>(n);
    size_ = std::max(size_, pos_);
    return n;
}

void FileStream::Seek(std::int64_t pos)
{
    if (pos < 0)
        throw StreamError("seek failed");
    // A seek away from the end of pending bytes writes them first.
    if (pending_ && pos != bufStart_ + static_cast<std::int64_t>(bufLen_) && !WritePending())
        throw StreamError("write failed");
    pos_ = pos;
}

void FileStream::Flush()
{
    if (!WritePending())
        throw StreamError("flush failed");
}

// Little-endian field-by-field reading and writing over a seekable byte stream.
// Every read checks what is left; running past the end throws StreamError, so that
// readers fail with their own message instead of reading past the end.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

class StreamError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class BinaryStream {
public:
    virtual ~BinaryStream() = default;

    // Raw access: return the number of bytes moved.
    virtual std::size_t ReadSome(void *buf, std::size_t n) = 0;
    virtual std::size_t WriteSome(const void *buf, std::size_t n) = 0;
    virtual std::int64_t Position() const = 0;
    virtual std::int64_t Size() const = 0;
    virtual void Seek(std::int64_t pos) = 0;

    std::int64_t Remaining() const { return Size() - Position(); }

    // Exact transfers: throw StreamError when the stream cannot give or take n bytes.
    void Read(void *buf, std::size_t n);
    void Write(const void *buf, std::size_t n);
    void Skip(std::int64_t n);

    std::uint8_t ReadU8();
    std::int8_t ReadI8() { return static_cast<std::int8_t>(ReadU8()); }
    std::uint16_t ReadU16();
    std::int16_t ReadI16() { return static_cast<std::int16_t>(ReadU16()); }
    std::uint32_t ReadU32();
    std::int32_t ReadI32() { return static_cast<std::int32_t>(ReadU32()); }
    float ReadF32();
    // A length byte followed by that many characters.
    std::string ReadShortString();
    // Exactly n bytes as a string (no terminator handling).
    std::string ReadChars(std::size_t n);

    void WriteU8(std::uint8_t v) { Write(&v, 1); }
    void WriteI8(std::int8_t v) { WriteU8(static_cast<std::uint8_t>(v)); }
    void WriteU16(std::uint16_t v);
    void WriteI16(std::int16_t v) { WriteU16(static_cast<std::uint16_t>(v)); }
    void WriteU32(std::uint32_t v);
    void WriteI32(std::int32_t v) { WriteU32(static_cast<std::uint32_t>(v)); }
    void WriteF32(float v);
    // A length byte (at most maxLen, 255 at most) and the characters.
    void WriteShortString(const std::string &s, std::size_t maxLen = 255);
};

// A stream over a byte vector in memory, growing on write.
class MemoryStream : public BinaryStream {
public:
    MemoryStream() = default;
    explicit MemoryStream(std::vector<std::uint8_t> data) : data_(std::move(data)) {}

    std::size_t ReadSome(void *buf, std::size_t n) override;
    std::size_t WriteSome(const void *buf, std::size_t n) override;
    std::int64_t Position() const override { return pos_; }
    std::int64_t Size() const override { return static_cast<std::int64_t>(data_.size()); }
    void Seek(std::int64_t pos) override;

    const std::vector<std::uint8_t> &Data() const { return data_; }
    std::vector<std::uint8_t> &Data() { return data_; }

private:
    std::vector<std::uint8_t> data_;
    std::int64_t pos_ = 0;
};

// A stream over a file, read and written through a buffer of its own: the size is known
// from the open (and kept up to date by writes), so "what is left" costs no system call,
// and small fields are served from the buffer. Open throws StreamError when the file
// cannot be opened. Written bytes reach the file at Flush (which reports failure), at a
// seek outside the buffer, or at destruction (where a failure can no longer be reported:
// writers call Flush).
class FileStream : public BinaryStream {
public:
    enum Mode { ReadOnly, CreateWrite };
    FileStream(const std::string &path, Mode mode);
    ~FileStream() override;
    FileStream(const FileStream &) = delete;
    FileStream &operator=(const FileStream &) = delete;

    std::size_t ReadSome(void *buf, std::size_t n) override;
    std::size_t WriteSome(const void *buf, std::size_t n) override;
    std::int64_t Position() const override { return pos_; }
    std::int64_t Size() const override { return size_; }
    void Seek(std::int64_t pos) override;
    // Writes the buffered bytes; throws StreamError on failure.
    void Flush();

    // The buffer's size; a file read that is smaller gets a buffer of its own size.
    static constexpr std::size_t BufferSize = 1024 * 1024;

private:
    bool WritePending();

    int fd_ = -1;
    std::unique_ptr<std::uint8_t[]> buf_;   // left uninitialised: only bytes read or written are used
    std::size_t bufCap_ = 0;
    std::int64_t bufStart_ = 0;   // file offset of buf_[0]
    std::size_t bufLen_ = 0;      // bytes of buf_ in use (read ahead, or waiting to be written)
    bool pending_ = false;        // buf_ holds bytes not yet written
    std::int64_t pos_ = 0;
    std::int64_t size_ = 0;
};

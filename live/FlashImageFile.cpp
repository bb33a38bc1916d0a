#include "FlashImageFile.h"

#include "FlashDownload.h"
#include "StandAloneImage.h"

#include "app/BinaryStream.h"

static_assert(std::tuple_size_v<FlashImageFile::Block> == ImageBlockSize);

FlashImageFile::FlashImageFile() = default;
FlashImageFile::~FlashImageFile() = default;

bool FlashImageFile::Open(const std::string &path)
{
    stream_.reset();
    blocks_ = FlashImageBlocks(path);
    if (blocks_ <= 0)
        return false;
    try {
        stream_ = std::make_unique<FileStream>(path, FileStream::ReadOnly);
    } catch (const StreamError &) {
        stream_.reset();
    }
    return stream_ != nullptr;
}

bool FlashImageFile::Next(Block &block)
{
    if (!stream_)
        return false;
    block.fill(0);
    return stream_->ReadSome(block.data(), block.size()) == block.size();
}

std::int64_t FlashImageFile::Left() const
{
    return stream_ ? (stream_->Size() - stream_->Position()) / ImageBlockSize : 0;
}

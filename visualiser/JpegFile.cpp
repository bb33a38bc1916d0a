#include "JpegFile.h"

#include "PatchLoader.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

extern "C" {
#include <jpeglib.h>
#include <jerror.h>
}

namespace {
constexpr std::size_t ChunkSize = 16384;

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf back;
    char message[JMSG_LENGTH_MAX];
};

void ErrorExit(j_common_ptr info)
{
    auto *e = reinterpret_cast<ErrorManager *>(info->err);
    (*info->err->format_message)(info, e->message);
    std::longjmp(e->back, 1);
}

void NoOutput(j_common_ptr) {}

// Destination manager: the compressed bytes go into a memory stream, one chunk at a time.
struct Destination {
    jpeg_destination_mgr base;
    MemoryStream *stream;
    JOCTET buffer[ChunkSize];
};

void InitDestination(j_compress_ptr info)
{
    auto *d = reinterpret_cast<Destination *>(info->dest);
    d->base.next_output_byte = d->buffer;
    d->base.free_in_buffer = ChunkSize;
}

boolean EmptyOutputBuffer(j_compress_ptr info)
{
    auto *d = reinterpret_cast<Destination *>(info->dest);
    if (d->stream->WriteSome(d->buffer, ChunkSize) != ChunkSize)
        ERREXIT(info, JERR_FILE_WRITE);
    d->base.next_output_byte = d->buffer;
    d->base.free_in_buffer = ChunkSize;
    return TRUE;
}

void TermDestination(j_compress_ptr info)
{
    auto *d = reinterpret_cast<Destination *>(info->dest);
    const std::size_t n = ChunkSize - d->base.free_in_buffer;
    if (n > 0 && d->stream->WriteSome(d->buffer, n) != n)
        ERREXIT(info, JERR_FILE_WRITE);
}

// Runs the compression; returns false after a longjmp from the error handler. Kept apart
// so that no object with a destructor lives between setjmp and longjmp.
bool Compress(jpeg_compress_struct &info, ErrorManager &err, Destination &dest, const FrameBuffer &picture,
              int quality, JSAMPLE *row)
{
    if (setjmp(err.back))
        return false;
    // Creation clears every field but the error manager: the destination comes after.
    jpeg_create_compress(&info);
    info.dest = &dest.base;
    info.image_width = JDIMENSION(picture.width());
    info.image_height = JDIMENSION(picture.height());
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    const int w = picture.width();
    while (info.next_scanline < info.image_height) {
        const uchar *src = picture.constScanLine(int(info.next_scanline));
        for (int x = 0; x < w; ++x) {
            row[3 * x] = src[3 * x + 2];
            row[3 * x + 1] = src[3 * x + 1];
            row[3 * x + 2] = src[3 * x];
        }
        JSAMPROW rows[1] = {row};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    return true;
}
} // namespace

bool EncodeJpeg(const FrameBuffer &picture, int quality, MemoryStream &out, std::string &error)
{
    if (picture.isNull() || picture.format() != QImage::Format_BGR888) {
        error = "no picture";
        return false;
    }
    std::vector<JSAMPLE> row(std::size_t(picture.width()) * 3);
    auto dest = std::make_unique<Destination>();
    dest->base.init_destination = InitDestination;
    dest->base.empty_output_buffer = EmptyOutputBuffer;
    dest->base.term_destination = TermDestination;
    dest->stream = &out;
    jpeg_compress_struct info{};
    ErrorManager err{};
    info.err = jpeg_std_error(&err.base);
    err.base.error_exit = ErrorExit;
    err.base.output_message = NoOutput;
    const bool ok = Compress(info, err, *dest, picture, quality, row.data());
    if (!ok)
        error = err.message;
    info.dest = nullptr;
    jpeg_destroy_compress(&info);
    return ok;
}

bool SaveJpegFile(const std::string &path, const FrameBuffer &picture, std::string &error)
{
    MemoryStream compressed;
    if (!EncodeJpeg(picture, VisualiserJpegQuality, compressed, error))
        return false;
    const bool written = FileWriter()(path, [&](const std::string &temp) {
        std::FILE *f = std::fopen(temp.c_str(), "wb");
        if (!f)
            return false;
        const auto &bytes = compressed.Data();
        const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
        return (std::fclose(f) == 0) && ok;
    });
    if (!written)
        error = "cannot write the file";
    return written;
}

std::string WithJpegExtension(const std::string &path)
{
    const auto slash = path.find_last_of('/');
    const auto point = path.find_last_of('.');
    if (point != std::string::npos && (slash == std::string::npos || point > slash))
        return path.substr(0, point) + ".jpg";
    return path + ".jpg";
}

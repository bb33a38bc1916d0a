// Saving the visualiser's picture as a JPEG file through libjpeg: the picture is
// compressed into memory and then written through the atomic file writer, so a failure
// at any step leaves no file and the old one as it was.
#pragma once

#include "BinaryStream.h"
#include "Mesh.h"

#include <string>

constexpr int VisualiserJpegQuality = 90;

// Compresses a 24-bit blue-green-red picture into `out`; false with the library's
// message in `error` on failure.
bool EncodeJpeg(const FrameBuffer &picture, int quality, MemoryStream &out, std::string &error);
// Compresses and writes `path`; false with a reason in `error` on failure.
bool SaveJpegFile(const std::string &path, const FrameBuffer &picture, std::string &error);
// `path` with its extension (after the last point of the file name) replaced by ".jpg".
std::string WithJpegExtension(const std::string &path);

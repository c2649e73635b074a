#pragma once
// Writing of an uncompressed BMP file: one bit a pixel when the image has at
// most two colours (a symbol always has), else 24 bits.
#include <cstdint>
#include <string>

namespace stelcode {

// Appends the file and information headers of a bottom-up, uncompressed BMP of
// `bits` bits a pixel; `paletteSize` palette entries and `imageBytes` of rows follow.
void putBmpHeaders(
    std::string& out, int width, int height, int bits, uint32_t paletteSize, uint32_t imageBytes);

// Writes width x height pixels (0xAARRGGBB, rows `stride` pixels apart, top row
// first) to `path`. The file is written beside the target under a temporary
// name and renamed over it (see writeFileSafely).
// Returns 0 or the errno of the failing step.
int writeBmp(const std::string& path, int width, int height, const uint32_t* pixels, int stride);

}  // namespace stelcode

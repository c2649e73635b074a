#pragma once
// Images of a symbol's module matrix: pixels in memory, BMP, PNG and SVG files.
#include <stelcode/Encoder.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace stelcode {

struct RenderOptions
{
    int moduleWidth = 1;           // pixels a module is wide
    int rowHeight = 7;             // pixels a row is high
    int leftMargin = 10;           // quiet zone left and right, pixels
    int topMargin = 10;            // quiet zone above and below, pixels
    int width = 0;                 // image size; 0: the symbol with its margins on both
    int height = 0;                //   sides; smaller cuts the symbol off right or below
    uint32_t barColor = 0x000000;  // 0xRRGGBB
    uint32_t spaceColor = 0xFFFFFF;
};

// Image width and height in pixels for these options.
int imageWidth(const BitMatrix& symbol, const RenderOptions& options);
int imageHeight(const BitMatrix& symbol, const RenderOptions& options);

// One bit a pixel, 1 = bar. Sizes beyond 32767 pixels give an empty matrix.
BitMatrix rasterize(const BitMatrix& symbol, const RenderOptions& options);

enum class ImageFormat { Bmp, Png, Svg };

// The bytes of an image file of the symbol: an uncompressed BMP and a PNG with
// a two-colour palette (one bit a pixel), or an SVG of the bars as one path.
std::string imageFile(const BitMatrix& symbol, const RenderOptions& options, ImageFormat format);

// Writes `bytes` to `path` through a temporary file beside it and a rename,
// so a failure never leaves a half-written file (not synced to disk). Refuses (ELOOP) a symbolic
// link, and (EACCES) an existing file the caller may not write; a new file
// gets 0666 less the umask, an existing one keeps its permissions.
// Returns 0 or the errno of the failing step.
int writeFileSafely(const std::string& path, std::string_view bytes);

}  // namespace stelcode

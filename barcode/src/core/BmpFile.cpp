#include "BmpFile.h"

#include <stelcode/Render.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace stelcode {

namespace {
void put16(std::string& out, uint32_t v)
{
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}
void put32(std::string& out, uint32_t v)
{
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}
}  // namespace

void putBmpHeaders(
    std::string& out, int width, int height, int bits, uint32_t paletteSize, uint32_t imageBytes)
{
    const uint32_t offset = 14 + 40 + 4 * paletteSize;
    // File header.
    out += "BM";
    put32(out, offset + imageBytes);
    put32(out, 0);
    put32(out, offset);
    // Information header: bottom-up rows, no compression, 96 dpi.
    put32(out, 40);
    put32(out, static_cast<uint32_t>(width));
    put32(out, static_cast<uint32_t>(height));
    put16(out, 1);
    put16(out, static_cast<uint32_t>(bits));
    put32(out, 0);
    put32(out, imageBytes);
    put32(out, 3780);
    put32(out, 3780);
    put32(out, paletteSize);
    put32(out, paletteSize);
}

namespace {
// One bit a pixel with a two-colour palette, or nothing when the image has more colours.
bool encodeTwoColours(std::string& out, int width, int height, const uint32_t* pixels, int stride)
{
    const uint32_t first = (width > 0 && height > 0) ? (pixels[0] & 0xFFFFFF) : 0xFFFFFF;
    uint32_t second = first;
    bool haveSecond = false;
    const uint32_t rowBytes = ((static_cast<uint32_t>(width) + 31) / 32) * 4;
    const uint32_t imageBytes = rowBytes * static_cast<uint32_t>(height);
    out.clear();
    out.reserve(14 + 40 + 8 + imageBytes);
    putBmpHeaders(out, width, height, 1, 2, imageBytes);
    size_t paletteAt = out.size();  // the two palette entries, then the rows
    out.resize(paletteAt + 8 + imageBytes, '\0');
    const uint32_t* previous = nullptr;
    for (int y = 0; y < height; ++y) {
        const uint32_t* src = pixels + static_cast<size_t>(height - 1 - y) * stride;
        uint8_t* dst = reinterpret_cast<uint8_t*>(out.data()) + paletteAt + 8
            + static_cast<size_t>(y) * rowBytes;
        // A symbol row is many identical pixel lines: reuse the line just packed.
        if (previous && std::memcmp(previous, src, static_cast<size_t>(width) * 4) == 0) {
            std::memcpy(dst, dst - rowBytes, rowBytes);
            continue;
        }
        previous = src;
        for (int x = 0; x < width; ++x) {
            const uint32_t p = src[x] & 0xFFFFFF;
            if (p == first)
                continue;
            if (!haveSecond) {
                second = p;
                haveSecond = true;
            } else if (p != second) {
                return false;
            }
            dst[x >> 3] |= static_cast<uint8_t>(0x80 >> (x & 7));
        }
    }
    for (const uint32_t c : {first, second}) {
        out[paletteAt++] = static_cast<char>(c & 0xFF);
        out[paletteAt++] = static_cast<char>((c >> 8) & 0xFF);
        out[paletteAt++] = static_cast<char>((c >> 16) & 0xFF);
        paletteAt++;
    }
    return true;
}

void encodeTrueColour(std::string& out, int width, int height, const uint32_t* pixels, int stride)
{
    const uint32_t rowBytes = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
    const uint32_t imageBytes = rowBytes * static_cast<uint32_t>(height);
    out.clear();
    out.reserve(14 + 40 + imageBytes);
    putBmpHeaders(out, width, height, 24, 0, imageBytes);
    const size_t dataAt = out.size();
    out.resize(dataAt + imageBytes, '\0');
    for (int y = 0; y < height; ++y) {
        const uint32_t* src = pixels + static_cast<size_t>(height - 1 - y) * stride;
        uint8_t* dst
            = reinterpret_cast<uint8_t*>(out.data()) + dataAt + static_cast<size_t>(y) * rowBytes;
        for (int x = 0; x < width; ++x) {
            const uint32_t p = src[x];
            *dst++ = p & 0xFF;
            *dst++ = (p >> 8) & 0xFF;
            *dst++ = (p >> 16) & 0xFF;
        }
    }
}
}  // namespace

int writeBmp(const std::string& path, int width, int height, const uint32_t* pixels, int stride)
{
    if (width < 0 || height < 0)
        return EINVAL;
    std::string out;
    if (!encodeTwoColours(out, width, height, pixels, stride))
        encodeTrueColour(out, width, height, pixels, stride);

    return writeFileSafely(path, out);
}

}  // namespace stelcode

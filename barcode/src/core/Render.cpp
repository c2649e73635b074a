#include <stelcode/Render.h>

#include "BmpFile.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

namespace stelcode {

namespace {
constexpr int kMaxPixels = 32767;

int naturalWidth(const BitMatrix& m, const RenderOptions& o)
{
    return 2 * o.leftMargin + m.width() * o.moduleWidth;
}
int naturalHeight(const BitMatrix& m, const RenderOptions& o)
{
    return 2 * o.topMargin + m.height() * o.rowHeight;
}

void put32be(std::string& out, uint32_t v)
{
    for (int s = 24; s >= 0; s -= 8)
        out += static_cast<char>((v >> s) & 0xFF);
}

std::string bmpFile(const BitMatrix& px, const RenderOptions& o)
{
    const uint32_t rowBytes = ((static_cast<uint32_t>(px.width()) + 31) / 32) * 4;
    const uint32_t imageBytes = rowBytes * static_cast<uint32_t>(px.height());
    std::string out;
    out.reserve(14 + 40 + 8 + imageBytes);
    putBmpHeaders(out, px.width(), px.height(), 1, 2, imageBytes);
    for (const uint32_t c : {o.spaceColor, o.barColor}) {  // blue, green, red, 0
        out += static_cast<char>(c & 0xFF);
        out += static_cast<char>((c >> 8) & 0xFF);
        out += static_cast<char>((c >> 16) & 0xFF);
        out += '\0';
    }
    const size_t at = out.size();
    out.resize(at + imageBytes, '\0');
    for (int y = 0; y < px.height(); ++y)
        std::memcpy(out.data() + at + static_cast<size_t>(px.height() - 1 - y) * rowBytes,
            px.row(y), static_cast<size_t>(px.bytesPerRow()));
    return out;
}

void pngChunk(std::string& out, const char* type, const std::string& data)
{
    put32be(out, static_cast<uint32_t>(data.size()));
    const size_t from = out.size();
    out += type;
    out += data;
    const auto* p = reinterpret_cast<const Bytef*>(out.data() + from);
    put32be(out, static_cast<uint32_t>(crc32(0, p, static_cast<uInt>(out.size() - from))));
}

std::string pngFile(const BitMatrix& px, const RenderOptions& o)
{
    std::string out = "\x89PNG\r\n\x1a\n";
    std::string header;
    put32be(header, static_cast<uint32_t>(px.width()));
    put32be(header, static_cast<uint32_t>(px.height()));
    header += std::string(
        "\x01\x03\x00\x00\x00", 5);  // 1 bit, palette, deflate, no filter, no interlace
    pngChunk(out, "IHDR", header);
    std::string palette;
    for (const uint32_t c : {o.spaceColor, o.barColor})
        for (int s = 16; s >= 0; s -= 8)
            palette += static_cast<char>((c >> s) & 0xFF);
    pngChunk(out, "PLTE", palette);
    const size_t rowBytes = static_cast<size_t>(px.bytesPerRow());
    std::string raw;
    raw.reserve((rowBytes + 1) * static_cast<size_t>(px.height()));
    for (int y = 0; y < px.height(); ++y) {
        raw += '\0';  // filter: none
        raw.append(reinterpret_cast<const char*>(px.row(y)), rowBytes);
    }
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    std::string packed(size, '\0');
    compress2(reinterpret_cast<Bytef*>(packed.data()), &size,
        reinterpret_cast<const Bytef*>(raw.data()), static_cast<uLong>(raw.size()), 6);
    packed.resize(size);
    pngChunk(out, "IDAT", packed);
    pngChunk(out, "IEND", {});
    return out;
}

// Copies a row of modules one pixel each, `offset` pixels to the right.
void shiftRow(const uint8_t* src, int bytes, int offset, uint8_t* dst)
{
    dst += offset >> 3;
    const int shift = offset & 7;
    if (shift == 0) {
        std::memcpy(dst, src, static_cast<size_t>(bytes));
        return;
    }
    uint8_t carry = 0;
    for (int i = 0; i < bytes; ++i) {
        dst[i] |= static_cast<uint8_t>(carry | (src[i] >> shift));
        carry = static_cast<uint8_t>(src[i] << (8 - shift));
    }
    // Bits carried out of the last byte are modules only when not zero; the
    // image row is wide enough for every module.
    if (carry != 0)
        dst[bytes] |= carry;
}

// Row r of the modules, `moduleWidth` pixels each, cut at `width` pixels.
void scaleRow(const BitMatrix& m, int r, const RenderOptions& o, int width, uint8_t* line)
{
    for (int x = 0; x < m.width(); ++x) {
        if (!m.get(x, r))
            continue;
        const int from = o.leftMargin + x * o.moduleWidth;
        const int to = std::min(from + o.moduleWidth, width);
        for (int p = from; p < to; ++p)
            line[p >> 3] |= static_cast<uint8_t>(0x80 >> (p & 7));
    }
}

std::string hexColor(uint32_t c)
{
    static const char* digits = "0123456789abcdef";
    std::string s = "#";
    for (int shift = 20; shift >= 0; shift -= 4)
        s += digits[(c >> shift) & 0xF];
    return s;
}

std::string svgFile(const BitMatrix& m, const RenderOptions& o)
{
    const int w = imageWidth(m, o), h = imageHeight(m, o);
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\""
        + std::to_string(w) + "\" height=\"" + std::to_string(h) + "\" viewBox=\"0 0 "
        + std::to_string(w) + " " + std::to_string(h) + "\" shape-rendering=\"crispEdges\">\n"
        + "<rect width=\"" + std::to_string(w) + "\" height=\"" + std::to_string(h) + "\" fill=\""
        + hexColor(o.spaceColor) + "\"/>\n<path fill=\"" + hexColor(o.barColor) + "\" d=\"";
    // One rectangle for each run of bar modules in a row; anything beyond the
    // image size is clipped by the view box.
    for (int r = 0; r < m.height(); ++r) {
        const int y = o.topMargin + r * o.rowHeight;
        for (int x = 0; x < m.width();) {
            if (!m.get(x, r)) {
                ++x;
                continue;
            }
            int run = 1;
            while (x + run < m.width() && m.get(x + run, r))
                ++run;
            out += "M" + std::to_string(o.leftMargin + x * o.moduleWidth) + " " + std::to_string(y)
                + "h" + std::to_string(run * o.moduleWidth) + "v" + std::to_string(o.rowHeight)
                + "h-" + std::to_string(run * o.moduleWidth) + "z";
            x += run;
        }
    }
    out += "\"/>\n</svg>\n";
    return out;
}
}  // namespace

int imageWidth(const BitMatrix& m, const RenderOptions& o)
{
    return o.width > 0 ? o.width : naturalWidth(m, o);
}

int imageHeight(const BitMatrix& m, const RenderOptions& o)
{
    return o.height > 0 ? o.height : naturalHeight(m, o);
}

BitMatrix rasterize(const BitMatrix& m, const RenderOptions& o)
{
    const int w = imageWidth(m, o), h = imageHeight(m, o);
    if (w <= 0 || h <= 0 || w > kMaxPixels || h > kMaxPixels || o.moduleWidth < 0 || o.rowHeight < 0
        || o.leftMargin < 0 || o.topMargin < 0)
        return {};
    BitMatrix px(w, h);
    const size_t rowBytes = static_cast<size_t>(px.bytesPerRow());
    const bool wholeRows = o.leftMargin + m.width() * o.moduleWidth <= w;
    for (int r = 0; r < m.height(); ++r) {
        const int y0 = o.topMargin + r * o.rowHeight;
        if (y0 >= h)
            break;
        uint8_t* line = px.row(y0);
        if (o.moduleWidth == 1 && wholeRows)
            shiftRow(m.row(r), m.bytesPerRow(), o.leftMargin, line);
        else
            scaleRow(m, r, o, w, line);
        const int y1 = std::min(y0 + o.rowHeight, h);
        for (int y = y0 + 1; y < y1; ++y)
            std::memcpy(px.row(y), line, rowBytes);
    }
    return px;
}

std::string imageFile(const BitMatrix& symbol, const RenderOptions& options, ImageFormat format)
{
    if (format == ImageFormat::Svg)
        return svgFile(symbol, options);
    const BitMatrix px = rasterize(symbol, options);
    if (px.width() == 0)
        return {};
    return format == ImageFormat::Png ? pngFile(px, options) : bmpFile(px, options);
}

}  // namespace stelcode

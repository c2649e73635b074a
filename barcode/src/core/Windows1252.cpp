#include "Windows1252.h"

#include <stelcode/Encoder.h>

namespace stelcode {

namespace {
// Bytes 0x80..0x9F; the five unassigned bytes map to themselves.
constexpr char16_t kHighControls[32]
    = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

constexpr char32_t kReplacement = 0xFFFD;
}  // namespace

std::u32string decodeUtf8(std::string_view s)
{
    std::u32string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        const auto b = static_cast<uint8_t>(s[i]);
        int extra = b < 0x80 ? 0 : (b >> 5) == 6 ? 1 : (b >> 4) == 14 ? 2 : (b >> 3) == 30 ? 3 : -1;
        char32_t c = extra == 0 ? b
            : extra == 1        ? (b & 0x1F)
            : extra == 2        ? (b & 0x0F)
                                : (b & 0x07);
        bool ok = extra >= 0 && i + extra < s.size();
        for (int k = 1; ok && k <= extra; ++k) {
            const auto cont = static_cast<uint8_t>(s[i + k]);
            ok = (cont & 0xC0) == 0x80;
            c = c << 6 | (cont & 0x3F);
        }
        // Overlong forms, surrogates and values beyond U+10FFFF are not text.
        static constexpr char32_t kMin[] = {0, 0x80, 0x800, 0x10000};
        if (ok && extra > 0 && (c < kMin[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)))
            ok = false;
        if (!ok) {
            out.push_back(kReplacement);
            ++i;
            continue;
        }
        out.push_back(c);
        i += static_cast<size_t>(extra) + 1;
    }
    return out;
}

int windows1252Byte(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<int>(c);
    for (int i = 0; i < 32; ++i)
        if (kHighControls[i] == c)
            return 0x80 + i;
    return -1;
}

char32_t fromWindows1252(uint8_t b)
{
    return b >= 0x80 && b < 0xA0 ? kHighControls[b - 0x80] : char32_t(b);
}

std::vector<uint8_t> toWindows1252(std::string_view utf8, std::vector<Unencoded>* replaced)
{
    const std::u32string text = decodeUtf8(utf8);
    std::vector<uint8_t> bytes;
    bytes.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const int b = windows1252Byte(text[i]);
        bytes.push_back(static_cast<uint8_t>(b < 0 ? 0 : b));
        if (b < 0 && replaced)
            replaced->push_back({i, text[i], true});
    }
    return bytes;
}

}  // namespace stelcode

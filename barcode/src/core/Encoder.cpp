#include <stelcode/Encoder.h>

#include "AutoCompaction.h"
#include "Compaction.h"
#include "SharedTables.h"
#include "SymbolLayout.h"
#include "Windows1252.h"

#include <algorithm>

namespace stelcode {

const SharedTables& sharedTables()
{
    static const SharedTables tables{
        buildTextTable(), buildCoefficientTables(), buildClusterTables()};
    return tables;
}

BitMatrix::BitMatrix(int width, int height)
    : m_width(std::max(width, 0)), m_height(std::max(height, 0)),
      m_bits(static_cast<size_t>((m_width + 7) / 8) * m_height, 0)
{ }

namespace {

// The stop pattern's 18 modules as bits, from its run lengths.
uint32_t stopBits()
{
    uint32_t bits = 0;
    bool bar = true;
    for (const char* run = kStopBars; *run; ++run, bar = !bar)
        for (int i = 0; i < *run - '0'; ++i)
            bits = bits << 1 | (bar ? 1u : 0u);
    return bits;
}

EncodeResult failure(EncodeError error, std::string reason)
{
    EncodeResult result;
    result.error = error;
    result.reason = std::move(reason);
    return result;
}

bool allDigits(std::span<const uint8_t> bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](uint8_t b) { return b >= '0' && b <= '9'; });
}

// Compacts at one level; the shape tells the rows and the data count. Data
// codewords already found (the automatic mode's, when several levels are
// tried) are only sized and checked.
std::optional<Codewords> compactAt(std::span<const uint8_t> bytes, const EncodeOptions& o,
    int level, SymbolShape& shape, const std::optional<Codewords>& data)
{
    const SharedTables& t = sharedTables();
    shape = SymbolShape{o.columns, o.minRows, level, &t.coefficients[level], 0, 0};
    if (data)
        return finish(*data, shape);
    return compact(static_cast<int>(o.mode), bytes, t.text, kTextTablePairs, shape);
}

}  // namespace

BitMatrix symbolMatrix(std::span<const int16_t> codewords, int rows, int columns, int ecLevel)
{
    static const uint32_t stop = stopBits();
    const ClusterTables& clusters = sharedTables().clusters;
    BitMatrix matrix(rowModules(columns), rows);
    for (int r = 0; r < rows; ++r) {
        // Patterns are appended to a bit accumulator and stored a byte at a time.
        uint8_t* out = matrix.row(r);
        uint64_t acc = 0;
        int bits = 0;
        auto put = [&](uint32_t pattern, int modules) {
            acc = acc << modules | pattern;
            bits += modules;
            while (bits >= 8) {
                bits -= 8;
                *out++ = static_cast<uint8_t>(acc >> bits);
            }
        };
        const ClusterTable& cluster = clusters[r % 3];
        auto putCodeword = [&](int codeword) {
            if (codeword >= 0 && codeword < static_cast<int>(cluster.size()))
                put(static_cast<uint32_t>(cluster[codeword]), kModulesPerChar);
        };
        put(kStartPattern, kModulesPerChar);
        putCodeword(leftRowIndicator(r, rows, columns, ecLevel));
        for (int col = 0; col < columns; ++col) {
            const size_t i = static_cast<size_t>(r) * columns + col;
            if (i < codewords.size())
                putCodeword(codewords[i]);
        }
        putCodeword(rightRowIndicator(r, rows, columns, ecLevel));
        put(stop, kModulesPerChar + 1);
        if (bits > 0)
            *out = static_cast<uint8_t>(acc << (8 - bits));
    }
    return matrix;
}

int recommendedLevel(int dataCodewords)
{
    if (dataCodewords <= 40)
        return 2;
    if (dataCodewords <= 160)
        return 3;
    if (dataCodewords <= 320)
        return 4;
    return 5;
}

EncodeResult encodeBytes(std::span<const uint8_t> bytes, const EncodeOptions& o)
{
    const int mode = static_cast<int>(o.mode);
    if (mode < 0 || mode > 3)
        return failure(EncodeError::BadOptions, "mode must be byte, text, numeric or auto");
    if (o.columns < 1 || o.columns > kMaxColumns)
        return failure(EncodeError::BadOptions, "columns must be 1 to 30");
    if (o.ecLevel < kAutoLevel || o.ecLevel > 8)
        return failure(EncodeError::BadOptions, "error-correction level must be 0 to 8 or auto");
    if (o.minRows < 0 || o.minRows > kMaxRows)
        return failure(EncodeError::BadOptions, "rows must be 0 to 90");
    if (o.mode == Mode::Numeric && !allDigits(bytes))
        return failure(EncodeError::NotNumeric, "numeric mode takes the digits 0 to 9 only");

    SymbolShape shape;
    int level = o.ecLevel;
    std::optional<Codewords> codewords;
    if (level == kAutoLevel) {
        // The recommended level, or the highest below it that still fits.
        std::optional<Codewords> data;
        if (o.mode == Mode::Auto && bytes.size() <= kMaxAutoBytes)
            data = autoDataCodewords(bytes);  // the search once for every level
        compactAt(bytes, o, 0, shape, data);
        for (level = recommendedLevel(shape.dataCount); level >= 0 && !codewords; --level)
            codewords = compactAt(bytes, o, level, shape, data);
        ++level;
    } else {
        codewords = compactAt(bytes, o, level, shape, std::nullopt);
    }
    if (!codewords)
        return failure(EncodeError::TooLarge,
            "data does not fit a symbol (at most 90 rows and 928 codewords)");

    EncodeResult result;
    Symbol& s = result.symbol.emplace();
    s.columns = shape.columns;
    s.rows = shape.rows;
    s.ecLevel = level;
    s.dataCodewords = shape.dataCount;
    s.matrix = symbolMatrix(*codewords, s.rows, s.columns, level);
    s.codewords = std::move(*codewords);
    return result;
}

EncodeResult encodeText(std::string_view utf8, const EncodeOptions& o)
{
    const std::u32string text = decodeUtf8(utf8);
    std::vector<Unencoded> unencoded;
    std::vector<uint8_t> bytes;
    bytes.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const int b = windows1252Byte(text[i]);
        bytes.push_back(static_cast<uint8_t>(b < 0 ? 0 : b));
        if (o.mode == Mode::Text && (b < 32 || b > 126))
            unencoded.push_back({i, text[i], false});  // text compaction drops it
        else if (b < 0)
            unencoded.push_back({i, text[i], true});
    }
    EncodeResult result = encodeBytes(bytes, o);
    result.unencoded = std::move(unencoded);
    return result;
}

const char* version()
{
    return STELCODE_VERSION;
}

}  // namespace stelcode

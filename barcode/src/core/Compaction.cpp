#include "Compaction.h"

#include "AutoCompaction.h"

#include <algorithm>
#include <array>
#include <cstdlib>

namespace stelcode {

namespace {

constexpr int16_t kLatchByte = 901;
constexpr int16_t kLatchByteSix = 924;  // byte count a multiple of 6
constexpr int16_t kLatchNumeric = 902;
constexpr size_t kNumericGroup = 44;

// Text sub-mode switches.
constexpr int kLatchLower = 27;  // from alpha or mixed
constexpr int kShiftAlpha = 27;  // from lower, one character
constexpr int kLatchMixed = 28;  // from alpha or lower
constexpr int kLatchAlpha = 28;  // from mixed
constexpr int kShiftPunct = 29;  // one character; also pads an odd count

}  // namespace

std::optional<Codewords> finish(Codewords data, SymbolShape& shape)
{
    shape.dataCount = static_cast<int>(data.size());
    // A negative level has no check codeword table of its own; rather than a
    // symbol no reader accepts, give none.
    if (shape.ecLevel < 0 || !shape.coefficients)
        return std::nullopt;
    if (shape.columns < 1 || shape.columns > kMaxColumns)
        shape.columns = 1;
    const int64_t d = static_cast<int64_t>(data.size());
    const int64_t e = ecCodewordCount(shape.ecLevel);
    const int64_t c = shape.columns;
    int64_t rows = std::max<int64_t>((d + e + c - 1) / c, kMinRows);
    if (rows > kMaxRows)
        return std::nullopt;
    if (shape.minRows > rows) {
        rows = shape.minRows;
        if (rows > kMaxRows)
            return std::nullopt;
    }
    shape.rows = static_cast<int>(rows);
    const int64_t total = rows * c;
    if (total > kMaxCodewords)
        return std::nullopt;

    const int n = static_cast<int>(total - e);
    data.resize(static_cast<size_t>(total), 0);
    data[0] = static_cast<int16_t>(n);
    std::fill(data.begin() + d, data.begin() + n, kPadCodeword);
    genEC(data, n, *shape.coefficients, e);
    return data;
}

namespace {
// Base-900 digits, most significant first, of the number whose decimal digits
// are 1 followed by digits[0..n-1] (n at most 44).
void appendNumericGroup(const uint8_t* digits, size_t n, Codewords& out)
{
    // Base 10^9 limbs, most significant first.
    uint32_t limbs[6] = {};
    int count = 0;
    const size_t total = n + 1;
    size_t inFirst = total % 9 == 0 ? 9 : total % 9;
    uint32_t limb = 0;
    for (size_t i = 0; i < total; ++i) {
        limb = limb * 10 + (i == 0 ? 1 : digits[i - 1] - '0');
        if (--inFirst == 0) {
            limbs[count++] = limb;
            limb = 0;
            inFirst = 9;
        }
    }
    int16_t reversed[32];
    int k = 0;
    int first = 0;
    while (first < count) {
        uint64_t remainder = 0;
        for (int i = first; i < count; ++i) {
            const uint64_t current = remainder * 1000000000u + limbs[i];
            limbs[i] = static_cast<uint32_t>(current / 900);
            remainder = current % 900;
        }
        reversed[k++] = static_cast<int16_t>(remainder);
        while (first < count && limbs[first] == 0)
            ++first;
    }
    while (k > 0)
        out.push_back(reversed[--k]);
}

}  // namespace

std::optional<Codewords> compactBinary(Bytes bytes, SymbolShape& shape)
{
    const size_t n = bytes.size();
    Codewords data;
    data.reserve(2 + n);
    data.push_back(0);
    appendByteCompaction(bytes, data);
    return finish(std::move(data), shape);
}

void appendByteCompaction(Bytes bytes, Codewords& data)
{
    const size_t n = bytes.size();
    data.push_back(n % 6 == 0 ? kLatchByteSix : kLatchByte);
    size_t i = 0;
    for (; n - i >= 6; i += 6) {
        uint64_t value = 0;
        for (size_t b = 0; b < 6; ++b)
            value = value << 8 | bytes[i + b];
        int16_t digits[5];
        for (int k = 4; k >= 0; --k) {
            digits[k] = static_cast<int16_t>(value % 900);
            value /= 900;
        }
        data.insert(data.end(), digits, digits + 5);
    }
    for (; i < n; ++i)
        data.push_back(bytes[i]);
}

std::optional<Codewords> compactText(
    Bytes bytes, const TextTable& table, int tableLength, SymbolShape& shape)
{
    std::vector<int> values;
    values.reserve(bytes.size() * 2 + 1);
    char cur = 'A';
    char base = 'A';
    // Sub-mode and value of each byte, from the first pair that holds it (as
    // findChar searches); mode 0 marks a byte the table lacks.
    std::array<char, 256> modeOf{};
    std::array<int, 256> valueOf{};
    const int pairs = std::min<int>(tableLength, static_cast<int>(table.size() / 2));
    for (int i = pairs - 1; i >= 0; --i) {
        const std::string& ch = table[2 * i];
        const std::string& code = table[2 * i + 1];
        if (ch.size() != 1)
            continue;
        const auto b = static_cast<uint8_t>(ch[0]);
        modeOf[b] = code.empty() ? '?' : code[0];
        valueOf[b] = code.size() > 1 ? std::atoi(code.c_str() + 1) : 0;
    }
    for (uint8_t byte : bytes) {
        const char m = modeOf[byte];
        if (m == 0)
            continue;  // not encodable in text compaction: dropped
        if (base == 'B' && cur == 'A')
            cur = 'B';  // the alpha shift lasted one character
        const int v = valueOf[byte];
        if (m == cur) {
            values.push_back(v);
        } else if (m == 'D') {
            values.insert(values.end(), {kShiftPunct, v});
        } else if (m == 'C') {
            values.insert(values.end(), {kLatchMixed, v});
            cur = 'C';
        } else if (m == 'B') {
            values.insert(values.end(), {kLatchLower, v});
            cur = base = 'B';
        } else if (m == 'A') {
            if (cur == 'B') {
                values.push_back(kShiftAlpha);
            } else if (cur == 'C') {
                values.push_back(kLatchAlpha);
                base = 'A';
            }
            values.push_back(v);
            cur = 'A';
        }
    }
    if (values.size() % 2 != 0)
        values.push_back(kShiftPunct);

    Codewords data;
    data.reserve(1 + values.size() / 2);
    data.push_back(0);
    for (size_t i = 0; i < values.size(); i += 2)
        data.push_back(static_cast<int16_t>(30 * values[i] + values[i + 1]));
    return finish(std::move(data), shape);
}

std::optional<Codewords> compactNumeric(Bytes bytes, SymbolShape& shape)
{
    Codewords data{0};
    if (!appendNumericCompaction(bytes, data))
        return std::nullopt;
    return finish(std::move(data), shape);
}

bool appendNumericCompaction(Bytes bytes, Codewords& data)
{
    data.push_back(kLatchNumeric);
    for (size_t from = 0; from < bytes.size(); from += kNumericGroup) {
        const size_t to = std::min(bytes.size(), from + kNumericGroup);
        for (size_t i = from; i < to; ++i)
            if (bytes[i] < '0' || bytes[i] > '9')
                return false;
        // The leading 1 keeps leading zeros.
        appendNumericGroup(bytes.data() + from, to - from, data);
    }
    return true;
}

std::optional<Codewords> compact(
    int mode, Bytes bytes, const TextTable& table, int tableLength, SymbolShape& shape)
{
    switch (mode) {
    case 0:
        return compactBinary(bytes, shape);
    case 1:
        return compactText(bytes, table, tableLength, shape);
    case 2:
        return compactNumeric(bytes, shape);
    case 3:
        return compactAuto(bytes, shape);
    default:
        return std::nullopt;
    }
}

}  // namespace stelcode

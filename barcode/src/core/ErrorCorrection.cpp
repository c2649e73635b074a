#include "ErrorCorrection.h"

#include <array>
#include <cstddef>
#include <utility>

namespace stelcode {

namespace {
constexpr uint32_t kPrime = 929;
constexpr int64_t kMaxCheckCodewords = 512;  // level 8; the cells' bound below holds up to it

// v mod 929 for v below 2^30, by one multiplication: 2^40 / 929 rounded up
// errs by less than 2^40 / 2^30 over that range.
inline uint32_t reduce(uint32_t v)
{
    constexpr uint64_t kInverse = ((uint64_t{1} << 40) + kPrime - 1) / kPrime;
    return v - static_cast<uint32_t>((v * kInverse) >> 40) * kPrime;
}

// The check codewords are the remainder of the data polynomial divided by the
// generator, computed by a register of k cells. Cells stay unreduced (each
// gets at most k products below 929^2, under 2^30 for k <= 512), with the
// generator's coefficients negated and reversed, so only the feedback term is
// reduced: once a codeword.

template <std::size_t Count, std::size_t... M>
inline void shiftIn(std::array<uint32_t, Count>& cells, const std::array<uint32_t, Count>& r,
    uint32_t t, uint32_t next, std::index_sequence<M...>)
{
    ((cells[M] = cells[M + 1] + t * r[M]), ...);
    cells[Count - 1] = next + t * r[Count - 1];
}

// A register of Count cells held in local variables, unrolled, for the low
// levels' short registers: the chain from one codeword to the next stays in
// machine registers.
template <std::size_t Count>
void divideShort(const uint32_t* input, std::size_t length, const uint32_t* reversed, uint32_t* out)
{
    std::array<uint32_t, Count> cells{};  // cells[m]: fed back after m more codewords
    std::array<uint32_t, Count> r{};
    for (std::size_t m = 0; m < Count; ++m)
        r[m] = reversed[m];
    for (std::size_t m = 0; m < Count && m < length; ++m)
        cells[m] = input[m];
    for (std::size_t j = 0; j < length; ++j) {
        const uint32_t next = j + Count < length ? input[j + Count] : 0;
        shiftIn(cells, r, reduce(cells[0]), next, std::make_index_sequence<Count - 1>());
    }
    for (std::size_t m = 0; m < Count; ++m)
        out[m] = cells[m];
}

// Any count: the register slides along a buffer instead of shifting; after
// codeword j its cell i is window[j + count - i]. The window starts with the
// input and zeros after it.
void divideLong(uint32_t* window, std::size_t length, const uint32_t* reversed, std::size_t count)
{
    for (std::size_t j = 0; j < length; ++j) {
        const uint32_t t = reduce(window[j]);
        uint32_t* const cells = window + j + 1;
        for (std::size_t m = 0; m < count; ++m)
            cells[m] += t * reversed[m];
    }
}
}  // namespace

int64_t ecCodewordCount(int level)
{
    if (level < -1)
        return 0;
    return level >= 40 ? (int64_t{1} << 41) : (int64_t{1} << (level + 1));
}

void genEC(Codewords& data, int n, const CoefficientTable& c, int64_t k)
{
    if (n < 0 || k <= 0 || k > kMaxCheckCodewords || static_cast<int64_t>(c.size()) < k
        || static_cast<int64_t>(data.size()) < n + k)
        return;
    const auto count = static_cast<std::size_t>(k);
    const auto length = static_cast<std::size_t>(n);
    // One buffer: the coefficients, the input, then the register's room.
    std::vector<uint32_t> buffer(count + length + count, 0);
    uint32_t* const reversed = buffer.data();
    uint32_t* const window = reversed + count;
    uint32_t* const remainder = window + length;
    for (std::size_t m = 0; m < count; ++m) {
        const auto coefficient = static_cast<uint32_t>(c[count - 1 - m]) % kPrime;
        reversed[m] = (kPrime - coefficient) % kPrime;
    }
    for (std::size_t j = 0; j < length; ++j) {
        // Codewords are 0..928; anything else is reduced into the field first.
        const int v = data[j];
        const int r = v >= 0 && v < static_cast<int>(kPrime) ? v : v % static_cast<int>(kPrime);
        window[j] = static_cast<uint32_t>(r < 0 ? r + static_cast<int>(kPrime) : r);
    }
    switch (count) {
    case 2:
        divideShort<2>(window, length, reversed, remainder);
        break;
    case 4:
        divideShort<4>(window, length, reversed, remainder);
        break;
    case 8:
        divideShort<8>(window, length, reversed, remainder);
        break;
    case 16:
        divideShort<16>(window, length, reversed, remainder);
        break;
    default:
        divideLong(window, length, reversed, count);
    }
    for (std::size_t m = 0; m < count; ++m) {
        const uint32_t v = reduce(remainder[m]);
        data[length + m] = static_cast<int16_t>(v == 0 ? 0 : kPrime - v);
    }
}

}  // namespace stelcode

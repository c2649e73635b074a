#include "ErrorCorrection.h"

#include <cstddef>

namespace stelcode {

namespace {
constexpr int32_t kPrime = 929;
}

int64_t ecCodewordCount(int level)
{
    if (level < -1)
        return 0;
    return level >= 40 ? (int64_t{1} << 41) : (int64_t{1} << (level + 1));
}

void genEC(Codewords& data, int n, const CoefficientTable& c, int64_t k)
{
    if (n < 0 || k <= 0 || static_cast<int64_t>(c.size()) < k
        || static_cast<int64_t>(data.size()) < n + k)
        return;
    const int kk = static_cast<int>(k);
    const auto count = static_cast<std::size_t>(kk);
    const auto length = static_cast<std::size_t>(n);
    // The division register slides along a buffer instead of shifting: after
    // codeword j its cell i is window[j + k - i]. The data codewords start in
    // the window, reduced into the field, so each step only adds its feedback
    // term. Cells stay unreduced (each gets at most k products below 929^2,
    // so 32 bits hold them), with the generator's coefficients negated and
    // reversed; only the feedback term is reduced, once, so the chain from one
    // codeword to the next is short.
    std::vector<uint32_t> buffer(count + length + count, 0);
    uint32_t* const reversed = buffer.data();
    uint32_t* const window = buffer.data() + count;
    for (std::size_t m = 0; m < count; ++m)
        reversed[m] = static_cast<uint32_t>((kPrime - c[count - 1 - m] % kPrime) % kPrime);
    for (std::size_t j = 0; j < length; ++j)  // codewords are 0..928; anything else is reduced
        window[j] = static_cast<uint32_t>((data[j] % kPrime + kPrime) % kPrime);
    for (std::size_t j = 0; j < length; ++j) {
        const uint32_t t1 = window[j] % kPrime;
        uint32_t* const cells = window + j + 1;
        for (std::size_t m = 0; m < count; ++m)
            cells[m] += t1 * reversed[m];
    }
    for (std::size_t m = 0; m < count; ++m) {
        const auto v = static_cast<int32_t>(window[length + m] % kPrime);
        data[length + m] = static_cast<int16_t>(v == 0 ? 0 : kPrime - v);
    }
}

}  // namespace stelcode

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
    // The remainders are kept unreduced (each step adds less than 929^2, so
    // 64 bits hold any length) and the generator's coefficients negated, so
    // the inner loop has no division; only the feedback term is reduced.
    std::vector<int64_t> e(static_cast<std::size_t>(2 * kk), 0);
    int64_t* const negated = e.data() + kk;
    for (int i = 0; i < kk; ++i)
        negated[i] = (kPrime - c[static_cast<std::size_t>(i)] % kPrime) % kPrime;
    for (int j = 0; j < n; ++j) {
        // Codewords are 0..928; anything else is reduced into the field first.
        const int64_t t1
            = ((data[static_cast<std::size_t>(j)] + e[static_cast<std::size_t>(kk - 1)]) % kPrime
                  + kPrime)
            % kPrime;
        for (int i = kk - 1; i >= 1; --i)
            e[static_cast<std::size_t>(i)] = e[static_cast<std::size_t>(i - 1)] + t1 * negated[i];
        e[0] = t1 * negated[0];
    }
    for (int m = 0; m < kk; ++m) {
        const int64_t v = e[static_cast<std::size_t>(kk - 1 - m)] % kPrime;
        data[static_cast<std::size_t>(n + m)] = static_cast<int16_t>(v == 0 ? 0 : kPrime - v);
    }
}

}  // namespace stelcode

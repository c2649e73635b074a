#include "ErrorCorrection.h"

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
    std::vector<int32_t> e(kk, 0);
    for (int j = 0; j < n; ++j) {
        // Codewords are 0..928; anything else is reduced into the field first.
        const int32_t t1 = ((data[j] + e[kk - 1]) % kPrime + kPrime) % kPrime;
        for (int i = kk - 1; i >= 1; --i)
            e[i] = (e[i - 1] + kPrime - t1 * c[i] % kPrime) % kPrime;
        e[0] = (kPrime - t1 * c[0] % kPrime) % kPrime;
    }
    for (int m = 0; m < kk; ++m) {
        const int32_t v = e[kk - 1 - m];
        data[n + m] = static_cast<int16_t>(v == 0 ? 0 : kPrime - v);
    }
}

}  // namespace stelcode

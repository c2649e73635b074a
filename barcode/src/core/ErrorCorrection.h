#pragma once
// Reed-Solomon error correction over GF(929).
#include "CoefficientTables.h"

#include <cstdint>
#include <vector>

namespace stelcode {

using Codewords = std::vector<int16_t>;

// Number of error-correction codewords of a level: 2^(level + 1). Levels above
// 8 give counts that no symbol can hold; they saturate rather than overflow.
int64_t ecCodewordCount(int level);

// Writes k check codewords over data[0 .. n-1] at data[n .. n+k-1], using the
// first k coefficients (k at most 512, level 8's count). Does nothing when the
// list or the table is too short, or k is out of range.
void genEC(Codewords& data, int n, const CoefficientTable& coefficients, int64_t k);

}  // namespace stelcode

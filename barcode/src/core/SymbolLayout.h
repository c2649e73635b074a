#pragma once
// Row layout of a symbol: start pattern, row indicators, data characters and
// stop pattern, and the run lengths that painting draws.
#include "ClusterTables.h"
#include "ErrorCorrection.h"

#include <span>
#include <string>

namespace stelcode {

inline constexpr int32_t kStartPattern = 0x1FEA8;      // runs 81111113
inline constexpr const char* kStopBars = "711311121";  // 18 modules
inline constexpr const char* kCharColors = "bwbwbwbw";
inline constexpr int kModulesPerChar = 17;

// Run lengths of the 17 bits of a pattern, most significant first, as digits.
std::string toXSecuence(int32_t cword);

// Row indicator codewords of row r of a symbol with `rows` rows, `columns`
// data columns and error-correction level `level`.
int leftRowIndicator(int r, int rows, int columns, int level);
int rightRowIndicator(int r, int rows, int columns, int level);

// The 17-module patterns of row r, left to right: start, left indicator, the
// row's data codewords, right indicator (the stop pattern is not included).
// A codeword outside 0..928 contributes no pattern.
std::vector<int32_t> rowPatterns(std::span<const int16_t> codewords, int r, int rows, int columns,
    int level, const ClusterTables& clusters);

// Pixel width of a row: (17 x columns + 69) modules.
inline int rowModules(int columns)
{
    return kModulesPerChar * columns + 69;
}

}  // namespace stelcode

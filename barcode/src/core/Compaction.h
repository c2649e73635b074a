#pragma once
// Turns input bytes into the complete codeword list of one symbol in byte,
// text or numeric compaction, and decides the symbol's rows.
#include "ErrorCorrection.h"
#include "TextTable.h"

#include <cstdint>
#include <optional>
#include <span>

namespace stelcode {

inline constexpr int kMaxColumns = 30;
inline constexpr int kMinRows = 3;
inline constexpr int kMaxRows = 90;
inline constexpr int kMaxCodewords = 928;
inline constexpr int16_t kPadCodeword = 900;

// The shape inputs of one compaction and its row count.
struct SymbolShape
{
    int columns = 10;                                // in-out: replaced by 1 when outside 1 to 30
    int minRows = 0;                                 // the symbol has at least this many rows
    int ecLevel = 0;                                 // k = 2^(level + 1) check codewords
    const CoefficientTable* coefficients = nullptr;  // the selected table
    int rows = 0;                                    // out: set once the row count is known
    int dataCount = 0;  // out: descriptor and data codewords, without pads
};

using Bytes = std::span<const uint8_t>;

// Each returns rows x columns codewords (descriptor, latch, data, pads, checks),
// or nothing when the data does not fit or cannot be compacted.
std::optional<Codewords> compactBinary(Bytes bytes, SymbolShape& shape);
std::optional<Codewords> compactText(
    Bytes bytes, const TextTable& table, int tableLength, SymbolShape& shape);
std::optional<Codewords> compactNumeric(Bytes bytes, SymbolShape& shape);

// Sizes the symbol for the codewords already in `data` (index 0 reserved for
// the length descriptor), pads it and appends the check codewords.
std::optional<Codewords> finish(Codewords data, SymbolShape& shape);

// Latch and codewords of a byte or numeric segment, appended to `data`.
// Numeric gives false for a character other than a digit.
void appendByteCompaction(Bytes bytes, Codewords& data);
bool appendNumericCompaction(Bytes digits, Codewords& data);

// Compacts in mode 0 (byte), 1 (text), 2 (numeric) or 3 (the fewest codewords
// of the three); any other mode gives nothing.
std::optional<Codewords> compact(
    int mode, Bytes bytes, const TextTable& table, int tableLength, SymbolShape& shape);

}  // namespace stelcode

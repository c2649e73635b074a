#pragma once
// Compaction that switches between text sub-modes, byte and numeric
// compaction to give the fewest codewords.
#include "Compaction.h"

namespace stelcode {

// Longer data cannot fit: even digits take more than one codeword per three bytes.
inline constexpr size_t kMaxAutoBytes = 3 * static_cast<size_t>(kMaxCodewords);

// Descriptor placeholder and data codewords (no padding, no checks), starting
// in text compaction as every symbol does.
Codewords autoDataCodewords(Bytes bytes);

// As the other compactions: rows x columns codewords or nothing.
std::optional<Codewords> compactAuto(Bytes bytes, SymbolShape& shape);

}  // namespace stelcode

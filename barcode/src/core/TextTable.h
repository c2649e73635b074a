#pragma once
// The text-compaction table: each printable ASCII character with its sub-mode
// letter (A alpha, B lower, C mixed, D punctuation) and value.
#include <string>
#include <string_view>
#include <vector>

namespace stelcode {

// 190 strings: pair i has its character at 2i and its code (such as "C26") at 2i+1.
using TextTable = std::vector<std::string>;

inline constexpr int kTextTablePairs = 95;

TextTable buildTextTable();

// Index of the pair among the first `length` pairs whose character is exactly c,
// or -1. A length beyond the table is limited to the table.
int findChar(const TextTable& table, int length, std::string_view c);

}  // namespace stelcode

#pragma once
// Splitting of the control's stored text constants.
#include <string>
#include <string_view>
#include <vector>

namespace stelcode {

// Splits at every occurrence of sep (which must not be empty).
std::vector<std::string> splitText(std::string_view text, std::string_view sep);

// Joins the pieces of a nullptr-terminated array end to end.
std::string joinPieces(const char* const* pieces);

// Reads a comma-separated list of numbers; items may carry the "&H" hex prefix.
std::vector<int> parseNumberList(std::string_view text);

}  // namespace stelcode

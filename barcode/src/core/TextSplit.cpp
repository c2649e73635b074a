#include "TextSplit.h"

#include <charconv>

namespace stelcode {

std::vector<std::string> splitText(std::string_view text, std::string_view sep)
{
    std::vector<std::string> parts;
    size_t from = 0;
    for (size_t at; (at = text.find(sep, from)) != std::string_view::npos; from = at + sep.size())
        parts.emplace_back(text.substr(from, at - from));
    parts.emplace_back(text.substr(from));
    return parts;
}

std::string joinPieces(const char* const* pieces)
{
    std::string all;
    for (; *pieces; ++pieces)
        all += *pieces;
    return all;
}

std::vector<int> parseNumberList(std::string_view text)
{
    std::vector<int> values;
    for (const std::string& item : splitText(text, ",")) {
        std::string_view digits = item;
        int base = 10;
        if (digits.size() > 2 && (digits.substr(0, 2) == "&H" || digits.substr(0, 2) == "&h")) {
            digits.remove_prefix(2);
            base = 16;
        }
        int value = 0;
        std::from_chars(digits.data(), digits.data() + digits.size(), value, base);
        values.push_back(value);
    }
    return values;
}

}  // namespace stelcode

#pragma once
// UTF-8 text to the single bytes of the Windows-1252 code page.
#include <cstdint>
#include <string>
#include <string_view>

namespace stelcode {

// Code points of a UTF-8 text; a byte that starts no valid sequence gives U+FFFD.
std::u32string decodeUtf8(std::string_view utf8);

// The Windows-1252 byte of a code point, or -1 when it has none. U+FFFD has none.
int windows1252Byte(char32_t c);

// The code point of a Windows-1252 byte (the five unassigned bytes map to themselves).
char32_t fromWindows1252(uint8_t b);

}  // namespace stelcode

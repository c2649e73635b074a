#pragma once
// Stelcode's PDF417 encoder without any widget toolkit.
//
//   stelcode::EncodeOptions options;          // byte mode, 10 columns, level 0
//   options.mode = stelcode::Mode::Text;
//   auto result = stelcode::encodeText("This is a test", options);
//   if (!result) { puts(result.reason.c_str()); return; }
//   const stelcode::BitMatrix& m = result.symbol->matrix;   // one bit a module
//
// Texts are UTF-8 and travel as Windows-1252 bytes: a character without a
// Windows-1252 code becomes byte 0, and text compaction drops what its table
// lacks; each such character is listed in EncodeResult::unencoded. Raw bytes
// (encodeBytes) are taken as they are. The code tables are built once per
// process, on first use; encoding is safe from several threads at once.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace stelcode {

enum class Mode : int {
    Byte = 0,     // every byte, six bytes to five codewords
    Text = 1,     // printable ASCII, two characters a codeword
    Numeric = 2,  // digits only
    Auto = 3,     // switches between text, byte and numeric for the fewest codewords
};

// ecLevel value asking for the level recommended for the data size.
inline constexpr int kAutoLevel = -1;

struct EncodeOptions
{
    Mode mode = Mode::Byte;
    int columns = 10;  // data columns, 1 to 30
    int ecLevel = 0;   // 0 to 8, or kAutoLevel
    int minRows = 0;   // the symbol has at least this many rows (at most 90)
};

enum class EncodeError {
    None,
    BadOptions,  // columns, level, rows or mode out of range
    NotNumeric,  // numeric mode with a character other than 0 to 9
    TooLarge,    // more than 90 rows or 928 codewords
};

// One bit a module: width() = 17 x columns + 69 modules, height() = rows.
class BitMatrix
{
public:
    BitMatrix() = default;
    BitMatrix(int width, int height);
    int width() const { return m_width; }
    int height() const { return m_height; }
    int bytesPerRow() const { return (m_width + 7) / 8; }
    // Row y, most significant bit of the first byte = leftmost module.
    const uint8_t* row(int y) const
    {
        return m_bits.data() + static_cast<size_t>(y) * bytesPerRow();
    }
    uint8_t* row(int y) { return m_bits.data() + static_cast<size_t>(y) * bytesPerRow(); }
    bool get(int x, int y) const { return (row(y)[x >> 3] >> (7 - (x & 7))) & 1; }
    void set(int x, int y) { row(y)[x >> 3] |= static_cast<uint8_t>(0x80 >> (x & 7)); }

private:
    int m_width = 0;
    int m_height = 0;
    std::vector<uint8_t> m_bits;
};

struct Symbol
{
    // rows x columns codewords: length descriptor, data, pads 900, check codewords.
    std::vector<int16_t> codewords;
    int columns = 0;
    int rows = 0;
    int ecLevel = 0;        // the level used (the chosen one for kAutoLevel)
    int dataCodewords = 0;  // descriptor and data, without pads and checks
    BitMatrix matrix;
};

// A character of the text that the symbol does not carry as it was.
struct Unencoded
{
    size_t index = 0;        // character index in the text (not byte offset)
    char32_t character = 0;  // U+FFFD for a byte that is not valid UTF-8
    bool replaced = false;   // true: carried as byte 0; false: dropped
};

struct EncodeResult
{
    std::optional<Symbol> symbol;
    EncodeError error = EncodeError::None;
    std::string reason;                // English, empty on success
    std::vector<Unencoded> unencoded;  // encodeText only
    explicit operator bool() const { return symbol.has_value(); }
};

EncodeResult encodeBytes(std::span<const uint8_t> bytes, const EncodeOptions& options);
EncodeResult encodeText(std::string_view utf8, const EncodeOptions& options);

// UTF-8 to Windows-1252 bytes, one byte a character; unencodable characters
// become 0 and are listed in `replaced` when given.
std::vector<uint8_t> toWindows1252(
    std::string_view utf8, std::vector<Unencoded>* replaced = nullptr);

// The module matrix of a complete codeword list (rows x columns long).
BitMatrix symbolMatrix(std::span<const int16_t> codewords, int rows, int columns, int ecLevel);

// The level recommended for this many data codewords (descriptor included).
int recommendedLevel(int dataCodewords);

const char* version();

}  // namespace stelcode

#include "TextTable.h"

#include "TextSplit.h"

#include <algorithm>

namespace stelcode {

namespace {
// Characters 32 to 126 in ascending order, each followed by its code, all
// separated by "ü". A space is always taken from the mixed sub-mode.
constexpr const char* kTextPairs
    = " üC26ü!üD10ü\"üD20ü#üC15ü$üC18ü%üC21ü&üC10ü'üD28ü(üD23ü)üD24ü*üC22ü+üC20ü"
      ",üC13ü-üC16ü.üC17ü/üC19ü0üC0ü1üC1ü2üC2ü3üC3ü4üC4ü5üC5ü6üC6ü7üC7ü"
      "8üC8ü9üC9ü:üC14ü;üD0ü<üD1ü=üC23ü>üD2ü?üD25ü@üD3üAüA0üBüA1üCüA2ü"
      "DüA3üEüA4üFüA5üGüA6üHüA7üIüA8üJüA9üKüA10üLüA11üMüA12üNüA13üOüA14ü"
      "PüA15üQüA16üRüA17üSüA18üTüA19üUüA20üVüA21üWüA22üXüA23üYüA24üZüA25ü[üD4ü"
      "\\üD5ü]üD6ü^üC24ü_üD7ü`üD8üaüB0übüB1ücüB2üdüB3üeüB4üfüB5ügüB6ü"
      "hüB7üiüB8üjüB9üküB10ülüB11ümüB12ünüB13üoüB14üpüB15üqüB16ürüB17üsüB18ü"
      "tüB19üuüB20üvüB21üwüB22üxüB23üyüB24üzüB25ü{üD26ü|üD21ü}üD27ü~üD9";
}  // namespace

TextTable buildTextTable()
{
    return splitText(kTextPairs, "ü");
}

int findChar(const TextTable& table, int length, std::string_view c)
{
    const int pairs = std::min<int>(length, static_cast<int>(table.size() / 2));
    for (int i = 0; i < pairs; ++i)
        if (table[2 * i] == c)
            return i;
    return -1;
}

}  // namespace stelcode

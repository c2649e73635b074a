#include "shell/Windows1252.h"

#include <algorithm>
#include <iterator>

namespace Windows1252 {

namespace {

// 0x80..0x9F differ from Latin-1; unassigned codes keep their Latin-1 value.
constexpr char16_t Tabla80[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030,
    0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

} // namespace

QString ATexto(const QByteArray& bytes)
{
    QString texto;
    texto.reserve(bytes.size());
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        texto.append(b >= 0x80 && b <= 0x9F ? QChar(Tabla80[b - 0x80]) : QChar(b));
    }
    return texto;
}

bool Representable(char16_t c)
{
    return c < 0x100 || std::find(std::begin(Tabla80), std::end(Tabla80), c) != std::end(Tabla80);
}

} // namespace Windows1252

#include "AnsiCodePage.h"

namespace stelcode {

namespace {
// Windows-1252 bytes 0x80..0x9F; the five unassigned bytes map to themselves.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char toAnsi(char16_t u)
{
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return static_cast<char>(u);
    for (int i = 0; i < 32; ++i)
        if (kHighControls[i] == u)
            return static_cast<char>(0x80 + i);
    return 0;
}
}  // namespace

QByteArray toAnsiBytes(const QString& text)
{
    QByteArray bytes(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        bytes[i] = toAnsi(text[i].unicode());
    return bytes;
}

QString fromAnsiBytes(const QByteArray& bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<uint8_t>(bytes[i]);
        text[i] = QChar(b >= 0x80 && b < 0xA0 ? kHighControls[b - 0x80] : char16_t(b));
    }
    return text;
}

}  // namespace stelcode

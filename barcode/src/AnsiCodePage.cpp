#include "AnsiCodePage.h"

#include "core/Windows1252.h"

namespace stelcode {

QByteArray toAnsiBytes(const QString& text)
{
    QByteArray bytes(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int b = windows1252Byte(text[i].unicode());
        bytes[i] = static_cast<char>(b < 0 ? 0 : b);
    }
    return bytes;
}

QString fromAnsiBytes(const QByteArray& bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i)
        text[i] = QChar(static_cast<char16_t>(fromWindows1252(static_cast<uint8_t>(bytes[i]))));
    return text;
}

}  // namespace stelcode

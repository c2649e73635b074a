#pragma once
// Conversion of the control's text to the single bytes it encodes.
#include <QByteArray>
#include <QString>

namespace stelcode {

// One byte per UTF-16 unit, in the Windows-1252 code page (Latin-1 plus the
// typographic characters at 0x80-0x9F). A character without a code becomes 0.
QByteArray toAnsiBytes(const QString& text);

// The inverse, for showing what a symbol carries.
QString fromAnsiBytes(const QByteArray& bytes);

}  // namespace stelcode

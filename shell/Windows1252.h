#pragma once
// Windows-1252, the single-byte code page of the shipped text files and of the
// user file's upper-casing rule: the program's one table of it. (Stelcode keeps
// its own, since it links nothing of the program.)
#include <QByteArray>
#include <QString>

namespace Windows1252 {

// Windows-1252 bytes to text, one character per byte.
QString ATexto(const QByteArray& bytes);

// True when the character has a code in Windows-1252 (the five codes the page
// leaves unassigned count as their Latin-1 selves).
bool Representable(char16_t c);

} // namespace Windows1252

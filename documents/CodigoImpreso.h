#pragma once
// The barcode of the printed copy: whether the payload fits in a symbol, how
// large the bitmap must be, and the reading back of the bitmap before printing.
#include "shell/Resultado.h"

#include <QByteArray>
#include <QSize>
#include <QString>
#include <QStringList>

class Stelcodex;

namespace CodigoImpreso {

// The bytes the symbol carries for a substituted payload: text compaction keeps
// only the printable ASCII characters 32 to 126.
QByteArray BytesCodificados(const QString& datos);

// Names, in form order, of the payload fields that must be shortened for the
// control (set up as for printing) to hold the payload in one symbol; empty when
// it already fits. The control's text is left as it was.
QStringList CamposDemasiadoLargos(Stelcodex& control, const QString& datos);

// The control's size in pixels for its current symbol: at least `minimo`, and
// enough for the symbol with quiet zones as wide as its margins on every side.
QSize TamanoParaSimbolo(const Stelcodex& control, QSize minimo);

// Reads the PDF417 symbol of the bitmap file back and compares its bytes with
// `esperado`: fails, saying why in Spanish, when they do not match.
Resultado Comprobar(const QString& rutaBmp, const QByteArray& esperado);

// The bitmap of the control's current symbol as BMP file bytes: two colours,
// bars black and spaces white. Its recorded resolution keeps it within `caja`
// pixels at 96 dpi on paper: a larger symbol is printed smaller, within the
// room the page has for it. Empty when it cannot be made.
QByteArray BmpEnBlancoYNegro(Stelcodex& control, QSize caja);

} // namespace CodigoImpreso

#pragma once
// The barcode bitmap of a printed copy, rendered by the form's barcode control.
// ModWord continues in ModWord.h and CamposDocumento.h.
#include "shell/Resultado.h"

#include <QDateTime>
#include <QString>

class Stelcodex;

namespace ModWord {

// Configures the barcode control, writes the symbol of datos (substituted in
// place) as an owner-only bitmap into strRutaTemp and returns its path without
// ".bmp". ancho and alto are in twips; alto receives the enlarged height asked
// for; a symbol that needs more room gets it. The bars are black on white. The
// bitmap is read back before it is returned. Fails, saying why and with its
// number, when there is no control, the payload does not fit in a symbol
// (ErrorDatosDemasiadoLargos), the bitmap cannot be drawn or written, or it does
// not read back as the payload (ErrorCodigoIlegible); nothing is left behind.
// The file is new and unique to this print (another copy printing in the same
// second gets its own). With `retenido` its descriptor comes back, locked so
// that no start-up cleaner takes it: close it once the file is removed.
ResultadoCon<QString> GenerarBmpCodigo(
    QString& datos, Stelcodex* control, qint16 ancho, qint16& alto, int* retenido = nullptr);
constexpr int ErrorDatosDemasiadoLargos = 1001;
constexpr int ErrorCodigoIlegible = 1002;

// The form's unit is the twip; the barcode control is sized in pixels at 96 dpi.
int TwipsAPixeles(int twips);

// The height the barcode control gets for a requested height: × 1.3, halves to even.
qint16 AltoAmpliado(qint16 alto);

// Bitmap path without extension: carpeta + date "yyyyMMdd" + time "HHmmss" and
// the minute again, sixteen digits in all.
QString NombreBmp(const QString& carpeta, const QDateTime& momento);

// The bitmap path of one print: hidden, the name of NombreBmp and six random
// letters or digits (carpeta + "." + stamp + "-" + XXXXXX).
QString NombreBmpUnico(const QString& carpeta, const QDateTime& momento);
// Wildcard matching NombreBmpUnico's files, for the start-up cleaner.
QString PatronBmp();

} // namespace ModWord

#pragma once
// The program's use of the word processor: the version probe, the document
// writer (save and print an application) and the reader (load a stored one).
#include <QString>

class frmSolicitudes;
class frmProgresoGeneral;
class Stelcodex;

namespace ModWord {

// Major version of the word processor, 0 when it cannot be read.
qint16 VersionWord();

// Configures the barcode control, writes the symbol of datos (substituted in
// place) as an owner-only bitmap into strRutaTemp and returns its path without
// ".bmp". ancho and alto are in twips; alto receives the enlarged height asked
// for; a symbol that needs more room gets it. The bars are black on white. The
// bitmap is read back before it is returned. Throws ErrorEjecucion, with a
// Spanish description, when the payload does not fit in a symbol, the bitmap
// cannot be written, or it does not read back as the payload.
QString GenerarBmpCodigo(QString& datos, Stelcodex* control, qint16 ancho, qint16& alto);
constexpr int ErrorDatosDemasiadoLargos = 1001;
constexpr int ErrorCodigoIlegible = 1002;

// Document writer, for a word processor of major version 8 or lower (W97) or
// higher (WXP). Writes carpeta + fichero from the form and, when imprimir is
// true, prints a copy with the barcode. Failures it does not handle itself
// propagate as exceptions (Word::Error or ErrorEjecucion).
void GenerarDocumentoW97(const QString& fichero, const QString& carpeta, frmSolicitudes* formulario,
                         frmProgresoGeneral* progreso, Stelcodex* codigo, bool imprimir, bool segundo);
void GenerarDocumentoWXP(const QString& fichero, const QString& carpeta, frmSolicitudes* formulario,
                         frmProgresoGeneral* progreso, Stelcodex* codigo, bool imprimir, bool segundo);

// True when the last read had to start the word processor itself.
extern bool blnWordIniciado;

// Reads the stored application carpeta + fichero into the form's controls,
// except the DNI, which stays the form's (the signed-in one). False, with the
// user told why and the file untouched, when the file cannot be read (missing,
// unreadable, damaged, Word's old binary format) or holds another DNI's
// application; the form may then hold part of the values.
bool RecuperarSolicitud(const QString& fichero, const QString& carpeta, frmSolicitudes* formulario);

} // namespace ModWord

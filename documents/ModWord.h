#pragma once
// The program's use of the word processor: the version probe, the document
// writer (save and print an application) and the reader (load a stored one).
// ModWord continues in BmpCodigo.h (the barcode bitmap) and CamposDocumento.h.
// The writer and reader see the form as a FormularioDocumento.
#include "shell/Resultado.h"

#include <QString>

#include <functional>
#include <optional>
#include <utility>

class FormularioDocumento;
class Stelcodex;

namespace ModWord {

// Major version of the word processor, 0 when it cannot be read or reached.
qint16 VersionWord();

// How far the writer or reader has got, told as it goes; empty members are skipped.
struct Avance {
    std::function<void(int)> total; // the number of steps of the whole write or read
    std::function<void()> paso;     // one more step done
    std::function<void()> fin;      // everything done
};

// The writer's steps: one for each of the form's controls, one for storing the
// application and, when printing, one for the printed copy.
int PasosEscritura(const FormularioDocumento& formulario, bool imprimir);

// What the writer did: stored the application or, failing, why not (then
// nothing else happened and the fields below are empty); and, when printing,
// what became of the copy.
struct Escrito : Resultado {
    bool impreso = false;                  // a copy went to print
    QString pdf;                           // with no printer, the PDF the copy was written to
    QString sinCodigo;                     // why no copy was printed: the barcode could not be put on it
    std::optional<QString> falloImpresion; // why printing the copy failed
    QString fichero;                       // the name the application was stored under

    Escrito() = default;
    Escrito(Resultado fallo) : Resultado(std::move(fallo)) { }
};

// Document writer, for a word processor of major version 8 or lower (W97) or
// higher (WXP). Writes carpeta + fichero from the form and, when imprimir is
// true, prints a copy with the barcode. Its failures, the word processor's
// among them, come back in the result; no instance is left running behind
// one. With nombreNuevo (a new application's first write) the file is created
// only under a name no file has: fichero when it is free, else the next free
// one (NombreNuevo); Escrito::fichero tells which. Nothing empty ever stands
// under the name.
Escrito GenerarDocumentoW97(const QString& fichero, const QString& carpeta, FormularioDocumento* formulario,
    const Avance& avance, Stelcodex* codigo, bool imprimir, bool segundo, bool nombreNuevo = false);
Escrito GenerarDocumentoWXP(const QString& fichero, const QString& carpeta, FormularioDocumento* formulario,
    const Avance& avance, Stelcodex* codigo, bool imprimir, bool segundo, bool nombreNuevo = false);

// True when the last read had to start the word processor itself.
extern bool blnWordIniciado;

// Reads the stored application carpeta + fichero into the form's controls,
// except the DNI, which stays the form's (the signed-in one), and tells avance
// how far it has got (the total once the file looks readable, then one step a
// control). Fails, saying why, with the file untouched, when the file cannot be
// read (missing, unreadable, damaged, Word's old binary format), holds another
// DNI's application or the word processor fails; the form may then hold part
// of the values. Shows nothing: the read workflow (form/LecturaSolicitud.h) does.
Resultado RecuperarSolicitud(
    const QString& fichero, const QString& carpeta, FormularioDocumento* formulario, const Avance& avance = {});

} // namespace ModWord

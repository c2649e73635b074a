#pragma once
// Writing and printing an application, as the form's menu and close prompt run
// it: the name a new application takes for good, the template chosen by the
// word processor's version, the busy window, and the message that reports a
// failed write. The window calls it; it knows nothing of the menu.
#include "documents/ModWord.h"

#include <QString>

class FormularioDocumento;
class frmProgresoGeneral;
class Stelcodex;

namespace EscrituraSolicitud {

using Escritor = decltype(&ModWord::GenerarDocumentoW97);

// Runs the writer with the busy window's bar (none: nullptr) following it, then
// tells the user what became of the printed copy (why it was not printed, or
// that it is printing and, without a printer, the PDF it went to) and, once a
// copy went to print, disables the form's write commands. A failed write is
// the caller's to report (nothing is shown). With nombreNuevo the application
// is created under a name no file has (see the writer); the result tells which.
ModWord::Escrito Generar(Escritor escritor, const QString& fichero, const QString& carpeta,
    FormularioDocumento& formulario, frmProgresoGeneral* progreso, Stelcodex* codigo, bool imprimir, bool segundo,
    bool nombreNuevo = false);

// Whether the older template (PlantillaW97) serves a word processor of the
// given version text: major version 8 or lower, or no version at all.
bool PlantillaAntigua(const QString& versionWord);

// Writes the application into strRutaTemp + fichero (and prints it when
// imprimir is true) behind a busy window showing accion. With reservar (a new
// application's first write) the name is taken by that write, only if no file
// has it, else the next free name; fichero then comes back as the name taken. False, with the user told why, when
// nothing was written: the data stay in the form and a stored file is as it was.
bool Escribir(FormularioDocumento& formulario, Stelcodex* codigo, QString& fichero, bool reservar,
    const QString& accion, bool imprimir, bool segundo);

} // namespace EscrituraSolicitud

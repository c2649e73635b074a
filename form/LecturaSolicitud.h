#pragma once
// Reading a stored application into the form, as start-up runs it: the busy
// window following the reader, the message that reports a failed read and the
// form's write commands enabled once the application is read. The counterpart
// of EscrituraSolicitud.h; the reader itself (ModWord) shows nothing.
#include <QString>

class FormularioDocumento;

namespace LecturaSolicitud {

// Reads carpeta + fichero into the form behind a busy window. False, with the
// user told why, when the application could not be read: the stored file is
// untouched, and the caller must not keep the form on it.
bool Leer(const QString& fichero, const QString& carpeta, FormularioDocumento& formulario);

} // namespace LecturaSolicitud

#pragma once
// The one way the program writes a file. The target is either left as it was or
// replaced whole: the bytes go to a new owner-only file beside it, every write and
// the flush are checked, the file is synced, renamed over the target and the
// folder synced. A failure removes the temporary file and says why.
#include <QByteArray>
#include <QString>

struct ResultadoEscritura {
    int error = 0; // errno of the step that failed, 0 on success
    QString paso;  // which step failed ("crear", "escribir", ...), for logs and tests
    explicit operator bool() const { return error == 0; }
    // Why the file could not be written, in Spanish, for a message to the user.
    QString motivo() const;
};

// Writes `datos` as the whole content of `ruta` with the given mode (owner-only by
// default). A symbolic link at `ruta` is never followed nor replaced: that is ELOOP.
ResultadoEscritura EscribirFicheroSeguro(const QString& ruta, const QByteArray& datos, unsigned modo = 0600);

// Creates `ruta` empty and owner-only only if no file of that name exists yet, so
// two running copies never take the same new name. False when it exists or fails.
ResultadoEscritura ReservarNombre(const QString& ruta);

// Removes the temporary files that a killed run left in `carpeta`. A file that
// another running copy is still writing is left alone. Returns how many went.
int LimpiarTemporales(const QString& carpeta);

// Spanish reason for an errno value, as ResultadoEscritura::motivo gives it.
QString MotivoError(int error);

#pragma once
// The one way the program writes a file. The target is either left as it was or
// replaced whole: the bytes go to a new owner-only file beside it, every write and
// the flush are checked, the file is synced, renamed over the target and the
// folder synced. The rename is the commit: a folder that cannot be synced after
// it is logged, not reported. A failure removes the temporary file and says why.
// Beside it, the start-up cleaner of those temporary files and the safe way to
// read a file from outside: never waiting on a FIFO, and with a size limit.
#include "shell/Resultado.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// The program's result value for a file step: the errno and the step besides.
struct ResultadoEscritura {
    int error = 0; // errno of the step that failed, 0 on success
    QString paso;  // which step failed ("crear", "escribir", ...), for logs and tests
    explicit operator bool() const { return error == 0; }
    // Why the file could not be written, in Spanish, for a message to the user.
    QString motivo() const;
    // As the common result value: the reason, and the errno as its number.
    operator Resultado() const { return *this ? Resultado::Correcto() : Resultado::Fallo(motivo(), error); }
};

// Writes `datos` as the whole content of `ruta` with the given mode (owner-only by
// default). A symbolic link at `ruta` is never followed nor replaced: that is ELOOP.
ResultadoEscritura EscribirFicheroSeguro(const QString& ruta, const QByteArray& datos, unsigned modo = 0600);

// The same for a name that must be new: `ruta` is taken only if no file (nor
// link) of that name exists, else EEXIST and nothing is left behind. The name
// never stands empty: it appears with the whole content, so two running copies
// never take the same name. With `retenido`, the new file's descriptor comes
// back still locked (the cleaner leaves it alone until the caller closes it).
ResultadoEscritura EscribirFicheroNuevo(
    const QString& ruta, const QByteArray& datos, unsigned modo = 0600, int* retenido = nullptr);

// Removes the temporary files that a killed run left in `carpeta`: hidden
// ".<name>.part-XXXXXX" files, regular ones only, each only once its lock proves
// that no running copy writes it. Never a file with a visible name. Returns how
// many went. `patrones` (wildcards of hidden names) adds other files that their
// writer keeps locked while it needs them.
int LimpiarTemporales(const QString& carpeta);
int LimpiarTemporales(const QString& carpeta, const QStringList& patrones);

// Opens a file to read without blocking on it (a FIFO, a device): -errno when
// it cannot be opened or is not a regular file (ENODEV); else a descriptor in
// blocking mode, and the file's size in `tamano`.
int AbrirParaLeer(const QString& ruta, qint64* tamano = nullptr);

// The whole of a regular file, refused (EFBIG) above `limite` bytes before any
// memory is taken. 0 or the errno of the step that failed.
int LeerFicheroRegular(const QString& ruta, qint64 limite, QByteArray& bytes);

// Spanish reason for an errno value, as ResultadoEscritura::motivo gives it.
QString MotivoError(int error);

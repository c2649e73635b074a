#pragma once
// File-level pieces of the user store: what identifies a version of the file on
// disk, reading it with the reason of a failure, and the lock that running
// copies take before they change it.
#include <QByteArray>
#include <QString>

#include <cstdint>
#include <ctime>

namespace Validacion {

// Identity of the file as on disk. A write by another copy renames a new file
// over it, so inode, size or times change.
struct Firma {
    bool existe = false;
    uint64_t dispositivo = 0, nodo = 0;
    int64_t tamano = 0;
    timespec modificado{}, cambiado{};
    bool operator==(const Firma& o) const;
};

Firma FirmaDe(const QString& ruta);

// Largest user file read: far beyond any real one (a registration takes about
// 170 bytes), so that memory is never taken for a file that is not one.
constexpr qint64 TamanoMaximo = 64ll * 1024 * 1024;

// The whole file. error is 0 on success, ENOENT when it does not exist, or the
// errno of the step that failed (then the file exists but cannot be read):
// ENODEV for a FIFO or device (never waited on), EFBIG above TamanoMaximo.
struct Lectura {
    QByteArray bytes;
    Firma firma;
    int error = 0;
};
Lectura LeerFichero(const QString& ruta);

// Why a file cannot be read, in Spanish.
QString MotivoLectura(int error);

// Exclusive lock on ".<file>.lock" beside the file, held while it lives. Waits at
// most `esperaMs` for another copy to let go.
class Bloqueo {
public:
    Bloqueo(const QString& rutaFichero, int esperaMs);
    ~Bloqueo();
    Bloqueo(const Bloqueo&) = delete;
    Bloqueo& operator=(const Bloqueo&) = delete;

    bool tomado() const { return fd_ >= 0 && error_ == 0; }
    // Why it was not taken, in Spanish, naming the file.
    QString motivo() const;

private:
    QString ruta_;
    int fd_ = -1;
    int error_ = 0;
};

} // namespace Validacion

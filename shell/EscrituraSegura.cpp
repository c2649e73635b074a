#include "shell/EscrituraSegura.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Temporary files are named ".<target>.part-XXXXXX" so that the start-up cleaner
// recognises them and a folder listing never shows them as applications.
const char* const MarcaTemporal = ".part-";

ResultadoEscritura fallo(int error, const char* paso)
{
    ResultadoEscritura r;
    r.error = error != 0 ? error : EIO;
    r.paso = QString::fromLatin1(paso);
    return r;
}

bool escribirTodo(int fd, const char* datos, qsizetype longitud)
{
    while (longitud > 0) {
        const ssize_t n = ::write(fd, datos, static_cast<size_t>(longitud));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0) { // a write that makes no progress would loop for ever
            errno = EIO;
            return false;
        }
        datos += n;
        longitud -= n;
    }
    return true;
}

bool sincronizarCarpeta(const QByteArray& carpeta)
{
    const int fd = ::open(carpeta.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool bien = ::fsync(fd) == 0 || errno == EINVAL; // some file systems cannot sync folders
    const int guardado = errno;
    ::close(fd);
    errno = guardado;
    return bien;
}

bool esEnlace(const QByteArray& ruta)
{
    struct stat st { };
    return ::lstat(ruta.constData(), &st) == 0 && S_ISLNK(st.st_mode);
}

} // namespace

QString MotivoError(int error)
{
    switch (error) {
    case 0:
        return {};
    case ENOSPC:
        return QStringLiteral("no queda espacio libre en el disco");
    case EDQUOT:
        return QStringLiteral("se ha superado la cuota de disco del usuario");
    case EFBIG:
        return QStringLiteral("el archivo supera el tamaño máximo permitido");
    case EACCES:
    case EPERM:
        return QStringLiteral("no hay permiso para escribir en la carpeta");
    case EROFS:
        return QStringLiteral("el disco es de solo lectura");
    case EIO:
        return QStringLiteral("error de lectura o escritura en el disco");
    case ELOOP:
        return QStringLiteral("el destino es un enlace simbólico");
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("la carpeta no existe");
    case EEXIST:
        return QStringLiteral("ya existe un archivo con ese nombre");
    case EISDIR:
        return QStringLiteral("el destino es una carpeta");
    case ENODEV:
        return QStringLiteral("no es un fichero normal");
    case ENOMEM:
        return QStringLiteral("no hay memoria suficiente");
    default:
        return QString::fromLocal8Bit(std::strerror(error));
    }
}

QString ResultadoEscritura::motivo() const { return MotivoError(error); }

namespace {

// Takes `destino` with the finished temporary file: replacing it, or only when
// no file of that name exists (where the file system lacks RENAME_NOREPLACE, a
// link, which fails on an existing name, then the temporary name goes).
bool renombrar(const QByteArray& temporal, const QByteArray& destino, bool nuevo)
{
    if (!nuevo)
        return ::rename(temporal.constData(), destino.constData()) == 0;
    if (::renameat2(AT_FDCWD, temporal.constData(), AT_FDCWD, destino.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP)
        return false;
    if (::link(temporal.constData(), destino.constData()) != 0)
        return false;
    ::unlink(temporal.constData()); // a leftover name of it is the cleaner's
    return true;
}

ResultadoEscritura escribir(const QString& ruta, const QByteArray& datos, unsigned modo, bool nuevo, int* retenido)
{
    const QFileInfo info(ruta);
    const QByteArray destino = QFile::encodeName(info.absoluteFilePath());
    const QByteArray carpeta = QFile::encodeName(info.absolutePath());
    if (!nuevo && esEnlace(destino))
        return fallo(ELOOP, "enlace");

    const QByteArray base = carpeta + '/' + '.' + QFile::encodeName(info.fileName()) + MarcaTemporal + "XXXXXX";
    QByteArray plantilla;
    int fd = -1;
    // Held from creation to rename, so a cleaner in another running copy leaves
    // this file alone. One that took it between creation and lock has removed
    // it: start again with a new one.
    for (int intento = 0; fd < 0; ++intento) {
        plantilla = base;
        fd = ::mkostemp(plantilla.data(), O_CLOEXEC); // O_EXCL, mode 0600
        if (fd < 0)
            return fallo(errno, "crear");
        int r;
        while ((r = ::flock(fd, LOCK_EX)) != 0 && errno == EINTR) { }
        struct stat st { };
        if (r != 0 || ::fstat(fd, &st) != 0) {
            const int error = errno;
            ::close(fd);
            ::unlink(plantilla.constData());
            return fallo(error, "bloquear");
        }
        if (st.st_nlink == 0) {
            ::close(fd);
            fd = -1;
            if (intento == 10)
                return fallo(EAGAIN, "bloquear");
        }
    }

    auto abandonar = [&](int error, const char* paso) {
        ::unlink(plantilla.constData());
        ::close(fd);
        return fallo(error, paso);
    };
    if (modo != 0600 && ::fchmod(fd, modo) != 0)
        return abandonar(errno, "permisos");
    if (!escribirTodo(fd, datos.constData(), datos.size()))
        return abandonar(errno, "escribir");
    if (::fsync(fd) != 0)
        return abandonar(errno, "sincronizar");
    if (!nuevo && esEnlace(destino)) // appeared while writing
        return abandonar(ELOOP, "enlace");
    if (!renombrar(plantilla, destino, nuevo))
        return abandonar(errno, "renombrar");

    // Committed: the bytes are synced and in place under their name.
    if (retenido)
        *retenido = fd;
    else if (::close(fd) != 0)
        qWarning("%s: cerrar tras guardar: %s", destino.constData(), std::strerror(errno));
    if (!sincronizarCarpeta(carpeta)) // the new name may not survive a power cut; the file is saved
        qWarning("%s: sincronizar la carpeta: %s", carpeta.constData(), std::strerror(errno));
    return {};
}

bool mismoFichero(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

} // namespace

ResultadoEscritura EscribirFicheroSeguro(const QString& ruta, const QByteArray& datos, unsigned modo)
{
    return escribir(ruta, datos, modo, false, nullptr);
}

ResultadoEscritura EscribirFicheroNuevo(const QString& ruta, const QByteArray& datos, unsigned modo, int* retenido)
{
    return escribir(ruta, datos, modo, true, retenido);
}

int LimpiarTemporales(const QString& carpeta) { return LimpiarTemporales(carpeta, {}); }

int LimpiarTemporales(const QString& carpeta, const QStringList& patrones)
{
    int quitados = 0;
    const QDir dir(carpeta);
    const QStringList nombres = dir.entryList(
        QStringList{QStringLiteral(".*") + QLatin1String(MarcaTemporal) + QStringLiteral("??????")} + patrones,
        QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& nombre : nombres) {
        if (!nombre.startsWith(QLatin1Char('.')))
            continue; // never a name the user sees
        const QByteArray ruta = QFile::encodeName(dir.absoluteFilePath(nombre));
        const int fd = ::open(ruta.constData(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat abierto {
        }, ahora{};
        // A regular file no running copy holds, still under that name.
        if (::fstat(fd, &abierto) == 0 && S_ISREG(abierto.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0
            && ::lstat(ruta.constData(), &ahora) == 0 && mismoFichero(abierto, ahora)
            && ::unlink(ruta.constData()) == 0)
            ++quitados;
        ::close(fd);
    }
    return quitados;
}

int AbrirParaLeer(const QString& ruta, qint64* tamano)
{
    const int fd = ::open(QFile::encodeName(ruta).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return -errno;
    struct stat st { };
    int error = ::fstat(fd, &st) != 0 ? errno : 0;
    if (error == 0 && !S_ISREG(st.st_mode))
        error = S_ISDIR(st.st_mode) ? EISDIR : ENODEV;
    if (error != 0) {
        ::close(fd);
        return -error;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (tamano)
        *tamano = st.st_size;
    return fd;
}

int LeerFicheroRegular(const QString& ruta, qint64 limite, QByteArray& bytes)
{
    bytes.clear();
    qint64 tamano = 0;
    const int fd = AbrirParaLeer(ruta, &tamano);
    if (fd < 0)
        return -fd;
    int error = 0;
    if (tamano > limite) {
        error = EFBIG;
    } else {
        try {
            bytes.resize(qsizetype(tamano));
            qsizetype leido = 0;
            for (;;) {
                if (leido == bytes.size()) {
                    if (leido >= limite + 1)
                        break; // grew past the limit since fstat
                    bytes.resize(qsizetype(std::min<qint64>(limite + 1, leido + 65536)));
                }
                const ssize_t n = ::read(fd, bytes.data() + leido, size_t(bytes.size() - leido));
                if (n < 0 && errno == EINTR)
                    continue;
                if (n < 0) {
                    error = errno;
                    break;
                }
                if (n == 0)
                    break;
                leido += n;
            }
            if (error == 0 && leido > limite)
                error = EFBIG;
            if (error == 0)
                bytes.truncate(leido);
        } catch (const std::bad_alloc&) {
            error = ENOMEM;
        }
    }
    if (error != 0)
        bytes = QByteArray();
    ::close(fd);
    return error;
}

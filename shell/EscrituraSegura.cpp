#include "shell/EscrituraSegura.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
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
    default:
        return QString::fromLocal8Bit(std::strerror(error));
    }
}

QString ResultadoEscritura::motivo() const { return MotivoError(error); }

ResultadoEscritura EscribirFicheroSeguro(const QString& ruta, const QByteArray& datos, unsigned modo)
{
    const QFileInfo info(ruta);
    const QByteArray destino = QFile::encodeName(info.absoluteFilePath());
    const QByteArray carpeta = QFile::encodeName(info.absolutePath());
    if (esEnlace(destino))
        return fallo(ELOOP, "enlace");

    QByteArray plantilla = carpeta + '/' + '.' + QFile::encodeName(info.fileName()) + MarcaTemporal + "XXXXXX";
    const int fd = ::mkostemp(plantilla.data(), O_CLOEXEC); // O_EXCL, mode 0600
    if (fd < 0)
        return fallo(errno, "crear");
    // Held while writing, so a cleaner in another running copy leaves this file alone.
    ::flock(fd, LOCK_EX | LOCK_NB);

    auto abandonar = [&](const char* paso) {
        const int error = errno;
        ::close(fd);
        ::unlink(plantilla.constData());
        return fallo(error, paso);
    };
    if (modo != 0600 && ::fchmod(fd, modo) != 0)
        return abandonar("permisos");
    if (!escribirTodo(fd, datos.constData(), datos.size()))
        return abandonar("escribir");
    if (::fsync(fd) != 0)
        return abandonar("sincronizar");
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(plantilla.constData());
        return fallo(error, "cerrar");
    }
    if (esEnlace(destino)) { // appeared while writing
        ::unlink(plantilla.constData());
        return fallo(ELOOP, "enlace");
    }
    if (::rename(plantilla.constData(), destino.constData()) != 0) {
        const int error = errno;
        ::unlink(plantilla.constData());
        return fallo(error, "renombrar");
    }
    if (!sincronizarCarpeta(carpeta))
        return fallo(errno, "sincronizar carpeta"); // the new file is in place but may not survive a power cut
    return {};
}

ResultadoEscritura ReservarNombre(const QString& ruta)
{
    const QByteArray destino = QFile::encodeName(QFileInfo(ruta).absoluteFilePath());
    const int fd = ::open(destino.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return fallo(errno, "reservar");
    ::close(fd);
    return {};
}

int LimpiarTemporales(const QString& carpeta)
{
    int quitados = 0;
    const QDir dir(carpeta);
    const QStringList nombres
        = dir.entryList({QStringLiteral(".*") + QLatin1String(MarcaTemporal) + QStringLiteral("??????")},
            QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& nombre : nombres) {
        const QByteArray ruta = QFile::encodeName(dir.absoluteFilePath(nombre));
        const int fd = ::open(ruta.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0)
            continue;
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::unlink(ruta.constData()) == 0)
            ++quitados;
        ::close(fd);
    }
    return quitados;
}

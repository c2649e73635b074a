#include "users/FicheroUsuarios.h"

#include "shell/EscrituraSegura.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <new>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace Validacion {

namespace {

Firma firmaDe(const struct stat& st)
{
    Firma f;
    f.existe = true;
    f.dispositivo = st.st_dev;
    f.nodo = st.st_ino;
    f.tamano = st.st_size;
    f.modificado = st.st_mtim;
    f.cambiado = st.st_ctim;
    return f;
}

bool mismoInstante(const timespec& a, const timespec& b) { return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec; }

} // namespace

bool Firma::operator==(const Firma& o) const
{
    return existe == o.existe && dispositivo == o.dispositivo && nodo == o.nodo && tamano == o.tamano
        && mismoInstante(modificado, o.modificado) && mismoInstante(cambiado, o.cambiado);
}

Firma FirmaDe(const QString& ruta)
{
    struct stat st { };
    if (::stat(QFile::encodeName(ruta).constData(), &st) != 0)
        return {};
    return firmaDe(st);
}

Lectura LeerFichero(const QString& ruta)
{
    Lectura l;
    // Never waits on a FIFO, and takes no memory for a file far beyond any real one.
    qint64 tamano = 0;
    const int fd = AbrirParaLeer(ruta, &tamano);
    if (fd < 0) {
        l.error = -fd;
        return l;
    }
    struct stat st { };
    if (::fstat(fd, &st) == 0)
        l.firma = firmaDe(st);
    try {
        l.bytes.resize(qsizetype(std::min(tamano, TamanoMaximo + 1)));
        qsizetype leido = 0;
        while (leido <= TamanoMaximo) {
            if (leido == l.bytes.size()) // grew since fstat
                l.bytes.resize(qsizetype(std::min<qint64>(leido + 65536, TamanoMaximo + 1)));
            const ssize_t n = ::read(fd, l.bytes.data() + leido, size_t(l.bytes.size() - leido));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                l.error = errno;
                break;
            }
            if (n == 0)
                break;
            leido += n;
        }
        if (l.error == 0 && leido > TamanoMaximo)
            l.error = EFBIG;
        l.bytes.truncate(leido);
    } catch (const std::bad_alloc&) {
        l.error = ENOMEM;
    }
    if (l.error != 0)
        l.bytes = QByteArray();
    ::close(fd);
    return l;
}

QString MotivoLectura(int error)
{
    switch (error) {
    case EACCES:
    case EPERM:
        return QStringLiteral("no hay permiso para leerlo");
    case EIO:
        return QStringLiteral("error de lectura en el disco");
    case EISDIR:
        return QStringLiteral("es una carpeta");
    case ENODEV:
        return QStringLiteral("no es un fichero normal");
    case EFBIG:
        return QStringLiteral("ocupa más de 64 MiB, demasiado para un fichero de usuarios");
    case ENOMEM:
        return QStringLiteral("no hay memoria suficiente para leerlo");
    default:
        return QString::fromLocal8Bit(std::strerror(error));
    }
}

Bloqueo::Bloqueo(const QString& rutaFichero, int esperaMs) : ruta_(rutaFichero)
{
    const QFileInfo info(rutaFichero);
    const QByteArray ruta
        = QFile::encodeName(info.path() + QStringLiteral("/.") + info.fileName() + QStringLiteral(".lock"));
    // An empty file that stays; only its lock matters, so it is never replaced.
    // It holds nothing, so anyone may open it to wait for the lock, even when
    // another user created it.
    fd_ = ::open(ruta.constData(), O_RDWR | O_CREAT | O_NONBLOCK | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd_ < 0) {
        // The reason is why it could not be made; an existing one may still be locked.
        error_ = errno;
        fd_ = ::open(ruta.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOFOLLOW);
        if (fd_ < 0)
            return;
        error_ = 0;
    }
    struct stat st { };
    if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
        error_ = S_ISREG(st.st_mode) ? errno : ENODEV;
        return;
    }
    const auto limite = std::chrono::steady_clock::now() + std::chrono::milliseconds(esperaMs);
    while (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR)
            continue;
        if (errno != EWOULDBLOCK || std::chrono::steady_clock::now() >= limite) {
            error_ = errno;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

Bloqueo::~Bloqueo()
{
    if (fd_ >= 0)
        ::close(fd_); // releases the lock
}

QString Bloqueo::motivo() const
{
    if (tomado())
        return {};
    if (error_ == EWOULDBLOCK)
        return QStringLiteral("El fichero de usuarios %1 lo está modificando otra copia del programa. "
                              "Inténtelo de nuevo dentro de unos segundos.")
            .arg(ruta_);
    return QStringLiteral("No se ha podido bloquear el fichero de usuarios %1 para modificarlo: %2.")
        .arg(ruta_, MotivoError(error_));
}

} // namespace Validacion

#include "applications/Borrador.h"

#include "applications/NombresSolicitud.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Borrador {

namespace {

const QString Sufijo = QStringLiteral(".borrador");
const QString Formato = QStringLiteral("varelio-borrador");
// Thirty boxes of at most 32,767 characters each, escaped, stay well below this.
constexpr qint64 TamanoMaximo = 8 * 1024 * 1024;
constexpr qsizetype CamposMaximos = 64;

Lectura Danado(const QString& causa)
{
    Lectura l;
    l.estado = Lectura::Danado;
    l.causa = causa;
    return l;
}

// The bytes of a regular file, at most TamanoMaximo of them.
Lectura LeerBytes(const QString& ruta, QByteArray& bytes)
{
    const QByteArray r = QFile::encodeName(ruta);
    // O_NONBLOCK: a FIFO in its place must not hang the opening of the form.
    const int fd = ::open(r.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT)
            return {};
        return Danado(errno == ELOOP ? QStringLiteral("es un enlace simbólico") : MotivoError(errno));
    }
    struct stat st { };
    Lectura l;
    if (::fstat(fd, &st) != 0)
        l = Danado(MotivoError(errno));
    else if (!S_ISREG(st.st_mode))
        l = Danado(QStringLiteral("no es un archivo normal"));
    else if (st.st_size > TamanoMaximo)
        l = Danado(QStringLiteral("es demasiado grande"));
    else {
        bytes.resize(static_cast<qsizetype>(st.st_size));
        qsizetype leidos = 0;
        while (leidos < bytes.size()) {
            const ssize_t n = ::read(fd, bytes.data() + leidos, static_cast<size_t>(bytes.size() - leidos));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            leidos += n;
        }
        if (leidos != bytes.size())
            l = Danado(QStringLiteral("no se puede leer entero"));
        else
            l.estado = Lectura::Valido;
    }
    ::close(fd);
    return l;
}

} // namespace

QString Nombre(const QString& fichero) { return QLatin1Char('.') + fichero + Sufijo; }

QByteArray Serializar(const Datos& datos)
{
    QJsonObject campos;
    for (auto it = datos.campos.cbegin(); it != datos.campos.cend(); ++it)
        campos.insert(it.key(), it.value());
    const QJsonObject raiz{{QStringLiteral("formato"), Formato}, {QStringLiteral("version"), 1},
        {QStringLiteral("solicitud"), datos.solicitud}, {QStringLiteral("dni"), datos.dni},
        {QStringLiteral("fecha"), datos.fecha.toUTC().toString(Qt::ISODateWithMs)}, {QStringLiteral("campos"), campos}};
    return QJsonDocument(raiz).toJson(QJsonDocument::Indented);
}

Lectura Leer(const QString& carpeta, const QString& fichero)
{
    QByteArray bytes;
    Lectura l = LeerBytes(carpeta + Nombre(fichero), bytes);
    if (l.estado != Lectura::Valido)
        return l;

    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return Danado(QStringLiteral("no es una copia de recuperación legible"));
    const QJsonObject raiz = doc.object();
    if (raiz.value(QStringLiteral("formato")).toString() != Formato || raiz.value(QStringLiteral("version")) != 1)
        return Danado(QStringLiteral("no es una copia de recuperación de esta versión del programa"));
    l.datos.solicitud = raiz.value(QStringLiteral("solicitud")).toString();
    if (l.datos.solicitud != fichero)
        return Danado(QStringLiteral("pertenece a otra solicitud"));
    l.datos.dni = raiz.value(QStringLiteral("dni")).toString();
    l.datos.fecha = QDateTime::fromString(raiz.value(QStringLiteral("fecha")).toString(), Qt::ISODateWithMs);
    const QJsonValue campos = raiz.value(QStringLiteral("campos"));
    if (l.datos.dni.isEmpty() || !l.datos.fecha.isValid() || !campos.isObject()
        || campos.toObject().size() > CamposMaximos)
        return Danado(QStringLiteral("le faltan datos"));
    const QJsonObject objeto = campos.toObject();
    for (auto it = objeto.begin(); it != objeto.end(); ++it) {
        if (it.key().isEmpty() || !it.value().isString())
            return Danado(QStringLiteral("le faltan datos"));
        l.datos.campos.insert(it.key(), it.value().toString());
    }
    return l;
}

ResultadoEscritura Escribir(const QString& carpeta, const Datos& datos)
{
    return EscribirFicheroSeguro(carpeta + Nombre(datos.solicitud), Serializar(datos), 0600);
}

bool Quitar(const QString& carpeta, const QString& fichero)
{
    const QByteArray ruta = QFile::encodeName(carpeta + Nombre(fichero));
    return ::unlink(ruta.constData()) == 0 || errno == ENOENT;
}

ResultadoEscritura Apartar(const QString& carpeta, const QString& fichero, QString& aparte)
{
    const QByteArray origen = QFile::encodeName(carpeta + Nombre(fichero));
    const QString base
        = Nombre(fichero) + QStringLiteral("-apartado-") + QDateTime::currentDateTime().toString(u"yyyyMMdd-HHmmss");
    ResultadoEscritura r;
    for (int n = 1; n <= 100; ++n) {
        aparte = n == 1 ? base : base + QLatin1Char('-') + QString::number(n);
        const QByteArray destino = QFile::encodeName(carpeta + aparte);
        // Never over another file: an earlier set-aside copy is kept too.
        int hecho = ::renameat2(AT_FDCWD, origen.constData(), AT_FDCWD, destino.constData(), RENAME_NOREPLACE);
        if (hecho != 0 && errno == EINVAL) { // a file system without RENAME_NOREPLACE
            hecho = ::link(origen.constData(), destino.constData());
            if (hecho == 0)
                ::unlink(origen.constData());
        }
        if (hecho == 0)
            return {};
        r.error = errno;
        r.paso = QStringLiteral("apartar");
        if (r.error != EEXIST)
            break;
    }
    return r;
}

bool MasNuevo(const QString& carpeta, const Datos& datos)
{
    const QFileInfo guardada(carpeta + datos.solicitud);
    if (!guardada.exists())
        return true;
    return datos.fecha > guardada.lastModified();
}

QStringList SinGuardar(const QString& carpeta, const QString& dni)
{
    QStringList nombres;
    const QDir dir(carpeta);
    for (const QString& f : dir.entryList({QStringLiteral(".*") + Sufijo}, QDir::Files | QDir::Hidden | QDir::System)) {
        const QString fichero = f.mid(1, f.size() - 1 - Sufijo.size());
        if (NombresSolicitud::EsDelUsuario(fichero, dni) && !NombresSolicitud::Existe(carpeta, fichero))
            nombres << fichero;
    }
    return nombres;
}

} // namespace Borrador

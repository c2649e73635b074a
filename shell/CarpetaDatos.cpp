#include "shell/CarpetaDatos.h"

#include <QFile>
#include <QStringList>

#include <cerrno>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace CarpetaDatos {

namespace {

QString CarpetaPersonal()
{
    const QString home = qEnvironmentVariable("HOME");
    if (!home.isEmpty())
        return home;
    // No HOME (a service, sudo -i without it): the account's own folder.
    if (const passwd* cuenta = getpwuid(geteuid()); cuenta && cuenta->pw_dir)
        return QFile::decodeName(cuenta->pw_dir);
    return {};
}

// One folder: an existing one is fine, a new one is made 0700 even under an odd umask.
int CrearUna(const QByteArray& ruta)
{
    struct stat datos { };
    if (::stat(ruta.constData(), &datos) == 0)
        return S_ISDIR(datos.st_mode) ? 0 : ENOTDIR;
    if (::mkdir(ruta.constData(), 0700) == 0)
        return ::chmod(ruta.constData(), 0700) == 0 ? 0 : errno;
    const int error = errno;
    if (error == EEXIST && ::stat(ruta.constData(), &datos) == 0 && S_ISDIR(datos.st_mode))
        return 0; // made by another process just now
    return error;
}

} // namespace

QString Elegir(const QString& carpetaPrograma, bool programaEscribible, const QString& xdgDataHome, const QString& home)
{
    if (programaEscribible)
        return carpetaPrograma;
    QString base = xdgDataHome;
    if (!base.startsWith(QLatin1Char('/')))
        base = home + QStringLiteral("/.local/share");
    while (base.size() > 1 && base.endsWith(QLatin1Char('/')))
        base.chop(1);
    return base + QStringLiteral("/Varelio");
}

QString Elegir(const QString& carpetaPrograma)
{
    const QByteArray ruta = QFile::encodeName(carpetaPrograma);
    struct stat datos { };
    // Where others may write, one user's start-up would clean another's files
    // and any of them could hold the user file's lock for ever.
    const bool propia = ::stat(ruta.constData(), &datos) == 0 && S_ISDIR(datos.st_mode) && datos.st_uid == ::geteuid()
        && (datos.st_mode & (S_IWGRP | S_IWOTH)) == 0 && ::access(ruta.constData(), W_OK) == 0;
    return Elegir(carpetaPrograma, propia, qEnvironmentVariable("XDG_DATA_HOME"), CarpetaPersonal());
}

int Preparar(const QString& carpetaDatos)
{
    if (!carpetaDatos.startsWith(QLatin1Char('/')))
        return ENOENT; // no home folder to put it in
    QByteArray ruta;
    const QStringList partes
        = QString(carpetaDatos + QStringLiteral("/ficheros/temp")).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (const QString& parte : partes) {
        ruta += '/' + QFile::encodeName(parte);
        if (int error = CrearUna(ruta))
            return error;
    }
    return 0;
}

} // namespace CarpetaDatos

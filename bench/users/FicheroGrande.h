#pragma once
// A user file of n registered users, written once per size and run.
#include "users/Validacion.h"

#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <map>
#include <memory>

inline QString dniDe(int i)
{
    const int numero = 10000000 + i;
    return QString::number(numero) + QLatin1Char("TRWAGMYFPDXBNJZSQVHLCKE"[numero % 23]);
}

inline QString claveDe(int i) { return QStringLiteral("CLAVE%1").arg(i); }

inline QByteArray usuariosXml(int n)
{
    QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<Usuarios>";
    for (int i = 0; i < n; ++i)
        xml += "<Usuario><DNI>" + Validacion::HuellaTexto(dniDe(i)).toLatin1() + "</DNI><Pwd>"
            + Validacion::HuellaTexto(claveDe(i)).toLatin1() + "</Pwd></Usuario>";
    xml += "</Usuarios>\r\n";
    return xml;
}

// A folder holding usuarios.xml with n users (the same folder for every call
// with the same n).
inline QString carpetaConUsuarios(int n)
{
    static std::map<int, std::unique_ptr<QTemporaryDir>> carpetas;
    auto& dir = carpetas[n];
    if (!dir) {
        dir = std::make_unique<QTemporaryDir>();
        QFile f(dir->filePath(QStringLiteral("usuarios.xml")));
        if (f.open(QIODevice::WriteOnly))
            f.write(usuariosXml(n));
    }
    return dir->path();
}

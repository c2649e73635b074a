#pragma once
// A program folder of its own for each test: ficheros/, ficheros/temp/, the
// shared state pointed at it and message boxes recorded instead of shown.
#include "shell/EstadoCompartido.h"
#include "shell/MessageBox.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

struct CarpetaPrueba {
    QTemporaryDir dir;

    CarpetaPrueba()
    {
        reiniciarEstado();
        MessageBox::setTestMode(true);
        MessageBox::clear();
        QDir(dir.path()).mkpath(QStringLiteral("ficheros/temp"));
        estado().strRutaPrograma = dir.path();
        estado().strRutaFicheros = dir.path() + QStringLiteral("/ficheros/");
        estado().strRutaTemp = dir.path() + QStringLiteral("/ficheros/temp/");
    }

    QString ruta(const QString& relativa) const { return dir.path() + QLatin1Char('/') + relativa; }

    void escribir(const QString& relativa, const QByteArray& contenido) const
    {
        QFile f(ruta(relativa));
        if (f.open(QIODevice::WriteOnly))
            f.write(contenido);
    }

    QByteArray leer(const QString& relativa) const
    {
        QFile f(ruta(relativa));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    // The texts of the message boxes shown so far.
    static QStringList mensajes()
    {
        QStringList textos;
        for (const auto& m : MessageBox::shown())
            textos << m.text;
        return textos;
    }
};

// The empty user file that ships with the program.
inline const QByteArray PlantillaUsuarios = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<Usuarios></Usuarios>\r\n";

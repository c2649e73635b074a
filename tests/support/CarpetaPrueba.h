#pragma once
// A program folder of its own for each test: ficheros/, ficheros/temp/, the
// shared state pointed at it and message boxes recorded instead of shown.
#include "shell/EstadoCompartido.h"
#include "shell/MessageBox.h"

#include <QDir>
#include <QTest>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <csignal>
#include <sys/resource.h>

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

// The only message box shown so far, with its title and icon.
inline void unMensaje(const QString& texto, const QString& titulo, QMessageBox::Icon icono)
{
    QCOMPARE(CarpetaPrueba::mensajes(), QStringList(texto));
    QCOMPARE(MessageBox::shown().first().title, titulo);
    QCOMPARE(MessageBox::shown().first().icon, icono);
}

// While it lives, no file may grow past a few bytes: every save fails part-way,
// as on a full disk.
struct DiscoLleno {
    rlimit previo{};
    DiscoLleno()
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &previo);
        rlimit corto = previo;
        corto.rlim_cur = 32;
        setrlimit(RLIMIT_FSIZE, &corto);
    }
    ~DiscoLleno() { setrlimit(RLIMIT_FSIZE, &previo); }
};

// The empty user file that ships with the program.
inline const QByteArray PlantillaUsuarios = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<Usuarios></Usuarios>\r\n";

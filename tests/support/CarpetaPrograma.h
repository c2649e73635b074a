#pragma once
// A program folder of its own for a test: the data files of the built program
// folder copied into a temporary folder, and the shared state pointed at it.
#include "shell/EstadoCompartido.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class CarpetaPrograma {
public:
    CarpetaPrograma()
    {
        const QString origen = qEnvironmentVariable("VARELIO_PROGRAM_DIR");
        QDirIterator it(origen, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString fichero = it.next();
            const QString relativo = QDir(origen).relativeFilePath(fichero);
            if (relativo.startsWith(QLatin1String("ficheros/temp/")) || QFileInfo(fichero).isExecutable())
                continue;
            const QString destino = dir_.filePath(relativo);
            QDir().mkpath(QFileInfo(destino).path());
            QFile::copy(fichero, destino);
        }
        QDir().mkpath(dir_.filePath(QStringLiteral("ficheros/temp")));
        reiniciarEstado();
        EstadoCompartido& e = estado();
        e.strRutaPrograma = dir_.path();
        e.strRutaFicheros = dir_.path() + QStringLiteral("/ficheros/");
        e.strRutaTemp = dir_.path() + QStringLiteral("/ficheros/temp/");
        e.strRutaUsuarios = dir_.path() + QStringLiteral("/usuarios.xml");
    }
    QString ruta(const QString& relativa) const { return dir_.filePath(relativa); }
    // Files left in the applications folder.
    QStringList temporales() const { return QDir(estado().strRutaTemp).entryList(QDir::Files, QDir::Name); }

private:
    QTemporaryDir dir_;
};

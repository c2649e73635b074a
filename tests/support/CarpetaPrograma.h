#pragma once
// A program folder of its own for a test: the data files of the built program
// folder copied into a temporary folder, and the shared state pointed at it.
#include "shell/EstadoCompartido.h"
#include "shell/MessageBox.h"
#include "users/Validacion.h"

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
        ApuntarA(dir_.path());
    }
    // The shared state's folders pointed at the program folder programa.
    static void ApuntarA(const QString& programa)
    {
        EstadoCompartido& e = estado();
        e.strRutaPrograma = programa;
        e.strRutaFicheros = programa + QStringLiteral("/ficheros/");
        e.strRutaTemp = programa + QStringLiteral("/ficheros/temp/");
        e.strRutaUsuarios = programa + QStringLiteral("/usuarios.xml");
    }
    // As a signed-in session of dni with a password would have it, in a test's
    // child process working in an existing program folder.
    static void SesionEn(const QString& programa, const QString& dni)
    {
        ApuntarA(programa);
        estado().strDNIActual = dni;
        estado().blnTienePassword = true;
        MessageBox::setTestMode(true);
        MessageBox::clear();
        Validacion::CargaUsuarios(Validacion::PrepararUsuarios(programa));
    }
    QString ruta(const QString& relativa) const { return dir_.filePath(relativa); }
    // Files left in the applications folder.
    QStringList temporales() const { return QDir(estado().strRutaTemp).entryList(QDir::Files, QDir::Name); }

private:
    QTemporaryDir dir_;
};

#include "tests/support/CarpetaPrueba.h"
#include "tests/support/Piloto.h"
#include "applications/frmSeleccion.h"
#include "form/frmSolicitudes.h"
#include "shell/MessageBox.h"
#include "startup/Arranque.h"

#include <QDateTime>
#include <QLabel>
#include <QTest>

#include <sys/stat.h>

namespace {
const QString DNI = QStringLiteral("12345678Z");
}

class tst_arranque : public QObject {
    Q_OBJECT

    std::unique_ptr<CarpetaPrueba> carpeta;

    void preparar(const QStringList& solicitudes)
    {
        carpeta = std::make_unique<CarpetaPrueba>();
        carpeta->escribir(QStringLiteral("usuarioslimpio.xml"), PlantillaUsuarios);
        carpeta->escribir(QStringLiteral("ficheros/FicheroTexto.txt"), "Informaci\xf3n\r\n");
        for (const QString& f : solicitudes)
            carpeta->escribir(QStringLiteral("ficheros/temp/") + f, "x");
        // Start-up fixes the folders itself; only the program folder is given.
        const QString programa = estado().strRutaPrograma;
        reiniciarEstado();
        estado().strRutaPrograma = programa;
    }

    static QList<QWidget*> abiertas()
    {
        QList<QWidget*> visibles;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible())
                visibles << w;
        return visibles;
    }

private slots:
    void cleanup()
    {
        if (frmSolicitudes* f = estado().frmSolicitudActual) {
            f->blnCerrarSinPreguntar = true;
            delete f;
        }
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<frmSeleccion*>(w))
                delete w;
        carpeta.reset();
    }

    // Without stored applications: information window, then an empty form
    // that shows the DNI, locked.
    void sinSolicitudesAbreFormulario()
    {
        preparar({QStringLiteral("87654321X.doc")});
        QDir(carpeta->ruta(QStringLiteral("ficheros/temp"))).removeRecursively(); // a fresh install
        Piloto piloto;
        piloto.dni = DNI;
        ModGeneral::Main();

        QCOMPARE(estado().strRutaFicheros, carpeta->ruta(QStringLiteral("ficheros/")));
        QCOMPARE(estado().strRutaTemp, carpeta->ruta(QStringLiteral("ficheros/temp/")));
        QVERIFY(QFileInfo(estado().strRutaTemp).isDir());
        struct stat st { };
        QCOMPARE(::stat(QFile::encodeName(estado().strRutaTemp).constData(), &st), 0);
        QCOMPARE(st.st_mode & 0777, 0700u); // a folder the program creates is the user's only
        QCOMPARE(piloto.informaciones, 1);
        QCOMPARE(piloto.esperasOcupadas, 0); // the default pointer while the window waits
        frmSolicitudes* f = estado().frmSolicitudActual;
        QVERIFY(f);
        QCOMPARE(abiertas(), QList<QWidget*>({f}));
        QCOMPARE(f->txtDNI->text(), DNI);
        QVERIFY(!f->txtDNI->isEnabled());
        QCOMPARE(f->lblFichero->text(), QStringLiteral("12345678Z.doc"));
        QVERIFY(!QApplication::overrideCursor());
    }

    void conSolicitudesMuestraLaLista()
    {
        preparar({QStringLiteral("12345678Z.DOC")});
        Piloto piloto;
        piloto.dni = DNI;
        ModGeneral::Main();
        QCOMPARE(piloto.informaciones, 0);
        QVERIFY(!estado().frmSolicitudActual);
        const auto ventanas = abiertas();
        QCOMPARE(ventanas.size(), 1);
        auto* lista = qobject_cast<frmSeleccion*>(ventanas.first());
        QVERIFY(lista && !lista->isModal());
        QCOMPARE(lista->cboSolicitudes->count(), 1);
    }

    // What a killed run left goes at the next start: its own hidden temporary
    // files and barcode bitmaps, which no running copy holds. Nothing of the
    // user's, whatever its name or age, and a FIFO is not waited on.
    void restosDeUnaEjecucionInterrumpida()
    {
        const QStringList restos{QStringLiteral("ficheros/temp/.12345678Z.doc.part-Ab12Cd"),
            QStringLiteral("ficheros/temp/.2026120708051205-Ab12Cd.bmp"), QStringLiteral(".usuarios.xml.part-Zz99Yy")};
        const QStringList delUsuario{QStringLiteral("ficheros/temp/12345678Z.doc"),
            QStringLiteral("ficheros/temp/12345678Z.pdf"), QStringLiteral("ficheros/temp/notas.doc.backup"),
            QStringLiteral("ficheros/temp/12345678Z.doc.Copia1"), QStringLiteral("ficheros/temp/12345678Z.doc.201226"),
            QStringLiteral("ficheros/temp/Solicitud.pdf.Final1"), QStringLiteral("ficheros/temp/2026120708051205.bmp"),
            QStringLiteral("ficheros/temp/87654321X.doc"), QStringLiteral("usuarios.xml.backup"),
            QStringLiteral("usuarios.xml.201226"), QStringLiteral("usuarios.xml.Copia1")};
        preparar({});
        for (const QString& f : restos + delUsuario)
            carpeta->escribir(f, "x");
        carpeta->escribir(QStringLiteral("ficheros/temp/87654321X.doc"), {}); // empty, an hour old
        for (const QString& viejo : {QStringLiteral("ficheros/temp/87654321X.doc"), restos[1]}) {
            QFile f(carpeta->ruta(viejo));
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime));
        }
        const QString fifo = carpeta->ruta(QStringLiteral("ficheros/temp/.87654321X.doc.part-Qq1Ww2"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        Piloto piloto;
        piloto.dni = DNI;
        ModGeneral::Main();
        QVERIFY(estado().blnAccesoConcedido); // the sign-in window came up and was passed
        for (const QString& f : restos)
            QVERIFY2(!QFileInfo::exists(carpeta->ruta(f)), qPrintable(f));
        for (const QString& f : delUsuario)
            QVERIFY2(QFileInfo::exists(carpeta->ruta(f)), qPrintable(f));
        QVERIFY(QFileInfo(fifo).exists());
    }

    // A FIFO as the user file: the sign-in window comes up, says why the file
    // was not read, and signs in without writing anything there.
    void ficheroDeUsuariosQueNoEsFichero()
    {
        preparar({});
        const QString usuarios = carpeta->ruta(QStringLiteral("usuarios.xml"));
        QCOMPARE(::mkfifo(QFile::encodeName(usuarios).constData(), 0600), 0);
        MessageBox::setTestMode(true);
        MessageBox::clear();
        Piloto piloto;
        piloto.dni = DNI;
        ModGeneral::Main();
        QVERIFY(estado().blnAccesoConcedido);
        QCOMPARE(MessageBox::shown().size(), 1);
        const QString texto = MessageBox::shown().first().text;
        QVERIFY2(
            texto.contains(usuarios) && texto.contains(QStringLiteral("no es un fichero normal")), qPrintable(texto));
        struct stat st { };
        QCOMPARE(::lstat(QFile::encodeName(usuarios).constData(), &st), 0);
        QVERIFY(S_ISFIFO(st.st_mode));
    }

    // An installed program: the user file and the applications live in a data
    // folder of their own, made owner-only; the program folder is only read.
    void carpetaDeDatosAparte()
    {
        preparar({});
        QTemporaryDir casa;
        const QString datos = casa.filePath(QStringLiteral(".local/share/Varelio"));
        estado().strRutaDatos = datos;
        Piloto piloto;
        piloto.dni = DNI;
        ModGeneral::Main();

        QCOMPARE(estado().strRutaFicheros, carpeta->ruta(QStringLiteral("ficheros/")));
        QCOMPARE(estado().strRutaTemp, datos + QStringLiteral("/ficheros/temp/"));
        QCOMPARE(estado().strRutaUsuarios, datos + QStringLiteral("/usuarios.xml"));
        QFile usuarios(estado().strRutaUsuarios);
        QVERIFY(usuarios.open(QIODevice::ReadOnly));
        QCOMPARE(usuarios.readAll(), QByteArray(PlantillaUsuarios));
        QCOMPARE(usuarios.permissions() & 0x0077, QFileDevice::Permissions());
        QVERIFY(!QFileInfo::exists(carpeta->ruta(QStringLiteral("usuarios.xml"))));
        QCOMPARE(QFileInfo(datos).permissions() & 0x0077, QFileDevice::Permissions());
        QCOMPARE(piloto.informaciones, 1); // the information text came from the program folder
        QVERIFY(estado().frmSolicitudActual);
    }

    // A data folder that cannot be made: start-up opens nothing, shows nothing
    // itself and says why to main, which shows it.
    void carpetaDeDatosImposible()
    {
        preparar({});
        carpeta->escribir(QStringLiteral("fichero"), "x");
        const QString datos = carpeta->ruta(QStringLiteral("fichero/datos"));
        estado().strRutaDatos = datos;
        Piloto piloto;
        piloto.dni = DNI;
        const Resultado r = ModGeneral::Main();
        QVERIFY(!r);
        QVERIFY2(r.motivo.startsWith(QStringLiteral("No se puede crear la carpeta de datos %1: ").arg(datos)),
            qPrintable(r.motivo));
        QVERIFY(MessageBox::shown().isEmpty());
        QVERIFY(abiertas().isEmpty() && !estado().blnAccesoConcedido);
    }

    void salirTerminaSinVentanas()
    {
        preparar({QStringLiteral("12345678Z.doc")});
        Piloto piloto;
        piloto.conEsc = true;
        ModGeneral::Main();
        QVERIFY(!estado().blnAccesoConcedido);
        QVERIFY(abiertas().isEmpty());
    }
};

QTEST_MAIN(tst_arranque)
#include "tst_arranque.moc"

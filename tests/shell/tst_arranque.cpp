#include "CarpetaPrueba.h"
#include "Piloto.h"
#include "applications/frmSeleccion.h"
#include "form/frmSolicitudes.h"
#include "shell/ModGeneral.h"

#include <QLabel>
#include <QTest>

namespace {
const QString DNI = QStringLiteral("12345678Z");
}

class TstArranque : public QObject {
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

QTEST_MAIN(TstArranque)
#include "tst_arranque.moc"

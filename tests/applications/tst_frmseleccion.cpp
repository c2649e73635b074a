#include "tests/support/CarpetaPrueba.h"
#include "tests/support/Piloto.h"
#include "applications/ListaSolicitudes.h"
#include "applications/NombresSolicitud.h"
#include "applications/frmSeleccion.h"
#include "form/frmSolicitudes.h"
#include "startup/AbrirSolicitud.h"

#include <QAccessible>
#include <QLabel>
#include <QRegularExpression>
#include <QTest>

namespace {
const QString DNI = QStringLiteral("12345678Z");
const QString CON_HORA = QStringLiteral("12345678Z-0905-071206.doc");
} // namespace

class tst_frmseleccion : public QObject {
    Q_OBJECT

    std::unique_ptr<CarpetaPrueba> carpeta;
    std::unique_ptr<Piloto> piloto;
    QPointer<frmSeleccion> lista;

    // The signed-in DNI with these stored applications (blank ones, made from
    // the shipped template, or `contenido`), and the list shown.
    void abrir(const QStringList& ficheros, QByteArray contenido = {})
    {
        if (contenido.isEmpty()) {
            QFile plantilla(
                qEnvironmentVariable("VARELIO_PROGRAM_DIR") + QStringLiteral("/ficheros/DOT_10101/PlantillaWXP.dot"));
            QVERIFY(plantilla.open(QIODevice::ReadOnly));
            contenido = plantilla.readAll();
        }
        carpeta = std::make_unique<CarpetaPrueba>();
        carpeta->escribir(QStringLiteral("ficheros/FicheroTexto.txt"), "Texto\r\n");
        for (const QString& f : ficheros)
            carpeta->escribir(QStringLiteral("ficheros/temp/") + f, contenido);
        estado().strDNIActual = DNI;
        estado().blnAccesoConcedido = true;
        ModCargaFicheros::ContarSolicitudes(DNI);
        piloto = std::make_unique<Piloto>();
        ModGeneral::EnlazarVentanas();
        lista = frmSeleccion::Mostrar();
        QVERIFY(QTest::qWaitForWindowExposed(lista));
    }

    // Picks a file in the combo with the keyboard, as a user would.
    void elegir(const QString& fichero)
    {
        const int indice = lista->cboSolicitudes->findText(fichero);
        QVERIFY(indice >= 0);
        lista->cboSolicitudes->setFocus();
        while (lista->cboSolicitudes->currentIndex() < indice)
            QTest::keyClick(lista->cboSolicitudes, Qt::Key_Down);
        QCOMPARE(lista->cboSolicitudes->currentText(), fichero);
    }

    bool existe(const QString& fichero) const { return QFileInfo::exists(estado().strRutaTemp + fichero); }

private slots:
    void cleanup()
    {
        if (frmSolicitudes* f = estado().frmSolicitudActual) {
            f->blnCerrarSinPreguntar = true;
            delete f;
        }
        delete lista;
        piloto.reset();
        carpeta.reset();
    }

    // The list takes the keys: the focus is in it, its label reads it and
    // brings the focus back with Alt+F, Enter loads.
    void estadoInicial()
    {
        abrir({CON_HORA});
        QCOMPARE(lista->windowTitle(), QStringLiteral("CargarSolicitud"));
        QTRY_COMPARE(QApplication::focusWidget(), lista->cboSolicitudes);
        QCOMPARE(QAccessible::queryAccessibleInterface(lista->cboSolicitudes)->text(QAccessible::Name),
            QStringLiteral("Ficheros de Solicitudes"));
        lista->cmdBorrar->setFocus();
        QTest::keyClick(lista->cmdBorrar, Qt::Key_F, Qt::AltModifier);
        QCOMPARE(QApplication::focusWidget(), lista->cboSolicitudes);
        QVERIFY(lista->cmdCargar->isDefault());
        for (QPushButton* b : {lista->cmdNueva, lista->cmdCargar, lista->cmdBorrar})
            QVERIFY(!b->autoDefault() && b->isEnabled());
    }

    void sinSeleccion()
    {
        abrir({QStringLiteral("12345678Z.doc")});
        for (QPushButton* boton : {lista->cmdCargar, lista->cmdBorrar}) {
            MessageBox::clear();
            QTest::mouseClick(boton, Qt::LeftButton);
            unMensaje(QStringLiteral("Seleccione una Solicitud"), QStringLiteral("Solicitudes"), QMessageBox::Warning);
        }
        QVERIFY(lista->isVisible() && existe(QStringLiteral("12345678Z.doc")) && !estado().frmSolicitudActual);
    }

    void cargarAbreLaElegida()
    {
        abrir({QStringLiteral("12345678Z.doc"), CON_HORA});
        QCOMPARE(frmSeleccion::Mostrar(), lista.data()); // at most one list
        elegir(CON_HORA);
        QTest::mouseClick(lista->cmdCargar, Qt::LeftButton);
        QCOMPARE(piloto->informaciones, 1);
        QTRY_VERIFY(!lista); // closed and gone
        frmSolicitudes* f = estado().frmSolicitudActual;
        QVERIFY(f && f->isVisible());
        QCOMPARE(f->lblFichero->text(), CON_HORA);
        QVERIFY(!QApplication::overrideCursor());
    }

    // A file that is not a readable application: the user is told why, no form
    // is left on it (nothing could write over it) and the list comes back.
    void cargarUnFicheroIlegibleVuelveALaLista_data()
    {
        QTest::addColumn<QByteArray>("contenido");
        QTest::addColumn<QString>("motivo");
        QTest::newRow("damaged") << QByteArray("PK\x03\x04 cut short") << QStringLiteral("dañado");
        QTest::newRow("Word 97-2003") << QByteArray::fromHex("D0CF11E0A1B11AE1") + QByteArray(600, '\0')
                                      << QStringLiteral("formato binario antiguo de Word 97-2003");
    }
    void cargarUnFicheroIlegibleVuelveALaLista()
    {
        QFETCH(QByteArray, contenido);
        QFETCH(QString, motivo);
        abrir({CON_HORA}, contenido);
        elegir(CON_HORA);
        QTest::mouseClick(lista->cmdCargar, Qt::LeftButton);
        QCOMPARE(MessageBox::shown().size(), 1);
        const QString texto = MessageBox::shown().first().text;
        QVERIFY2(texto.startsWith(QStringLiteral("No se ha podido abrir la solicitud ") + CON_HORA), qPrintable(texto));
        QVERIFY2(texto.contains(motivo) && texto.contains(QStringLiteral("no se ha modificado")), qPrintable(texto));
        QCOMPARE(MessageBox::shown().first().icon, QMessageBox::Critical);
        QVERIFY(lista && lista->isVisible());
        QVERIFY(!estado().frmSolicitudActual);
        QVERIFY(estado().strFicheroSeleccionado.isEmpty());
        QCOMPARE(carpeta->leer(QStringLiteral("ficheros/temp/") + CON_HORA), contenido);
    }

    // Enter in the list loads the chosen application.
    void enterCargaLaElegida()
    {
        abrir({QStringLiteral("12345678Z.doc"), CON_HORA});
        elegir(CON_HORA);
        QTest::keyClick(lista->cboSolicitudes, Qt::Key_Return);
        QTRY_VERIFY(!lista);
        QCOMPARE(piloto->informaciones, 1);
        QCOMPARE(piloto->esperasOcupadas, 0);
        QCOMPARE(estado().frmSolicitudActual->lblFichero->text(), CON_HORA);
    }

    // The default name when it is free, even beside time-stamped applications.
    void nuevaConNombrePorDefectoLibre()
    {
        abrir({CON_HORA});
        QTest::mouseClick(lista->cmdNueva, Qt::LeftButton);
        QCOMPARE(piloto->informaciones, 1);
        QTRY_VERIFY(!lista);
        frmSolicitudes* f = estado().frmSolicitudActual;
        QVERIFY(f && f->isVisible());
        QCOMPARE(f->txtDNI->text(), DNI);
        QCOMPARE(f->lblFichero->text(), QStringLiteral("12345678Z.doc"));
    }

    // With the default name taken: the time-stamped name of the moment, or,
    // when that names a file too, a name that no stored application has.
    void nuevaConNombrePorDefectoOcupado()
    {
        abrir({QStringLiteral("12345678Z.doc")});
        const QDateTime antes = QDateTime::currentDateTime();
        QTest::mouseClick(lista->cmdNueva, Qt::LeftButton);
        const QString nombre = estado().frmSolicitudActual->lblFichero->text();
        QVERIFY(nombre == NombresSolicitud::NombreConHora(DNI, antes)
            || nombre == NombresSolicitud::NombreConHora(DNI, QDateTime::currentDateTime()));

        cleanup();
        const QDateTime ahora = QDateTime::currentDateTime();
        abrir({QStringLiteral("12345678Z.doc"), NombresSolicitud::NombreConHora(DNI, ahora),
            NombresSolicitud::NombreConHora(DNI, ahora.addSecs(60))});
        QTest::mouseClick(lista->cmdNueva, Qt::LeftButton);
        const QString otro = estado().frmSolicitudActual->lblFichero->text();
        QVERIFY(!existe(otro));
        QVERIFY(QRegularExpression(QStringLiteral("^12345678Z-\\d{4}-\\d{6}-\\d+\\.doc$")).match(otro).hasMatch());
    }

    void borrar()
    {
        abrir({QStringLiteral("12345678Z.doc"), QStringLiteral("12345678Z.xml"), QStringLiteral("12345678Z.pdf"),
            CON_HORA});
        elegir(QStringLiteral("12345678Z.doc"));
        MessageBox::queueAnswer(QMessageBox::No);
        QTest::mouseClick(lista->cmdBorrar, Qt::LeftButton);
        unMensaje(QStringLiteral("¿Desea borrar esta solicitud?"), QStringLiteral("Borrar"), QMessageBox::Question);
        QCOMPARE(MessageBox::shown().first().buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(MessageBox::shown().first().defaultButton, QMessageBox::No); // Enter keeps the file
        QVERIFY(existe(QStringLiteral("12345678Z.doc")));

        // The document and its companion go; the list is read again.
        MessageBox::queueAnswer(QMessageBox::Yes);
        QTest::mouseClick(lista->cmdBorrar, Qt::LeftButton);
        QVERIFY(!existe(QStringLiteral("12345678Z.doc")));
        QVERIFY(!existe(QStringLiteral("12345678Z.xml")));
        QVERIFY(!existe(QStringLiteral("12345678Z.pdf"))); // its printed copy too
        QCOMPARE(lista->cboSolicitudes->count(), 1);
        QVERIFY(lista->cboSolicitudes->currentText().isEmpty());
        QVERIFY(lista->cmdCargar->isEnabled() && estado().strFicheroSeleccionado.isEmpty());

        // The last one, without a companion: nothing left to load or delete.
        elegir(CON_HORA);
        MessageBox::queueAnswer(QMessageBox::Yes);
        QTest::mouseClick(lista->cmdBorrar, Qt::LeftButton);
        QVERIFY(!existe(CON_HORA));
        QCOMPARE(MessageBox::shown().size(), 3); // the questions only
        QCOMPARE(lista->cboSolicitudes->count(), 0);
        QVERIFY(
            !lista->cmdCargar->isEnabled() && !lista->cmdBorrar->isEnabled() && !lista->cboSolicitudes->isEnabled());
        QVERIFY(lista->cmdNueva->isEnabled() && lista->isVisible());
    }
};

QTEST_MAIN(tst_frmseleccion)
#include "tst_frmseleccion.moc"

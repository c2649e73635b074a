#include "../shell/CarpetaPrueba.h"
#include "users/Validacion.h"
#include "users/frmUsuario.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {
const QString DNI = QStringLiteral("12345678Z");
}

class TstFrmUsuario : public QObject {
    Q_OBJECT

    std::unique_ptr<CarpetaPrueba> carpeta;
    std::unique_ptr<frmUsuario> dialogo;

    // A program folder whose user file registers DNI with the given password.
    void abrir(const QString& password = {})
    {
        carpeta = std::make_unique<CarpetaPrueba>();
        carpeta->escribir(QStringLiteral("usuarioslimpio.xml"), PlantillaUsuarios);
        if (!password.isEmpty()) {
            Validacion::CargaUsuarios(Validacion::PrepararUsuarios(carpeta->dir.path()));
            Validacion::AltaUsuario(DNI, password.toUpper());
        }
        dialogo = std::make_unique<frmUsuario>();
        dialogo->show();
        QVERIFY(QTest::qWaitForWindowActive(dialogo.get()));
        dialogo->txtDNI->setFocus();
    }

    frmUsuario& d() { return *dialogo; }

private slots:
    void cleanup()
    {
        dialogo.reset();
        carpeta.reset();
    }

    void novenoCaracterPasaElFocoYComprueba()
    {
        abrir();
        QVERIFY(d().usuariosCargados());
        QVERIFY(QFileInfo::exists(carpeta->ruta(QStringLiteral("usuarios.xml"))));
        QTest::keyClicks(d().txtDNI, QStringLiteral("1234-5.67,8z"));
        QVERIFY(d().cmdAceptarDNI->hasFocus());
        QCOMPARE(d().txtDNI->text(), DNI); // separators refused, letter upper-cased by the check
        QVERIFY(CarpetaPrueba::mensajes().isEmpty());
    }

    void dniNoRegistradoEntraSinPassword()
    {
        abrir();
        QTest::keyClicks(d().txtDNI, QStringLiteral("1234567l"));
        QTest::keyClick(d().txtDNI, Qt::Key_Tab);
        QCOMPARE(d().txtDNI->text(), QStringLiteral("01234567L"));
        QTest::mouseClick(d().cmdAceptarDNI, Qt::LeftButton);
        QVERIFY(!d().isVisible());
        QCOMPARE(d().result(), int(QDialog::Accepted));
        QVERIFY(!d().txtPwd->isVisibleTo(&d()));
        QVERIFY(estado().blnAccesoConcedido);
        QVERIFY(!estado().blnTienePassword);
        QCOMPARE(estado().strDNIActual, QStringLiteral("01234567L"));
        QCOMPARE(estado().strFicheroPorDefecto, QStringLiteral("01234567L.doc"));
    }

    void dniRegistradoPideLaPassword_data()
    {
        QTest::addColumn<QString>("registrada");
        QTest::addColumn<QString>("tecleada");
        QTest::newRow("registrada en minúsculas") << "secreto" << "SECRETO";
        QTest::newRow("registrada en mayúsculas") << "SECRETO" << "secreto";
        QTest::newRow("mezcla") << "SeCrEtO" << "sEcReTo";
    }
    void dniRegistradoPideLaPassword()
    {
        QFETCH(QString, registrada);
        QFETCH(QString, tecleada);
        abrir(registrada);
        QTest::keyClicks(d().txtDNI, DNI);
        QTest::mouseClick(d().cmdAceptarDNI, Qt::LeftButton);
        QVERIFY(d().isVisible());
        QVERIFY(d().txtPwd->isVisible() && d().lblPwd->isVisible() && d().cmdAceptarPwd->isVisible());
        QVERIFY(!d().txtDNI->isEnabled());
        QVERIFY(d().txtPwd->hasFocus());
        QVERIFY(estado().blnTienePassword);
        QVERIFY(!estado().blnAccesoConcedido);
        QTest::keyClicks(d().txtPwd, tecleada);
        QTest::keyClick(d().txtPwd, Qt::Key_Return);
        QVERIFY(!d().isVisible());
        QVERIFY(estado().blnAccesoConcedido);
        QCOMPARE(estado().strDNIActual, DNI);
        QVERIFY(estado().strFicheroPorDefecto.isEmpty());
    }

    void passwordVaciaOErroneaNoEntra()
    {
        abrir(QStringLiteral("secreto"));
        QTest::keyClicks(d().txtDNI, DNI);
        QTest::mouseClick(d().cmdAceptarDNI, Qt::LeftButton);
        QTest::mouseClick(d().cmdAceptarPwd, Qt::LeftButton);
        QTest::keyClicks(d().txtPwd, QStringLiteral("secret"));
        QTest::mouseClick(d().cmdAceptarPwd, Qt::LeftButton);
        QTest::mouseClick(d().cmdAceptarPwd, Qt::LeftButton);
        QCOMPARE(CarpetaPrueba::mensajes(),
                 QStringList({QStringLiteral("Es obligatorio rellenar Usuario y Password"),
                              QStringLiteral("Usuario no válido"), QStringLiteral("Usuario no válido")}));
        QCOMPARE(MessageBox::shown().last().title, QStringLiteral("Varelio"));
        QCOMPARE(MessageBox::shown().last().icon, QMessageBox::Warning);
        QVERIFY(d().isVisible());
        QCOMPARE(d().txtPwd->text(), QStringLiteral("secret"));
        QVERIFY(!estado().blnAccesoConcedido);
    }

    void dniErroneo()
    {
        abrir();
        // Leaving an empty field: the check's message, the focus stays.
        QTest::keyClick(d().txtDNI, Qt::Key_Tab);
        QCOMPARE(CarpetaPrueba::mensajes(), QStringList(QStringLiteral("DNI no válido")));
        QVERIFY(d().txtDNI->hasFocus());
        QVERIFY(d().txtDNI->text().isEmpty());

        // Confirmed with Enter while still in the field: two messages.
        MessageBox::clear();
        QTest::keyClicks(d().txtDNI, QStringLiteral("1234567"));
        QTest::keyClick(d().txtDNI, Qt::Key_Return);
        QCOMPARE(CarpetaPrueba::mensajes(),
                 QStringList({QStringLiteral("DNI no válido"), QStringLiteral("El DNI introducido no es válido")}));
        QVERIFY(d().isVisible());
        QVERIFY(!estado().blnAccesoConcedido);
    }

    void escYSalirTerminanSinEntrar_data()
    {
        QTest::addColumn<bool>("conEsc");
        QTest::newRow("Esc") << true;
        QTest::newRow("Salir") << false;
    }
    void escYSalirTerminanSinEntrar()
    {
        QFETCH(bool, conEsc);
        abrir();
        QTest::keyClicks(d().txtDNI, QStringLiteral("123"));
        if (conEsc)
            QTest::keyClick(d().txtDNI, Qt::Key_Escape);
        else
            QTest::mouseClick(d().cmdSalir, Qt::LeftButton);
        QVERIFY(!d().isVisible());
        QCOMPARE(d().result(), int(QDialog::Rejected));
        QVERIFY(!estado().blnAccesoConcedido);
        QVERIFY(CarpetaPrueba::mensajes().isEmpty()); // no DNI check on the way out
    }
};

QTEST_MAIN(TstFrmUsuario)
#include "tst_frmusuario.moc"

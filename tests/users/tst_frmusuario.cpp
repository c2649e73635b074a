#include "tests/support/CarpetaPrueba.h"
#include "users/Validacion.h"
#include "users/frmUsuario.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {
const QString DNI = QStringLiteral("12345678Z");
}

class tst_frmusuario : public QObject {
    Q_OBJECT

    std::unique_ptr<CarpetaPrueba> carpeta;
    std::unique_ptr<frmUsuario> dialogo;

    // The sign-in dialog, with DNI registered under password when one is given.
    frmUsuario& abrir(const QString& password = {})
    {
        carpeta = std::make_unique<CarpetaPrueba>();
        carpeta->escribir(QStringLiteral("usuarioslimpio.xml"), PlantillaUsuarios);
        if (!password.isEmpty()) {
            Validacion::CargaUsuarios(Validacion::PrepararUsuarios(carpeta->dir.path()));
            Validacion::AltaUsuario(DNI, password.toUpper());
        }
        dialogo = std::make_unique<frmUsuario>();
        dialogo->show();
        [&] { QVERIFY(QTest::qWaitForWindowActive(dialogo.get())); }();
        dialogo->txtDNI->setFocus();
        return *dialogo;
    }

private slots:
    void cleanup()
    {
        dialogo.reset();
        carpeta.reset();
    }

    // As it opens: the focus in the DNI field, the password stage hidden; the
    // first keystrokes go to the DNI and its ninth character moves on.
    void estadoInicial()
    {
        carpeta = std::make_unique<CarpetaPrueba>();
        dialogo = std::make_unique<frmUsuario>();
        dialogo->show();
        QVERIFY(QTest::qWaitForWindowActive(dialogo.get()));
        QVERIFY(dialogo->txtDNI->hasFocus());
        QVERIFY(!dialogo->txtPwd->isVisible() && !dialogo->cmdAceptarPwd->isVisible());
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("12345678z"));
        QCOMPARE(dialogo->txtDNI->text(), DNI);
        QVERIFY(dialogo->cmdAceptarDNI->hasFocus());
        QVERIFY(MessageBox::shown().isEmpty());
    }

    void dniNoRegistradoEntraSinPassword()
    {
        frmUsuario& d = abrir();
        QTest::keyClicks(d.txtDNI, QStringLiteral("123-4.56,7l"));
        QVERIFY(d.txtDNI->hasFocus()); // eight characters: no jump yet
        QTest::keyClick(d.txtDNI, Qt::Key_Tab);
        QCOMPARE(d.txtDNI->text(), QStringLiteral("01234567L")); // separators refused, checked on leaving
        QTest::mouseClick(d.cmdAceptarDNI, Qt::LeftButton);
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QVERIFY(!d.txtPwd->isVisibleTo(&d));
        QVERIFY(estado().blnAccesoConcedido && !estado().blnTienePassword);
        QCOMPARE(estado().strDNIActual, QStringLiteral("01234567L"));
        QCOMPARE(estado().strFicheroPorDefecto, QStringLiteral("01234567L.doc"));
        QVERIFY(MessageBox::shown().isEmpty());
    }

    // Blanks, points and hyphens, typed or pasted, are dropped and the letter
    // upper-cased; the ninth digit or letter moves on.
    void dniComoLoEscribeLaGente()
    {
        frmUsuario& d = abrir();
        QTest::keyClicks(d.txtDNI, QStringLiteral("1234 5678"));
        QVERIFY(d.txtDNI->hasFocus());
        QTest::keyClicks(d.txtDNI, QStringLiteral("z"));
        QCOMPARE(d.txtDNI->text(), DNI);
        QVERIFY(d.cmdAceptarDNI->hasFocus());
        for (const char* forma : {"12345678-Z", "12.345.678-z", " 12345678Z", "12345678Z\n", "1234 5678 Z\r\n"}) {
            d.txtDNI->setFocus();
            d.txtDNI->clear();
            QGuiApplication::clipboard()->setText(QString::fromLatin1(forma));
            QTest::keyClick(d.txtDNI, Qt::Key_V, Qt::ControlModifier);
            QVERIFY2(d.txtDNI->text() == DNI, forma);
            QVERIFY2(d.cmdAceptarDNI->hasFocus(), forma);
        }
        QVERIFY(MessageBox::shown().isEmpty());
        QTest::keyClick(d.cmdAceptarDNI, Qt::Key_Space);
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QCOMPARE(estado().strDNIActual, DNI);
    }

    void dniRegistradoPideLaPassword_data()
    {
        QTest::addColumn<QString>("registrada");
        QTest::addColumn<QString>("tecleada");
        QTest::newRow("registrada en minúsculas") << "secreto"
                                                  << "SECRETO";
        QTest::newRow("registrada en mayúsculas") << "SECRETO"
                                                  << "secreto";
    }
    void dniRegistradoPideLaPassword()
    {
        QFETCH(QString, registrada);
        QFETCH(QString, tecleada);
        frmUsuario& d = abrir(registrada);
        QTest::keyClicks(d.txtDNI, QStringLiteral("12345678z"));
        QVERIFY(d.cmdAceptarDNI->hasFocus()); // the ninth character moved the focus on
        QCOMPARE(d.txtDNI->text(), DNI);
        QTest::keyClick(d.cmdAceptarDNI, Qt::Key_Space);
        QVERIFY(d.isVisible() && d.txtPwd->isVisible() && d.cmdAceptarPwd->isVisible());
        QVERIFY(!d.txtDNI->isEnabled() && d.txtPwd->hasFocus());
        QVERIFY(estado().blnTienePassword && !estado().blnAccesoConcedido);
        QTest::keyClicks(d.txtPwd, tecleada);
        QTest::keyClick(d.txtPwd, Qt::Key_Return);
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QVERIFY(estado().blnAccesoConcedido);
        QCOMPARE(estado().strDNIActual, DNI);
        QVERIFY(estado().strFicheroPorDefecto.isEmpty()); // the form writes under the default name
    }

    void passwordVaciaOErronea()
    {
        frmUsuario& d = abrir(QStringLiteral("secreto"));
        QTest::keyClicks(d.txtDNI, DNI);
        QTest::mouseClick(d.cmdAceptarDNI, Qt::LeftButton);
        QTest::mouseClick(d.cmdAceptarPwd, Qt::LeftButton);
        unMensaje(QStringLiteral("Es obligatorio rellenar Usuario y Password"), QStringLiteral("Varelio"),
            QMessageBox::Warning);
        MessageBox::clear();
        QTest::keyClicks(d.txtPwd, QStringLiteral("secret"));
        QTest::mouseClick(d.cmdAceptarPwd, Qt::LeftButton);
        unMensaje(QStringLiteral("Usuario no válido"), QStringLiteral("Varelio"), QMessageBox::Warning);
        QVERIFY(d.isVisible() && d.txtPwd->isVisible());
        QCOMPARE(d.txtPwd->text(), QStringLiteral("secret"));
        QVERIFY(!estado().blnAccesoConcedido);
        // The wrong password stays, selected: the right one typed replaces it.
        QVERIFY(d.txtPwd->hasFocus());
        QCOMPARE(d.txtPwd->selectedText(), QStringLiteral("secret"));
        MessageBox::clear();
        QTest::keyClicks(d.txtPwd, QStringLiteral("secreto"));
        QTest::keyClick(d.txtPwd, Qt::Key_Return);
        QVERIFY(MessageBox::shown().isEmpty());
        QCOMPARE(d.result(), int(QDialog::Accepted));
    }

    void dniErroneo()
    {
        frmUsuario& d = abrir();
        // Leaving an empty field: the check's message, the focus stays.
        QTest::keyClick(d.txtDNI, Qt::Key_Tab);
        unMensaje(QStringLiteral("DNI no válido"), QStringLiteral("Error en DNI"), QMessageBox::Warning);
        QVERIFY(d.txtDNI->hasFocus() && d.txtDNI->text().isEmpty());
        // Confirmed with Enter while still in the field: two messages.
        MessageBox::clear();
        QTest::keyClicks(d.txtDNI, QStringLiteral("1234567"));
        QTest::keyClick(d.txtDNI, Qt::Key_Return);
        QCOMPARE(CarpetaPrueba::mensajes(),
            QStringList({QStringLiteral("DNI no válido"), QStringLiteral("El DNI introducido no es válido")}));
        QVERIFY(d.isVisible() && !estado().blnAccesoConcedido);
    }

    void escYSalir_data()
    {
        QTest::addColumn<bool>("conEsc");
        QTest::newRow("Esc") << true;
        QTest::newRow("Salir") << false;
    }
    void escYSalir()
    {
        QFETCH(bool, conEsc);
        frmUsuario& d = abrir();
        QTest::keyClicks(d.txtDNI, QStringLiteral("123"));
        if (conEsc)
            QTest::keyClick(d.txtDNI, Qt::Key_Escape);
        else
            QTest::mouseClick(d.cmdSalir, Qt::LeftButton);
        QCOMPARE(d.result(), int(QDialog::Rejected));
        QVERIFY(!d.isVisible() && !estado().blnAccesoConcedido);
        QVERIFY(MessageBox::shown().isEmpty()); // no DNI check on the way out
    }
};

QTEST_MAIN(tst_frmusuario)
#include "tst_frmusuario.moc"

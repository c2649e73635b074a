#include "../shell/CarpetaPrueba.h"
#include "users/Validacion.h"
#include "users/frmCreaPwd.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

namespace {
const QString DNI = QStringLiteral("12345678Z");
}

class TstFrmCreaPwd : public QObject {
    Q_OBJECT

    std::unique_ptr<CarpetaPrueba> carpeta;
    std::unique_ptr<frmCreaPwd> dialogo;

    void abrir()
    {
        carpeta = std::make_unique<CarpetaPrueba>();
        carpeta->escribir(QStringLiteral("usuarioslimpio.xml"), PlantillaUsuarios);
        Validacion::CargaUsuarios(Validacion::PrepararUsuarios(carpeta->dir.path()));
        dialogo = std::make_unique<frmCreaPwd>();
        dialogo->strDNI = DNI;
        dialogo->show();
        QVERIFY(QTest::qWaitForWindowActive(dialogo.get()));
    }

    void teclear(const QString& primera, const QString& segunda)
    {
        dialogo->txtPwd[0]->clear();
        dialogo->txtPwd[1]->clear();
        dialogo->txtPwd[0]->setFocus();
        QTest::keyClicks(dialogo->txtPwd[0], primera);
        QTest::keyClick(dialogo->txtPwd[0], Qt::Key_Tab);
        QTest::keyClicks(dialogo->txtPwd[1], segunda);
        QTest::mouseClick(dialogo->cmdAceptar, Qt::LeftButton);
    }

    int entradas() const
    {
        return carpeta->leer(QStringLiteral("usuarios.xml")).count("<Usuario>");
    }

private slots:
    void cleanup()
    {
        dialogo.reset();
        carpeta.reset();
    }

    void rechazos_data()
    {
        QTest::addColumn<QString>("primera");
        QTest::addColumn<QString>("segunda");
        QTest::addColumn<QString>("mensaje");
        const QString corta = QStringLiteral("El password debe tener al menos 6 caracteres");
        const QString distintas = QStringLiteral("Escriba la misma contraseña en las dos casillas");
        QTest::newRow("cinco caracteres") << "abcde" << "abcde" << corta;
        QTest::newRow("segunda corta") << "abcdef" << "abc" << corta;
        QTest::newRow("distintas") << "abcdef" << "abcdeg" << distintas;
        QTest::newRow("solo difieren en mayúsculas") << "abcdef" << "ABCDEF" << distintas;
    }
    void rechazos()
    {
        QFETCH(QString, primera);
        QFETCH(QString, segunda);
        QFETCH(QString, mensaje);
        abrir();
        teclear(primera, segunda);
        QCOMPARE(CarpetaPrueba::mensajes(), QStringList(mensaje));
        QCOMPARE(MessageBox::shown().first().title, QStringLiteral("Varelio"));
        QCOMPARE(MessageBox::shown().first().icon, QMessageBox::NoIcon);
        QVERIFY(dialogo->isVisible());
        QVERIFY(dialogo->txtPwd[0]->text().isEmpty() && dialogo->txtPwd[1]->text().isEmpty());
        QVERIFY(!Validacion::ExisteUsuario(DNI));
    }

    void creaYReemplaza()
    {
        abrir();
        teclear(QStringLiteral("primera"), QStringLiteral("primera"));
        QVERIFY(!dialogo->isVisible());
        QCOMPARE(dialogo->result(), int(QDialog::Accepted));
        QVERIFY(Validacion::CompruebaPassword(DNI, QStringLiteral("PRIMERA")));
        QCOMPARE(entradas(), 1);

        dialogo->show();
        teclear(QStringLiteral("Segunda"), QStringLiteral("Segunda"));
        QVERIFY(!dialogo->isVisible());
        QVERIFY(Validacion::CompruebaPassword(DNI, QStringLiteral("SEGUNDA")));
        QVERIFY(!Validacion::CompruebaPassword(DNI, QStringLiteral("PRIMERA")));
        QCOMPARE(entradas(), 1);
        QVERIFY(CarpetaPrueba::mensajes().isEmpty());
    }

    void salirNoCambiaNada()
    {
        abrir();
        QTest::keyClicks(dialogo->txtPwd[0], QStringLiteral("abcdef"));
        QTest::mouseClick(dialogo->cmdSalir, Qt::LeftButton);
        QVERIFY(!dialogo->isVisible());
        QCOMPARE(entradas(), 0);
        QVERIFY(!Validacion::ExisteUsuario(DNI));
    }

    // The user hears that the password was not kept, and the old one still works.
    void ficheroNoEscribible()
    {
        abrir();
        teclear(QStringLiteral("primera"), QStringLiteral("primera"));
        const QByteArray antes = carpeta->leer(QStringLiteral("usuarios.xml"));
        dialogo->show();

        std::signal(SIGXFSZ, SIG_IGN);
        rlimit previo{};
        getrlimit(RLIMIT_FSIZE, &previo);
        rlimit corto = previo;
        corto.rlim_cur = 32;
        setrlimit(RLIMIT_FSIZE, &corto);
        teclear(QStringLiteral("segunda"), QStringLiteral("segunda"));
        setrlimit(RLIMIT_FSIZE, &previo);

        QCOMPARE(MessageBox::shown().size(), 1);
        QVERIFY(MessageBox::shown().first().text.startsWith(QStringLiteral("No se ha podido guardar la contraseña")));
        QVERIFY(dialogo->isVisible());
        QCOMPARE(carpeta->leer(QStringLiteral("usuarios.xml")), antes);
        QVERIFY(Validacion::CompruebaPassword(DNI, QStringLiteral("PRIMERA")));
    }
};

QTEST_MAIN(TstFrmCreaPwd)
#include "tst_frmcreapwd.moc"

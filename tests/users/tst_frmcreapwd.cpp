#include "tests/support/CarpetaPrueba.h"
#include "users/Validacion.h"
#include "users/frmCreaPwd.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <sys/stat.h>
#include <unistd.h>

namespace {
const QString DNI = QStringLiteral("12345678Z");

// While it lives, this process cannot read the file: mode 000 and, for root
// (who reads any mode), another effective user, as after a run by someone else.
struct SinLectura {
    QByteArray fichero;
    bool root = ::geteuid() == 0;
    SinLectura(const QString& carpeta, const QString& ruta) : fichero(QFile::encodeName(ruta))
    {
        ::chmod(QFile::encodeName(carpeta).constData(), 0777);
        ::chmod(fichero.constData(), 0);
        if (root && (::setegid(65534) != 0 || ::seteuid(65534) != 0))
            qFatal("no other user");
    }
    ~SinLectura()
    {
        if (root && (::seteuid(0) != 0 || ::setegid(0) != 0))
            qFatal("root not back");
        ::chmod(fichero.constData(), 0600);
    }
};
} // namespace

class tst_frmcreapwd : public QObject {
    Q_OBJECT

    std::unique_ptr<CarpetaPrueba> carpeta;

    // Runs a password dialog for DNI on the user file of the test folder;
    // returns what is left in the two fields.
    QString crear(const QString& primera, const QString& segunda, bool seCierra)
    {
        frmCreaPwd d;
        d.strDNI = DNI;
        d.show();
        d.activateWindow();
        d.txtPwd[0]->setFocus();
        QTest::keyClicks(d.txtPwd[0], primera);
        QTest::keyClick(d.txtPwd[0], Qt::Key_Tab);
        QTest::keyClicks(d.txtPwd[1], segunda);
        QTest::mouseClick(d.cmdAceptar, Qt::LeftButton);
        [&] { QCOMPARE(d.isVisible(), !seCierra); }();
        return d.txtPwd[0]->text() + d.txtPwd[1]->text();
    }

    qsizetype entradas() const { return carpeta->leer(QStringLiteral("usuarios.xml")).count("<Usuario>"); }

private slots:
    void init()
    {
        carpeta = std::make_unique<CarpetaPrueba>();
        carpeta->escribir(QStringLiteral("usuarioslimpio.xml"), PlantillaUsuarios);
        Validacion::CargaUsuarios(Validacion::PrepararUsuarios(carpeta->dir.path()));
    }
    void cleanup() { carpeta.reset(); }

    void rechazos_data()
    {
        QTest::addColumn<QString>("primera");
        QTest::addColumn<QString>("segunda");
        QTest::addColumn<QString>("mensaje");
        const QString corta = QStringLiteral("El password debe tener al menos 6 caracteres");
        const QString distintas = QStringLiteral("Escriba la misma contraseña en las dos casillas");
        QTest::newRow("cinco caracteres") << "abcde"
                                          << "abcde" << corta;
        QTest::newRow("segunda corta") << "abcdef"
                                       << "abc" << corta;
        QTest::newRow("solo difieren en mayúsculas") << "abcdef"
                                                     << "ABCDEF" << distintas;
    }
    void rechazos()
    {
        QFETCH(QString, primera);
        QFETCH(QString, segunda);
        QFETCH(QString, mensaje);
        QCOMPARE(crear(primera, segunda, false), QString()); // both fields emptied
        unMensaje(mensaje, QStringLiteral("Varelio"), QMessageBox::NoIcon);
        QVERIFY(!Validacion::ExisteUsuario(DNI));
    }

    // Opened as the sign-in opens it: the typing lands, hidden, in the first
    // box, each box is named by its label, and Tab goes box, box, Aceptar, Salir.
    void estadoInicial()
    {
        frmCreaPwd d;
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        QVERIFY(d.txtPwd[0]->hasFocus());
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("abc"));
        QCOMPARE(d.txtPwd[0]->text(), QStringLiteral("abc"));
        QCOMPARE(d.txtPwd[0]->displayText(), QStringLiteral("***"));
        QCOMPARE(d.Label1->buddy(), d.txtPwd[0]);
        QCOMPARE(d.Label2->buddy(), d.txtPwd[1]);
        QVERIFY(d.cmdAceptar->isDefault() && !d.cmdSalir->autoDefault());
        for (QWidget* siguiente : std::initializer_list<QWidget*>{d.txtPwd[1], d.cmdAceptar, d.cmdSalir, d.txtPwd[0]}) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), siguiente);
        }
        QVERIFY(MessageBox::shown().isEmpty());
    }

    // Enter in the first box goes to the second; there it confirms.
    void enterPasaALaSegunda()
    {
        frmCreaPwd d;
        d.strDNI = DNI;
        d.show();
        d.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        d.txtPwd[0]->setFocus();
        QTest::keyClicks(d.txtPwd[0], QStringLiteral("abcdefgh"));
        QTest::keyClick(d.txtPwd[0], Qt::Key_Return);
        QVERIFY(d.txtPwd[1]->hasFocus());
        QCOMPARE(d.txtPwd[0]->text(), QStringLiteral("abcdefgh"));
        QVERIFY(MessageBox::shown().isEmpty() && d.isVisible());
        QTest::keyClicks(d.txtPwd[1], QStringLiteral("abcdefgh"));
        QTest::keyClick(d.txtPwd[1], Qt::Key_Return);
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QVERIFY(MessageBox::shown().isEmpty());
        QVERIFY(Validacion::CompruebaPassword(DNI, QStringLiteral("ABCDEFGH")));
    }

    void creaYReemplaza()
    {
        crear(QStringLiteral("primera"), QStringLiteral("primera"), true);
        QVERIFY(Validacion::CompruebaPassword(DNI, QStringLiteral("PRIMERA")));
        crear(QStringLiteral("Segunda"), QStringLiteral("Segunda"), true);
        QVERIFY(Validacion::CompruebaPassword(DNI, QStringLiteral("SEGUNDA")));
        QCOMPARE(entradas(), 1);
        QVERIFY(MessageBox::shown().isEmpty());
    }

    // The user hears that the password was not kept, and the old one still works.
    void ficheroNoEscribible()
    {
        crear(QStringLiteral("primera"), QStringLiteral("primera"), true);
        const QByteArray antes = carpeta->leer(QStringLiteral("usuarios.xml"));
        {
            DiscoLleno lleno;
            crear(QStringLiteral("segunda"), QStringLiteral("segunda"), false);
        }
        QCOMPARE(MessageBox::shown().size(), 1);
        QVERIFY(MessageBox::shown().first().text.startsWith(QStringLiteral("No se ha podido guardar la contraseña")));
        QCOMPARE(carpeta->leer(QStringLiteral("usuarios.xml")), antes);
        QVERIFY(Validacion::CompruebaPassword(DNI, QStringLiteral("PRIMERA")));
    }

    // A user file that exists but cannot be read signs everyone in without a
    // password; a registration is refused, saying where the file is, and the
    // file with its registrations is left alone.
    void ficheroIlegibleNoSeSustituye()
    {
        const QString ruta = carpeta->ruta(QStringLiteral("usuarios.xml"));
        QVERIFY(Validacion::AltaUsuario(QStringLiteral("01234567L"), QStringLiteral("OTRA")));
        const QByteArray antes = carpeta->leer(QStringLiteral("usuarios.xml"));
        {
            SinLectura sinLectura(carpeta->dir.path(), ruta);
            QVERIFY(Validacion::CargaUsuarios(ruta));
            QVERIFY(!Validacion::ExisteUsuario(QStringLiteral("01234567L")));
            crear(QStringLiteral("nueva1"), QStringLiteral("nueva1"), false);
        }
        QCOMPARE(MessageBox::shown().size(), 1);
        const QString texto = MessageBox::shown().first().text;
        QVERIFY2(texto.contains(QStringLiteral("No se puede leer el fichero de usuarios ") + ruta), qPrintable(texto));
        QCOMPARE(carpeta->leer(QStringLiteral("usuarios.xml")), antes);
        QCOMPARE(QDir(carpeta->dir.path()).entryList(QDir::Files | QDir::Hidden),
            QStringList({QStringLiteral(".usuarios.xml.lock"), QStringLiteral("usuarios.xml"),
                QStringLiteral("usuarioslimpio.xml")}));
    }
};

QTEST_MAIN(tst_frmcreapwd)
#include "tst_frmcreapwd.moc"

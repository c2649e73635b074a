#include "tests/support/CarpetaPrueba.h"
#include "shell/ModCargaFicheros.h"
#include "shell/ModGeneral.h"

#include <QFontDatabase>
#include <QKeyEvent>
#include <QTimer>
#include <QLineEdit>

class tst_modgeneral : public QObject {
    Q_OBJECT
private slots:
    void rellenar()
    {
        CarpetaPrueba c;
        const QString cero = QStringLiteral("0");
        QCOMPARE(ModGeneral::Rellenar(QStringLiteral("1234567L"), 9, true, cero).valor, QStringLiteral("01234567L"));
        QCOMPARE(ModGeneral::Rellenar(QStringLiteral("1234567L"), 9, false, cero).valor, QStringLiteral("1234567L0"));
        QCOMPARE(ModGeneral::Rellenar(QStringLiteral("012345678Z"), 9, true, cero).valor, QStringLiteral("012345678Z"));
        const ResultadoCon<QString> mal = ModGeneral::Rellenar(QStringLiteral("1"), 9, true, QStringLiteral("00"));
        QCOMPARE(mal.valor, QString());
        QVERIFY(!mal);
        QCOMPARE(mal.motivo, QStringLiteral("Sólo se admiten caracteres, no cadenas en el argumento 'caracter'"));
        QVERIFY(MessageBox::shown().isEmpty());
    }

    void leerFicheroTexto()
    {
        CarpetaPrueba c;
        c.escribir(QStringLiteral("ficheros/crlf.txt"), "A\r\nB\r\n");
        c.escribir(QStringLiteral("ficheros/lf.txt"), "A\xf1o \x80\nB");
        QCOMPARE(ModCargaFicheros::LeerFicheroTexto(QStringLiteral("crlf.txt")).valor, QStringLiteral("\r\nA\r\nB"));
        QCOMPARE(ModCargaFicheros::LeerFicheroTexto(QStringLiteral("lf.txt")).valor, QStringLiteral("\r\nAño €\r\nB"));
        const auto falta = ModCargaFicheros::LeerFicheroTexto(QStringLiteral("no-existe.txt"));
        QVERIFY(!falta);
        QCOMPARE(falta.numero, Resultado::ArchivoNoEncontrado);
    }

    // Keys that edit the box without typing a character pass the numeric filter,
    // also Delete as X11 reports it (with the character 127).
    void teclasDeEdicionPasanElFiltro()
    {
        CarpetaPrueba c;
        QLineEdit campo(QStringLiteral("12,5"));
        campo.setCursorPosition(0);
        for (const auto& [tecla, texto] :
            {std::pair{Qt::Key_Delete, QStringLiteral("\x7f")}, std::pair{Qt::Key_Right, QString()}}) {
            QKeyEvent evento(QEvent::KeyPress, tecla, Qt::NoModifier, texto);
            QVERIFY(!ModGeneral::FiltrarEventoTecla(&campo, &evento, true));
        }
        QKeyEvent letra(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QVERIFY(ModGeneral::FiltrarEventoTecla(&campo, &letra, true));
    }

    // A real box: wide enough for its title beside a window manager's buttons,
    // Enter pressing the default button asked for.
    void cajaTanAnchaComoSuTitulo()
    {
        CarpetaPrueba c;
        MessageBox::setTestMode(false);
        int ancho = 0;
        QString titulo;
        auto responder = [&] {
            QTimer::singleShot(0, [&] {
                auto* caja = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                if (!caja)
                    return;
                ancho = caja->width();
                titulo = caja->windowTitle();
                QTest::keyClick(caja, Qt::Key_Return);
            });
        };
        responder();
        QCOMPARE(
            MessageBox::show(QStringLiteral("DNI no válido"), QStringLiteral("Error en DNI"), QMessageBox::Warning),
            QMessageBox::Ok);
        const QFontMetrics fm(QFontDatabase::systemFont(QFontDatabase::TitleFont));
        QCOMPARE(titulo, QStringLiteral("Error en DNI"));
        QVERIFY(ancho >= MessageBox::minimumWidth(titulo, fm));
        QVERIFY(MessageBox::minimumWidth(titulo, fm) > fm.horizontalAdvance(titulo) + 6 * fm.height());
        responder();
        QCOMPARE(MessageBox::show(QStringLiteral("¿Desea borrar esta solicitud?"), QStringLiteral("Borrar"),
                     QMessageBox::Question, QMessageBox::Yes | QMessageBox::No, QMessageBox::No),
            QMessageBox::No);
        MessageBox::setTestMode(true);
    }

    // Pasted text keeps what typing it would have entered, in order.
    void textoPegadoComoTecleado()
    {
        const std::tuple<const char*, bool, bool, const char*> casos[]
            = {{"28O01", true, false, "2801"}, {"C.P. 28001", true, false, ",28001"}, {"1,5.3n", true, false, "1,53"},
                {",5", true, true, "5"}, {"-3\r\n", true, false, "-3"}, {"1-\t5", true, false, "1-5"},
                {"a\"b'c\r\n", false, false, "abc"}, {"", true, false, ""}};
        for (const auto& [texto, numerico, hayComa, queda] : casos)
            QCOMPARE(
                ModGeneral::FiltrarTexto(QString::fromLatin1(texto), numerico, hayComa), QString::fromLatin1(queda));
    }
};

QTEST_MAIN(tst_modgeneral)
#include "tst_modgeneral.moc"

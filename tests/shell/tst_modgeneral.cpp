#include "CarpetaPrueba.h"
#include "shell/ErrorEjecucion.h"
#include "shell/ModCargaFicheros.h"
#include "shell/ModGeneral.h"

#include <QKeyEvent>
#include <QLineEdit>

class TstModGeneral : public QObject {
    Q_OBJECT
private slots:
    void rellenar()
    {
        CarpetaPrueba c;
        const QString cero = QStringLiteral("0");
        QCOMPARE(ModGeneral::Rellenar(QStringLiteral("1234567L"), 9, true, cero), QStringLiteral("01234567L"));
        QCOMPARE(ModGeneral::Rellenar(QStringLiteral("1234567L"), 9, false, cero), QStringLiteral("1234567L0"));
        QCOMPARE(ModGeneral::Rellenar(QStringLiteral("012345678Z"), 9, true, cero), QStringLiteral("012345678Z"));
        QVERIFY(MessageBox::shown().isEmpty());
        QCOMPARE(ModGeneral::Rellenar(QStringLiteral("1"), 9, true, QStringLiteral("00")), QString());
        unMensaje(QStringLiteral("Sólo se admiten caracteres, no cadenas en el argumento 'caracter'"),
                  QStringLiteral("Error"), QMessageBox::NoIcon);
    }

    void leerFicheroTexto()
    {
        CarpetaPrueba c;
        c.escribir(QStringLiteral("ficheros/crlf.txt"), "A\r\nB\r\n");
        c.escribir(QStringLiteral("ficheros/lf.txt"), "A\xf1o \x80\nB");
        QCOMPARE(ModCargaFicheros::LeerFicheroTexto(QStringLiteral("crlf.txt")), QStringLiteral("\r\nA\r\nB"));
        QCOMPARE(ModCargaFicheros::LeerFicheroTexto(QStringLiteral("lf.txt")), QStringLiteral("\r\nAño €\r\nB"));
        QVERIFY_THROWS_EXCEPTION(ErrorEjecucion, ModCargaFicheros::LeerFicheroTexto(QStringLiteral("no-existe.txt")));
    }

    // Keys that edit the box without typing a character pass the numeric filter,
    // also Delete as X11 reports it (with the character 127).
    void teclasDeEdicionPasanElFiltro()
    {
        CarpetaPrueba c;
        QLineEdit campo(QStringLiteral("12,5"));
        campo.setCursorPosition(0);
        for (const auto& [tecla, texto] : {std::pair{Qt::Key_Delete, QStringLiteral("\x7f")},
                                           std::pair{Qt::Key_Right, QString()}}) {
            QKeyEvent evento(QEvent::KeyPress, tecla, Qt::NoModifier, texto);
            QVERIFY(!ModGeneral::FiltrarEventoTecla(&campo, &evento, true));
        }
        QKeyEvent letra(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QVERIFY(ModGeneral::FiltrarEventoTecla(&campo, &letra, true));
    }
};

QTEST_MAIN(TstModGeneral)
#include "tst_modgeneral.moc"

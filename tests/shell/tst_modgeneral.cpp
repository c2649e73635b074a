#include "CarpetaPrueba.h"
#include "shell/ErrorEjecucion.h"
#include "shell/ModCargaFicheros.h"
#include "shell/ModGeneral.h"

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
};

QTEST_MAIN(TstModGeneral)
#include "tst_modgeneral.moc"

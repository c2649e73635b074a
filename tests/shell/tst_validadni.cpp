#include "tests/support/CarpetaPrueba.h"
#include "shell/ValidaDNI.h"

#include <QLineEdit>

class tst_validadni : public QObject {
    Q_OBJECT
private slots:
    void casos_data()
    {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<bool>("valido");
        QTest::addColumn<QString>("queda");
        QTest::newRow("letra en minúscula") << "12345678z" << true << "12345678Z";
        QTest::newRow("ocho caracteres") << "1234567L" << true << "01234567L";
        QTest::newRow("resto 0") << "00000023T" << true << "00000023T";
        QTest::newRow("vacío") << "" << false << "000000000";
        QTest::newRow("letra equivocada") << "12345678A" << false << "12345678A";
        QTest::newRow("extranjero") << "X1234567L" << false << "X1234567L";
        QTest::newRow("diez caracteres") << "012345678Z" << false << "012345678Z";
        QTest::newRow("sin letra") << "123456789" << false << "123456789";
        QTest::newRow("cifra no ASCII") << QString::fromUtf8("1234567٣Z") << false << QString::fromUtf8("1234567٣Z");
    }
    void casos()
    {
        QFETCH(QString, texto);
        QFETCH(bool, valido);
        QFETCH(QString, queda);
        CarpetaPrueba c;
        QLineEdit campo(QStringLiteral("12345678A"));
        Validacion::ValidaDNI(&campo); // red first: a valid DNI must turn it black again
        MessageBox::clear();
        campo.setText(texto);
        QCOMPARE(Validacion::ValidaDNI(&campo), valido);
        QCOMPARE(campo.text(), queda);
        QCOMPARE(campo.palette().color(QPalette::Text), valido ? QColor(0, 0, 0) : QColor(254, 0, 0));
        QVERIFY(MessageBox::shown().isEmpty()); // the sign-in dialog says "DNI no válido"
    }

    // The forms people type and paste, down to digits and letter, the caret
    // staying between the same characters.
    void limpiarDNI()
    {
        for (const char* forma :
            {"1234 5678z", "12345678-Z", "12.345.678-Z", " 12345678Z", "12345678Z\r\n", "12,345,678\tZ"})
            QCOMPARE(Validacion::LimpiarDNI(QString::fromLatin1(forma)), QStringLiteral("12345678Z"));
        QCOMPARE(Validacion::LimpiarDNI(QStringLiteral("x1-a")), QStringLiteral("X1A"));
        int cursor = 5; // after "12.34"
        QCOMPARE(Validacion::LimpiarDNI(QStringLiteral("12.345.678-Z"), &cursor), QStringLiteral("12345678Z"));
        QCOMPARE(cursor, 4);
        cursor = 12;
        Validacion::LimpiarDNI(QStringLiteral("12.345.678-Z"), &cursor);
        QCOMPARE(cursor, 9);
    }
};

QTEST_MAIN(tst_validadni)
#include "tst_validadni.moc"

#include "CarpetaPrueba.h"
#include "shell/ValidaDNI.h"

#include <QLineEdit>

class TstValidaDNI : public QObject {
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
        if (valido)
            QVERIFY(MessageBox::shown().isEmpty());
        else
            unMensaje(QStringLiteral("DNI no válido"), QStringLiteral("Error en DNI"), QMessageBox::Warning);
    }
};

QTEST_MAIN(TstValidaDNI)
#include "tst_validadni.moc"

#include "CarpetaPrueba.h"
#include "shell/ValidaDNI.h"

#include <QLineEdit>
#include <QTest>

class TstValidaDNI : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        MessageBox::setTestMode(true);
        MessageBox::clear();
    }

    void casos_data()
    {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<bool>("valido");
        QTest::addColumn<QString>("queda");
        QTest::newRow("ejemplo en minúscula") << "12345678z" << true << "12345678Z";
        QTest::newRow("ocho caracteres") << "1234567L" << true << "01234567L";
        QTest::newRow("letra de resto 0") << "00000023T" << true << "00000023T";
        QTest::newRow("vacío") << "" << false << "000000000";
        QTest::newRow("letra equivocada") << "12345678A" << false << "12345678A";
        QTest::newRow("letra de minúscula equivocada") << "12345678a" << false << "12345678a";
        QTest::newRow("extranjero") << "X1234567L" << false << "X1234567L";
        QTest::newRow("diez caracteres") << "012345678Z" << false << "012345678Z";
        QTest::newRow("sin letra") << "123456789" << false << "123456789";
        QTest::newRow("cifras no ASCII") << QString::fromUtf8("1234567٣Z") << false << QString::fromUtf8("1234567٣Z");
    }
    void casos()
    {
        QFETCH(QString, texto);
        QFETCH(bool, valido);
        QFETCH(QString, queda);
        QLineEdit campo(texto);
        QCOMPARE(Validacion::ValidaDNI(&campo), valido);
        QCOMPARE(campo.text(), queda);
        QCOMPARE(campo.palette().color(QPalette::Text), valido ? QColor(0, 0, 0) : QColor(254, 0, 0));
        if (valido) {
            QVERIFY(MessageBox::shown().isEmpty());
        } else {
            QCOMPARE(MessageBox::shown().size(), 1);
            QCOMPARE(MessageBox::shown().first().text, QStringLiteral("DNI no válido"));
            QCOMPARE(MessageBox::shown().first().title, QStringLiteral("Error en DNI"));
            QCOMPARE(MessageBox::shown().first().icon, QMessageBox::Warning);
            QCOMPARE(MessageBox::shown().first().buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        }
    }

    // A red field turns black again once the DNI is corrected.
    void colorVuelveANegro()
    {
        QLineEdit campo(QStringLiteral("12345678A"));
        QVERIFY(!Validacion::ValidaDNI(&campo));
        campo.setText(QStringLiteral("12345678Z"));
        QVERIFY(Validacion::ValidaDNI(&campo));
        QCOMPARE(campo.palette().color(QPalette::Text), QColor(0, 0, 0));
    }
};

QTEST_MAIN(TstValidaDNI)
#include "tst_validadni.moc"

#include "CarpetaPrueba.h"
#include "shell/ErrorEjecucion.h"
#include "shell/ModCargaFicheros.h"
#include "shell/ModGeneral.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

namespace {
// A line edit whose typed keys go through the program's key filter.
class Campo : public QLineEdit {
public:
    Campo(bool numerico, QWidget* padre) : QLineEdit(padre), numerico_(numerico) {}

protected:
    void keyPressEvent(QKeyEvent* e) override
    {
        if (!ModGeneral::FiltrarEventoTecla(this, e, numerico_))
            QLineEdit::keyPressEvent(e);
    }

private:
    bool numerico_;
};
}

class TstModGeneral : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        MessageBox::setTestMode(true);
        MessageBox::clear();
    }

    void rellenar_data()
    {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<int>("largo");
        QTest::addColumn<bool>("izquierda");
        QTest::addColumn<QString>("resultado");
        QTest::newRow("izquierda") << "1234567L" << 9 << true << "01234567L";
        QTest::newRow("derecha") << "1234567L" << 9 << false << "1234567L0";
        QTest::newRow("justo") << "12345678Z" << 9 << true << "12345678Z";
        QTest::newRow("más largo, sin cortar") << "012345678Z" << 9 << true << "012345678Z";
        QTest::newRow("vacío") << "" << 3 << true << "000";
    }
    void rellenar()
    {
        QFETCH(QString, texto);
        QFETCH(int, largo);
        QFETCH(bool, izquierda);
        QFETCH(QString, resultado);
        QCOMPARE(ModGeneral::Rellenar(texto, qint16(largo), izquierda, QStringLiteral("0")), resultado);
        QVERIFY(MessageBox::shown().isEmpty());
    }

    void rellenarConCadena()
    {
        for (const QString& c : {QStringLiteral("00"), QString()}) {
            MessageBox::clear();
            QCOMPARE(ModGeneral::Rellenar(QStringLiteral("1"), 9, true, c), QString());
            QCOMPARE(MessageBox::shown().size(), 1);
            QCOMPARE(MessageBox::shown().first().text,
                     QStringLiteral("Sólo se admiten caracteres, no cadenas en el argumento 'caracter'"));
            QCOMPARE(MessageBox::shown().first().title, QStringLiteral("Error"));
            QCOMPARE(MessageBox::shown().first().icon, QMessageBox::NoIcon);
        }
    }

    void filtroDeTeclas()
    {
        QWidget ventana;
        auto* numerico = new Campo(true, &ventana);
        auto* libre = new Campo(false, &ventana);
        auto* siguiente = new QLineEdit(&ventana);
        auto* capa = new QVBoxLayout(&ventana);
        capa->addWidget(numerico);
        capa->addWidget(libre);
        capa->addWidget(siguiente);
        ventana.show();
        QVERIFY(QTest::qWaitForWindowActive(&ventana));

        numerico->setFocus();
        QTest::keyClicks(numerico, QStringLiteral("1.5,-nx"));
        QCOMPARE(numerico->text(), QStringLiteral("1,5-")); // point -> comma, second comma and letters refused
        QTest::keyClick(numerico, Qt::Key_Backspace);
        QCOMPARE(numerico->text(), QStringLiteral("1,5"));
        numerico->clear();
        QTest::keyClicks(numerico, QStringLiteral("7n2"));
        QCOMPARE(numerico->text(), QStringLiteral("7,2"));

        libre->setFocus();
        QTest::keyClicks(libre, QStringLiteral("D'Ar\"co"));
        QCOMPARE(libre->text(), QStringLiteral("DArco"));
        QTest::keyClick(libre, Qt::Key_Return);
        QVERIFY(siguiente->hasFocus());

        // Enter also moves on from a numeric field, and is not typed into it.
        numerico->setFocus();
        QTest::keyClick(numerico, Qt::Key_Return);
        QVERIFY(libre->hasFocus());
        QCOMPARE(numerico->text(), QStringLiteral("7,2"));
    }

    void leerFicheroTexto()
    {
        CarpetaPrueba c;
        c.escribir(QStringLiteral("ficheros/crlf.txt"), "A\r\nB\r\n");
        c.escribir(QStringLiteral("ficheros/lf.txt"), "A\nB");
        c.escribir(QStringLiteral("ficheros/cp1252.txt"), "A\xf1o \x80\r\n");
        QCOMPARE(ModCargaFicheros::LeerFicheroTexto(QStringLiteral("crlf.txt")), QStringLiteral("\r\nA\r\nB"));
        QCOMPARE(ModCargaFicheros::LeerFicheroTexto(QStringLiteral("lf.txt")), QStringLiteral("\r\nA\r\nB"));
        QCOMPARE(ModCargaFicheros::LeerFicheroTexto(QStringLiteral("cp1252.txt")), QStringLiteral("\r\nAño €"));
        try {
            ModCargaFicheros::LeerFicheroTexto(QStringLiteral("no-existe.txt"));
            QFAIL("a missing file must fail");
        } catch (const ErrorEjecucion& e) {
            QCOMPARE(e.numero(), ErrorEjecucion::ArchivoNoEncontrado);
        }
    }
};

QTEST_MAIN(TstModGeneral)
#include "tst_modgeneral.moc"

#include "tests/support/CarpetaPrueba.h"
#include "applications/ListaSolicitudes.h"
#include "applications/NombresSolicitud.h"

#include <QComboBox>
#include <QTest>

using namespace NombresSolicitud;

namespace {
const QString DNI = QStringLiteral("12345678Z");
const QDateTime MOMENTO(QDate(2006, 12, 7), QTime(9, 5));
} // namespace

class tst_nombressolicitud : public QObject {
    Q_OBJECT
private slots:
    void nombres()
    {
        QCOMPARE(NombrePorDefecto(DNI), QStringLiteral("12345678Z.doc"));
        QCOMPARE(NombrePorDefecto(QStringLiteral("1234567Z")), QStringLiteral("01234567Z.doc"));
        QCOMPARE(NombrePorDefecto(QStringLiteral("12345678ZX")), QStringLiteral("12345678Z.doc"));
        QCOMPARE(NombreConHora(DNI, MOMENTO), QStringLiteral("12345678Z-0905-071206.doc"));
        QCOMPARE(NombreConHora(DNI, QDateTime(QDate(2026, 3, 7), QTime(21, 30))),
            QStringLiteral("12345678Z-2130-070326.doc"));
        QCOMPARE(Acompanante(QStringLiteral("a.doc")), QStringLiteral("a.xml"));
    }

    // A new application never takes the name of an existing file.
    void nombreNuevo()
    {
        CarpetaPrueba c;
        const QString temp = estado().strRutaTemp;
        c.escribir(QStringLiteral("ficheros/temp/12345678Z-0800-011206.doc"), "x");
        QCOMPARE(NombreNuevo(DNI, temp, MOMENTO), QStringLiteral("12345678Z.doc"));

        c.escribir(QStringLiteral("ficheros/temp/12345678Z.doc"), "x");
        QCOMPARE(NombreNuevo(DNI, temp, MOMENTO), QStringLiteral("12345678Z-0905-071206.doc"));

        c.escribir(QStringLiteral("ficheros/temp/12345678Z-0905-071206.doc"), "x");
        c.escribir(QStringLiteral("ficheros/temp/12345678Z-0905-071206-2.doc"), "x");
        const QString tercero = NombreNuevo(DNI, temp, MOMENTO);
        QCOMPARE(tercero, QStringLiteral("12345678Z-0905-071206-3.doc"));
        QVERIFY(tercero.size() <= 30);
        QVERIFY(EsDelUsuario(tercero, DNI));
    }

    void listaSoloLasDelUsuario()
    {
        CarpetaPrueba c;
        const QStringList suyas = {QStringLiteral("12345678Z.DOC"), QStringLiteral("12345678Z-0905-071206.doc"),
            QStringLiteral("12345678Z.Doc")};
        const QStringList ajenas
            = {QStringLiteral("12345678Z.docx"), QStringLiteral("12345678Z.txt"), QStringLiteral("12345678Z.xml"),
                QStringLiteral("87654321X.doc"), QStringLiteral("12345678z.doc"), QStringLiteral("doc")};
        for (const QString& f : suyas + ajenas)
            c.escribir(QStringLiteral("ficheros/temp/") + f, "x");
        QDir(c.ruta(QStringLiteral("ficheros/temp"))).mkdir(QStringLiteral("12345678Z-carpeta.doc"));

        estado().rsSolicitudes = {{QStringLiteral("viejo.doc"), QStringLiteral("viejo")}};
        QCOMPARE(ModCargaFicheros::ContarSolicitudes(DNI), qint16(3));
        QStringList listadas;
        for (const RegistroSolicitud& r : estado().rsSolicitudes) {
            QCOMPARE(r.DNI, DNI);
            listadas << r.Fichero;
        }
        listadas.sort();
        QStringList esperadas = suyas;
        esperadas.sort();
        QCOMPARE(listadas, esperadas);

        QComboBox combo;
        ModCargaFicheros::EnlazarCombo(&combo, estado().rsSolicitudes);
        QCOMPARE(combo.count(), 3);
        QVERIFY(combo.currentText().isEmpty()); // nothing chosen yet

        estado().strRutaTemp = c.ruta(QStringLiteral("no-existe/"));
        QCOMPARE(ModCargaFicheros::ContarSolicitudes(DNI), qint16(0));
    }
};

QTEST_MAIN(tst_nombressolicitud)
#include "tst_nombressolicitud.moc"

// The barcode payload, its character substitution and the small conversions of
// the document writer.
#include "documents/BmpCodigo.h"
#include "documents/CamposDocumento.h"
#include "documents/DatosCodigo.h"

#include <QTest>

using DatosCodigo::Valores;

namespace {

Valores Completo()
{
    Valores v;
    v.dni = QStringLiteral("12345678Z");
    v.apellidos = QStringLiteral("Muñoz Peña");
    v.nombre = QStringLiteral("José María");
    v.fechaNacimiento = QStringLiteral("01/02/1970");
    v.nacionalidad = QStringLiteral("Española");
    v.telefono = QStringLiteral("983123456");
    v.direccion = QStringLiteral("C/ Mayor");
    v.municipio = QStringLiteral("Valladolid");
    v.provincia = QStringLiteral("Valladolid");
    v.codigoPostal = QStringLiteral("47001");
    v.titulacion = QStringLiteral("Licenciado en Medicina");
    v.areas[0] = QStringLiteral(" 3 ");
    v.areas[10] = QStringLiteral("11");
    v.medico = false;
    v.documentos = {true, false, true, false};
    v.otros = QStringLiteral("texto que no se ve");
    v.ciudad = QStringLiteral("León");
    v.dia = QStringLiteral("7");
    v.mes = QStringLiteral("diciembre");
    v.anio = QStringLiteral("2006");
    return v;
}

} // namespace

class tst_DatosCodigo : public QObject {
    Q_OBJECT
private slots:
    void payloadHasThirtyFieldsInOrder()
    {
        const QStringList campos = DatosCodigo::Generar(Completo()).split(QLatin1Char('|'));
        QCOMPARE(campos.size(), 30);
        QCOMPARE(campos.first(), QStringLiteral("u"));
        QCOMPARE(campos.mid(1, 4), (QStringList{"12345678Z", "Muñoz Peña", "José María", "19700201"}));
        QCOMPARE(campos[7], QStringLiteral("C/ Mayor")); // number and door are not carried
        QCOMPARE(campos[10], QStringLiteral("47001"));
        QCOMPARE(campos[12], QStringLiteral("3")); // area trimmed
        for (int i = 13; i < 22; ++i)
            QVERIFY(campos[i].isEmpty());
        QCOMPARE(campos[22], QStringLiteral("11"));
        QCOMPARE(campos.mid(23, 5), (QStringList{"E", "S", "N", "S", "N"})); // Otros unchecked: N
        QCOMPARE(campos[28], QStringLiteral("León"));
        QCOMPARE(campos[29], QStringLiteral("07/12/06"));
    }

    void payloadOptionalFields()
    {
        Valores v = Completo();
        v.medico = true;
        v.documentos[3] = true;
        v.otros = QStringLiteral("Máster");
        v.fechaNacimiento.clear();
        v.titulacion = QString(120, QLatin1Char('x'));
        const QStringList campos = DatosCodigo::Generar(v).split(QLatin1Char('|'));
        QCOMPARE(campos[4], QStringLiteral("00000000"));
        QCOMPARE(campos[11].size(), 100);
        QCOMPARE(campos[23], QStringLiteral("M"));
        QCOMPARE(campos[27], QStringLiteral("Máster"));

        // A pasted bar must not shift the fields after it.
        v.apellidos = QStringLiteral("Ruiz|Gil");
        const QStringList conBarra = DatosCodigo::Generar(v).split(QLatin1Char('|'));
        QCOMPARE(conBarra.size(), 30);
        QCOMPARE(conBarra[2], QStringLiteral("Ruiz Gil"));
    }

    void signingDate_data()
    {
        QTest::addColumn<QString>("dia");
        QTest::addColumn<QString>("mes");
        QTest::addColumn<QString>("anio");
        QTest::addColumn<QString>("esperado");
        QTest::newRow("month name") << "7"
                                    << "diciembre"
                                    << "2006"
                                    << "07/12/06";
        QTest::newRow("month number") << "31"
                                      << "1"
                                      << "2010"
                                      << "31/01/10";
        QTest::newRow("capitalised name") << "1"
                                          << "Marzo"
                                          << "2024"
                                          << "01/03/24";
        QTest::newRow("no such day") << "31"
                                     << "febrero"
                                     << "2000"
                                     << "00/00/00";
        QTest::newRow("edited by hand") << "x"
                                        << ""
                                        << "2006"
                                        << "00/00/00";
    }
    void signingDate()
    {
        QFETCH(QString, dia);
        QFETCH(QString, mes);
        QFETCH(QString, anio);
        QFETCH(QString, esperado);
        QCOMPARE(DatosCodigo::FechaFirma(dia, mes, anio), esperado);
    }

    void birthDateUnreadableIsZeros()
    {
        QCOMPARE(DatosCodigo::FechaNacimiento(QStringLiteral("31/02/2000")), QStringLiteral("00000000"));
        QCOMPARE(DatosCodigo::FechaNacimiento(QStringLiteral("7/12/2006")), QStringLiteral("20061207"));
    }

    void substitution_data()
    {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QString>("esperado");
        QTest::newRow("eñe") << "Muñoz Peña"
                             << "Mu&noz Pe&na";
        QTest::newRow("acute") << "José María"
                               << "Jos&e Mar&ia";
        QTest::newRow("capital diaeresis") << "Ä"
                                           << "&A";
        QTest::newRow("every accent kind") << "äâáàÜÛÚÙ"
                                           << "&a&a&a&a&U&U&U&U";
        QTest::newRow("ordinals") << "C/ Mayor 3º 2ª"
                                  << "C/ Mayor 3. 2.";
        QTest::newRow("typed ampersand") << "AT&T"
                                         << "AT T";
        QTest::newRow("question and exclamation") << "¿Sí? ¡Ya!"
                                                  << " S&i   Ya ";
        QTest::newRow("double quote") << "\"Hospital\""
                                      << "'Hospital'";
        QTest::newRow("middle dot and cedilla") << "Col·legi Çç"
                                                << "Col.legi Cc";
        QTest::newRow("case matters") << "Ñandú"
                                      << "&Nand&u";
        QTest::newRow("others unchanged") << "ABC|123 €"
                                          << "ABC|123 €";
    }
    void substitution()
    {
        QFETCH(QString, texto);
        QFETCH(QString, esperado);
        QCOMPARE(DatosCodigo::SustituirCaracteres(texto), esperado);
    }

    void sizesAndNames()
    {
        QCOMPARE(ModWord::TwipsAPixeles(6000), 400);
        QCOMPARE(ModWord::TwipsAPixeles(2600), 173);
        QCOMPARE(ModWord::AltoAmpliado(2000), qint16(2600));
        QCOMPARE(ModWord::AltoAmpliado(5), qint16(6));   // 6.5: halves go to the even neighbour
        QCOMPARE(ModWord::AltoAmpliado(15), qint16(20)); // 19.5
        const QDateTime momento(QDate(2006, 12, 7), QTime(14, 35, 7));
        QCOMPARE(ModWord::NombreBmp(QStringLiteral("/t/"), momento), QStringLiteral("/t/2006120714350735"));
    }

    void areaRenderingRoundTrips_data()
    {
        QTest::addColumn<QString>("caja");
        QTest::addColumn<QString>("campo");
        QTest::addColumn<QString>("leida");
        QTest::newRow("one digit") << "3"
                                   << "  3"
                                   << "3";
        QTest::newRow("one digit between blanks") << " 3 "
                                                  << "  3"
                                                  << "3";
        QTest::newRow("two digits") << "11"
                                    << "11"
                                    << "11";
        QTest::newRow("empty") << ""
                               << "__"
                               << "";
        QTest::newRow("blanks only") << "   "
                                     << "__"
                                     << "";
    }
    void areaRenderingRoundTrips()
    {
        QFETCH(QString, caja);
        QFETCH(QString, campo);
        QFETCH(QString, leida);
        QCOMPARE(ModWord::TextoArea(caja), campo);
        QCOMPARE(ModWord::AreaLeida(campo), leida);
    }
};

QTEST_GUILESS_MAIN(tst_DatosCodigo)
#include "tst_DatosCodigo.moc"

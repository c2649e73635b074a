// The reader's side of the payload: the builder's text split back into its
// fields, the "&" escapes made readable, every check with an example that
// fails it, and the CSV and JSON Lines records.
#include "documents/DatosCodigo.h"
#include "lector/DatosLeidos.h"
#include "lector/Salida.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

using namespace CamposCodigo;

namespace {

DatosCodigo::Valores Completo()
{
    DatosCodigo::Valores v;
    v.dni = QStringLiteral("12345678Z");
    v.apellidos = QStringLiteral("Muñoz Peña");
    v.nombre = QStringLiteral("José María");
    v.fechaNacimiento = QStringLiteral("01/02/1970");
    v.nacionalidad = QStringLiteral("Española");
    v.telefono = QStringLiteral("983123456");
    v.direccion = QStringLiteral("C/ Mayor 3º 2ª, \"El Pino\"");
    v.municipio = QStringLiteral("Valladolid");
    v.provincia = QStringLiteral("Valladolid");
    v.codigoPostal = QStringLiteral("47001");
    v.titulacion = QStringLiteral("Licenciado en Medicina");
    v.areas[0] = QStringLiteral(" 3 ");
    v.areas[10] = QStringLiteral("11");
    v.medico = false;
    v.documentos = {true, false, true, true};
    v.otros = QStringLiteral("Máster");
    v.ciudad = QStringLiteral("León");
    v.dia = QStringLiteral("7");
    v.mes = QStringLiteral("diciembre");
    v.anio = QStringLiteral("2006");
    return v;
}

// The bytes the printed symbol carries for a form's values.
QByteArray Impreso(const DatosCodigo::Valores& v)
{
    return DatosCodigo::SustituirCaracteres(DatosCodigo::Generar(v)).toLatin1();
}

// The payload with one field replaced.
QByteArray Con(std::size_t campo, const char* valor)
{
    QList<QByteArray> campos = Impreso(Completo()).split('|');
    campos[qsizetype(campo)] = valor;
    return campos.join('|');
}

QStringList Fallidas(const DatosLeidos::Solicitud& s)
{
    QStringList nombres;
    for (std::size_t i = 0; i < DatosLeidos::TotalComprobaciones; ++i)
        if (!s.correctas[i])
            nombres << QLatin1String(DatosLeidos::NombreComprobacion(i));
    return nombres;
}

} // namespace

class tst_DatosLeidos : public QObject {
    Q_OBJECT
private slots:
    void readsBackTheBuildersFields()
    {
        const QByteArray codigo = Impreso(Completo());
        QVERIFY(DatosLeidos::EsSolicitud(codigo));
        const DatosLeidos::Solicitud s = DatosLeidos::Leer(codigo);
        QCOMPARE(s.codigo.toLatin1(), codigo);
        QCOMPARE(s.numeroCampos, 30);
        QVERIFY2(s.valida(), qPrintable(Fallidas(s).join(u' ')));
        QCOMPARE(s.impresos[Apellidos], QStringLiteral("Mu&noz Pe&na"));
        QCOMPARE(s.legibles[Apellidos], QStringLiteral("Muñoz Peña"));
        QCOMPARE(s.legibles[Nombre], QStringLiteral("José María"));
        QCOMPARE(s.legibles[Domicilio], QStringLiteral("C/ Mayor 3. 2., 'El Pino'")); // lost in the print
        QCOMPARE(s.legibles[CamposCodigo::FechaNacimiento], QStringLiteral("19700201"));
        QCOMPARE(s.legibles[PrimeraArea], QStringLiteral("3"));
        QCOMPARE(s.legibles[PrimeraArea + 1], QString());
        QCOMPARE(s.legibles[UltimaArea], QStringLiteral("11"));
        QCOMPARE(s.legibles[CamposCodigo::Categoria], QStringLiteral("E"));
        QCOMPARE(s.legibles[Otros], QStringLiteral("Máster"));
        QCOMPARE(s.legibles[CamposCodigo::FechaFirma], QStringLiteral("07/12/06"));
        // The names are the form's fields.
        QCOMPARE(QLatin1String(Campos[Nif].nombre), QLatin1String("NIF"));
        QCOMPARE(QLatin1String(Campos[UltimaArea].nombre), QLatin1String("AREAZAMORA"));
    }

    void escapesBecomeTheCommonestAccent()
    {
        QCOMPARE(DatosLeidos::Legible(QStringLiteral("&a&e&i&o&u&n &A&E&I&O&U&N")), QStringLiteral("áéíóúñ ÁÉÍÓÚÑ"));
        QCOMPARE(DatosLeidos::Legible(QStringLiteral("Ag&uero")), QStringLiteral("Agúero")); // was "ü"
        // An "&" the program cannot have written is left as it is.
        QCOMPARE(DatosLeidos::Legible(QStringLiteral("&x & &")), QStringLiteral("&x & &"));
    }

    void everyCheckHasAFailingExample_data()
    {
        QTest::addColumn<QByteArray>("codigo");
        QTest::addColumn<QStringList>("fallidas");
        const QByteArray bueno = Impreso(Completo());
        QTest::newRow("29 fields") << bueno.left(bueno.lastIndexOf('|')) << QStringList{"campos", "fecha_firma"};
        QTest::newRow("31 fields") << bueno + "|x" << QStringList{"campos"};
        QTest::newRow("control character") << Con(Nombre, "Jos\te") << QStringList{"caracteres"};
        QTest::newRow("Latin-1 letter") << Con(Nombre, "Jos\xe9") << QStringList{"caracteres"};
        QTest::newRow("lone ampersand") << Con(Domicilio, "AT&T") << QStringList{"caracteres"};
        QTest::newRow("wrong DNI letter") << Con(Nif, "12345678A") << QStringList{"letra_dni"};
        QTest::newRow("DNI of eight") << Con(Nif, "1234567L") << QStringList{"letra_dni"};
        QTest::newRow("lower-case letter") << Con(Nif, "12345678z") << QStringList{"letra_dni"};
        QTest::newRow("empty birth date")
            << Con(CamposCodigo::FechaNacimiento, "00000000") << QStringList{"fecha_nacimiento"};
        QTest::newRow("31 February") << Con(CamposCodigo::FechaNacimiento, "19700231")
                                     << QStringList{"fecha_nacimiento"};
        QTest::newRow("unreadable signing date")
            << Con(CamposCodigo::FechaFirma, "00/00/00") << QStringList{"fecha_firma"};
        QTest::newRow("29/02 of a common year")
            << Con(CamposCodigo::FechaFirma, "29/02/07") << QStringList{"fecha_firma"};
        QTest::newRow("area 12") << Con(PrimeraArea + 4, "12") << QStringList{"preferencias"};
        QTest::newRow("area 0") << Con(PrimeraArea + 4, "0") << QStringList{"preferencias"};
        QTest::newRow("repeated area") << Con(PrimeraArea + 4, "3") << QStringList{"preferencias"};
        QTest::newRow("area not a number") << Con(PrimeraArea + 4, "x") << QStringList{"preferencias"};
        QList<QByteArray> sinAreas = bueno.split('|');
        for (std::size_t i = PrimeraArea; i <= UltimaArea; ++i)
            sinAreas[qsizetype(i)].clear();
        QTest::newRow("no area") << sinAreas.join('|') << QStringList{"preferencias"};
        QTest::newRow("category X") << Con(CamposCodigo::Categoria, "X") << QStringList{"categoria"};
        QTest::newRow("flag s") << Con(Experiencia, "s") << QStringList{"documentos"};
        QTest::newRow("flag empty") << Con(Cursos, "") << QStringList{"documentos"};
    }
    void everyCheckHasAFailingExample()
    {
        QFETCH(QByteArray, codigo);
        QFETCH(QStringList, fallidas);
        const DatosLeidos::Solicitud s = DatosLeidos::Leer(codigo);
        QCOMPARE(Fallidas(s), fallidas);
        QVERIFY(!s.valida());
    }

    void otherSymbolsAreNoApplication()
    {
        QVERIFY(!DatosLeidos::EsSolicitud("hola"));
        QVERIFY(!DatosLeidos::EsSolicitud("u"));
        QVERIFY(!DatosLeidos::EsSolicitud("U|12345678Z"));
        QVERIFY(DatosLeidos::EsSolicitud("u|"));
        const DatosLeidos::Solicitud s = DatosLeidos::Leer("u|");
        QCOMPARE(s.numeroCampos, 2);
        QVERIFY(!s.valida());
    }

    void csvQuotesWhatItMustAndJsonEscapes()
    {
        const Paginas::Pagina pagina{QStringLiteral("lote \"1\", final.pdf"), 2, Paginas::Tipo::Pdf, {}, {}};
        Paginas::Lectura lectura;
        lectura.estado = Paginas::Estado::Solicitud;
        lectura.contenido = Con(Domicilio, "Calle; \"Sol\"\\ 5");
        const DatosLeidos::Solicitud s = DatosLeidos::Leer(lectura.contenido);
        const Salida::Registro r{&pagina, &lectura, &s, QStringLiteral("a.pdf:1")};

        const QByteArray cabecera = Salida::Cabecera(Salida::Formato::Csv, u',');
        QVERIFY(cabecera.startsWith("fichero,pagina,resultado,detalle,comprobaciones_fallidas,dni_repetido,TIPO,NIF,"));
        QVERIFY(cabecera.endsWith(",FECHAFIRMA_IMPRESO,codigo\r\n"));
        QCOMPARE(cabecera.count(','), 66); // 67 columns

        const QByteArray coma = Salida::Linea(r, Salida::Formato::Csv, u',');
        QVERIFY(coma.startsWith("\"lote \"\"1\"\", final.pdf\",2,solicitud,,,a.pdf:1,u,12345678Z,Muñoz Peña,"));
        QVERIFY(coma.contains(",\"Calle; \"\"Sol\"\"\\ 5\","));
        QVERIFY(coma.endsWith("\r\n"));
        const QByteArray puntoYComa = Salida::Linea(r, Salida::Formato::Csv, u';');
        QVERIFY(puntoYComa.startsWith("\"lote \"\"1\"\", final.pdf\";2;"));
        QVERIFY(puntoYComa.contains(";\"Calle; \"\"Sol\"\"\\ 5\";"));

        const QByteArray json = Salida::Linea(r, Salida::Formato::JsonLineas, u',');
        QVERIFY(json.endsWith("}\n") && json.count('\n') == 1);
        QJsonParseError error;
        const QJsonObject o = QJsonDocument::fromJson(json, &error).object();
        QCOMPARE(error.error, QJsonParseError::NoError);
        QCOMPARE(o.value("fichero").toString(), pagina.fichero);
        QCOMPARE(o.value("resultado").toString(), QStringLiteral("solicitud"));
        QCOMPARE(o.value("campos").toObject().value("DOMICILIO").toString(), QStringLiteral("Calle; \"Sol\"\\ 5"));
        QCOMPARE(o.value("campos").toObject().value("PRIMERAPELLIDO").toString(), QStringLiteral("Muñoz Peña"));
        QCOMPARE(o.value("impresos").toObject().value("PRIMERAPELLIDO").toString(), QStringLiteral("Mu&noz Pe&na"));
        QCOMPARE(o.value("comprobaciones").toObject().value("letra_dni").toBool(), true);
        QCOMPARE(o.value("dni_repetido").toString(), QStringLiteral("a.pdf:1"));

        // A page without a symbol: no fields.
        Paginas::Lectura vacia;
        const Salida::Registro sin{&pagina, &vacia, nullptr, {}};
        QCOMPARE(Salida::Linea(sin, Salida::Formato::Csv, u',').count(','), 66 + 1); // one in the name
        QCOMPARE(QJsonDocument::fromJson(Salida::Linea(sin, Salida::Formato::JsonLineas, u','))
                     .object()
                     .value("resultado")
                     .toString(),
            QStringLiteral("sin código"));
    }
};

QTEST_APPLESS_MAIN(tst_DatosLeidos)
#include "tst_DatosLeidos.moc"

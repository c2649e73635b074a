#include "../shell/CarpetaPrueba.h"
#include "users/Validacion.h"

using namespace Validacion;

namespace {
const QString DNI = QStringLiteral("12345678Z");
const QString OTRO = QStringLiteral("01234567L");
const QString FICHERO = QStringLiteral("usuarios.xml");

QByteArray entrada(const QString& dni, const QString& password)
{
    return "<Usuario><DNI>" + HuellaTexto(dni).toLatin1() + "</DNI><Pwd>" + HuellaTexto(password).toLatin1()
        + "</Pwd></Usuario>";
}
}

class TstValidacion : public QObject {
    Q_OBJECT
private slots:
    void altaDesdeLaPlantillaSinTextoEnClaro()
    {
        CarpetaPrueba c;
        c.escribir(QStringLiteral("usuarioslimpio.xml"), PlantillaUsuarios);
        QVERIFY(CargaUsuarios(PrepararUsuarios(c.dir.path())));
        QCOMPARE(c.leer(FICHERO), PlantillaUsuarios);
        QVERIFY(!ExisteUsuario(DNI));

        QVERIFY(AltaUsuario(DNI, QStringLiteral("SECRETO")));
        QVERIFY(ExisteUsuario(DNI)); // without reading the file again
        QVERIFY(CompruebaPassword(DNI, QStringLiteral("SECRETO")));
        QVERIFY(!CompruebaPassword(DNI, QStringLiteral("secreto")));
        QVERIFY(!CompruebaPassword(OTRO, QString()));
        const QByteArray fichero = c.leer(FICHERO);
        QVERIFY(!fichero.contains("12345678") && !fichero.toUpper().contains("SECRETO"));
        QCOMPARE(fichero, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<Usuarios>"
                     + entrada(DNI, QStringLiteral("SECRETO")) + "</Usuarios>\r\n");
    }

    // Line ends, indentation and comments of the rest of the file stay as read;
    // the new password's entry ends up last, the only one of its DNI.
    void cambioDePassword()
    {
        CarpetaPrueba c;
        const QByteArray antes = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<!-- usuarios -->\r\n<Usuarios>\r\n  "
            + entrada(OTRO, QStringLiteral("X")) + "\r\n";
        c.escribir(FICHERO, antes + "</Usuarios>\r\n");
        QVERIFY(CargaUsuarios(PrepararUsuarios(c.dir.path())));
        QVERIFY(AltaUsuario(DNI, QStringLiteral("PRIMERO")));
        BajaUsuario(DNI);
        QVERIFY(!ExisteUsuario(DNI));
        BajaUsuario(QStringLiteral("87654321X")); // not registered: nothing changes
        QVERIFY(AltaUsuario(DNI, QStringLiteral("SEGUNDO")));
        QCOMPARE(c.leer(FICHERO), antes + entrada(DNI, QStringLiteral("SEGUNDO")) + "</Usuarios>\r\n");
        QVERIFY(CargaUsuarios(c.ruta(FICHERO)));
        QVERIFY(CompruebaPassword(DNI, QStringLiteral("SEGUNDO")) && ExisteUsuario(OTRO));
    }

    // A file in UTF-16 keeps its encoding and its byte-order mark.
    void ficheroUtf16()
    {
        CarpetaPrueba c;
        const QString texto = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-16\"?><Usuarios></Usuarios>");
        c.escribir(FICHERO, "\xFF\xFE" + QByteArray(reinterpret_cast<const char*>(texto.utf16()), texto.size() * 2));
        QVERIFY(CargaUsuarios(PrepararUsuarios(c.dir.path())));
        QVERIFY(AltaUsuario(DNI, QStringLiteral("SECRETO")));
        const QByteArray fichero = c.leer(FICHERO);
        QVERIFY(fichero.startsWith("\xFF\xFE<"));
        QVERIFY(CargaUsuarios(c.ruta(FICHERO)));
        QVERIFY(CompruebaPassword(DNI, QStringLiteral("SECRETO")));
    }

    void sinFicherosSeCreaLaRaiz()
    {
        CarpetaPrueba c;
        QVERIFY(CargaUsuarios(PrepararUsuarios(c.dir.path())));
        QVERIFY(!ExisteUsuario(DNI));
        QVERIFY(AltaUsuario(DNI, QStringLiteral("SECRETO")));
        QVERIFY(CargaUsuarios(c.ruta(FICHERO)));
        QVERIFY(CompruebaPassword(DNI, QStringLiteral("SECRETO")));
    }

    // An unreadable file signs everyone in without a password, and is kept
    // beside the new one when the first registration replaces it.
    void ficheroIlegibleSeConserva()
    {
        CarpetaPrueba c;
        const QByteArray roto = "<Usuarios>" + entrada(DNI, QStringLiteral("X")) + "<Usuario>";
        c.escribir(FICHERO, roto);
        QVERIFY(CargaUsuarios(PrepararUsuarios(c.dir.path())));
        QVERIFY(!ExisteUsuario(DNI));
        QVERIFY(AltaUsuario(OTRO, QStringLiteral("SECRETO")));
        const QStringList copias = QDir(c.dir.path()).entryList({QStringLiteral("usuarios.xml.ilegible-*")});
        QCOMPARE(copias.size(), 1);
        QCOMPARE(c.leer(copias.first()), roto);
        QVERIFY(CargaUsuarios(c.ruta(FICHERO)));
        QVERIFY(ExisteUsuario(OTRO));
    }

    // A save cut short leaves the file, and the document, as they were.
    void escrituraFallida()
    {
        CarpetaPrueba c;
        QVERIFY(CargaUsuarios(PrepararUsuarios(c.dir.path())));
        QVERIFY(AltaUsuario(OTRO, QStringLiteral("SECRETO")));
        const QByteArray antes = c.leer(FICHERO);
        bool guardado;
        {
            DiscoLleno lleno;
            guardado = AltaUsuario(DNI, QStringLiteral("OTRACLAVE"));
        }
        QVERIFY(!guardado);
        QCOMPARE(c.leer(FICHERO), antes);
        QVERIFY(!ExisteUsuario(DNI) && ExisteUsuario(OTRO));
        QCOMPARE(QDir(c.dir.path()).entryList(QDir::Files), QStringList(FICHERO)); // no temporary file left
    }
};

QTEST_MAIN(TstValidacion)
#include "tst_validacion.moc"

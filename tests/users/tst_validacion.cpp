#include "../shell/CarpetaPrueba.h"
#include "users/Validacion.h"

#include <QTest>

#include <csignal>
#include <sys/resource.h>

using namespace Validacion;

namespace {
const QString DNI = QStringLiteral("12345678Z");
const QString OTRO = QStringLiteral("01234567L");
}

class TstValidacion : public QObject {
    Q_OBJECT

private slots:
    void huellaEnMayusculas()
    {
        const QString h = HuellaTexto(QStringLiteral("abc"));
        QCOMPARE(h, QStringLiteral("BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD"));
    }

    void plantillaCopiadaYAltaSinTextoEnClaro()
    {
        CarpetaPrueba c;
        c.escribir(QStringLiteral("usuarioslimpio.xml"), PlantillaUsuarios);
        QVERIFY(CargaUsuarios(PrepararUsuarios(c.dir.path())));
        QCOMPARE(c.leer(QStringLiteral("usuarios.xml")), PlantillaUsuarios);
        QVERIFY(!ExisteUsuario(DNI));

        QVERIFY(AltaUsuario(DNI, QStringLiteral("SECRETO")));
        // Found at once, without reading the file again.
        QVERIFY(ExisteUsuario(DNI));
        QVERIFY(CompruebaPassword(DNI, QStringLiteral("SECRETO")));
        QVERIFY(!CompruebaPassword(DNI, QStringLiteral("secreto")));
        QVERIFY(!CompruebaPassword(OTRO, QString()));
        QCOMPARE(PasswordGuardado(OTRO), QString());

        const QByteArray fichero = c.leer(QStringLiteral("usuarios.xml"));
        QVERIFY(!fichero.contains("12345678"));
        QVERIFY(!fichero.toUpper().contains("SECRETO"));
        const QByteArray entrada = "<Usuario><DNI>" + HuellaTexto(DNI).toLatin1() + "</DNI><Pwd>"
            + HuellaTexto(QStringLiteral("SECRETO")).toLatin1() + "</Pwd></Usuario>";
        QCOMPARE(fichero, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<Usuarios>" + entrada + "</Usuarios>\r\n");

        // A new run reads it back.
        QVERIFY(CargaUsuarios(c.ruta(QStringLiteral("usuarios.xml"))));
        QVERIFY(ExisteUsuario(DNI));
    }

    // Line ends, indentation and comments of the rest of the file stay as read.
    void cambioDePasswordConservaElFichero()
    {
        CarpetaPrueba c;
        const QByteArray ajeno = "  <Usuario><DNI>" + HuellaTexto(OTRO).toLatin1() + "</DNI><Pwd>X</Pwd></Usuario>\r\n";
        const QByteArray inicio = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<!-- usuarios -->\r\n<Usuarios>\r\n";
        c.escribir(QStringLiteral("usuarios.xml"), inicio + ajeno + "</Usuarios>\r\n");
        QVERIFY(CargaUsuarios(PrepararUsuarios(c.dir.path())));
        QVERIFY(AltaUsuario(DNI, QStringLiteral("PRIMERO")));
        BajaUsuario(DNI);
        QVERIFY(!ExisteUsuario(DNI));
        QVERIFY(AltaUsuario(DNI, QStringLiteral("SEGUNDO")));

        const QByteArray entrada = "<Usuario><DNI>" + HuellaTexto(DNI).toLatin1() + "</DNI><Pwd>"
            + HuellaTexto(QStringLiteral("SEGUNDO")).toLatin1() + "</Pwd></Usuario>";
        QCOMPARE(c.leer(QStringLiteral("usuarios.xml")), inicio + ajeno + entrada + "</Usuarios>\r\n");
        QVERIFY(CompruebaPassword(DNI, QStringLiteral("SEGUNDO")));
        QVERIFY(ExisteUsuario(OTRO));
        BajaUsuario(QStringLiteral("87654321X")); // not registered: nothing changes
        QVERIFY(ExisteUsuario(DNI));
    }

    void sinFicherosSeCreaLaRaiz()
    {
        CarpetaPrueba c;
        QVERIFY(CargaUsuarios(PrepararUsuarios(c.dir.path())));
        QVERIFY(!ExisteUsuario(DNI));
        QVERIFY(AltaUsuario(DNI, QStringLiteral("SECRETO")));
        QVERIFY(CargaUsuarios(c.ruta(QStringLiteral("usuarios.xml"))));
        QVERIFY(CompruebaPassword(DNI, QStringLiteral("SECRETO")));
    }

    // An unreadable file signs everyone in without a password, and is kept
    // beside the new one when the first registration replaces it.
    void ficheroIlegibleSeConserva()
    {
        CarpetaPrueba c;
        const QByteArray roto = "<Usuarios><Usuario><DNI>" + HuellaTexto(DNI).toLatin1() + "</DNI><Pwd>";
        c.escribir(QStringLiteral("usuarios.xml"), roto);
        c.escribir(QStringLiteral("usuarioslimpio.xml"), PlantillaUsuarios);
        QVERIFY(CargaUsuarios(PrepararUsuarios(c.dir.path())));
        QVERIFY(!ExisteUsuario(DNI));
        QVERIFY(AltaUsuario(OTRO, QStringLiteral("SECRETO")));

        const QStringList copias = QDir(c.dir.path()).entryList({QStringLiteral("usuarios.xml.ilegible-*")});
        QCOMPARE(copias.size(), 1);
        QCOMPARE(c.leer(copias.first()), roto);
        QVERIFY(CargaUsuarios(c.ruta(QStringLiteral("usuarios.xml"))));
        QVERIFY(ExisteUsuario(OTRO));
    }

    // A write that fails half-way leaves the file and the document as they were.
    void escrituraFallidaNoRompeElFichero()
    {
        CarpetaPrueba c;
        c.escribir(QStringLiteral("usuarios.xml"), PlantillaUsuarios);
        QVERIFY(CargaUsuarios(PrepararUsuarios(c.dir.path())));
        QVERIFY(AltaUsuario(OTRO, QStringLiteral("SECRETO")));
        const QByteArray antes = c.leer(QStringLiteral("usuarios.xml"));

        // Files may not grow past 64 bytes: the save cannot complete.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit previo{};
        getrlimit(RLIMIT_FSIZE, &previo);
        rlimit corto = previo;
        corto.rlim_cur = 64;
        setrlimit(RLIMIT_FSIZE, &corto);
        const bool guardado = AltaUsuario(DNI, QStringLiteral("OTRACLAVE"));
        setrlimit(RLIMIT_FSIZE, &previo);

        QVERIFY(!guardado);
        QCOMPARE(c.leer(QStringLiteral("usuarios.xml")), antes);
        QVERIFY(!ExisteUsuario(DNI));
        QVERIFY(ExisteUsuario(OTRO));
        QCOMPARE(QDir(c.dir.path()).entryList(QDir::Files).size(), 1); // no temporary file left
    }
};

QTEST_MAIN(TstValidacion)
#include "tst_validacion.moc"

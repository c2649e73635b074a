#include "tests/support/CarpetaPrueba.h"
#include "users/Validacion.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

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
} // namespace

class tst_validacion : public QObject {
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
        QCOMPARE(fichero,
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<Usuarios>" + entrada(DNI, QStringLiteral("SECRETO"))
                + "</Usuarios>\r\n");
    }

    // One character for one: the digest keeps "ß" as the byte 0xDF, so
    // "straße" and "strasse" are different passwords.
    void mayusculasUnaPorUna()
    {
        QCOMPARE(Mayusculas(QStringLiteral("straße ñandú ÿ µ ƒ")), QStringLiteral("STRAßE ÑANDÚ Ÿ µ ƒ"));
        QCOMPARE(HuellaTexto(Mayusculas(QStringLiteral("straße"))),
            QStringLiteral("557DFCEBA7DBF59A1C64425D92AA6E90F9832A79DC3343DF3DA1023D2B918AB5"));
        CarpetaPrueba c;
        QVERIFY(CargaUsuarios(PrepararUsuarios(c.dir.path())));
        QVERIFY(AltaUsuario(DNI, Mayusculas(QStringLiteral("straße"))));
        QVERIFY(CompruebaPassword(DNI, Mayusculas(QStringLiteral("STRAßE"))));
        QVERIFY(!CompruebaPassword(DNI, Mayusculas(QStringLiteral("strasse"))));
    }

    // Another copy holding the lock too long: the registration is refused with
    // a reason, and the file stays as it was.
    void bloqueoOcupado()
    {
        CarpetaPrueba c;
        c.escribir(FICHERO, PlantillaUsuarios);
        QVERIFY(CargaUsuarios(c.ruta(FICHERO)));
        const int fd = ::open(QFile::encodeName(c.ruta(QStringLiteral(".usuarios.xml.lock"))).constData(),
            O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        QVERIFY(fd >= 0 && ::flock(fd, LOCK_EX) == 0);
        FijarEsperaBloqueo(50);
        const Resultado alta = AltaUsuario(DNI, QStringLiteral("SECRETO"));
        ::close(fd);
        FijarEsperaBloqueo(5000);
        QVERIFY(!alta);
        QVERIFY(alta.motivo.contains(QStringLiteral("otra copia del programa")));
        QVERIFY(alta.motivo.contains(c.ruta(FICHERO)));
        QCOMPARE(c.leer(FICHERO), PlantillaUsuarios);
        const Resultado otra = AltaUsuario(DNI, QStringLiteral("SECRETO"));
        QVERIFY(otra && otra.motivo.isEmpty());
    }

    // Line ends, indentation and comments of the rest of the file stay as read;
    // the new password's entry ends up last, the only one of its DNI.
    void cambioDePassword()
    {
        CarpetaPrueba c;
        const QByteArray antes = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<!-- usuarios -->\r\n<Usuarios>\r\n  "
            + entrada(OTRO, QStringLiteral("X")) + "\r\n";
        c.escribir(FICHERO, antes + "</Usuarios>\r\n");
        ::chmod(QFile::encodeName(c.ruta(FICHERO)).constData(), 0666);
        QVERIFY(CargaUsuarios(PrepararUsuarios(c.dir.path())));
        QVERIFY(AltaUsuario(DNI, QStringLiteral("PRIMERO")));
        BajaUsuario(DNI);
        QVERIFY(!ExisteUsuario(DNI));
        BajaUsuario(QStringLiteral("87654321X")); // not registered: nothing changes
        QVERIFY(AltaUsuario(DNI, QStringLiteral("SEGUNDO")));
        QCOMPARE(c.leer(FICHERO), antes + entrada(DNI, QStringLiteral("SEGUNDO")) + "</Usuarios>\r\n");
        struct stat st { };
        QVERIFY(::stat(QFile::encodeName(c.ruta(FICHERO)).constData(), &st) == 0);
        QCOMPARE(st.st_mode & 07777, mode_t(0600)); // owner-only, whatever the old file had
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
        QVERIFY(FicheroLegible()); // missing is not unreadable
        // Nothing read (out of memory): the reason names the file, the loaded one stays.
        const Resultado sinLeer = InstalarUsuarios(nullptr, c.ruta(QStringLiteral("otro.xml")));
        QVERIFY(!sinLeer);
        QCOMPARE(sinLeer.motivo,
            QStringLiteral("No se ha podido cargar el fichero de usuarios %1: no hay memoria suficiente.")
                .arg(c.ruta(QStringLiteral("otro.xml"))));
        QCOMPARE(estado().strRutaUsuarios, c.ruta(FICHERO));
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

    // A user file far beyond any real one is not read into memory: everyone
    // signs in without a password, the reason names the file, nothing is written.
    void ficheroDemasiadoGrandeNoSeLee()
    {
        CarpetaPrueba c;
        const QByteArray ruta = QFile::encodeName(c.ruta(FICHERO));
        const int fd = ::open(ruta.constData(), O_WRONLY | O_CREAT, 0600);
        QVERIFY(fd >= 0);
        QCOMPARE(::ftruncate(fd, 64ll * 1024 * 1024 + 1), 0); // sparse: takes no disk
        ::close(fd);
        QVERIFY(CargaUsuarios(PrepararUsuarios(c.dir.path())));
        QVERIFY(!ExisteUsuario(DNI));
        const QString sinLeer = FicheroLegible().motivo;
        QVERIFY(!FicheroLegible());
        QVERIFY2(sinLeer.contains(c.ruta(FICHERO)) && sinLeer.contains(QStringLiteral("64 MiB")), qPrintable(sinLeer));
        const Resultado alta = AltaUsuario(DNI, QStringLiteral("SECRETO"));
        QVERIFY(!alta);
        QVERIFY(alta.motivo.contains(QStringLiteral("64 MiB")));
        QCOMPARE(QFileInfo(c.ruta(FICHERO)).size(), 64ll * 1024 * 1024 + 1);
        QCOMPARE(QDir(c.dir.path()).entryList(QDir::Files).size(), 1);
    }

    // The lock file cannot be made (a folder the user may not write): the reason
    // given is that, not a missing folder. Run as another user in a child.
    void bloqueoSinPermisoDiceElMotivo()
    {
        CarpetaPrueba c;
        c.escribir(FICHERO, "<Usuarios></Usuarios>");
        const QByteArray carpeta = QFile::encodeName(c.dir.path());
        int tubo[2];
        QCOMPARE(::pipe(tubo), 0);
        const pid_t hijo = ::fork();
        if (hijo == 0) {
            ::close(tubo[0]);
            // As root, become nobody in a folder nobody owns but may not write.
            if (::geteuid() == 0
                && (::chown(carpeta.constData(), 65534, 65534) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0))
                ::_exit(3);
            ::chmod(carpeta.constData(), 0500);
            CargaUsuarios(c.ruta(FICHERO));
            const QByteArray motivo = AltaUsuario(DNI, QStringLiteral("SECRETO")).motivo.toUtf8();
            if (::write(tubo[1], motivo.constData(), size_t(motivo.size())) < 0)
                ::_exit(4);
            ::_exit(0);
        }
        ::close(tubo[1]);
        QByteArray motivo;
        char trozo[512];
        for (ssize_t n; (n = ::read(tubo[0], trozo, sizeof trozo)) > 0;)
            motivo.append(trozo, n);
        ::close(tubo[0]);
        int estadoHijo = 0;
        QCOMPARE(::waitpid(hijo, &estadoHijo, 0), hijo);
        ::chmod(carpeta.constData(), 0700);
        if (::geteuid() == 0)
            QVERIFY(::chown(carpeta.constData(), 0, 0) == 0);
        QCOMPARE(WEXITSTATUS(estadoHijo), 0);
        const QString texto = QString::fromUtf8(motivo);
        QVERIFY2(texto.contains(QStringLiteral("no hay permiso")) && !texto.contains(QStringLiteral("no existe")),
            qPrintable(texto));
        QCOMPARE(c.leer(FICHERO), QByteArray("<Usuarios></Usuarios>"));
    }

    // A save cut short leaves the file, and the document, as they were.
    void escrituraFallida()
    {
        CarpetaPrueba c;
        QVERIFY(CargaUsuarios(PrepararUsuarios(c.dir.path())));
        QVERIFY(AltaUsuario(OTRO, QStringLiteral("SECRETO")));
        const QByteArray antes = c.leer(FICHERO);
        Resultado guardado;
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

QTEST_MAIN(tst_validacion)
#include "tst_validacion.moc"

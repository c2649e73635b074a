// Two running copies of the program sharing one user file: each is a real
// process, driven step by step through its pipes.
#include "tests/support/CarpetaPrueba.h"
#include "users/Validacion.h"

#include <QProcess>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

struct Copia {
    QProcess p;
    explicit Copia(const QString& carpeta)
    {
        p.start(QStringLiteral(AYUDANTE), {carpeta});
        p.waitForStarted();
    }
    ~Copia()
    {
        p.closeWriteChannel();
        p.waitForFinished();
    }
    void enviar(const QByteArray& orden) { p.write(orden + '\n'); }
    QByteArray respuesta()
    {
        while (!p.canReadLine() && p.waitForReadyRead(10000)) { }
        return p.readLine().trimmed();
    }
    QByteArray orden(const QByteArray& o)
    {
        enviar(o);
        return respuesta();
    }
};

const char* const DNI_A = "12345678Z";
const char* const DNI_B = "01234567L";

} // namespace

using namespace Validacion;

class tst_usuarios_procesos : public QObject {
    Q_OBJECT

    static qsizetype registros(const CarpetaPrueba& c)
    {
        return c.leer(QStringLiteral("usuarios.xml")).count("<Usuario>");
    }

private slots:
    // Each copy loads the file at sign-in and registers later; in every order of
    // those four steps both registrations end up in the file.
    void registrosEnTodoOrden_data()
    {
        QTest::addColumn<QString>("pasos"); // a/b: load by copy A/B, A/B: its registration
        for (const char* orden : {"abAB", "abBA", "aAbB", "baAB", "baBA", "bBaA"})
            QTest::newRow(orden) << QString::fromLatin1(orden);
    }
    void registrosEnTodoOrden()
    {
        QFETCH(QString, pasos);
        CarpetaPrueba c;
        c.escribir(QStringLiteral("usuarioslimpio.xml"), PlantillaUsuarios);
        Copia a(c.dir.path()), b(c.dir.path());
        for (QChar paso : pasos) {
            Copia& copia = paso.toLower() == QLatin1Char('a') ? a : b;
            const QByteArray dni = paso.toLower() == QLatin1Char('a') ? DNI_A : DNI_B;
            QCOMPARE(copia.orden(paso.isLower() ? "carga" : "alta " + dni + " CLAVE"), "si");
        }
        QCOMPARE(a.orden(QByteArray("existe ") + DNI_B), "si"); // B's registration seen by A without a new load
        QCOMPARE(b.orden(QByteArray("existe ") + DNI_A), "si");
        QVERIFY(CargaUsuarios(c.ruta(QStringLiteral("usuarios.xml"))));
        QVERIFY(ExisteUsuario(DNI_A) && ExisteUsuario(DNI_B));
        QCOMPARE(registros(c), 2);
    }

    // Registrations sent to both copies at the same moment, over and over.
    void registrosSimultaneos()
    {
        CarpetaPrueba c;
        Copia a(c.dir.path()), b(c.dir.path());
        QCOMPARE(a.orden("carga"), "si");
        QCOMPARE(b.orden("carga"), "si");
        for (int i = 0; i < 20; ++i) {
            a.enviar(QByteArray("alta 1000") + QByteArray::number(2 * i).rightJustified(4, '0') + "X C");
            b.enviar(QByteArray("alta 1000") + QByteArray::number(2 * i + 1).rightJustified(4, '0') + "X C");
            QCOMPARE(a.respuesta(), "si");
            QCOMPARE(b.respuesta(), "si");
        }
        QCOMPARE(registros(c), 40);
    }

    // A copy that holds the lock makes a registration wait, not fail or overwrite.
    void esperaAlBloqueo()
    {
        CarpetaPrueba c;
        Copia a(c.dir.path());
        QCOMPARE(a.orden("carga"), "si");
        const int fd = ::open(QFile::encodeName(c.ruta(QStringLiteral(".usuarios.xml.lock"))).constData(),
            O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        QVERIFY(fd >= 0 && ::flock(fd, LOCK_EX) == 0);
        a.enviar(QByteArray("alta ") + DNI_A + " CLAVE");
        QVERIFY(!a.p.waitForReadyRead(300));
        QCOMPARE(registros(c), 0);
        ::close(fd);
        QCOMPARE(a.respuesta(), "si");
        QVERIFY(CargaUsuarios(c.ruta(QStringLiteral("usuarios.xml"))));
        QVERIFY(AltaUsuario(DNI_B, QStringLiteral("OTRA")));
        QVERIFY(ExisteUsuario(DNI_A) && ExisteUsuario(DNI_B));
    }

    // A copy killed at any moment of its registrations leaves a whole file that
    // holds every registration it had confirmed.
    void muerteEnCualquierMomento()
    {
        CarpetaPrueba c;
        c.escribir(QStringLiteral("usuarioslimpio.xml"), PlantillaUsuarios);
        int siguiente = 0, confirmadosEnTotal = 0;
        for (int vuelta = 0; vuelta < 100; ++vuelta) {
            Copia a(c.dir.path());
            QCOMPARE(a.orden("carga"), "si");
            const int primero = siguiente;
            for (int i = 0; i < 20; ++i)
                a.enviar("alta D" + QByteArray::number(siguiente++) + " C");
            a.p.waitForBytesWritten();
            QTest::qSleep(vuelta % 31);
            a.p.kill();
            a.p.waitForFinished();
            const int respuestas = int(a.p.readAllStandardOutput().count("si\n"));
            const int confirmados = primero + respuestas;
            confirmadosEnTotal += respuestas;
            const QByteArray fichero = c.leer(QStringLiteral("usuarios.xml"));
            QVERIFY(fichero.endsWith("</Usuarios>\r\n"));
            QVERIFY(fichero.count("<Usuario>") >= confirmados);
            siguiente = int(fichero.count("<Usuario>"));
            QVERIFY(CargaUsuarios(c.ruta(QStringLiteral("usuarios.xml"))));
            QVERIFY(respuestas == 0 || ExisteUsuario(QStringLiteral("D%1").arg(confirmados - 1)));
        }
        QVERIFY(confirmadosEnTotal > 0);
    }
};

QTEST_MAIN(tst_usuarios_procesos)
#include "tst_usuarios_procesos.moc"

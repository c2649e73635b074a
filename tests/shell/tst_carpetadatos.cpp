// The data folder: below the program folder when it is writable, else per user
// under XDG_DATA_HOME; the folders it makes are owner-only.
#include "shell/CarpetaDatos.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {

unsigned Modo(const QString& ruta)
{
    struct stat datos { };
    if (::stat(QFile::encodeName(ruta).constData(), &datos) != 0)
        return 0xffff;
    return datos.st_mode & 07777;
}

} // namespace

class tst_carpetadatos : public QObject {
    Q_OBJECT
private slots:
    void eligeLaCarpeta_data()
    {
        QTest::addColumn<bool>("escribible");
        QTest::addColumn<QString>("xdg");
        QTest::addColumn<QString>("home");
        QTest::addColumn<QString>("esperada");
        const QString programa = QStringLiteral("/opt/varelio");
        QTest::newRow("writable program folder") << true << "/x"
                                                 << "/home/ana" << programa;
        QTest::newRow("XDG_DATA_HOME") << false << "/datos/ana"
                                       << "/home/ana"
                                       << "/datos/ana/Varelio";
        QTest::newRow("XDG_DATA_HOME with a slash") << false << "/datos/ana/"
                                                    << "/home/ana"
                                                    << "/datos/ana/Varelio";
        QTest::newRow("no XDG_DATA_HOME") << false << ""
                                          << "/home/ana"
                                          << "/home/ana/.local/share/Varelio";
        QTest::newRow("relative XDG_DATA_HOME") << false << "datos"
                                                << "/home/ana"
                                                << "/home/ana/.local/share/Varelio";
    }
    void eligeLaCarpeta()
    {
        QFETCH(bool, escribible);
        QFETCH(QString, xdg);
        QFETCH(QString, home);
        QFETCH(QString, esperada);
        QCOMPARE(CarpetaDatos::Elegir(QStringLiteral("/opt/varelio"), escribible, xdg, home), esperada);
    }

    // The process's own view: a folder it may write keeps the data; one it may
    // not sends them to XDG_DATA_HOME (not testable as root, who may write anywhere).
    void escribibleSegunElProceso()
    {
        QTemporaryDir dir;
        QCOMPARE(CarpetaDatos::Elegir(dir.path()), dir.path());
        if (::geteuid() == 0)
            QSKIP("root may write any folder");
        const QString programa = dir.filePath(QStringLiteral("programa"));
        QVERIFY(QDir().mkdir(programa));
        QVERIFY(::chmod(QFile::encodeName(programa).constData(), 0555) == 0);
        qputenv("XDG_DATA_HOME", QFile::encodeName(dir.filePath(QStringLiteral("datos"))));
        QCOMPARE(CarpetaDatos::Elegir(programa), dir.filePath(QStringLiteral("datos/Varelio")));
        qunsetenv("XDG_DATA_HOME");
        ::chmod(QFile::encodeName(programa).constData(), 0755);
    }

    // A program folder others may write, or that belongs to another user, is
    // not the data folder: each user gets a folder of their own.
    void carpetaCompartidaNoEsLaDeDatos()
    {
        QTemporaryDir dir;
        const QString programa = dir.filePath(QStringLiteral("programa"));
        QVERIFY(QDir().mkdir(programa));
        const QByteArray ruta = QFile::encodeName(programa);
        qputenv("XDG_DATA_HOME", QFile::encodeName(dir.filePath(QStringLiteral("datos"))));
        const QString propia = dir.filePath(QStringLiteral("datos/Varelio"));
        QVERIFY(::chmod(ruta.constData(), 0700) == 0);
        QCOMPARE(CarpetaDatos::Elegir(programa), programa);
        for (mode_t modo : {mode_t(0777), mode_t(0770), mode_t(01777)}) {
            QVERIFY(::chmod(ruta.constData(), modo) == 0);
            QCOMPARE(CarpetaDatos::Elegir(programa), propia);
        }
        QVERIFY(::chmod(ruta.constData(), 0755) == 0);
        if (::geteuid() == 0) { // only root can give a folder away
            QVERIFY(::chown(ruta.constData(), 65534, 65534) == 0);
            QCOMPARE(CarpetaDatos::Elegir(programa), propia);
        }
        qunsetenv("XDG_DATA_HOME");
    }

    // Every missing folder on the way is made 0700, also under a permissive umask;
    // folders that exist keep their mode; a second run finds everything there.
    void preparaCarpetasPropias()
    {
        QTemporaryDir dir;
        QVERIFY(::chmod(QFile::encodeName(dir.path()).constData(), 0755) == 0);
        const QString datos = dir.filePath(QStringLiteral(".local/share/Varelio"));
        const mode_t antes = ::umask(0);
        const int error = CarpetaDatos::Preparar(datos);
        ::umask(antes);
        QCOMPARE(error, 0);
        for (const char* c : {".local", ".local/share", ".local/share/Varelio", ".local/share/Varelio/ficheros",
                 ".local/share/Varelio/ficheros/temp"})
            QCOMPARE(Modo(dir.filePath(QString::fromLatin1(c))), 0700u);
        QCOMPARE(Modo(dir.path()), 0755u);
        QCOMPARE(CarpetaDatos::Preparar(datos), 0);
    }

    void fallosDicenPorQue()
    {
        QTemporaryDir dir;
        QFile estorbo(dir.filePath(QStringLiteral("Varelio")));
        QVERIFY(estorbo.open(QIODevice::WriteOnly));
        estorbo.close();
        QCOMPARE(CarpetaDatos::Preparar(estorbo.fileName()), ENOTDIR);
        QCOMPARE(CarpetaDatos::Preparar(QStringLiteral("sin/home/Varelio")), ENOENT);
    }
};

QTEST_MAIN(tst_carpetadatos)
#include "tst_carpetadatos.moc"

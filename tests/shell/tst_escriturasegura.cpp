// The safe-write routine under real faults: a size limit in a child process
// (a full disk without root), a symbolic link, a killed writer's leftovers.
#include "shell/EscrituraSegura.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QByteArray leer(const QString& ruta)
{
    QFile f(ruta);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<no se puede leer>");
}

unsigned modo(const QString& ruta)
{
    struct stat st { };
    ::lstat(QFile::encodeName(ruta).constData(), &st);
    return st.st_mode & 07777;
}

// Runs the write in a child under RLIMIT_FSIZE = limite; returns the child's errno (0 = written).
int escribirConLimite(const QString& ruta, const QByteArray& datos, rlim_t limite)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        struct rlimit rl {
            limite, limite
        };
        ::setrlimit(RLIMIT_FSIZE, &rl);
        const ResultadoEscritura r = EscribirFicheroSeguro(ruta, datos);
        ::_exit(r.error > 255 ? 255 : r.error);
    }
    int estado = 0;
    ::waitpid(pid, &estado, 0);
    return WIFEXITED(estado) ? WEXITSTATUS(estado) : -1;
}

} // namespace

class tst_escriturasegura : public QObject {
    Q_OBJECT
private slots:
    void escribeEnteroYSoloParaElDueno()
    {
        QTemporaryDir dir;
        const QString ruta = dir.filePath(QStringLiteral("a.doc"));
        QFile::remove(ruta);
        QVERIFY(QFile(ruta).open(QIODevice::WriteOnly)); // an old file readable by all
        QFile::setPermissions(ruta, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther | QFile::ReadGroup);
        QVERIFY(EscribirFicheroSeguro(ruta, "nuevo"));
        QCOMPARE(leer(ruta), QByteArray("nuevo"));
        QCOMPARE(modo(ruta), 0600u);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
    }

    void discoLlenoDejaElAnterior()
    {
        QTemporaryDir dir;
        const QString ruta = dir.filePath(QStringLiteral("a.doc"));
        const QByteArray viejo(3000, 'v');
        QVERIFY(EscribirFicheroSeguro(ruta, viejo));
        const QByteArray nuevo(20000, 'n');
        for (rlim_t limite : {rlim_t(0), rlim_t(1), rlim_t(4095), rlim_t(4096), rlim_t(8193), rlim_t(19999)}) {
            QCOMPARE(escribirConLimite(ruta, nuevo, limite), EFBIG);
            QCOMPARE(leer(ruta), viejo);
            QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
        }
        QCOMPARE(escribirConLimite(ruta, nuevo, 20000), 0);
        QCOMPARE(leer(ruta), nuevo);
        QVERIFY(MotivoError(EFBIG).contains(QStringLiteral("tamaño")));
        QVERIFY(MotivoError(ENOSPC).contains(QStringLiteral("espacio")));
    }

    void noSigueEnlacesNiPisaNombres()
    {
        QTemporaryDir dir;
        const QString fuera = dir.filePath(QStringLiteral("fuera.txt"));
        QVERIFY(EscribirFicheroSeguro(fuera, "ajeno"));
        const QString enlace = dir.filePath(QStringLiteral("a.doc"));
        QVERIFY(QFile::link(fuera, enlace));
        const ResultadoEscritura r = EscribirFicheroSeguro(enlace, "datos personales");
        QCOMPARE(r.error, ELOOP);
        QCOMPARE(leer(fuera), QByteArray("ajeno"));
        QVERIFY(QFileInfo(enlace).isSymLink());
        QCOMPARE(ReservarNombre(enlace).error, EEXIST);

        const QString libre = dir.filePath(QStringLiteral("b.doc"));
        QVERIFY(ReservarNombre(libre));
        QCOMPARE(ReservarNombre(libre).error, EEXIST);
        QCOMPARE(modo(libre), 0600u);
    }

    void limpiaSoloTemporalesAbandonados()
    {
        QTemporaryDir dir;
        const QString abandonado = dir.filePath(QStringLiteral(".a.doc.part-abc123"));
        const QString enUso = dir.filePath(QStringLiteral(".b.doc.part-def456"));
        const QString ajeno = dir.filePath(QStringLiteral("c.doc"));
        for (const QString& r : {abandonado, enUso, ajeno})
            QVERIFY(QFile(r).open(QIODevice::WriteOnly));
        const int fd = ::open(QFile::encodeName(enUso).constData(), O_RDONLY);
        QVERIFY(::flock(fd, LOCK_EX) == 0); // another copy is still writing it
        QCOMPARE(LimpiarTemporales(dir.path()), 1);
        ::close(fd);
        QVERIFY(!QFile::exists(abandonado));
        QVERIFY(QFile::exists(enUso));
        QVERIFY(QFile::exists(ajeno));
    }
};

QTEST_GUILESS_MAIN(tst_escriturasegura)
#include "tst_escriturasegura.moc"

// The safe-write routine under real faults: a size limit in a child process
// (a full disk without root), a symbolic link, a killed writer's leftovers.
#include "shell/EscrituraSegura.h"

#include <QDir>
#include <QElapsedTimer>
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
        const Resultado comun = r; // as the common result value: the same reason, the errno
        QVERIFY(!comun && comun.motivo == r.motivo() && comun.numero == ELOOP);
        QVERIFY(Resultado(EscribirFicheroSeguro(fuera, "ajeno")));
        QCOMPARE(leer(fuera), QByteArray("ajeno"));
        QVERIFY(QFileInfo(enlace).isSymLink());
        QCOMPARE(EscribirFicheroNuevo(enlace, "datos").error, EEXIST);
        QCOMPARE(leer(fuera), QByteArray("ajeno"));

        // A new name appears only with its whole content, and is never taken twice.
        const QString libre = dir.filePath(QStringLiteral("b.doc"));
        QVERIFY(EscribirFicheroNuevo(libre, "primero"));
        QCOMPARE(EscribirFicheroNuevo(libre, "segundo").error, EEXIST);
        QCOMPARE(leer(libre), QByteArray("primero"));
        QCOMPARE(modo(libre), 0600u);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 3); // no temporary left
    }

    // Files that are not regular (a FIFO named like a temporary file, or as the
    // file to read) are skipped or refused at once, never waited on.
    void noEsperaEnFicherosEspeciales()
    {
        QTemporaryDir dir;
        const QString fifo = dir.filePath(QStringLiteral(".12345678Z.doc.part-Ab12Cd"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QCOMPARE(LimpiarTemporales(dir.path()), 0);
        QVERIFY(QFileInfo(fifo).exists());
        QByteArray bytes;
        QCOMPARE(LeerFicheroRegular(fifo, 1000, bytes), ENODEV);
        QCOMPARE(AbrirParaLeer(dir.path()), -EISDIR);
        const QString grande = dir.filePath(QStringLiteral("grande"));
        QVERIFY(EscribirFicheroSeguro(grande, QByteArray(1001, 'x')));
        QCOMPARE(LeerFicheroRegular(grande, 1000, bytes), EFBIG);
        QVERIFY(bytes.isEmpty());
        QCOMPARE(LeerFicheroRegular(grande, 1001, bytes), 0);
        QCOMPARE(bytes.size(), 1001);
    }

    // One copy saves again and again while another runs the start-up cleaner on
    // the same folder in a loop: no save fails, no temporary file is left.
    void guardaMientrasOtraCopiaLimpia()
    {
        QTemporaryDir dir;
        const QString ruta = dir.filePath(QStringLiteral("12345678Z.doc"));
        const pid_t limpiador = ::fork();
        if (limpiador == 0) {
            for (;;)
                LimpiarTemporales(dir.path());
        }
        // At least three seconds and 200 saves, at most 20 s (each save syncs, so
        // how many fit depends on the disk and on the machine's load).
        int guardados = 0, fallidos = 0;
        QString primero;
        QElapsedTimer reloj;
        reloj.start();
        const auto seguir = [&] {
            return guardados < 20000 && !reloj.hasExpired(20000) && (guardados < 200 || !reloj.hasExpired(3000));
        };
        for (; seguir(); ++guardados)
            if (const ResultadoEscritura r = EscribirFicheroSeguro(ruta, QByteArray(2000, char('a' + guardados % 26)));
                !r) {
                if (primero.isEmpty())
                    primero = r.paso + QStringLiteral(": ") + r.motivo();
                ++fallidos;
            }
        ::kill(limpiador, SIGKILL);
        ::waitpid(limpiador, nullptr, 0);
        qInfo("%d saves beside a cleaner, %d failed", guardados, fallidos);
        QVERIFY2(fallidos == 0, qPrintable(QStringLiteral("%1 failed, first: %2").arg(fallidos).arg(primero)));
        QVERIFY(guardados >= 50);
        QCOMPARE(leer(ruta), QByteArray(2000, char('a' + (guardados - 1) % 26)));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
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

        // Other hidden files held the same way, and only hidden ones.
        const QString mapa = dir.filePath(QStringLiteral(".2026120708051205-Ab12Cd.bmp"));
        const QString visible = dir.filePath(QStringLiteral("2026120708051205-Ab12Cd.bmp"));
        for (const QString& r : {mapa, visible})
            QVERIFY(QFile(r).open(QIODevice::WriteOnly));
        QCOMPARE(LimpiarTemporales(dir.path(), {QStringLiteral("*.bmp")}), 2); // and the one let go above
        QVERIFY(!QFile::exists(mapa));
        QVERIFY(QFile::exists(visible));
    }
};

QTEST_GUILESS_MAIN(tst_escriturasegura)
#include "tst_escriturasegura.moc"

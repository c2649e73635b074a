// The build-time packaging tool: entry names and order, later folders replacing
// parts of earlier ones, reproducible output, and no package left on failure.
#include "tests/data/Paquete.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class tst_empaquetar : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

    static void escribir(const QString& ruta, const QByteArray& datos)
    {
        QDir().mkpath(QFileInfo(ruta).path());
        QFile f(ruta);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(datos);
    }

    static int empaquetar(const QStringList& argumentos)
    {
        QProcess p;
        p.start(QStringLiteral(VARELIO_EMPAQUETAR), argumentos);
        if (!p.waitForFinished(30000))
            return -1;
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }

    static QByteArray contenido(const QString& ruta)
    {
        QFile f(ruta);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        const QString a = dir_.filePath("a"), b = dir_.filePath("b");
        escribir(a + "/[Content_Types].xml", "<Types/>");
        escribir(a + "/_rels/.rels", "<Relationships/>");
        escribir(a + "/word/document.xml", "<comun/>");
        escribir(a + "/word/styles.xml", "<estilos/>");
        escribir(b + "/word/document.xml", "<propio/>");
    }

    void entradasYSustitucion()
    {
        const QString salida = dir_.filePath("salida/p.docx");
        QCOMPARE(empaquetar({salida, dir_.filePath("a"), dir_.filePath("b")}), 0);
        Paquete p(salida);
        QVERIFY(p.abierto());
        QCOMPARE(
            p.partes(), QStringList({"[Content_Types].xml", "_rels/.rels", "word/document.xml", "word/styles.xml"}));
        QCOMPARE(p.leer("word/document.xml"), QByteArray("<propio/>"));
        QCOMPARE(p.leer("word/styles.xml"), QByteArray("<estilos/>"));
    }

    // The same sources give the same bytes, whatever their file times.
    void reproducible()
    {
        const QString uno = dir_.filePath("uno.docx"), dos = dir_.filePath("dos.docx");
        QCOMPARE(empaquetar({uno, dir_.filePath("a"), dir_.filePath("b")}), 0);
        QFile estilos(dir_.filePath("a/word/styles.xml"));
        QVERIFY(estilos.open(QIODevice::ReadWrite));
        QVERIFY(estilos.setFileTime(QDateTime::currentDateTime().addDays(-400), QFileDevice::FileModificationTime));
        estilos.close();
        QCOMPARE(empaquetar({dos, dir_.filePath("a"), dir_.filePath("b")}), 0);
        QVERIFY(!contenido(uno).isEmpty());
        QCOMPARE(contenido(uno), contenido(dos));
    }

    // A package without [Content_Types].xml, or a missing folder, is an error that
    // leaves an earlier package of that name as it was.
    void fallos()
    {
        const QString salida = dir_.filePath("previo.docx");
        escribir(salida, "previo");
        QVERIFY(empaquetar({salida, dir_.filePath("b")}) != 0);
        QVERIFY(empaquetar({salida, dir_.filePath("a"), dir_.filePath("no-existe")}) != 0);
        QCOMPARE(contenido(salida), QByteArray("previo"));
        QVERIFY(empaquetar({salida}) != 0);
    }
};

QTEST_APPLESS_MAIN(tst_empaquetar)
#include "tst_empaquetar.moc"

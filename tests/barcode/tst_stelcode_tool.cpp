// The stelcode command-line tool: its options and the program itself.
#include "DecodeHelper.h"
#include "ToolOptions.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {
struct Run {
    int exitCode = -1;
    QByteArray out;
    QString err;
};

Run runTool(const QStringList& args, const QByteArray& input = {})
{
    QProcess p;
    p.start(qEnvironmentVariable("VARELIO_PROGRAM_DIR") + "/stelcode", args);
    if (!p.waitForStarted())
        return {};
    p.write(input);
    p.closeWriteChannel();
    p.waitForFinished();
    return {p.exitCode(), p.readAllStandardOutput(), QString::fromUtf8(p.readAllStandardError())};
}
}  // namespace

class TestStelcodeTool : public QObject
{
    Q_OBJECT

private slots:
    void parsesOptions();
    void refusesBadOptions_data();
    void refusesBadOptions();
    void rendersADecodableSymbol();
    void printsCodewordsAndReadsStandardInput();
    void reportsDataThatDoesNotFit();

private:
    QTemporaryDir m_dir;
};

void TestStelcodeTool::parsesOptions()
{
    const ToolParse p = parseToolOptions({"-m", "text", "--columns=15", "--back-color", "#FF8000",
                                          "-s", "400x90", "-o", "out.BMP", "hola"});
    QVERIFY2(p.options, qPrintable(p.error));
    QCOMPARE(p.options->mode, 1);
    QCOMPARE(p.options->columns, 15);
    QCOMPARE(p.options->backColor, 0x000080FFu);  // stored as 0x00BBGGRR
    QCOMPARE(p.options->size, QSize(400, 90));
    QCOMPARE(p.options->output, QStringLiteral("out"));
    QCOMPARE(p.options->text, QStringLiteral("hola"));
    QVERIFY(!parseToolOptions({"--codewords"}).options->textGiven);
    QCOMPARE(parseToolOptions({"--codewords", "--", "-x"}).options->text, QStringLiteral("-x"));
}

void TestStelcodeTool::refusesBadOptions_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message");
    QTest::newRow("columns") << QStringList{"-c", "31", "-o", "x"} << "--columns: 31";
    QTest::newRow("negative level") << QStringList{"-e", "-1", "-o", "x"} << "--ec-level: -1";
    QTest::newRow("mode") << QStringList{"-m", "7", "-o", "x"} << "Modo no válido";
    QTest::newRow("bar height") << QStringList{"-h", "0", "-o", "x"} << "--bar-height: 0";
    QTest::newRow("colour") << QStringList{"--fore-color", "red", "-o", "x"} << "Color no válido";
    QTest::newRow("unknown") << QStringList{"--bogus"} << "Opción desconocida";
    QTest::newRow("no output") << QStringList{"texto"} << "fichero de salida";
    QTest::newRow("two texts") << QStringList{"-o", "x", "a", "b"} << "Sobran argumentos";
}

void TestStelcodeTool::refusesBadOptions()
{
    QFETCH(QStringList, args);
    QFETCH(QString, message);
    const ToolParse p = parseToolOptions(args);
    QVERIFY(!p.options);
    QVERIFY2(p.error.contains(message), qPrintable(p.error));
    if (QTest::currentDataTag() == QLatin1String("columns")) {
        const Run run = runTool(args);
        QCOMPARE(run.exitCode, 2);
        QVERIFY(run.err.contains(message));
    }
}

void TestStelcodeTool::rendersADecodableSymbol()
{
    const QString base = m_dir.filePath(QStringLiteral("cli"));
    const QString text = QStringLiteral("Solicitud|12345678Z|M|S|N");
    const Run run = runTool({"-m", "text", "-c", "5", "-e", "2", "-w", "2", "--codewords",
                             "-o", base + ".bmp", text});
    QCOMPARE(run.exitCode, 0);
    const auto decoded = decodePdf417(base + ".bmp");
    QVERIFY(decoded);
    QCOMPARE(*decoded, text.toLatin1());
    // Sized to the symbol with its margins on both sides.
    const auto rows = run.out.trimmed().split(' ').size() / 5;
    QCOMPARE(QImage(base + ".bmp").size(), QSize(2 * 10 + (17 * 5 + 69) * 2, 2 * 10 + 7 * rows));
}

void TestStelcodeTool::printsCodewordsAndReadsStandardInput()
{
    const Run run = runTool({"--codewords"}, "This is a test\n");
    QCOMPARE(run.exitCode, 0);
    const QList<QByteArray> words = run.out.trimmed().split(' ');
    QCOMPARE(words.size(), 30);
    QCOMPARE(words.mid(0, 2), (QList<QByteArray>{"28", "901"}));
    QCOMPARE(words[13], QByteArray("116"));  // the last of the 14 bytes, "t"
}

void TestStelcodeTool::reportsDataThatDoesNotFit()
{
    Run run = runTool({"--codewords", "-e", "8", QString(600, QChar('a'))});
    QCOMPARE(run.exitCode, 1);
    QVERIFY(run.err.contains("no cabe"));
    run = runTool({"--codewords", "-m", "numeric", "12a"});
    QCOMPARE(run.exitCode, 1);
    QVERIFY(run.err.contains("dígitos"));
    run = runTool({"-o", m_dir.filePath("no/such/dir/x"), "abc"});
    QCOMPARE(run.exitCode, 1);
    QVERIFY(run.err.contains("no se pudo escribir"));
}

QTEST_MAIN(TestStelcodeTool)
#include "tst_stelcode_tool.moc"

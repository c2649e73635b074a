// The stelcode command-line tool: its options and the program itself.
#include "DecodeHelper.h"
#include "ToolOptions.h"

#include <QFile>
#include <QPainter>
#include <QProcess>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {
struct Run {
    int exitCode = -1;
    QByteArray out;
    QString err;
};

Run runTool(const QStringList& args, const QByteArray& input = {})
{
    QProcess p;
    p.start(qEnvironmentVariable("STELCODE_OUTPUT_DIR") + "/stelcode", args);
    if (!p.waitForStarted())
        return {};
    p.write(input);
    p.closeWriteChannel();
    p.waitForFinished();
    return {p.exitCode(), p.readAllStandardOutput(), QString::fromUtf8(p.readAllStandardError())};
}

ToolParse parse(const std::vector<std::string>& args) { return parseToolOptions(args); }

QImage rasteriseSvg(const QByteArray& svg)
{
    QSvgRenderer renderer(svg);
    if (!renderer.isValid())
        return {};
    QImage image(renderer.defaultSize(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    renderer.render(&painter);
    return image;
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

class tst_stelcode_tool : public QObject {
    Q_OBJECT

private slots:
    void parsesOptions();
    void refusesBadOptions_data();
    void refusesBadOptions();
    void writesEachFormat_data();
    void writesEachFormat();
    void encodesBinaryInputExactly();
    void warnsAboutWhatItCannotCarry();
    void helpVersionAndExitStatuses();
    void neverWritesThroughALinkOrOverAReadOnlyFile();

private:
    QTemporaryDir m_dir;
};

void tst_stelcode_tool::parsesOptions()
{
    ToolParse p = parse({"-m", "auto", "--columns=15", "--back-color", "#FF8000", "-s", "400x90", "-H4", "-eauto", "-o",
        "out.PNG", "hola"});
    QVERIFY2(p.options, p.error.c_str());
    QCOMPARE(p.options->encode.mode, stelcode::Mode::Auto);
    QCOMPARE(p.options->encode.columns, 15);
    QCOMPARE(p.options->encode.ecLevel, stelcode::kAutoLevel);
    QCOMPARE(p.options->render.spaceColor, 0xFF8000u);
    QCOMPARE(p.options->render.width, 400);
    QCOMPARE(p.options->render.rowHeight, 4);
    QCOMPARE(p.options->text, std::string("hola"));
    const OutputTarget png = outputTarget(*p.options);
    QCOMPARE(png.path, std::string("out.PNG"));
    QCOMPARE(png.format, stelcode::ImageFormat::Png);

    p = parse({"-c15", "--format=svg", "-o", "dir.v2/codigo", "--binary", "-i", "-"});
    QVERIFY2(p.options, p.error.c_str());
    QCOMPARE(p.options->encode.columns, 15);
    QVERIFY(p.options->binary && !p.options->textGiven);
    QCOMPARE(outputTarget(*p.options).path, std::string("dir.v2/codigo.svg"));
    QVERIFY(parse({"-h"}).options->help);
    QVERIFY(parse({"--version"}).options->version);
    QCOMPARE(parse({"--codewords", "--", "-x"}).options->text, std::string("-x"));
    const ToolParse toStdout = parse({"-o", "-", "--format", "png", "x"});
    QVERIFY(outputTarget(*toStdout.options).path.empty());
}

void tst_stelcode_tool::refusesBadOptions_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message");
    QTest::newRow("columns") << QStringList{"-c", "31", "-o", "x"} << "--columns: 31";
    QTest::newRow("columns attached") << QStringList{"-c0", "-o", "x"} << "--columns: 0";
    QTest::newRow("level") << QStringList{"-e", "9", "-o", "x"} << "--ec-level: 9";
    QTest::newRow("mode") << QStringList{"-m", "7", "-o", "x"} << "Modo no válido";
    QTest::newRow("bar height") << QStringList{"--bar-height=0", "-o", "x"} << "--bar-height: 0";
    QTest::newRow("colour") << QStringList{"--fore-color", "red", "-o", "x"} << "Color no válido";
    QTest::newRow("format") << QStringList{"--format", "gif", "-o", "x"} << "Formato no válido";
    QTest::newRow("unknown") << QStringList{"--bogus"} << "Opción desconocida";
    QTest::newRow("no output") << QStringList{"texto"} << "fichero de salida";
    QTest::newRow("two texts") << QStringList{"-o", "x", "a", "b"} << "Sobran argumentos";
    QTest::newRow("text and file") << QStringList{"-o", "x", "-i", "f", "a"} << "de las dos formas";
    QTest::newRow("image and codewords on stdout") << QStringList{"-o", "-", "--codewords", "a"} << "--codewords";
    QTest::newRow("missing value") << QStringList{"-o", "x", "a", "-c"} << "Falta el valor";
}

void tst_stelcode_tool::refusesBadOptions()
{
    QFETCH(QStringList, args);
    QFETCH(QString, message);
    const Run run = runTool(args);
    QCOMPARE(run.exitCode, 2);
    QVERIFY2(run.err.contains(message), qPrintable(run.err));
}

void tst_stelcode_tool::writesEachFormat_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("file"); // empty: standard output
    QTest::addColumn<QByteArray>("format");
    QTest::newRow("bmp added") << QStringList{"-o", "a"} << "a.bmp" << QByteArray("bmp");
    QTest::newRow("png") << QStringList{"-o", "b.png", "-w2", "-H", "6"} << "b.png" << QByteArray("png");
    QTest::newRow("svg") << QStringList{"-o", "c.svg", "-w", "3", "-H", "9"} << "c.svg" << QByteArray("svg");
    QTest::newRow("format added") << QStringList{"--format=png", "-o", "d"} << "d.png" << QByteArray("png");
    QTest::newRow("png to stdout") << QStringList{"-o", "-", "--format", "png"} << "" << QByteArray("png");
    QTest::newRow("svg to stdout") << QStringList{"-o", "-", "--format", "svg"} << "" << QByteArray("svg");
}

void tst_stelcode_tool::writesEachFormat()
{
    QFETCH(QStringList, args);
    QFETCH(QString, file);
    QFETCH(QByteArray, format);
    const QString text = QStringLiteral("Solicitud|12345678Z|Señor Peña|M|S|N");
    QStringList all = args;
    if (!file.isEmpty())
        all[all.indexOf("-o") + 1] = m_dir.filePath(all[all.indexOf("-o") + 1]);
    const Run run = runTool(all << "-m"
                                << "auto"
                                << "-c"
                                << "5" << text);
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.err.isEmpty(), qPrintable(run.err));
    const QByteArray bytes = file.isEmpty() ? run.out : readFile(m_dir.filePath(file));
    const QImage image = format == "svg" ? rasteriseSvg(bytes) : QImage::fromData(bytes, format.constData());
    QVERIFY(!image.isNull());
    QCOMPARE(decodePdf417(image), std::optional<QByteArray>(text.toLatin1()));
}

void tst_stelcode_tool::encodesBinaryInputExactly()
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    const QString png = m_dir.filePath(QStringLiteral("binary.png"));
    Run run = runTool({"--binary", "-c", "12", "-o", png}, all);
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.err.isEmpty(), qPrintable(run.err));
    QCOMPARE(decodePdf417(png), std::optional<QByteArray>(all));

    // From a file, final line break and all; and the example bytes as codewords.
    const QString input = m_dir.filePath(QStringLiteral("input.bin"));
    QFile f(input);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("\xff\xfe\x00\x01\x80\n", 6);
    f.close();
    run = runTool({"--binary", "-i", input, "--codewords"});
    QCOMPARE(run.exitCode, 0);
    const uint8_t six[] = {0xff, 0xfe, 0x00, 0x01, 0x80, '\n'};
    QByteArray expected;
    const stelcode::EncodeResult direct = stelcode::encodeBytes(six, {});
    for (const int16_t w : direct.symbol->codewords)
        expected += (expected.isEmpty() ? "" : " ") + QByteArray::number(w);
    QCOMPARE(run.out.trimmed(), expected);
    QCOMPARE(run.out.split(' ').at(1), QByteArray("924")); // six bytes: one group
}

void tst_stelcode_tool::warnsAboutWhatItCannotCarry()
{
    // Byte mode replaces, text mode drops, each with a warning; status stays 0.
    Run run = runTool({"--codewords", "a☃b"});
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.err.contains("«☃» (U+2603) en la posición 2 no existe en Windows-1252"), qPrintable(run.err));
    QCOMPARE(run.out.split(' ').mid(1, 4), (QList<QByteArray>{"901", "97", "0", "98"}));
    run = runTool({"--codewords", "-m", "text"}, "año\tX\n");
    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.err.contains("«ñ» (U+00F1) en la posición 2 no cabe en el modo texto"));
    QVERIFY(run.err.contains("U+0009 en la posición 4"));
    QCOMPARE(run.err.count("aviso"), 2); // the final line break is not data
    run = runTool({"--codewords", "--binary", "-m", "text"}, QByteArray("a\xff\0b", 4));
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.err.contains("el byte 0xFF en la posición 2 no cabe en el modo texto"), qPrintable(run.err));
    QVERIFY(run.err.contains("el byte 0x00 en la posición 3"));
    // Geometry below the minimums, and an image that cuts the symbol off.
    run = runTool({"-o", m_dir.filePath("thin"), "-w", "2", "-H", "5", "--left-margin", "3", "-s", "50x50", "x"});
    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.err.contains("pide al menos 3 módulos (6 píxeles)"));
    QVERIFY(run.err.contains("márgenes por debajo de 2 módulos (4 píxeles)"));
    QVERIFY(run.err.contains("queda cortado"));
    QCOMPARE(QImage(m_dir.filePath("thin.bmp")).size(), QSize(50, 50));
    QVERIFY(runTool({"-o", m_dir.filePath("ok"), "x"}).err.isEmpty());
}

void tst_stelcode_tool::helpVersionAndExitStatuses()
{
    Run run = runTool({"-h"});
    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.out.contains("UTF-8") && run.out.contains("--binary") && run.out.contains("Estado de salida"));
    run = runTool({"--version"});
    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.out.startsWith("stelcode 1."));
    run = runTool({"--codewords", "-e", "8", QString(600, QChar('a'))});
    QCOMPARE(run.exitCode, 1);
    QVERIFY(run.err.contains("no cabe"));
    run = runTool({"--codewords", "-m", "numeric", "12a"});
    QCOMPARE(run.exitCode, 1);
    QVERIFY(run.err.contains("dígitos"));
    run = runTool({"--codewords", "-i", m_dir.filePath("missing")});
    QCOMPARE(run.exitCode, 1);
    QVERIFY(run.err.contains("no se pudo leer"));
    run = runTool({"--codewords", "--binary"}, QByteArray(2 << 20, 'x'));
    QCOMPARE(run.exitCode, 1);
    QVERIFY(run.err.contains("1 MiB"));
    run = runTool({"-o", m_dir.filePath("no/such/dir/x"), "abc"});
    QCOMPARE(run.exitCode, 1);
    QVERIFY(run.err.contains("no se pudo escribir"));
}

void tst_stelcode_tool::neverWritesThroughALinkOrOverAReadOnlyFile()
{
    const QString target = m_dir.filePath(QStringLiteral("target.txt"));
    QFile f(target);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("keep");
    f.close();
    const QString link = m_dir.filePath(QStringLiteral("link.png"));
    QVERIFY(QFile::link(target, link));
    Run run = runTool({"-o", link, "x"});
    QCOMPARE(run.exitCode, 1);
    QVERIFY(run.err.contains("enlace simbólico"));
    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(readFile(target), QByteArray("keep"));

    if (::geteuid() != 0) { // root may write anything
        const QString readOnly = m_dir.filePath(QStringLiteral("ro.bmp"));
        QVERIFY(QFile::copy(target, readOnly));
        QVERIFY(::chmod(QFile::encodeName(readOnly).constData(), 0444) == 0);
        run = runTool({"-o", readOnly, "x"});
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(readFile(readOnly), QByteArray("keep"));
    }
    // An existing writable file is replaced and keeps its permissions; no
    // temporary file stays behind.
    const QString existing = m_dir.filePath(QStringLiteral("existing.png"));
    QVERIFY(QFile::copy(target, existing));
    QVERIFY(::chmod(QFile::encodeName(existing).constData(), 0640) == 0);
    QCOMPARE(runTool({"-o", existing, "x"}).exitCode, 0);
    QVERIFY(decodePdf417(existing));
    struct stat st { };
    QVERIFY(::stat(QFile::encodeName(existing).constData(), &st) == 0);
    QCOMPARE(st.st_mode & 0777, 0640u);
    QCOMPARE(QDir(m_dir.path()).entryList({"*.XXXXXX", "existing.png.*"}, QDir::Files), QStringList());
}

QTEST_MAIN(tst_stelcode_tool)
#include "tst_stelcode_tool.moc"

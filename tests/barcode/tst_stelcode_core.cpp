// The encoder without widgets: results, errors, unencoded characters, the
// module matrix, image files read back by ZXing, and the automatic modes.
#include "DecodeHelper.h"

#include <stelcode/Encoder.h>
#include <stelcode/Render.h>
#include <stelcode/Stelcodex.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>

#include <sys/stat.h>
#include <unistd.h>

using namespace stelcode;

namespace {
std::span<const uint8_t> span(const QByteArray& b)
{
    return {reinterpret_cast<const uint8_t*>(b.constData()), static_cast<size_t>(b.size())};
}

std::optional<QByteArray> decodeFile(const std::string& file)
{
    return decodePdf417(QImage::fromData(QByteArray::fromStdString(file)));
}

QByteArray typicalPayload()
{
    return "U|12345678Z|GARCIA FERNANDEZ DE LA TORRE|MARIA JOSE|19700201|ESPANOLA|915551234|"
           "CALLE DE LOS ALMENDROS NUMERO 14 ESCALERA B|ALCALA DE HENARES|MADRID|28801|"
           "LICENCIADA EN MEDICINA Y CIRUGIA POR LA UNIVERSIDAD COMPLUTENSE DE MADRID, "
           "ESPECIALISTA EN MEDICINA FAMILIAR|1|2|3|4|5|6|7|8|9|10|11|M|S|S|N|"
           "CERTIFICADO DE SERVICIOS|MADRID|07/12/06";
}

QByteArray mixedCasePayload()
{
    return "Solicitud de Concurso: Garcia Fernandez, Maria Jose; nacida el 01/02/1970 en Alcala "
           "de Henares (Madrid). Telefono 915551234, correo maria.garcia@example.es. Licenciada "
           "en Medicina y Cirugia, Especialista en Medicina Familiar y Comunitaria. Areas 1-11 "
           "por orden de preferencia; Categoria: Medico de Area. Documentos: DNI, Titulo, "
           "Certificado.";
}

QByteArray pseudoRandom(int n, int modulo, char base)
{
    QByteArray b;
    quint32 x = 12345;
    for (int i = 0; i < n; ++i) {
        x = x * 1103515245u + 12345u;
        b += static_cast<char>(base + static_cast<int>((x >> 16) % static_cast<quint32>(modulo)));
    }
    return b;
}

// Descriptor and data codewords, without pads and checks.
int dataCount(const Symbol& s) { return s.dataCodewords; }
} // namespace

class tst_stelcode_core : public QObject {
    Q_OBJECT

private slots:
    void agreesWithTheControl_data();
    void agreesWithTheControl();
    void refusesWhatCannotBeEncoded();
    void listsUnencodedCharacters();
    void matrixAndImagesReadBack();
    void everyByteValueTravels();
    void autoModeCodewordCounts_data();
    void autoModeCodewordCounts();
    void autoLevelFollowsDataSize();
    void autoModeMixesReadBack();
    void controlNeverWritesThroughALink();
    void safeWriteModes();
};

void tst_stelcode_core::agreesWithTheControl_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("columns");
    QTest::addColumn<int>("level");
    QTest::newRow("byte") << QStringLiteral("This is a test") << 0 << 10 << 0;
    QTest::newRow("byte latin") << QStringLiteral("Señor Peña (€) ☃") << 0 << 7 << 3;
    QTest::newRow("text") << QString::fromLatin1(typicalPayload()) << 1 << 15 << 2;
    QTest::newRow("numeric") << QString::fromLatin1(pseudoRandom(120, 10, '0')) << 2 << 4 << 5;
}

void tst_stelcode_core::agreesWithTheControl()
{
    // The control's routines and the core give the same symbol, codeword for
    // codeword and module for pixel.
    QFETCH(QString, text);
    QFETCH(int, mode);
    QFETCH(int, columns);
    QFETCH(int, level);
    Stelcodex control;
    control.setPdfcode(text);
    control.setPdfMode(mode);
    control.setPdfColumns(columns);
    control.setPdfECLevel(level);
    control.setPdfbarHeight(3);
    control.setPdfbackColor(StelcodeColor::White);
    control.setPdfforeColor(StelcodeColor::Black);
    control.setSize(control.sizeHint().width(), control.sizeHint().height());
    const auto expected = control.codewords();
    QVERIFY(expected);

    const EncodeResult r = encodeText(text.toStdString(), {Mode(mode), columns, level, 0});
    QVERIFY2(r, r.reason.c_str());
    QCOMPARE(QList<qint16>(r.symbol->codewords.begin(), r.symbol->codewords.end()), *expected);
    QCOMPARE(r.symbol->rows, control.rowCount());

    control.paintBarCode();
    const QImage surface = control.surface();
    RenderOptions o;
    o.rowHeight = 3;
    const BitMatrix px = rasterize(r.symbol->matrix, o);
    QCOMPARE(QSize(px.width(), px.height()), surface.size());
    for (int y = 0; y < px.height(); ++y)
        for (int x = 0; x < px.width(); ++x)
            QVERIFY2(px.get(x, y) == (surface.pixel(x, y) == qRgb(0, 0, 0)),
                qPrintable(QStringLiteral("pixel %1,%2").arg(x).arg(y)));
}

void tst_stelcode_core::refusesWhatCannotBeEncoded()
{
    const QByteArray abc("abc");
    struct Case {
        EncodeOptions options;
        QByteArray data;
        EncodeError error;
    } cases[] = {
        {{Mode::Byte, 0, 0, 0}, abc, EncodeError::BadOptions},
        {{Mode::Byte, 31, 0, 0}, abc, EncodeError::BadOptions},
        {{Mode::Byte, 10, 9, 0}, abc, EncodeError::BadOptions},
        {{Mode::Byte, 10, -2, 0}, abc, EncodeError::BadOptions},
        {{Mode::Byte, 10, 0, 91}, abc, EncodeError::BadOptions},
        {{Mode(7), 10, 0, 0}, abc, EncodeError::BadOptions},
        {{Mode::Numeric, 10, 0, 0}, "12a4", EncodeError::NotNumeric},
        {{Mode::Byte, 30, 8, 0}, QByteArray(600, 'x'), EncodeError::TooLarge},
        {{Mode::Byte, 1, 0, 0}, QByteArray(120, 'x'), EncodeError::TooLarge}, // 90 rows
        {{Mode::Auto, 30, kAutoLevel, 0}, QByteArray(1 << 20, '7'), EncodeError::TooLarge},
        {{Mode::Auto, 30, 0, 0}, QByteArray(2800, '7'), EncodeError::TooLarge},
    };
    for (const Case& c : cases) {
        const EncodeResult r = encodeBytes(span(c.data), c.options);
        QVERIFY(!r);
        QCOMPARE(r.error, c.error);
        QVERIFY(!r.reason.empty());
    }
    // At the limit: 921 codewords before checks fill 32 rows of 29 columns.
    QVERIFY(encodeBytes(span(QByteArray(1100, 'x')), {Mode::Byte, 29, 0, 0}));
    QVERIFY(!encodeBytes(span(QByteArray(1100, 'x')), {Mode::Byte, 30, 0, 0}));
}

void tst_stelcode_core::listsUnencodedCharacters()
{
    // Byte mode: a character without a Windows-1252 code goes as 0; text
    // mode drops everything but printable ASCII; invalid UTF-8 is U+FFFD.
    const std::string text = "a\xC3\xA9\xE2\x82\xAC\xE2\x98\x83\n\xFF"
                             "b"; // a é € ☃ LF <ff> b
    EncodeResult r = encodeText(text, {Mode::Byte, 10, 0, 0});
    QVERIFY(r);
    QCOMPARE(r.unencoded.size(), size_t(2));
    QCOMPARE(r.unencoded[0].index, size_t(3));
    QCOMPARE(r.unencoded[0].character, U'\u2603');
    QVERIFY(r.unencoded[0].replaced);
    QCOMPARE(r.unencoded[1].character, U'\uFFFD');
    const QByteArray carried("a\xE9\x80\0\n\0b", 7);
    QCOMPARE(r.symbol->codewords, encodeBytes(span(carried), {Mode::Byte, 10, 0, 0}).symbol->codewords);

    r = encodeText(text, {Mode::Text, 10, 0, 0});
    QVERIFY(r);
    std::vector<char32_t> dropped;
    for (const Unencoded& u : r.unencoded) {
        QVERIFY(!u.replaced);
        dropped.push_back(u.character);
    }
    QCOMPARE(dropped, (std::vector<char32_t>{U'é', U'€', U'\u2603', U'\n', U'\uFFFD'}));
    QVERIFY(encodeText("plain ASCII 123", {Mode::Text, 10, 0, 0}).unencoded.empty());
}

void tst_stelcode_core::matrixAndImagesReadBack()
{
    const QByteArray data = mixedCasePayload();
    const EncodeResult r = encodeBytes(span(data), {Mode::Text, 8, 3, 0});
    QVERIFY(r);
    const BitMatrix& m = r.symbol->matrix;
    QCOMPARE(m.width(), 17 * 8 + 69);
    QCOMPARE(m.height(), r.symbol->rows);
    // Every row opens with the start pattern and closes with the stop pattern.
    for (int y = 0; y < m.height(); ++y) {
        QString runs;
        for (int x = 0; x < 17; ++x)
            runs += m.get(x, y) ? 'b' : 'w';
        QCOMPARE(runs, QStringLiteral("bbbbbbbbwbwbwbwww"));
        QVERIFY(m.get(m.width() - 1, y) && !m.get(m.width() - 2, y));
    }
    RenderOptions o;
    o.moduleWidth = 2;
    o.rowHeight = 6;
    o.barColor = 0x102030;
    o.spaceColor = 0xF0E0D0;
    for (const ImageFormat format : {ImageFormat::Bmp, ImageFormat::Png}) {
        const std::string file = imageFile(m, o, format);
        const QImage image = QImage::fromData(QByteArray::fromStdString(file));
        QCOMPARE(image.size(), QSize(20 + 2 * m.width(), 20 + 6 * m.height()));
        QCOMPARE(image.pixel(0, 0), qRgb(0xF0, 0xE0, 0xD0));
        QCOMPARE(image.pixel(10, 10), qRgb(0x10, 0x20, 0x30));
        QCOMPARE(decodeFile(file), std::optional<QByteArray>(data));
    }
    // A size below the symbol's cuts it off; absurd sizes give no image.
    o.width = 50;
    o.height = 40;
    QCOMPARE(rasterize(m, o).width(), 50);
    o.width = 40000;
    QVERIFY(imageFile(m, o, ImageFormat::Png).empty());
}

void tst_stelcode_core::everyByteValueTravels()
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    for (const Mode mode : {Mode::Byte, Mode::Auto}) {
        const EncodeResult r = encodeBytes(span(all), {mode, 12, 2, 0});
        QVERIFY(r);
        QCOMPARE(decodeFile(imageFile(r.symbol->matrix, {}, ImageFormat::Bmp)), std::optional<QByteArray>(all));
    }
}

void tst_stelcode_core::autoModeCodewordCounts_data()
{
    // Descriptor and data codewords; zint 2.11 gives 9, 191, 202, 616, 57 and
    // 24 for the same data.
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<int>("expected");
    QTest::addColumn<int>("byteOrText");
    QTest::newRow("short text") << QByteArray("This is a test") << 9 << 12;
    QTest::newRow("upper-case payload") << typicalPayload() << 191 << 218;
    QTest::newRow("mixed-case text") << mixedCasePayload() << 197 << 229;
    QTest::newRow("1800 digits") << pseudoRandom(1800, 10, '0') << 616 << 0;
    QTest::newRow("accents") << QStringLiteral("Señor Peña, año 2024: niño, corazón; ÁREA SANITARIA "
                                               "Nº 3 — camión")
                                    .toLatin1()
                             << 53 << 57;
    QTest::newRow("line breaks") << QByteArray("Linea uno\r\nLinea dos\r\nTres\tcuatro\n") << 23 << 31;
    QTest::newRow("digits inside text") << QByteArray("ABC 1234567890123456 def 98765432109876543210 xyz") << 26 << 28;
    QTest::newRow("empty") << QByteArray() << 1 << 1;
}

void tst_stelcode_core::autoModeCodewordCounts()
{
    QFETCH(QByteArray, data);
    QFETCH(int, expected);
    QFETCH(int, byteOrText);
    const EncodeResult r = encodeBytes(span(data), {Mode::Auto, 30, 1, 0});
    QVERIFY(r);
    QCOMPARE(dataCount(*r.symbol), expected);
    // Never more than the better of the two fixed modes that carry every
    // byte (0: neither fits a symbol).
    int fixed = 0;
    const EncodeResult byte = encodeBytes(span(data), {Mode::Byte, 30, 1, 0});
    const EncodeResult text = encodeBytes(span(data), {Mode::Text, 30, 1, 0});
    if (byte)
        fixed = byte.symbol->dataCodewords;
    if (text && std::all_of(data.begin(), data.end(), [](char c) { return c >= 32 && c <= 126; }))
        fixed = fixed ? std::min(fixed, text.symbol->dataCodewords) : text.symbol->dataCodewords;
    QCOMPARE(fixed, byteOrText);
    QVERIFY(fixed == 0 || expected <= fixed);
    if (!data.isEmpty())
        QCOMPARE(decodeFile(imageFile(r.symbol->matrix, {}, ImageFormat::Png)), std::optional<QByteArray>(data));
}

void tst_stelcode_core::autoLevelFollowsDataSize()
{
    // Level 2 up to 40 data codewords, 3 up to 160, 4 up to 320, then 5; a
    // lower one when the recommended level does not fit.
    const struct {
        int bytes;
        int columns;
        int level;
    } cases[] = {{10, 30, 2}, {40, 30, 2}, {50, 30, 3}, {150, 30, 3}, {300, 30, 4}, {600, 30, 5}, {1100, 29, 2}};
    for (const auto& c : cases) {
        const EncodeResult r = encodeBytes(span(QByteArray(c.bytes, 'x')), {Mode::Byte, c.columns, kAutoLevel, 0});
        QVERIFY(r);
        QCOMPARE(r.symbol->ecLevel, c.level);
        QCOMPARE(r.symbol->codewords.size(), size_t(r.symbol->rows * c.columns));
    }
}

void tst_stelcode_core::autoModeMixesReadBack()
{
    // Random mixes of letters, digit runs, punctuation, control and high
    // bytes: every switch of mode and sub-mode must decode to the same bytes.
    const char* pieces[] = {"ABC", "def", "12", "1234567", "98765432109876543210", " ", ",", ";", "@x", "\r\n", "\t",
        "\xE9", "\x80\x00\xFF", "Zz", "!?", "000000"};
    quint32 x = 99;
    for (int round = 0; round < 40; ++round) {
        QByteArray data;
        const int count = 1 + round % 25;
        for (int i = 0; i < count; ++i) {
            x = x * 1103515245u + 12345u;
            const char* piece = pieces[(x >> 16) % std::size(pieces)];
            data += QByteArray(piece, piece[0] == '\x80' ? 3 : qstrlen(piece));
        }
        const EncodeResult r = encodeBytes(span(data), {Mode::Auto, 9, 2, 0});
        QVERIFY(r);
        QCOMPARE(decodeFile(imageFile(r.symbol->matrix, {}, ImageFormat::Bmp)), std::optional<QByteArray>(data));
    }
}

void tst_stelcode_core::controlNeverWritesThroughALink()
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("target.bmp"));
    QFile f(target);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("keep");
    f.close();
    QVERIFY(QFile::link(target, dir.filePath(QStringLiteral("link.bmp"))));
    Stelcodex control;
    control.setSize(300, 60);
    QCOMPARE(control.saveToBMP(dir.filePath(QStringLiteral("link"))), qint16(ELOOP));
    QVERIFY(QFileInfo(dir.filePath(QStringLiteral("link.bmp"))).isSymLink());
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("keep"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::System).size(), 2);
}

void tst_stelcode_core::safeWriteModes()
{
    // A new file gets 0666 less the umask; an existing one keeps its mode even
    // where the umask would take bits away; no temporary file stays behind.
    QTemporaryDir dir;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    auto modeOf = [](const std::string& path) {
        struct stat st { };
        return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0u;
    };
    const std::string fresh = QFile::encodeName(dir.filePath(QStringLiteral("new.bmp"))).toStdString();
    QCOMPARE(writeFileSafely(fresh, "one"), 0);
    QCOMPARE(modeOf(fresh), 0666u & ~mask);
    QVERIFY(::chmod(fresh.c_str(), 0666) == 0);
    QCOMPARE(writeFileSafely(fresh, "two"), 0);
    QCOMPARE(modeOf(fresh), 0666u);
    QFile f(QString::fromStdString(fresh));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("two"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("new.bmp")});
    // A folder the caller may not write: its errno, and nothing written.
    if (::geteuid() != 0) {
        QVERIFY(::chmod(QFile::encodeName(dir.path()).constData(), 0500) == 0);
        QCOMPARE(writeFileSafely(fresh, "three"), EACCES);
        QVERIFY(::chmod(QFile::encodeName(dir.path()).constData(), 0700) == 0);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("new.bmp")});
    }
}

QTEST_MAIN(tst_stelcode_core)
#include "tst_stelcode_core.moc"

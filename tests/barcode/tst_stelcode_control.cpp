// The Stelcodex control: creation values, setters, persistence, painted pixels
// and the bitmap file.
#include <stelcode/Stelcodex.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>

// saveToBmpReportsFailure asks for a surface far too large for memory and
// expects the allocation to fail; under AddressSanitizer that must return null
// rather than end the run. (Read only by a sanitized build.)
extern "C" const char* __asan_default_options() { return "allocator_may_return_null=1"; }

namespace {
// Counts paint events, to see when setting a property repaints.
class CountingControl : public Stelcodex {
public:
    int paints = 0;

protected:
    void paintEvent(QPaintEvent* e) override
    {
        ++paints;
        Stelcodex::paintEvent(e);
    }
};

void useMonochrome(Stelcodex& c)
{
    c.setPdfbackColor(StelcodeColor::White);
    c.setPdfforeColor(StelcodeColor::Black);
}

// Smallest rectangle holding every bar pixel.
QRect barBounds(const QImage& image)
{
    QRect r;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == qRgb(0, 0, 0))
                r |= QRect(x, y, 1, 1);
    return r;
}
} // namespace

class tst_stelcode_control : public QObject {
    Q_OBJECT

private slots:
    void creationValues();
    void ecLevelSelectsOnlyValidTables();
    void repaintsOnlyInDesignMode();
    void persistence();
    void defaultExampleGeometry();
    void barWidthAndHeight();
    void elementPainting();
    void saveToBmp();
    void saveToBmpReportsFailure();
    void badValuesNeverCrash();
    void colours();
    void factory();

private:
    QTemporaryDir m_dir;
};

void tst_stelcode_control::creationValues()
{
    Stelcodex c;
    QCOMPARE(c.pdfcode(), QStringLiteral("This is a PDF417 Barcode"));
    QCOMPARE(c.pdfColumns(), 10);
    QCOMPARE(c.pdfbarHeight(), 7);
    QCOMPARE(c.pdfbackColor(), StelcodeColor::ButtonFace);
    QCOMPARE(c.pdfforeColor(), StelcodeColor::ButtonText);
    QCOMPARE(c.rowCount(), 0);
    QVERIFY(c.setProperty("pdfcode", QStringLiteral("abc")));
    QCOMPARE(c.pdfcode(), QStringLiteral("abc"));

    // Named by the time it can be shown; a host's own name is kept.
    c.ensurePolished();
    QCOMPARE(c.accessibleName(), QStringLiteral("Código de barras PDF417"));
    Stelcodex named;
    named.setAccessibleName(QStringLiteral("Código"));
    named.show();
    QCOMPARE(named.accessibleName(), QStringLiteral("Código"));
}

void tst_stelcode_control::ecLevelSelectsOnlyValidTables()
{
    // Level 9 is stored but keeps level 1's table; k = 1024 then fits nothing.
    Stelcodex c;
    c.setPdfECLevel(1);
    c.setPdfECLevel(9);
    QCOMPARE(c.pdfECLevel(), 9);
    QVERIFY(!c.codewords());
    QList<qint16> data{5, 1, 2, 3, 4, 0, 0, 0, 0};
    c.genEC(data, 5);
    QCOMPARE(data, (QList<qint16>{5, 1, 2, 3, 4, 0, 0, 0, 0}));
    c.setPdfECLevel(-1);
    QVERIFY(!c.codewords());
}

void tst_stelcode_control::repaintsOnlyInDesignMode()
{
    for (bool design : {false, true}) {
        CountingControl c;
        c.setAmbientUserMode(!design);
        c.show();
        QVERIFY(QTest::qWaitForWindowExposed(&c));
        QTRY_VERIFY(c.paints > 0);
        QCOMPARE(c.designMode(), design);
        const int before = c.paints;
        c.setPdfcode(QStringLiteral("changed"));
        QTest::qWait(50);
        QCOMPARE(c.paints > before, design);
        c.setStandAlone(true);
        const int quiet = c.paints;
        c.setPdfColumns(4);
        QTest::qWait(50);
        QCOMPARE(c.paints, quiet);
    }
}

void tst_stelcode_control::persistence()
{
    Stelcodex a;
    a.setPdfcode(QStringLiteral("guardado"));
    a.setPdfMode(1);
    a.setPdfECLevel(3);
    a.setPdfColumns(15);
    a.setPdfbarHeight(4);
    a.setPdfbackColor(StelcodeColor::White);
    const StelcodePropertyBag bag = a.writeProperties();
    QStringList keys;
    for (const auto& [k, v] : bag)
        keys << k;
    QCOMPARE(keys,
        (QStringList{"pdfCode", "pdfMode", "pdfECLevel", "pdfbarWidth", "pdfbarHeight", "pdfleftMargin", "pdftopMargin",
            "pdfColumns", "pdfRows", "pdfbackColor", "pdfForeColor"}));
    Stelcodex b;
    b.readProperties(bag);
    QCOMPARE(b.writeProperties(), bag);
    QCOMPARE(b.pdfforeColor(), StelcodeColor::ButtonText); // survives as a negative int32

    // Lower-case keys; missing keys give the defaults.
    Stelcodex c;
    c.setPdfColumns(3);
    c.readProperties({{QStringLiteral("pdfcolumns"), 7}, {QStringLiteral("PDFMODE"), 2}});
    QCOMPARE(c.pdfcode(), QStringLiteral("This is a test"));
    QCOMPARE(c.pdfColumns(), 7);
    QCOMPARE(c.pdfMode(), 2);
    QCOMPARE(c.pdfbarHeight(), 7);
    QCOMPARE(c.pdfbackColor(), StelcodeColor::ButtonFace);
}

void tst_stelcode_control::defaultExampleGeometry()
{
    Stelcodex c;
    useMonochrome(c);
    c.setPdfcode(QStringLiteral("This is a test"));
    c.setSize(300, 60);
    c.paintBarCode();
    QCOMPARE(c.rowCount(), 3);
    QCOMPARE(c.pdfColumns(), 10);
    QCOMPARE(barBounds(c.surface()), QRect(10, 10, 239, 21));
    // The last element of each row is the stop pattern's one-module bar.
    const QImage s = c.surface();
    QCOMPARE(s.pixel(248, 10), qRgb(0, 0, 0));
    QCOMPARE(s.pixel(247, 30), qRgb(255, 255, 255));
    QCOMPARE(c.drawingPosition(), QPoint(249, 31));
}

void tst_stelcode_control::barWidthAndHeight()
{
    Stelcodex c;
    useMonochrome(c);
    c.setPdfcode(QStringLiteral("This is a test"));
    c.setSize(600, 80);
    c.setPdfbarWidth(2);
    c.setPdfbarHeight(0);
    c.paintBarCode();
    QCOMPARE(c.pdfbarHeight(), 6);
    QCOMPARE(barBounds(c.surface()), QRect(10, 10, 478, 18));
    c.paintBarCode();
    QCOMPARE(c.pdfbarHeight(), 6);

    // A control smaller than the symbol cuts it off.
    c.setSize(100, 20);
    c.paintBarCode();
    QCOMPARE(barBounds(c.surface()), QRect(10, 10, 90, 10));
}

void tst_stelcode_control::elementPainting()
{
    Stelcodex c;
    useMonochrome(c);
    c.setSize(40, 20);
    c.setPdfMode(7); // no symbol: painting leaves the surface cleared
    c.paintBarCode();
    QVERIFY(barBounds(c.surface()).isNull());
    c.setPdfbarHeight(3);
    c.paintCharWithHeight(QStringLiteral("bw"), QStringLiteral("2x"), 4, 99);
    QCOMPARE(barBounds(c.surface()), QRect(10, 4, 2, 3));
    QCOMPARE(c.drawingPosition().x(), 12);
    c.addBarWithHeight(5, false, 4, 0);
    c.addBarWithHeight(1, true, 4, 0);
    QCOMPARE(barBounds(c.surface()), QRect(10, 4, 8, 3));
    QCOMPARE(c.surface().pixel(14, 5), qRgb(255, 255, 255));
    QCOMPARE(c.findChar(c.textTable(), 95, QStringLiteral("a")).value<qint16>(), qint16(65));
}

void tst_stelcode_control::saveToBmp()
{
    Stelcodex c;
    useMonochrome(c);
    c.setPdfcode(QStringLiteral("This is a test"));
    c.setSize(260, 41);
    const QString base = m_dir.filePath(QStringLiteral("symbol"));
    QCOMPARE(c.saveToBMP(base), qint16(0));
    QImage image(base + ".bmp");
    QCOMPARE(image.size(), QSize(260, 41));
    QCOMPARE(barBounds(image.convertToFormat(QImage::Format_RGB32)), QRect(10, 10, 239, 21));
    QVERIFY(barBounds(c.surface()).isNull()); // cleared after saving

    // Again with no symbol: the same file, now all background.
    c.setPdfcode(QStringLiteral("12x"));
    c.setPdfMode(2);
    QCOMPARE(c.saveToBMP(base), qint16(0));
    image.load(base + ".bmp");
    QCOMPARE(image.size(), QSize(260, 41));
    QVERIFY(barBounds(image.convertToFormat(QImage::Format_RGB32)).isNull());
    QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files), QStringList{"symbol.bmp"});

    // The extension is always appended.
    QCOMPARE(c.saveToBMP(base + ".bmp"), qint16(0));
    QVERIFY(QFile::exists(base + ".bmp.bmp"));
}

void tst_stelcode_control::saveToBmpReportsFailure()
{
    Stelcodex c;
    QCOMPARE(c.saveToBMP(m_dir.filePath(QStringLiteral("missing/folder/x"))), qint16(ENOENT));
    const QString blocked = m_dir.filePath(QStringLiteral("blocked"));
    QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("blocked.bmp")));
    QVERIFY(c.saveToBMP(blocked) != 0); // a folder stands where the file goes
    QVERIFY(QDir(m_dir.path()).entryList(QDir::Files).filter("blocked").isEmpty());
    // A control far too large for memory gets no surface, and says so.
    c.setSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    QCOMPARE(c.saveToBMP(m_dir.filePath(QStringLiteral("huge"))), qint16(ENOMEM));
    QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("huge.bmp"))));
}

void tst_stelcode_control::badValuesNeverCrash()
{
    const QString longText(10000, QChar('x'));
    const QString odd = QStringLiteral("\x01\t\r\n\u4e2d\U0001F600\u00ff");
    const QString path = m_dir.filePath(QStringLiteral("bad"));
    for (const QString& text : {QString(), longText, odd}) {
        for (int mode : {-1, 0, 1, 2, 7}) {
            Stelcodex c;
            c.setPdfcode(text);
            c.setPdfMode(mode);
            c.setSize(120, 60);
            for (auto [prop, value] :
                std::initializer_list<std::pair<const char*, int>>{{"pdfColumns", 0}, {"pdfColumns", 31},
                    {"pdfECLevel", 9}, {"pdfECLevel", -1}, {"pdfbarWidth", -3}, {"pdfbarHeight", -5},
                    {"pdfleftMargin", -400}, {"pdftopMargin", 32767}, {"pdfRows", 1000}, {"pdfbarWidth", 40000}}) {
                c.setProperty(prop, value);
                c.paintBarCode();
                QCOMPARE(c.saveToBMP(path), qint16(0));
            }
        }
    }
    Stelcodex c;
    c.setSize(0, 0);
    QCOMPARE(c.saveToBMP(path), qint16(0));
    QList<qint16> tooShort{1};
    c.genEC(tooShort, 5);
    QCOMPARE(tooShort, QList<qint16>{1});
    qint16 columns = 31;
    QVERIFY(c.PDF417_compact_binary(QByteArray("abc"), 200, columns));
    QCOMPARE(columns, qint16(1));

    // A text longer than a 16-bit count is encoded to its end.
    Stelcodex t;
    t.setPdfMode(1);
    t.setPdfcode(QString(40000, QChar('\n')) + QStringLiteral("hi"));
    const auto encoded = t.codewords();
    t.setPdfcode(QStringLiteral("hi"));
    QVERIFY(encoded);
    QCOMPARE(encoded, t.codewords());
}

void tst_stelcode_control::colours()
{
    Stelcodex c;
    c.setSize(30, 10);
    c.setPdfMode(7);
    c.setPdfbackColor(StelcodeColor::fromRgb(0x12, 0x34, 0x56));
    QCOMPARE(c.pdfbackColor(), 0x00563412u);
    c.paintBarCode();
    QCOMPARE(c.surface().pixel(0, 0), qRgb(0x12, 0x34, 0x56));
    // System colours follow the palette.
    c.setPdfbackColor(StelcodeColor::ButtonFace);
    c.setPdfbarHeight(2);
    c.paintBarCode();
    c.addBarWithHeight(3, true, 0, 0);
    QCOMPARE(c.surface().pixel(0, 0), QApplication::palette().color(QPalette::Button).rgb());
    QCOMPARE(c.surface().pixel(11, 1), QApplication::palette().color(QPalette::ButtonText).rgb());
}

void tst_stelcode_control::factory()
{
    std::unique_ptr<QWidget> w(Stelcode_CreateControl("stelcode.stelcodex", nullptr));
    QVERIFY(qobject_cast<Stelcodex*>(w.get()));
    QVERIFY(!Stelcode_CreateControl("Stelcode.Other", nullptr));
    QVERIFY(!Stelcode_CreateControl(nullptr, nullptr));
}

QTEST_MAIN(tst_stelcode_control)
#include "tst_stelcode_control.moc"

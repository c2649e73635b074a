// Symbols written by saveToBMP, read back by ZXing-C++.
#include "DecodeHelper.h"

#include <stelcode/Stelcodex.h>

#include <QTemporaryDir>
#include <QTest>

namespace {
struct ToolOptions {
    QString text;
    int mode = 0;
    int columns = 10;
    int ecLevel = 0;
    int rows = 0;
    int barWidth = 1;
    int barHeight = 7;
};

void applyToolOptions(const ToolOptions& o, Stelcodex& control)
{
    control.setPdfcode(o.text);
    control.setPdfMode(o.mode);
    control.setPdfColumns(o.columns);
    control.setPdfECLevel(o.ecLevel);
    control.setPdfRows(o.rows);
    control.setPdfbarWidth(o.barWidth);
    control.setPdfbarHeight(o.barHeight);
    control.setPdfbackColor(StelcodeColor::White);
    control.setPdfforeColor(StelcodeColor::Black);
}

ToolOptions symbol(const QString& text, int mode = 0, int columns = 10, int level = 0, int rows = 0, int barWidth = 1,
    int barHeight = 7)
{
    ToolOptions o;
    o.text = text;
    o.mode = mode;
    o.columns = columns;
    o.ecLevel = level;
    o.rows = rows;
    o.barWidth = barWidth;
    o.barHeight = barHeight;
    return o;
}

// What ZXing should read: byte mode carries every byte, text mode drops what
// its table lacks.
QByteArray expectedBytes(const ToolOptions& s)
{
    const QByteArray latin1 = s.text.toLatin1();
    if (s.mode != 1)
        return latin1;
    QByteArray kept;
    for (char c : latin1)
        if (c >= 32 && c <= 126)
            kept += c;
    return kept;
}

QString sample(int length)
{
    const QString base = QStringLiteral("Solicitud de Concurso: Area 3, Medico de Area; 12345678Z | ");
    QString s;
    while (s.size() < length)
        s += base;
    return s.left(length);
}
} // namespace

Q_DECLARE_METATYPE(ToolOptions)

class tst_stelcode_decode : public QObject {
    Q_OBJECT

private slots:
    void roundTrip_data();
    void roundTrip();
    void byteModeKeepsEveryByte();

private:
    QTemporaryDir m_dir;
    int m_count = 0;
};

void tst_stelcode_decode::roundTrip_data()
{
    QTest::addColumn<ToolOptions>("options");
    QTest::newRow("default example") << symbol(QStringLiteral("This is a test"));
    QTest::newRow("byte 7 bytes") << symbol(QStringLiteral("1234567"));
    QTest::newRow("byte 6n bytes") << symbol(QStringLiteral("abcdefABCDEF"));
    QTest::newRow("text mixed case") << symbol(QStringLiteral("Hello World, 1+1=2 (ok?) {x} a@b.es"), 1);
    QTest::newRow("text drops line break") << symbol(QStringLiteral("uno\r\ndos"), 1);
    QTest::newRow("text punctuation") << symbol(QStringLiteral("!\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~"), 1);
    QTest::newRow("numeric") << symbol(QStringLiteral("0012345678901234567890"), 2);
    QTest::newRow("numeric two groups") << symbol(QString(60, QChar('9')), 2);
    for (int level = 0; level <= 8; ++level)
        QTest::addRow("level %d", level) << symbol(sample(40), 0, 30, level);
    for (int columns : {1, 2, 10, 15, 30})
        QTest::addRow("columns %d", columns) << symbol(sample(20), 1, columns);
    QTest::newRow("rows above needed") << symbol(sample(20), 0, 5, 1, 12);
    for (int width : {1, 2, 3})
        QTest::addRow("bar width %d", width) << symbol(sample(50), 1, 6, 2, 0, width, 3 * width);
    QTest::newRow("typical payload") << symbol(sample(300), 1, 15, 0, 0, 1, 4);
    QTest::newRow("byte 800") << symbol(sample(800), 0, 30, 1);
}

void tst_stelcode_decode::roundTrip()
{
    QFETCH(ToolOptions, options);
    Stelcodex control;
    applyToolOptions(options, control);
    const QSize size = control.sizeHint();
    control.setSize(size.width(), size.height());

    const QString base = m_dir.filePath(QString::number(++m_count));
    QCOMPARE(control.saveToBMP(base), qint16(0));
    const auto decoded = decodePdf417(base + ".bmp");
    QVERIFY2(decoded.has_value(), "ZXing found no PDF417 symbol");
    QCOMPARE(*decoded, expectedBytes(options));
}

void tst_stelcode_decode::byteModeKeepsEveryByte()
{
    // Characters beyond ASCII travel as their Windows-1252 byte.
    Stelcodex control;
    control.setPdfcode(QStringLiteral("Señor Peña, año 2024 (€)"));
    control.setPdfbackColor(StelcodeColor::White);
    control.setPdfforeColor(StelcodeColor::Black);
    control.setSize(control.sizeHint().width(), control.sizeHint().height());
    const QString base = m_dir.filePath(QStringLiteral("latin"));
    QCOMPARE(control.saveToBMP(base), qint16(0));
    const auto decoded = decodePdf417(base + ".bmp");
    QVERIFY(decoded.has_value());
    QByteArray expected = QStringLiteral("Señor Peña, año 2024 (").toLatin1();
    expected += char(0x80);
    expected += ')';
    QCOMPARE(*decoded, expected);
}

QTEST_MAIN(tst_stelcode_decode)
#include "tst_stelcode_decode.moc"

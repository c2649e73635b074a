// Codeword lists of byte, text and numeric compaction and the symbol's shape.
#include "Compaction.h"

#include <QTest>

using namespace stelcode;

namespace {
const CoefficientTables& coefficients()
{
    static const CoefficientTables tables = buildCoefficientTables();
    return tables;
}
const TextTable& textTable()
{
    static const TextTable table = buildTextTable();
    return table;
}
Bytes bytesOf(const std::string& s) { return {reinterpret_cast<const uint8_t*>(s.data()), s.size()}; }
SymbolShape shape(int columns = 10, int level = 0, int minRows = 0)
{
    return {columns, minRows, level, &coefficients()[std::clamp(level, 0, 8)]};
}
Codewords dataPart(const Codewords& cw, int count) { return Codewords(cw.begin(), cw.begin() + count); }
} // namespace

class tst_stelcode_compaction : public QObject {
    Q_OBJECT

private slots:
    void textTableHoldsPrintableAscii();
    void byteMode();
    void textModeSwitchesSubModes();
    void numericMode();
    void shapeAndPadding();
    void limits();
};

void tst_stelcode_compaction::textTableHoldsPrintableAscii()
{
    const TextTable& t = textTable();
    QCOMPARE(int(t.size()), 190);
    for (int c = 32; c <= 126; ++c)
        QCOMPARE(findChar(t, kTextTablePairs, std::string(1, char(c))), c - 32);
    QCOMPARE(t[1], std::string("C26")); // space from mixed
    QCOMPARE(findChar(t, kTextTablePairs, "\n"), -1);
    QCOMPARE(findChar(t, 10, "z"), -1); // beyond the searched pairs
}

void tst_stelcode_compaction::byteMode()
{
    auto s = shape();
    const auto empty = compactBinary(bytesOf(""), s);
    QVERIFY(empty);
    QCOMPARE(s.rows, 3);
    QCOMPARE(dataPart(*empty, 3), (Codewords{28, 924, 900}));

    s = shape();
    const auto seven = compactBinary(bytesOf("ABCDEFG"), s);
    QVERIFY(seven);
    QCOMPARE((*seven)[1], int16_t(901));
    QCOMPARE((*seven)[7], int16_t('G'));
    QCOMPARE((*seven)[8], kPadCodeword); // D = 8

    // 2^48 - 1 = 281474976710655 = 429, 11, 71, 222, 855 in base 900.
    s = shape();
    const auto ff = compactBinary(bytesOf(std::string(6, '\xFF')), s);
    QVERIFY(ff);
    QCOMPARE(dataPart(*ff, 7), (Codewords{28, 924, 429, 11, 71, 222, 855}));
}

void tst_stelcode_compaction::textModeSwitchesSubModes()
{
    // T; ll h i s; ml sp; ll i s; ml sp; ll a; ml sp; ll t e s t; ps (odd count).
    const std::vector<int> v{19, 27, 7, 8, 18, 28, 26, 27, 8, 18, 28, 26, 27, 0, 28, 26, 27, 19, 4, 18, 19, 29};
    Codewords expected{0};
    for (size_t i = 0; i < v.size(); i += 2)
        expected.push_back(int16_t(30 * v[i] + v[i + 1]));
    auto s = shape();
    const auto cw = compactText(bytesOf("This is a test"), textTable(), kTextTablePairs, s);
    QVERIFY(cw);
    expected[0] = (*cw)[0];
    QCOMPARE(dataPart(*cw, int(expected.size())), expected);

    // Upper case inside lower case is shifted; after mixed it latches back to alpha.
    s = shape();
    const auto shifted = compactText(bytesOf("aBc1D;"), textTable(), kTextTablePairs, s);
    QVERIFY(shifted);
    // ll a, as B, c, ml 1, al D, ps ;  -> 27 0 27 1 2 28 1 28 3 29 0 + ps pad
    QCOMPARE(dataPart(*shifted, 7),
        (Codewords{(*shifted)[0], 27 * 30 + 0, 27 * 30 + 1, 2 * 30 + 28, 1 * 30 + 28, 3 * 30 + 29, 0 * 30 + 29}));
}

void tst_stelcode_compaction::numericMode()
{
    auto s = shape();
    const auto cw = compactNumeric(bytesOf("000213298174000"), s);
    QVERIFY(cw);
    // 1000213298174000 in base 900: 1, 624, 434, 632, 282, 200.
    QCOMPARE(dataPart(*cw, 8), (Codewords{(*cw)[0], 902, 1, 624, 434, 632, 282, 200}));

    s = shape();
    const auto two = compactNumeric(bytesOf(std::string(45, '7')), s);
    QVERIFY(two);
    // A second group "17" follows the 44-digit group's 15 codewords.
    QCOMPARE((*two)[2 + 15], int16_t(17));
    QCOMPARE((*two)[2 + 16], kPadCodeword);

    s = shape();
    QVERIFY(!compactNumeric(bytesOf("12a4"), s));
    s = shape();
    QVERIFY(compactNumeric(bytesOf(""), s));
}

void tst_stelcode_compaction::shapeAndPadding()
{
    auto s = shape(10, 0, 5);
    const auto padded = compactBinary(bytesOf("This is a test"), s);
    QVERIFY(padded);
    QCOMPARE(s.rows, 5);
    QCOMPARE(int(padded->size()), 50);
    QCOMPARE((*padded)[0], int16_t(48));
    QCOMPARE((*padded)[47], kPadCodeword);

    for (int bad : {0, 31, -4}) {
        s = shape(bad);
        const auto one = compactBinary(bytesOf("abc"), s);
        QVERIFY(one);
        QCOMPARE(s.columns, 1);
        QCOMPARE(int(one->size()), s.rows);
    }
}

void tst_stelcode_compaction::limits()
{
    // Level 8: 512 check codewords; 416 before them is the most that fits 30 columns.
    auto s = shape(30, 8);
    QVERIFY(compactBinary(bytesOf(std::string(414, 'a')), s)); // 2 + 5*69 = 347 .. fits
    s = shape(30, 8);
    const std::string big(498, 'a'); // 2 + 5*83 = 417 codewords
    QVERIFY(!compactBinary(bytesOf(big), s));

    // More than 90 rows, or more than 928 codewords, gives nothing; the row
    // count is set only in the second case.
    s = shape(1);
    s.rows = 7;
    QVERIFY(!compactBinary(bytesOf(std::string(200, 'a')), s));
    QCOMPARE(s.rows, 7);
    s = shape(30, 0, 40);
    QVERIFY(!compactBinary(bytesOf("x"), s));
    QCOMPARE(s.rows, 40);
    s = shape(10, 0, 91);
    QVERIFY(!compactBinary(bytesOf("x"), s));

    // Levels outside 0..8 and unknown modes give no symbol.
    s = shape(10, 9);
    QVERIFY(!compactBinary(bytesOf("x"), s));
    s = shape(10, -1);
    QVERIFY(!compactBinary(bytesOf("x"), s));
    s = shape();
    QVERIFY(!compact(7, bytesOf("x"), textTable(), kTextTablePairs, s));
    s = shape();
    QVERIFY(!compact(0, bytesOf(std::string(10000, 'x')), textTable(), kTextTablePairs, s));
}

QTEST_APPLESS_MAIN(tst_stelcode_compaction)
#include "tst_stelcode_compaction.moc"

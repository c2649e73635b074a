// Reed-Solomon check codewords: a symbol's codewords, read as a polynomial,
// must vanish at 3^1 .. 3^k over GF(929).
#include "Compaction.h"

#include <QTest>

#include <random>

using namespace stelcode;

namespace {
int powMod(int base, int exp)
{
    long long r = 1;
    for (int i = 0; i < exp; ++i)
        r = r * base % 929;
    return static_cast<int>(r);
}

// Value of the codeword polynomial (first codeword = highest power) at x.
int evaluate(const Codewords& cw, int x)
{
    long long v = 0;
    for (int16_t c : cw)
        v = (v * x + c) % 929;
    return static_cast<int>(v);
}

// The textbook shift register, a modulo at every step: the reference for
// genEC's faster forms. Data outside 0..928 is taken modulo 929.
Codewords referenceChecks(const Codewords& data, const CoefficientTable& c, int k)
{
    std::vector<int> e(static_cast<size_t>(k), 0);
    for (int16_t d : data) {
        const int t1 = ((d % 929 + 929) % 929 + e[k - 1]) % 929;
        for (int i = k - 1; i > 0; --i)
            e[i] = (e[i - 1] + 929 - t1 * c[i] % 929) % 929;
        e[0] = (929 - t1 * c[0] % 929) % 929;
    }
    Codewords checks;
    for (int i = k - 1; i >= 0; --i)
        checks.push_back(static_cast<int16_t>(e[i] == 0 ? 0 : 929 - e[i]));
    return checks;
}

bool passesCheck(const Codewords& cw, int k)
{
    for (int i = 1; i <= k; ++i)
        if (evaluate(cw, powMod(3, i)) != 0)
            return false;
    return true;
}
} // namespace

class tst_stelcode_errorcorrection : public QObject {
    Q_OBJECT

private slots:
    void storedTablesAreTheGeneratorPolynomials();
    void singleCodewordAtLevelZero();
    void everyLevelYieldsAValidSymbol();
    void everyRegisterLengthMatchesTheTextbookRegister();
};

void tst_stelcode_errorcorrection::storedTablesAreTheGeneratorPolynomials()
{
    const CoefficientTables tables = buildCoefficientTables();
    QCOMPARE(tables[0], (CoefficientTable{27, 917}));
    QCOMPARE(tables[1], (CoefficientTable{522, 568, 723, 809}));
    for (int level = 0; level <= 8; ++level) {
        const CoefficientTable& c = tables[level];
        const int k = 2 << level;
        QCOMPARE(int(c.size()), k);
        // g(x) = x^k + c[k-1] x^(k-1) + ... + c[0] has the roots 3^1 .. 3^k.
        for (int i = 1; i <= k; ++i) {
            const int x = powMod(3, i);
            long long v = 1;
            for (int j = k - 1; j >= 0; --j)
                v = (v * x + c[j]) % 929;
            QVERIFY2(v == 0, qPrintable(QStringLiteral("level %1 root %2").arg(level).arg(i)));
        }
    }
}

void tst_stelcode_errorcorrection::singleCodewordAtLevelZero()
{
    const CoefficientTables tables = buildCoefficientTables();
    Codewords cw{1, 0, 0};
    genEC(cw, 1, tables[0], 2);
    QVERIFY(cw[1] != 0 || cw[2] != 0);
    QVERIFY(passesCheck(cw, 2));
}

void tst_stelcode_errorcorrection::everyLevelYieldsAValidSymbol()
{
    const CoefficientTables tables = buildCoefficientTables();
    const std::string text(120, 'x');
    const Bytes bytes(reinterpret_cast<const uint8_t*>(text.data()), text.size());
    for (int level = 0; level <= 8; ++level) {
        SymbolShape shape{30, 0, level, &tables[level]};
        const auto cw = compactBinary(bytes, shape);
        QVERIFY(cw.has_value());
        QVERIFY2(passesCheck(*cw, 2 << level), qPrintable(QString::number(level)));
    }
}

void tst_stelcode_errorcorrection::everyRegisterLengthMatchesTheTextbookRegister()
{
    // Lengths with an unrolled register (2, 4, 8, 16) and without; data with
    // values outside the field, which must be reduced first.
    const CoefficientTables tables = buildCoefficientTables();
    const CoefficientTable& c = tables[8];
    std::mt19937 rng(929);
    for (int k : {1, 2, 3, 4, 7, 8, 9, 16, 17, 64, 512}) {
        for (int n : {0, 1, k - 1, k, 3 * k + 5}) {
            if (n < 0)
                continue;
            Codewords data(static_cast<size_t>(n));
            for (int16_t& d : data)
                d = static_cast<int16_t>(rng() % 4 == 0 ? int(rng() % 65536) - 32768 : int(rng() % 929));
            Codewords cw = data;
            cw.resize(static_cast<size_t>(n + k), 0);
            genEC(cw, n, c, k);
            const Codewords checks(cw.begin() + n, cw.end());
            QVERIFY2(checks == referenceChecks(data, c, k), qPrintable(QStringLiteral("k %1, n %2").arg(k).arg(n)));
        }
    }
}

QTEST_APPLESS_MAIN(tst_stelcode_errorcorrection)
#include "tst_stelcode_errorcorrection.moc"

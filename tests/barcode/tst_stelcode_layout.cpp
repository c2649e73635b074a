// Symbol character patterns, run lengths and row indicators.
#include "SymbolLayout.h"

#include <QFile>
#include <QTest>

using namespace stelcode;

class tst_stelcode_layout : public QObject {
    Q_OBJECT

private slots:
    void clusterTablesMatchTheSymbolCharacterList();
    void runLengths();
    void rowIndicators();
};

void tst_stelcode_layout::clusterTablesMatchTheSymbolCharacterList()
{
    const ClusterTables clusters = buildClusterTables();
    QFile list(QStringLiteral(STELCODE_SOURCE_DIR "/generators/pdf417-symbol-characters.txt"));
    QVERIFY(list.open(QIODevice::ReadOnly | QIODevice::Text));
    int rows = 0;
    while (!list.atEnd()) {
        const QList<QByteArray> f = list.readLine().simplified().split(' ');
        if (f.size() != 4 || f[0].startsWith('#'))
            continue;
        const int cw = f[0].toInt();
        for (int c = 0; c < 3; ++c)
            QCOMPARE(clusters[c][cw], int32_t(f[c + 1].toInt(nullptr, 16)));
        ++rows;
    }
    QCOMPARE(rows, 929);
    for (const ClusterTable& t : clusters) {
        QCOMPARE(int(t.size()), 929);
        for (int32_t p : t) {
            const std::string runs = toXSecuence(p);
            QCOMPARE(runs.size(), size_t(8)); // 4 bars and 4 spaces, starting with a bar
            QVERIFY(p >> 16 & 1);
        }
    }
}

void tst_stelcode_layout::runLengths()
{
    QCOMPARE(toXSecuence(kStartPattern), std::string("81111113"));
    QCOMPARE(toXSecuence(0x1D5C0), std::string("31111136"));
    QCOMPARE(toXSecuence(0), std::string("17"));
    QCOMPARE(rowModules(10), 239);
}

void tst_stelcode_layout::rowIndicators()
{
    // 3 rows, 10 columns, level 0.
    QCOMPARE(leftRowIndicator(0, 3, 10, 0), 0);
    QCOMPARE(rightRowIndicator(0, 3, 10, 0), 9);
    QCOMPARE(leftRowIndicator(1, 3, 10, 0), 2);
    QCOMPARE(rightRowIndicator(1, 3, 10, 0), 0);
    QCOMPARE(leftRowIndicator(2, 3, 10, 0), 9);
    QCOMPARE(rightRowIndicator(2, 3, 10, 0), 2);
    // Row 4 of 20 rows, 5 columns, level 2: q = 30, cluster 3.
    QCOMPARE(leftRowIndicator(4, 20, 5, 2), 30 + 6 + 1);
    QCOMPARE(rightRowIndicator(4, 20, 5, 2), 30 + 6);

    const ClusterTables clusters = buildClusterTables();
    const Codewords cw(30, 900);
    const auto row1 = rowPatterns(cw, 1, 3, 10, 0, clusters);
    QCOMPARE(int(row1.size()), 13);
    QCOMPARE(row1[0], kStartPattern);
    QCOMPARE(row1[1], clusters[1][2]);
    QCOMPARE(row1[2], clusters[1][900]);
    QCOMPARE(row1[12], clusters[1][0]);
}

QTEST_APPLESS_MAIN(tst_stelcode_layout)
#include "tst_stelcode_layout.moc"

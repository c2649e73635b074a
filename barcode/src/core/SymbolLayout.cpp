#include "SymbolLayout.h"

namespace stelcode {

std::string toXSecuence(int32_t cword)
{
    std::string runs;
    auto append = [&runs](int length) {
        if (length >= 10)
            runs += static_cast<char>('0' + length / 10);
        runs += static_cast<char>('0' + length % 10);
    };
    int bit = (cword >> 16) & 1;
    int length = 0;
    for (int i = 16; i >= 0; --i) {
        const int b = (cword >> i) & 1;
        if (b == bit) {
            ++length;
            continue;
        }
        append(length);
        bit = b;
        length = 1;
    }
    append(length);
    return runs;
}

namespace {
// The three values a row indicator can carry; which one depends on the
// row's cluster and on the side.
int indicatorValue(int which, int r, int rows, int columns, int level)
{
    const int q = 30 * (r / 3);
    switch (which) {
    case 0:
        return q + (rows - 1) / 3;
    case 1:
        return q + 3 * level + (rows - 1) % 3;
    default:
        return q + columns - 1;
    }
}
}  // namespace

int leftRowIndicator(int r, int rows, int columns, int level)
{
    return indicatorValue(r % 3, r, rows, columns, level);
}

int rightRowIndicator(int r, int rows, int columns, int level)
{
    return indicatorValue((r + 2) % 3, r, rows, columns, level);
}

std::vector<int32_t> rowPatterns(std::span<const int16_t> codewords, int r, int rows, int columns,
    int level, const ClusterTables& clusters)
{
    const ClusterTable& cluster = clusters[r % 3];
    std::vector<int32_t> patterns;
    patterns.reserve(columns + 3);
    auto add = [&](int codeword) {
        if (codeword >= 0 && codeword < static_cast<int>(cluster.size()))
            patterns.push_back(cluster[codeword]);
    };
    patterns.push_back(kStartPattern);
    add(leftRowIndicator(r, rows, columns, level));
    for (int col = 0; col < columns; ++col) {
        const size_t i = static_cast<size_t>(r) * columns + col;
        if (i < codewords.size())
            add(codewords[i]);
    }
    add(rightRowIndicator(r, rows, columns, level));
    return patterns;
}

}  // namespace stelcode

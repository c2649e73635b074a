// The automatic mode gives the fewest data codewords: an exact search over
// every way to encode a text (mode, text sub-mode, value parity, the open byte
// or numeric segment) finds none shorter, and the codewords read back.
#include "AutoCompaction.h"

#include <QTest>

#include <algorithm>
#include <array>
#include <random>
#include <string>

using namespace stelcode;

namespace {

constexpr int kInf = 1 << 28;
constexpr size_t kMaxLength = 48; // the longest text tested
enum { A, L, M, P };

// Value of a byte in each sub-mode, -1 where it has none (ISO/IEC 15438 table).
int subValue(int mode, uint8_t c)
{
    static const std::string mixed("0123456789&\r\t,:#-.$/+%*=^");
    static const std::string punct(";<>@[\\]_`~!\r\t,:\n-.$/\"|*()?{}'");
    if (c == ' ' && mode != P)
        return 26;
    if (mode == A && c >= 'A' && c <= 'Z')
        return c - 'A';
    if (mode == L && c >= 'a' && c <= 'z')
        return c - 'a';
    if (c == 0 || mode == A || mode == L)
        return -1;
    const auto at = (mode == M ? mixed : punct).find(static_cast<char>(c));
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

// The byte of each value in each sub-mode, 0 where the value is no character.
uint8_t characterOf(int mode, int v)
{
    static const auto table = [] {
        std::array<std::array<uint8_t, 30>, 4> t{};
        for (int m = A; m <= P; ++m)
            for (int c = 1; c < 256; ++c)
                if (subValue(m, static_cast<uint8_t>(c)) >= 0)
                    t[static_cast<size_t>(m)][static_cast<size_t>(subValue(m, static_cast<uint8_t>(c)))]
                        = static_cast<uint8_t>(c);
        return t;
    }();
    return table[static_cast<size_t>(mode)][static_cast<size_t>(v)];
}

// Base-900 digits of "1" followed by the digits, by long division on the
// decimal string.
int numericGroupCount(const std::string& digits)
{
    std::string n = "1" + digits;
    int count = 0;
    while (n != "0") {
        std::string q;
        int r = 0;
        for (char d : n) {
            r = r * 10 + (d - '0');
            if (!q.empty() || r / 900)
                q += static_cast<char>('0' + r / 900);
            r %= 900;
        }
        n = q.empty() ? "0" : q;
        ++count;
    }
    return count;
}

int numericCount(const std::string& digits) // latch and groups of 44
{
    int count = 1;
    for (size_t i = 0; i < digits.size(); i += 44)
        count += numericGroupCount(digits.substr(i, 44));
    return count;
}

int byteCount(int n) // latch, 5 codewords for each 6 bytes, 1 for each other
{
    return 1 + 5 * (n / 6) + n % 6;
}

// Cheapest cost of every state after a prefix of the text. Text states are
// (sub-mode, parity of the values) with the cost in values (two to a
// codeword); a byte or numeric segment is keyed by where it began, with the
// codewords spent before it.
struct Reference {
    std::array<int, 8> text;
    std::array<int, kMaxLength + 1> byteFrom, numericFrom;
    std::string data;

    Reference()
    {
        byteFrom.fill(kInf);
        numericFrom.fill(kInf);
        text.fill(kInf);
        text[A * 2] = 0; // a symbol starts in text, alpha
    }

    static int even(int v) { return v + (v & 1); }
    void keepText(int mode, int values, std::array<int, 8>& t) const
    {
        int& slot = t[mode * 2 + (values & 1)];
        slot = std::min(slot, values);
    }
    int segmentCost(size_t from, bool numeric) const
    {
        return numeric ? numericCount(data.substr(from)) : byteCount(static_cast<int>(data.size() - from));
    }

    // Fewest codewords of every way to end here.
    int closed() const
    {
        int best = kInf;
        for (int v : text)
            if (v < kInf)
                best = std::min(best, even(v) / 2);
        for (size_t f = 0; f < data.size(); ++f) {
            if (byteFrom[f] < kInf)
                best = std::min(best, byteFrom[f] + segmentCost(f, false));
            if (numericFrom[f] < kInf)
                best = std::min(best, numericFrom[f] + segmentCost(f, true));
        }
        return best;
    }

    void add(uint8_t c)
    {
        const size_t i = data.size();
        // Free moves before the byte: close any mode and latch to another
        // (900 text, 901/924 byte, 902 numeric), latch between sub-modes.
        const int end = closed();
        byteFrom[i] = end;
        numericFrom[i] = end;
        keepText(A, 2 * end + 2, text);
        static constexpr int kLatches[][3]
            = {{A, L, 27}, {A, M, 28}, {L, M, 28}, {M, A, 28}, {M, L, 27}, {M, P, 25}, {P, A, 29}};
        for (int round = 0; round < 8; ++round)
            for (const auto& l : kLatches)
                for (int parity = 0; parity < 2; ++parity)
                    if (text[l[0] * 2 + parity] < kInf)
                        keepText(l[1], text[l[0] * 2 + parity] + 1, text);
        // The byte itself.
        std::array<int, 8> next;
        next.fill(kInf);
        for (int mode = A; mode <= P; ++mode)
            for (int parity = 0; parity < 2; ++parity) {
                const int v = text[mode * 2 + parity];
                if (v >= kInf)
                    continue;
                if (subValue(mode, c) >= 0)
                    keepText(mode, v + 1, next);
                if (mode != P && subValue(P, c) >= 0)
                    keepText(mode, v + 2, next); // punctuation shift
                if (mode == L && subValue(A, c) >= 0)
                    keepText(mode, v + 2, next); // alpha shift
                // Byte shift 913 at a codeword boundary; the pad value 29 is
                // the alpha latch in punctuation.
                keepText(mode == P && (v & 1) ? A : mode, even(v) + 4, next);
            }
        text = next;
        data += static_cast<char>(c);
        if (c < '0' || c > '9')
            numericFrom.fill(kInf);
    }
};

int referenceCount(const std::string& data)
{
    Reference r;
    for (char c : data)
        r.add(static_cast<uint8_t>(c));
    return r.closed();
}

// Reads data codewords back into bytes (text, byte, numeric and byte shift).
std::string readBack(const Codewords& cw)
{
    std::string out;
    int mode = A, shift = -1;
    auto value = [&](int v) {
        const int in = shift >= 0 ? shift : mode;
        shift = -1;
        const bool character = in == P ? v < 29 : in == M ? v < 25 || v == 26 : v < 27;
        if (character) {
            out += static_cast<char>(characterOf(in, v));
        } else if (in == A) {
            v == 27 ? void(mode = L) : v == 28 ? void(mode = M) : void(shift = P);
        } else if (in == L) {
            v == 27 ? void(shift = A) : v == 28 ? void(mode = M) : void(shift = P);
        } else if (in == M) {
            v == 25 ? void(mode = P) : v == 27 ? void(mode = L) : v == 28 ? void(mode = A) : void(shift = P);
        } else {
            mode = A;
        }
    };
    size_t i = 1;
    while (i < cw.size()) {
        const int c = cw[i];
        if (c < 900) {
            value(c / 30);
            value(c % 30);
            ++i;
        } else if (c == 900) {
            mode = A;
            shift = -1;
            ++i;
        } else if (c == 913) {
            shift = -1; // a pending shift was the pad
            out += static_cast<char>(cw[i + 1]);
            i += 2;
        } else if (c == 901 || c == 924) {
            size_t end = ++i;
            while (end < cw.size() && cw[end] < 900)
                ++end;
            for (; end - i >= 5 && (c == 924 || end - i > 5); i += 5) {
                uint64_t v = 0;
                for (size_t k = 0; k < 5; ++k)
                    v = v * 900 + static_cast<uint64_t>(cw[i + k]);
                for (int b = 5; b >= 0; --b)
                    out += static_cast<char>((v >> (8 * b)) & 0xFF);
            }
            for (; i < end; ++i)
                out += static_cast<char>(cw[i]);
            mode = A;
        } else if (c == 902) {
            size_t end = ++i;
            while (end < cw.size() && cw[end] < 900)
                ++end;
            while (i < end) {
                std::string digits = "0"; // the group as a decimal string
                for (const size_t to = std::min(end, i + 15); i < to; ++i) {
                    int carry = cw[i];
                    for (auto d = digits.rbegin(); d != digits.rend(); ++d) {
                        carry += (*d - '0') * 900;
                        *d = static_cast<char>('0' + carry % 10);
                        carry /= 10;
                    }
                    for (; carry; carry /= 10)
                        digits.insert(digits.begin(), static_cast<char>('0' + carry % 10));
                }
                out += digits.substr(digits.find_first_not_of('0') + 1);
            }
            mode = A;
        } else {
            return "<codeword " + std::to_string(c) + ">";
        }
    }
    return out;
}

int automaticCount(const std::string& data, Codewords* codewords = nullptr)
{
    const Codewords cw = autoDataCodewords({reinterpret_cast<const uint8_t*>(data.data()), data.size()});
    if (codewords)
        *codewords = cw;
    return static_cast<int>(cw.size()) - 1;
}

// Every text up to `length` bytes over `alphabet`, the reference's states
// shared along each prefix; returns how many texts differed (after the first
// failure it stops comparing).
struct Exhaustive {
    std::string alphabet;
    size_t length;
    long texts = 0;
    std::string failure;

    void walk(const Reference& r)
    {
        if (!failure.empty())
            return;
        ++texts;
        Codewords cw;
        const int got = automaticCount(r.data, &cw);
        const int best = r.closed();
        if (got != best)
            failure = "automatic " + std::to_string(got) + ", shortest " + std::to_string(best);
        else if (readBack(cw) != r.data)
            failure = "reads back as \"" + readBack(cw) + "\"";
        if (!failure.empty()) {
            failure += " for \"" + QByteArray::fromStdString(r.data).toPercentEncoding().toStdString() + "\"";
            return;
        }
        if (r.data.size() == length)
            return;
        for (char c : alphabet) {
            Reference next = r;
            next.add(static_cast<uint8_t>(c));
            walk(next);
        }
    }
};

} // namespace

class TestShortest : public QObject {
    Q_OBJECT

private slots:
    void referenceCounts();
    void everyShortText_data();
    void everyShortText();
    void randomTexts();
};

void TestShortest::referenceCounts()
{
    // Hand-counted: the reference itself must be right.
    QCOMPARE(referenceCount(""), 0);
    QCOMPARE(referenceCount("AB"), 1);
    QCOMPARE(referenceCount("This is a test"), 8);           // as the stored automatic count
    QCOMPARE(referenceCount("\xE9"), 2);                     // byte shift
    QCOMPARE(referenceCount("\xE9\xE9\xE9\xE9\xE9\xE9"), 6); // 924 and one group
    QCOMPARE(referenceCount(std::string(44, '7')), 16);      // 902 and 15 codewords
    QCOMPARE(numericGroupCount("00000"), 2);                 // 100000 = 111 x 900 + 100
    QCOMPARE(
        readBack({0, 1, 28 * 30 + 1, 913, 233, 902, 111, 100, 900, 27 * 30 + 1}), std::string("AB1\xE9") + "00000b");
}

void TestShortest::everyShortText_data()
{
    QTest::addColumn<QByteArray>("alphabet");
    QTest::addColumn<int>("length");
    // Alpha, lower, mixed digit, space (alpha, lower, mixed), CR (mixed and
    // punctuation), ";" (punctuation only), a byte no sub-mode holds.
    QTest::newRow("7 classes, up to 5") << QByteArray("Aa1 \r;\xE9") << 5;
    QTest::newRow("5 classes, up to 7") << QByteArray("Aa1\r\xE9") << 7;
    // The other classes and bytes: "&" (mixed only), LF (punctuation only),
    // HT, NUL.
    QTest::newRow("11 classes, up to 4") << QByteArray("Aa1&\n\t, ;\0\xE9", 11) << 4;
    // Digit runs against text and bytes around them.
    QTest::newRow("digits, up to 8") << QByteArray("0a\xE9") << 8;
}

void TestShortest::everyShortText()
{
    QFETCH(QByteArray, alphabet);
    QFETCH(int, length);
    Exhaustive e{alphabet.toStdString(), static_cast<size_t>(length), 0, {}};
    e.walk(Reference());
    QVERIFY2(e.failure.empty(), e.failure.c_str());
    qInfo("%ld texts", e.texts);
}

void TestShortest::randomTexts()
{
    // Runs of letters, digits, punctuation and bytes, up to 40 bytes.
    const std::string pieces[] = {"A", "Z", "a", "z", "0", "9", "12345", "1234567", " ", ",", ":", ";", "@", "\r\n",
        "\t", "\n", "&", "\xE9", std::string(1, '\0'), "\x80\xFF", "\"", "Ab"};
    std::mt19937 rng(24);
    for (int round = 0; round < 3000; ++round) {
        std::string data;
        const size_t length = 1 + rng() % 40;
        while (data.size() < length)
            data += pieces[rng() % std::size(pieces)];
        data.resize(length);
        Codewords cw;
        const int got = automaticCount(data, &cw);
        const int best = referenceCount(data);
        const QByteArray shown = QByteArray::fromStdString(data).toPercentEncoding();
        QVERIFY2(
            got == best, qPrintable(QStringLiteral("automatic %1, shortest %2 for %3").arg(got).arg(best).arg(shown)));
        QVERIFY2(readBack(cw) == data, shown.constData());
    }
}

QTEST_MAIN(TestShortest)
#include "tst_stelcode_shortest.moc"

#include "AutoCompaction.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace stelcode {

namespace {

// A shortest path over the bytes. Costs are counted in text values, two to a
// codeword, so byte and numeric states always hold even costs and a text
// state's parity is that of its open values.
//
// States: text in alpha, lower, mixed, and punctuation twice (even and odd
// value count: its pad value 29 is the alpha latch, so a byte shift after an
// odd count leaves punctuation); byte compaction by the byte count mod 6;
// numeric compaction by the digit count mod 44 (a group), live only inside a
// digit run.
// Unreachable; far above any cost, and adding a few costs to it cannot overflow.
constexpr int kInf = 1 << 26;
constexpr int kAlpha = 0, kLower = 1, kMixed = 2, kPunct = 3;
constexpr int kPunctOdd = 4;
constexpr int kTextStates = 5;
constexpr int kByte = 5;      // states 5..10
constexpr int kNumeric = 11;  // states 11..54
constexpr int kStates = 55;
constexpr int kGroup = 44;
constexpr int16_t kLatchText = 900;
constexpr int16_t kShiftByte = 913;
constexpr int kPunctShift = 29, kAlphaShift = 27;

constexpr int subMode(int textState)
{
    return textState == kPunctOdd ? kPunct : textState;
}

struct Latch
{
    int8_t count;  // -1: none of this parity
    int8_t v[5];
};

// What a byte costs in each text sub-mode, for the search's inner loop.
struct ByteCost
{
    int32_t held[3];  // in alpha, lower, mixed: 1, 2 with a shift, or kInf
    int32_t punct;    // in punctuation: 1 or kInf
};

struct Tables
{
    std::array<std::array<int8_t, 256>, 4> value;  // -1 where the sub-mode lacks the byte
    std::array<ByteCost, 256> cost;
    // Shortest latch sequence from s to t of each length parity (to land in
    // punctuation with either parity), and the shorter of the two.
    Latch latch[4][4][2];
    Latch shortestLatch[4][4];
    int toText[4][3];  // lengths of shortestLatch into alpha, lower, mixed
    int toPunct[4][2];  // lengths of latch[s][punctuation][parity]
    std::array<int, kGroup + 1> numericStep;  // doubled codewords the m-th digit of a group adds
    Tables();
};

Tables::Tables()
{
    for (auto& m : value)
        m.fill(-1);
    for (int i = 0; i < 26; ++i) {
        value[kAlpha][static_cast<size_t>('A' + i)] = static_cast<int8_t>(i);
        value[kLower][static_cast<size_t>('a' + i)] = static_cast<int8_t>(i);
    }
    for (int m : {kAlpha, kLower, kMixed})
        value[static_cast<size_t>(m)][' '] = 26;
    const char* mixed = "0123456789&\r\t,:#-.$/+%*=^";
    for (int i = 0; mixed[i]; ++i)
        value[kMixed][static_cast<uint8_t>(mixed[i])] = static_cast<int8_t>(i);
    const char* punct = ";<>@[\\]_`~!\r\t,:\n-.$/\"|*()?{}'";
    for (int i = 0; punct[i]; ++i)
        value[kPunct][static_cast<uint8_t>(punct[i])] = static_cast<int8_t>(i);
    for (size_t c = 0; c < 256; ++c) {
        const bool inPunct = value[kPunct][c] >= 0;
        for (int t = 0; t < kPunct; ++t) {
            int32_t n = kInf;
            if (value[static_cast<size_t>(t)][c] >= 0)
                n = 1;
            else if (inPunct)
                n = 2;  // punctuation shift
            else if (t == kLower && value[kAlpha][c] >= 0)
                n = 2;  // alpha shift
            cost[c].held[t] = n;
        }
        cost[c].punct = inPunct ? 1 : kInf;
    }

    // Latch graph: breadth first over (sub-mode, parity of the length).
    constexpr int edges[][3] = {{kAlpha, kLower, 27}, {kAlpha, kMixed, 28}, {kLower, kMixed, 28},
        {kMixed, kAlpha, 28}, {kMixed, kLower, 27}, {kMixed, kPunct, 25}, {kPunct, kAlpha, 29}};
    for (int s = 0; s < 4; ++s) {
        Latch found[4][2];
        for (auto& f : found)
            f[0].count = f[1].count = -1;
        found[s][0] = {0, {}};
        for (int length = 0; length < 5; ++length)
            for (int m = 0; m < 4; ++m)
                for (int p = 0; p < 2; ++p) {
                    const Latch& l = found[m][p];
                    if (l.count != length)
                        continue;
                    for (const auto& e : edges) {
                        Latch& to = found[e[1]][1 - p];
                        if (e[0] != m || to.count >= 0)
                            continue;
                        to = l;
                        to.v[to.count++] = static_cast<int8_t>(e[2]);
                    }
                }
        for (int t = 0; t < 4; ++t) {
            latch[s][t][0] = found[t][0];
            latch[s][t][1] = found[t][1];
            const bool odd = found[t][0].count < 0
                || (found[t][1].count >= 0 && found[t][1].count < found[t][0].count);
            shortestLatch[s][t] = found[t][odd ? 1 : 0];
        }
        for (int t = 0; t < kPunct; ++t)
            toText[s][t] = shortestLatch[s][t].count;
        for (int p = 0; p < 2; ++p)  // every sub-mode reaches punctuation with both parities
            toPunct[s][p] = latch[s][kPunct][p].count;
    }

    // A group of m digits takes the base-900 digits of a number below 2 x 10^m.
    int before = 0;
    numericStep[0] = 0;
    for (int m = 1; m <= kGroup; ++m) {
        const int count
            = static_cast<int>(std::floor((m + std::log10(2.0)) / std::log10(900.0))) + 1;
        numericStep[static_cast<size_t>(m)] = 2 * (count - before);
        before = count;
    }
}

const Tables& tables()
{
    static const Tables t;
    return t;
}

inline int even(int cost)
{
    return cost + (cost & 1);
}

constexpr uint8_t kEntry = 0x80;  // byte or numeric state entered by a latch
constexpr uint8_t kByteShiftHow = 1;
constexpr uint8_t kParityHow = 2;  // the latch into punctuation of odd length

// One byte of the search. The forward pass keeps only the text costs; how a
// text state was reached is worked out again for the states on the chosen
// path. Byte and numeric states keep where a latch entered them.
struct Step
{
    int32_t text[kTextStates];  // costs after the byte
    int32_t enter;              // 900 from the best byte or numeric state before it
    uint8_t enterFrom;
    uint8_t byteFrom;  // how byte phase 1 was reached
    uint8_t numericFrom;
    uint8_t state;  // after the byte, on the chosen path
    uint8_t how;    // how that state was reached, for text states
};

inline void keep(int& cost, int& from, int candidate, int candidateFrom)
{
    const bool better = candidate < cost;
    cost = better ? candidate : cost;
    from = better ? candidateFrom : from;
}

struct Search
{
    int32_t text[kTextStates];
    int32_t byte[6];  // by the byte count mod 6
    int32_t numeric[kGroup];  // by the digit count mod 44, live inside a digit run
    int run = 0;  // digits just before, at most a group

    Search()
    {
        std::fill(std::begin(text), std::end(text), kInf);
        std::fill(std::begin(byte), std::end(byte), kInf);
        std::fill(std::begin(numeric), std::end(numeric), kInf);
        text[kAlpha] = 0;  // a symbol starts in text, alpha
    }

    void step(const Tables& t, uint8_t c, bool digit, Step& out)
    {
        int closedText = even(text[0]), closedTextFrom = 0;
        for (int s = 1; s < kTextStates; ++s)
            keep(closedText, closedTextFrom, even(text[s]), s);
        int closedByte = byte[0], closedByteFrom = kByte;
        for (int p = 1; p < 6; ++p)
            keep(closedByte, closedByteFrom, byte[p], kByte + p);
        const int live = std::min(run, kGroup - 1);  // numeric states 0..live may be reached
        int closedNumeric = kInf, closedNumericFrom = kNumeric;
        for (int q = 0; q <= live; ++q)
            keep(closedNumeric, closedNumericFrom, numeric[q], kNumeric + q);

        // Text: latch to a sub-mode (900 from another mode lands in alpha),
        // then the byte in it, by a shift, or by a byte shift.
        int enter = closedByte, enterFrom = closedByteFrom;
        keep(enter, enterFrom, closedNumeric, closedNumericFrom);
        enter += 2;
        out.enter = enter;
        out.enterFrom = static_cast<uint8_t>(enterFrom);
        const int a = std::min(text[kAlpha], enter), l = text[kLower], m = text[kMixed],
                  p0 = text[kPunct], p1 = text[kPunctOdd], p = std::min(p0, p1);
        const int reach[3] = {
            std::min(std::min(a, m + t.toText[kMixed][kAlpha]),
                std::min(p + t.toText[kPunct][kAlpha], l + t.toText[kLower][kAlpha])),
            std::min(std::min(l, a + t.toText[kAlpha][kLower]),
                std::min(m + t.toText[kMixed][kLower], p + t.toText[kPunct][kLower])),
            std::min(std::min(m, a + t.toText[kAlpha][kMixed]),
                std::min(l + t.toText[kLower][kMixed], p + t.toText[kPunct][kMixed])),
        };
        const ByteCost& bc = t.cost[c];
        for (int to = 0; to < kPunct; ++to)
            out.text[to] = std::min(reach[to] + bc.held[to], even(reach[to]) + 4);
        // Punctuation keeps both parities of the value count: arrive by the
        // latch of the length parity that gives each.
        const int* const toP[4] = {t.toPunct[kAlpha], t.toPunct[kLower], t.toPunct[kMixed],
            t.toPunct[kPunct]};
        const int alphaEven = text[kAlpha] + toP[0][text[kAlpha] & 1];
        const int alphaOdd = text[kAlpha] + toP[0][~text[kAlpha] & 1];
        const int enterEven = enter + toP[0][0], enterOdd = enter + toP[0][1];  // even cost
        const int lowerEven = l + toP[1][l & 1], lowerOdd = l + toP[1][~l & 1];
        const int mixedEven = m + toP[2][m & 1], mixedOdd = m + toP[2][~m & 1];
        const int reachEven = std::min(std::min(std::min(alphaEven, enterEven), lowerEven),
            std::min(mixedEven, std::min(p0, p1 + toP[3][1])));
        const int reachOdd = std::min(std::min(std::min(alphaOdd, enterOdd), lowerOdd),
            std::min(mixedOdd, std::min(p1, p0 + toP[3][1])));
        // The byte flips the parity; a byte shift keeps it, but only from an
        // even count (from odd, the pad value would latch to alpha).
        out.text[kPunct] = std::min(reachOdd + bc.punct, reachEven + 4);
        out.text[kPunctOdd] = reachEven + bc.punct;

        // Bytes: every sixth is free (6 bytes, 5 codewords).
        const int last = byte[5];
        for (int q = 5; q >= 2; --q)
            byte[q] = byte[q - 1] + 2;
        int byteIn = closedText, byteInFrom = closedTextFrom;
        keep(byteIn, byteInFrom, closedNumeric, closedNumericFrom);
        byteIn += 4;  // latch and the byte
        out.byteFrom = kByte;
        byte[1] = byte[0] + 2;
        if (byteIn < byte[1]) {
            byte[1] = byteIn;
            out.byteFrom = static_cast<uint8_t>(byteInFrom | kEntry);
        }
        byte[0] = last;

        // Digits: a numeric segment may begin at any digit of the run so
        // far, so group positions 1 to the run's length are live.
        if (digit) {
            const int full = live == kGroup - 1 ? numeric[kGroup - 1] + t.numericStep[kGroup] : kInf;
            for (int q = std::min(live, kGroup - 2); q >= 0; --q)
                numeric[q + 1] = std::min(numeric[q] + t.numericStep[static_cast<size_t>(q + 1)], kInf);
            numeric[0] = std::min(full, kInf);
            int in = closedText, inFrom = closedTextFrom;
            keep(in, inFrom, closedByte, closedByteFrom);
            keep(in, inFrom, closedNumeric, closedNumericFrom);
            in += 2 + t.numericStep[1];
            out.numericFrom = kNumeric;
            if (in < numeric[1]) {
                numeric[1] = in;
                out.numericFrom = static_cast<uint8_t>(inFrom | kEntry);
            }
            run = std::min(run + 1, kGroup);
        } else {
            std::fill_n(numeric, live + 1, kInf);
            run = 0;
        }
        std::copy_n(out.text, kTextStates, text);
    }
};

// How text state `to` after byte c was reached from the costs before it:
// the state before and the move (byte shift, parity of a latch).
std::pair<int, uint8_t> textMove(
    const Tables& t, const int32_t* before, const Step& step, uint8_t c, int to)
{
    const int target = step.text[to];
    const ByteCost& bc = t.cost[c];
    const int sourceCost[kTextStates + 1]
        = {before[0], before[1], before[2], before[3], before[4], step.enter};
    for (int s = 0; s <= kTextStates; ++s) {
        const int from = s < kTextStates ? s : step.enterFrom;
        const int mode = s < kTextStates ? subMode(s) : kAlpha;
        const int cost = sourceCost[s];
        if (cost >= kInf)
            continue;
        if (to < kPunct) {
            const int reach = cost + t.toText[mode][to];
            if (reach + bc.held[to] == target)
                return {from, 0};
            if (even(reach) + 4 == target)
                return {from, kByteShiftHow};
            continue;
        }
        for (int parity = 0; parity < 2; ++parity) {
            const int reach = cost + t.toPunct[mode][parity];
            const uint8_t how = parity ? kParityHow : 0;
            const bool odd = reach & 1;
            if (to == kPunct && odd && reach + bc.punct == target)
                return {from, how};
            if (to == kPunct && !odd && reach + 4 == target)
                return {from, static_cast<uint8_t>(how | kByteShiftHow)};
            if (to == kPunctOdd && !odd && reach + bc.punct == target)
                return {from, how};
        }
    }
    return {kAlpha, 0};  // not reached: every finite cost has a move
}

// The state before byte i, from the state after it.
int previousState(int state, const Step& step)
{
    if (state < kNumeric) {
        const int phase = state - kByte;
        if (phase == 1)
            return step.byteFrom & ~kEntry;
        return kByte + (phase + 5) % 6;
    }
    const int q = state - kNumeric;
    if (q == 1)
        return step.numericFrom & ~kEntry;
    return kNumeric + (q + kGroup - 1) % kGroup;
}

bool entered(int state, const Step& step)
{
    if (state >= kNumeric)
        return state == kNumeric + 1 && (step.numericFrom & kEntry);
    return state == kByte + 1 && (step.byteFrom & kEntry);
}

// Text values paired into codewords as they come.
struct TextOut
{
    Codewords& out;
    int pending = -1;
    void put(int v)
    {
        if (pending < 0) {
            pending = v;
        } else {
            out.push_back(static_cast<int16_t>(30 * pending + v));
            pending = -1;
        }
    }
    void close()  // an odd count is padded
    {
        if (pending >= 0)
            put(kPunctShift);
    }
};

}  // namespace

Codewords autoDataCodewords(Bytes bytes)
{
    const size_t n = bytes.size();
    std::vector<Step> steps(n);
    const Tables& t = tables();
    Search search;
    for (size_t i = 0; i < n; ++i)
        search.step(t, bytes[i], bytes[i] >= '0' && bytes[i] <= '9', steps[i]);

    int state = kAlpha;
    int best = kInf;
    for (int s = 0; s < kTextStates; ++s)
        keep(best, state, even(search.text[s]), s);
    for (int p = 0; p < 6; ++p)
        keep(best, state, search.byte[p], kByte + p);
    for (int q = 0; q <= std::min(search.run, kGroup - 1); ++q)
        keep(best, state, search.numeric[q], kNumeric + q);

    // Back along the chosen path: steps[i].state is the state after byte i.
    static constexpr int32_t kStart[kTextStates] = {0, kInf, kInf, kInf, kInf};
    for (size_t i = n; i-- > 0;) {
        Step& step = steps[i];
        step.state = static_cast<uint8_t>(state);
        if (state < kTextStates) {
            const auto [from, how] = textMove(t, i ? steps[i - 1].text : kStart, step, bytes[i], state);
            step.how = how;
            state = from;
        } else {
            state = previousState(state, step);
        }
    }
    auto path = [&steps](size_t i) -> int { return i == 0 ? kAlpha : steps[i - 1].state; };

    Codewords out;
    out.reserve(n + 2);
    out.push_back(0);
    TextOut text{out};
    int mode = kAlpha;  // current sub-mode while in text
    size_t i = 0;
    while (i < n) {
        const int st = path(i + 1);
        const uint8_t c = bytes[i];
        if (st < kTextStates) {
            const int to = subMode(st);
            const uint8_t how = steps[i].how;
            if (path(i) >= kTextStates) {
                out.push_back(kLatchText);
                mode = kAlpha;
            }
            const Latch& l = to == kPunct ? t.latch[mode][to][(how & kParityHow) ? 1 : 0]
                                          : t.shortestLatch[mode][to];
            for (int k = 0; k < l.count; ++k)
                text.put(l.v[k]);
            mode = to;
            if (how & kByteShiftHow) {
                text.close();
                out.insert(out.end(), {kShiftByte, c});
            } else if (t.value[static_cast<size_t>(to)][c] >= 0) {
                text.put(t.value[static_cast<size_t>(to)][c]);
            } else if (to != kPunct && t.value[kPunct][c] >= 0) {
                text.put(kPunctShift);
                text.put(t.value[kPunct][c]);
            } else {
                text.put(kAlphaShift);
                text.put(t.value[kAlpha][c]);
            }
            ++i;
            continue;
        }
        // A byte or numeric segment runs until the next latch.
        text.close();
        size_t end = i + 1;
        const bool numeric = st >= kNumeric;
        while (end < n && (path(end + 1) >= kNumeric) == numeric && path(end + 1) >= kByte
            && !entered(path(end + 1), steps[end]))
            ++end;
        const Bytes segment = bytes.subspan(i, end - i);
        if (numeric)
            appendNumericCompaction(segment, out);
        else
            appendByteCompaction(segment, out);
        i = end;
    }
    text.close();
    return out;
}

std::optional<Codewords> compactAuto(Bytes bytes, SymbolShape& shape)
{
    // At most 928 codewords: even digits take more than one per three bytes.
    if (bytes.size() > 3 * static_cast<size_t>(kMaxCodewords))
        return std::nullopt;
    return finish(autoDataCodewords(bytes), shape);
}

}  // namespace stelcode

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
constexpr int kInf = std::numeric_limits<int>::max() / 4;
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

struct Tables
{
    std::array<std::array<int8_t, 256>, 4> value;  // -1 where the sub-mode lacks the byte
    // Values to write a byte in sub-mode t: 1, 2 with a shift, 0 only by a byte shift.
    std::array<std::array<uint8_t, 4>, 256> hold;
    // Shortest latch sequence from s to t of each length parity (to land in
    // punctuation with either parity), and the shorter of the two.
    Latch latch[4][4][2];
    Latch shortestLatch[4][4];
    // Their lengths for each text state as a source (and 900 into alpha).
    int shortest[kTextStates + 1][4];
    int toPunct[kTextStates + 1][2];
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
    for (int c = 0; c < 256; ++c)
        for (int t = 0; t < 4; ++t) {
            uint8_t n = 0;
            if (value[static_cast<size_t>(t)][static_cast<size_t>(c)] >= 0)
                n = 1;
            else if (t != kPunct && value[kPunct][static_cast<size_t>(c)] >= 0)
                n = 2;  // punctuation shift
            else if (t == kLower && value[kAlpha][static_cast<size_t>(c)] >= 0)
                n = 2;  // alpha shift
            hold[static_cast<size_t>(c)][static_cast<size_t>(t)] = n;
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
    }
    constexpr int kNone = 1 << 20;
    for (int source = 0; source <= kTextStates; ++source) {
        const int m = source < kTextStates ? subMode(source) : kAlpha;
        for (int t = 0; t < 4; ++t)
            shortest[source][t] = shortestLatch[m][t].count;
        for (int p = 0; p < 2; ++p)
            toPunct[source][p] = latch[m][kPunct][p].count < 0 ? kNone : latch[m][kPunct][p].count;
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

int even(int cost)
{
    return cost + (cost & 1);
}

constexpr uint8_t kEntry = 0x80;  // byte or numeric state entered by a latch
constexpr uint8_t kByteShiftHow = 1;
constexpr uint8_t kParityHow = 2;  // the latch of the other parity

// How each state was reached at one byte: text states by their source and
// move, the first byte and numeric states by continuation or a latch in.
struct Back
{
    uint8_t from[kTextStates];
    uint8_t how[kTextStates];
    uint8_t byteFrom;
    uint8_t numericFrom;
    uint8_t state;  // after the byte, on the chosen path
};

inline void keep(int& cost, int& from, int candidate, int candidateFrom)
{
    const bool better = candidate < cost;
    cost = better ? candidate : cost;
    from = better ? candidateFrom : from;
}

inline void keep(int& cost, int& from, int& how, int candidate, int candidateFrom, int candidateHow)
{
    const bool better = candidate < cost;
    cost = better ? candidate : cost;
    from = better ? candidateFrom : from;
    how = better ? candidateHow : how;
}

struct Search
{
    std::array<int, kStates> cost;
    int run = 0;  // digits just before, at most a group

    // One byte: `c`, `numeric` when it is a digit.
    void step(const Tables& t, uint8_t c, bool numeric, Back& back)
    {
        int closedText = kInf, closedTextFrom = 0;
        for (int s = 0; s < kTextStates; ++s)
            keep(closedText, closedTextFrom, even(cost[static_cast<size_t>(s)]), s);
        int closedByte = kInf, closedByteFrom = kByte;
        for (int s = kByte; s < kNumeric; ++s)
            keep(closedByte, closedByteFrom, cost[static_cast<size_t>(s)], s);
        int closedNumeric = kInf, closedNumericFrom = kNumeric;
        for (int s = kNumeric; s <= kNumeric + std::min(run, kGroup - 1); ++s)
            keep(closedNumeric, closedNumericFrom, cost[static_cast<size_t>(s)], s);

        std::array<int, kStates> next;
        // Text: latch (or 900 from another mode, which lands in alpha) to a
        // sub-mode, then the byte in it, by a shift, or by a byte shift.
        int enter = closedByte, enterFrom = closedByteFrom;
        keep(enter, enterFrom, closedNumeric, closedNumericFrom);
        enter += 2;
        const int sourceCost[kTextStates + 1]
            = {cost[0], cost[1], cost[2], cost[3], cost[4], enter};
        const int sourceState[kTextStates + 1] = {0, 1, 2, 3, 4, enterFrom};
        const auto& hold = t.hold[c];
        for (int to = 0; to < kPunct; ++to) {
            int reach = kInf, from = 0;
            for (int s = 0; s <= kTextStates; ++s)
                keep(reach, from, sourceCost[s] + t.shortest[s][to], s);
            const int h = hold[static_cast<size_t>(to)];
            const int held = h ? reach + h : kInf;
            const int shifted = even(reach) + 4;
            next[static_cast<size_t>(to)] = std::min(held, shifted);
            back.from[to] = static_cast<uint8_t>(sourceState[from]);
            back.how[to] = held <= shifted ? 0 : kByteShiftHow;
        }
        // Punctuation keeps both parities: arrive by the shortest latch of
        // each length parity.
        int reach0 = kInf, from0 = 0, how0 = 0, reach1 = kInf, from1 = 0, how1 = 0;
        for (int s = 0; s <= kTextStates; ++s) {
            const int base = sourceCost[s];
            const bool odd = base & 1;
            const int same = base + t.toPunct[s][0], other = base + t.toPunct[s][1];
            keep(reach0, from0, how0, odd ? other : same, s, odd ? kParityHow : 0);
            keep(reach1, from1, how1, odd ? same : other, s, odd ? 0 : kParityHow);
        }
        const int reach[2] = {reach0, reach1}, reachFrom[2] = {from0, from1},
                  reachHow[2] = {how0, how1};
        // The byte flips the parity; a byte shift keeps it, but only from an
        // even count (from odd, the pad value would latch to alpha).
        const bool inPunct = hold[kPunct] != 0;
        int even0 = inPunct ? reach[1] + 1 : kInf, even0Slot = 1, even0How = 0;
        if (reach[0] + 4 < even0) {
            even0 = reach[0] + 4;
            even0Slot = 0;
            even0How = kByteShiftHow;
        }
        next[kPunct] = even0;
        back.from[kPunct] = static_cast<uint8_t>(sourceState[reachFrom[even0Slot]]);
        back.how[kPunct] = static_cast<uint8_t>(reachHow[even0Slot] | even0How);
        next[kPunctOdd] = inPunct ? reach[0] + 1 : kInf;
        back.from[kPunctOdd] = static_cast<uint8_t>(sourceState[reachFrom[0]]);
        back.how[kPunctOdd] = static_cast<uint8_t>(reachHow[0]);

        // Bytes: every sixth is free (6 bytes, 5 codewords).
        for (int p = 0; p < 6; ++p) {
            const int phase = p == 5 ? 0 : p + 1;
            next[static_cast<size_t>(kByte + phase)]
                = cost[static_cast<size_t>(kByte + p)] + (phase == 0 ? 0 : 2);
        }
        int byteIn = closedText, byteInFrom = closedTextFrom;
        keep(byteIn, byteInFrom, closedNumeric, closedNumericFrom);
        back.byteFrom = kByte;
        if (byteIn + 4 < next[kByte + 1]) {  // latch and the byte
            next[kByte + 1] = byteIn + 4;
            back.byteFrom = static_cast<uint8_t>(byteInFrom | kEntry);
        }

        // Digits: a numeric segment may begin at any digit of the run so
        // far, so group positions 1 to the run's length are live.
        const int live = std::min(run, kGroup);
        if (numeric) {
            next[kNumeric] = kInf;  // a full group, until 44 digits
            for (int q = 0; q < std::min(live + 1, kGroup); ++q)
                next[static_cast<size_t>(kNumeric + (q + 1) % kGroup)]
                    = std::min(cost[static_cast<size_t>(kNumeric + q)]
                            + t.numericStep[static_cast<size_t>(q + 1)],
                        kInf);
            int in = closedText, inFrom = closedTextFrom;
            keep(in, inFrom, closedByte, closedByteFrom);
            keep(in, inFrom, closedNumeric, closedNumericFrom);
            in += 2 + t.numericStep[1];
            back.numericFrom = kNumeric;
            if (in < next[kNumeric + 1]) {
                next[kNumeric + 1] = in;
                back.numericFrom = static_cast<uint8_t>(inFrom | kEntry);
            }
            run = std::min(run + 1, kGroup);
            std::copy_n(next.begin(), kNumeric + run + (run == kGroup ? 0 : 1), cost.begin());
        } else {
            std::copy_n(next.begin(), kNumeric, cost.begin());
            std::fill_n(cost.begin() + kNumeric, std::min(live + 1, kGroup), kInf);
            run = 0;
        }
    }
};

// The state before byte i, from the state after it.
int previousState(int state, const Back& back)
{
    if (state < kTextStates)
        return back.from[state];
    if (state < kNumeric) {
        const int phase = state - kByte;
        if (phase == 1)
            return back.byteFrom & ~kEntry;
        return kByte + (phase + 5) % 6;
    }
    const int q = state - kNumeric;
    if (q == 1)
        return back.numericFrom & ~kEntry;
    return kNumeric + (q + kGroup - 1) % kGroup;
}

bool entered(int state, const Back& back)
{
    if (state >= kNumeric)
        return state == kNumeric + 1 && (back.numericFrom & kEntry);
    return state == kByte + 1 && (back.byteFrom & kEntry);
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
    std::vector<Back> back(n);
    const Tables& t = tables();
    Search search;
    search.cost.fill(kInf);
    search.cost[kAlpha] = 0;  // a symbol starts in text, alpha
    for (size_t i = 0; i < n; ++i)
        search.step(t, bytes[i], bytes[i] >= '0' && bytes[i] <= '9', back[i]);

    int state = kAlpha;
    int best = kInf;
    for (int s = 0; s < kStates; ++s) {
        const int closed = s < kTextStates ? even(search.cost[static_cast<size_t>(s)])
                                           : search.cost[static_cast<size_t>(s)];
        if (closed < best) {
            best = closed;
            state = s;
        }
    }
    // path(i) is the state before byte i.
    auto path = [&back](size_t i) -> int { return i == 0 ? kAlpha : back[i - 1].state; };
    if (n > 0)
        back[n - 1].state = static_cast<uint8_t>(state);
    for (size_t i = n; i-- > 1;)
        back[i - 1].state = static_cast<uint8_t>(previousState(back[i].state, back[i]));

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
            const uint8_t how = back[i].how[st];
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
            && !entered(path(end + 1), back[end]))
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

#include "AutoCompaction.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <iterator>
#include <utility>

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
//
// The forward pass computes costs only and keeps each byte's text and byte
// costs; on the way back the moves of the chosen path are worked out again
// from them. No state is ever dropped, so the result is exact.
constexpr int kInf = 1 << 26;  // unreachable; sums of a few stay far from overflow
constexpr int kAlpha = 0, kLower = 1, kMixed = 2, kPunct = 3;
constexpr int kPunctOdd = 4;
constexpr int kTextStates = 5;
constexpr int kByte = 5;      // states 5..10
constexpr int kNumeric = 11;  // states 11..54
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
    int count = -1;  // -1: none of this parity
    int v[5] = {};
};

// Shortest latch sequence from s to t of each length parity (to land in
// punctuation with either parity), and the shorter of the two.
struct Latches
{
    Latch byParity[4][4][2];
    Latch shortest[4][4];
};

constexpr Latches buildLatches()
{
    // Breadth first over (sub-mode, parity of the length).
    constexpr int edges[][3] = {{kAlpha, kLower, 27}, {kAlpha, kMixed, 28}, {kLower, kMixed, 28},
        {kMixed, kAlpha, 28}, {kMixed, kLower, 27}, {kMixed, kPunct, 25}, {kPunct, kAlpha, 29}};
    Latches result{};
    for (int s = 0; s < 4; ++s) {
        Latch found[4][2]{};
        found[s][0].count = 0;
        for (int length = 0; length < 5; ++length)
            for (int m = 0; m < 4; ++m)
                for (int p = 0; p < 2; ++p) {
                    const Latch l = found[m][p];
                    if (l.count != length)
                        continue;
                    for (const auto& e : edges) {
                        Latch& to = found[e[1]][1 - p];
                        if (e[0] != m || to.count >= 0)
                            continue;
                        to = l;
                        to.v[to.count++] = e[2];
                    }
                }
        for (int t = 0; t < 4; ++t) {
            result.byParity[s][t][0] = found[t][0];
            result.byParity[s][t][1] = found[t][1];
            const bool odd = found[t][0].count < 0
                || (found[t][1].count >= 0 && found[t][1].count < found[t][0].count);
            result.shortest[s][t] = found[t][odd ? 1 : 0];
        }
    }
    return result;
}

constexpr Latches kLatches = buildLatches();

// Latch lengths from sub-mode s into alpha, lower, mixed, and into
// punctuation by parity; every sub-mode reaches punctuation with both.
constexpr int toText(int s, int t)
{
    return kLatches.shortest[s][t].count;
}
constexpr int toPunct(int s, int parity)
{
    return kLatches.byParity[s][kPunct][parity].count;
}
static_assert(toPunct(kAlpha, 0) > 0 && toPunct(kLower, 1) > 0 && toPunct(kMixed, 0) > 0
    && toPunct(kPunct, 0) == 0 && toPunct(kPunct, 1) > 0);

// What a byte costs in each text sub-mode, for the search's inner loop.
struct ByteCost
{
    int32_t held[3];  // in alpha, lower, mixed: 1, 2 with a shift, or kInf
    int32_t punct;    // in punctuation: 1 or kInf
};

// The kinds of byte the search has a step of its own for: the costs in
// alpha, lower, mixed and punctuation (kInf: not held) and whether a digit.
struct ByteClass
{
    int held[4];
    bool digit;
};
constexpr ByteClass kClasses[] = {
    {{1, 2, kInf, kInf}, false},        // upper case
    {{kInf, 1, kInf, kInf}, false},     // lower case
    {{kInf, kInf, 1, kInf}, true},      // digit
    {{1, 1, 1, kInf}, false},           // space
    {{kInf, kInf, 1, kInf}, false},     // mixed only
    {{2, 2, 1, 1}, false},              // mixed and punctuation
    {{2, 2, 2, 1}, false},              // punctuation only
    {{kInf, kInf, kInf, kInf}, false},  // none: a byte shift
};
constexpr uint8_t kOtherClass = std::size(kClasses);  // costs read from the table

struct Tables
{
    std::array<std::array<int8_t, 256>, 4> value;  // -1 where the sub-mode lacks the byte
    std::array<ByteCost, 256> cost;
    std::array<uint8_t, 256> kind;            // index in kClasses, or kOtherClass
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
        for (size_t t = 0; t < kPunct; ++t) {
            int32_t n = kInf;
            if (value[t][c] >= 0)
                n = 1;
            else if (inPunct)
                n = 2;  // punctuation shift
            else if (t == kLower && value[kAlpha][c] >= 0)
                n = 2;  // alpha shift
            cost[c].held[t] = n;
        }
        cost[c].punct = inPunct ? 1 : kInf;
        const bool digit = c >= '0' && c <= '9';
        kind[c] = kOtherClass;
        for (uint8_t k = 0; k < kOtherClass; ++k) {
            const ByteClass& b = kClasses[k];
            if (b.held[0] == cost[c].held[0] && b.held[1] == cost[c].held[1]
                && b.held[2] == cost[c].held[2] && b.held[3] == cost[c].punct && b.digit == digit)
                kind[c] = k;
        }
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

// By value: std::min's references make GCC keep the operands in memory.
inline int lo(int a, int b)
{
    return b < a ? b : a;
}

// Costs are never negative: rounding up to even is an add and a mask.
inline int even(int cost)
{
    return (cost + 1) & ~1;
}

constexpr uint8_t kByteShiftHow = 1;
constexpr uint8_t kParityHow = 2;  // the latch into punctuation of odd length

// One byte of the search.
struct Step
{
    int32_t text[kTextStates];  // costs after the byte
    int32_t byte[6];            // by the byte count mod 6, after the byte
    int32_t closedNumeric;      // the best numeric state before the byte
    uint8_t closedNumericFrom;
    bool byteEntered;     // byte phase 1 by a latch rather than by continuing
    bool numericEntered;  // numeric position 1 likewise
    uint8_t state;        // after the byte, on the chosen path
    uint8_t how;          // how that state was reached, for text states
};

// Costs before the first byte: a symbol starts in text, alpha.
constexpr Step kStart{{0, kInf, kInf, kInf, kInf}, {kInf, kInf, kInf, kInf, kInf, kInf}, kInf,
    kNumeric, false, false, kAlpha, 0};

inline void keep(int& cost, int& from, int candidate, int candidateFrom)
{
    const bool better = candidate < cost;
    cost = better ? candidate : cost;
    from = better ? candidateFrom : from;
}

// Text values of a byte in a sub-mode (held, or kInf), or kFromTable.
constexpr int kFromTable = -1;

// The cost after a byte reached at `reach`: held in the sub-mode, or by a
// byte shift (913 and the byte, after padding to a codeword).
template <int Held> inline int withByte(int reach, int fromTable)
{
    if constexpr (Held >= kInf)
        return even(reach) + 4;
    else
        return lo(reach + (Held == kFromTable ? fromTable : Held), even(reach) + 4);
}

struct Search
{
    int32_t numeric[kGroup];  // by the digit count mod 44
    int run = 0;              // digits just before, at most a group

    Search() { std::fill(std::begin(numeric), std::end(numeric), kInf); }

    // Byte c after the costs `before`, into `out`. The class's costs (see
    // ByteClass) are constants, or kFromTable to read them for c.
    template <int HA, int HL, int HM, int HP, int Digit>
    void step(const Tables& t, uint8_t c, const Step& before, Step& out)
    {
        const int a0 = before.text[kAlpha], l = before.text[kLower], m = before.text[kMixed],
                  p0 = before.text[kPunct], p1 = before.text[kPunctOdd];
        // Copied to locals: out may not alias before, but the compiler cannot know.
        const int b[6] = {before.byte[0], before.byte[1], before.byte[2], before.byte[3],
            before.byte[4], before.byte[5]};
        const int closedText = lo(lo(lo(even(a0), even(l)), lo(even(m), p0)), even(p1));
        const int closedByte = lo(lo(lo(b[0], b[1]), lo(b[2], b[3])), lo(b[4], b[5]));
        const int live = lo(run, kGroup - 1);  // numeric states 0..live may be reached
        int closedNumeric = kInf, closedNumericFrom = kNumeric;
        if (run > 0)
            for (int q = 0; q <= live; ++q)
                keep(closedNumeric, closedNumericFrom, numeric[q], kNumeric + q);
        out.closedNumeric = closedNumeric;
        out.closedNumericFrom = static_cast<uint8_t>(closedNumericFrom);

        // Text: latch to a sub-mode (900 from another mode lands in alpha),
        // then the byte in it, by a shift, or by a byte shift.
        const int enter = lo(closedByte, closedNumeric) + 2;
        const int a = lo(a0, enter), p = lo(p0, p1);
        const int reachA = lo(lo(a, m + toText(kMixed, kAlpha)),
            lo(p + toText(kPunct, kAlpha), l + toText(kLower, kAlpha)));
        const int reachL = lo(lo(l, a + toText(kAlpha, kLower)),
            lo(m + toText(kMixed, kLower), p + toText(kPunct, kLower)));
        const int reachM = lo(lo(m, a + toText(kAlpha, kMixed)),
            lo(l + toText(kLower, kMixed), p + toText(kPunct, kMixed)));
        const ByteCost& bc = t.cost[c];
        out.text[kAlpha] = withByte<HA>(reachA, bc.held[kAlpha]);
        out.text[kLower] = withByte<HL>(reachL, bc.held[kLower]);
        out.text[kMixed] = withByte<HM>(reachM, bc.held[kMixed]);
        // Punctuation keeps both parities of the value count: arrive by the
        // latch of the length parity that gives each, which depends on the
        // parity of the count before it. (enter is even.)
        auto arrive = [](int cost, int s, int parity) {
            const int same = toPunct(s, parity), other = toPunct(s, parity ^ 1);
            return cost + same + (cost & 1) * (other - same);
        };
        const int reachEven = lo(lo(lo(arrive(a0, kAlpha, 0), enter + toPunct(kAlpha, 0)),
                                     lo(arrive(l, kLower, 0), arrive(m, kMixed, 0))),
            lo(p0, p1 + toPunct(kPunct, 1)));
        // The byte flips the parity; a byte shift keeps it, but only from an
        // even count (from odd, the pad value would latch to alpha).
        if constexpr (HP >= kInf) {
            out.text[kPunct] = reachEven + 4;
            out.text[kPunctOdd] = kInf;
        } else {
            const int reachOdd = lo(lo(lo(arrive(a0, kAlpha, 1), enter + toPunct(kAlpha, 1)),
                                        lo(arrive(l, kLower, 1), arrive(m, kMixed, 1))),
                lo(p1, p0 + toPunct(kPunct, 1)));
            const int punct = HP == kFromTable ? bc.punct : HP;
            out.text[kPunct] = lo(reachOdd + punct, reachEven + 4);
            out.text[kPunctOdd] = reachEven + punct;
        }

        // Bytes: every sixth is free (6 bytes, 5 codewords).
        const int byteIn = lo(closedText, closedNumeric) + 4;  // latch and the byte
        out.byte[0] = b[5];
        out.byte[1] = lo(b[0] + 2, byteIn);
        out.byteEntered = byteIn < b[0] + 2;
        for (int q = 2; q < 6; ++q)
            out.byte[q] = b[q - 1] + 2;

        // Digits: a numeric segment may begin at any digit of the run so
        // far, so group positions 1 to the run's length are live.
        if (Digit == 1 || (Digit == kFromTable && c >= '0' && c <= '9')) {
            const int full
                = live == kGroup - 1 ? numeric[kGroup - 1] + t.numericStep[kGroup] : kInf;
            for (int q = lo(live, kGroup - 2); q >= 0; --q)
                numeric[q + 1] = lo(numeric[q] + t.numericStep[static_cast<size_t>(q + 1)], kInf);
            numeric[0] = lo(full, kInf);
            const int in = lo(lo(closedText, closedByte), closedNumeric) + 2 + t.numericStep[1];
            out.numericEntered = in < numeric[1];
            numeric[1] = lo(numeric[1], in);
            run = lo(run + 1, kGroup);
        } else {
            out.numericEntered = false;
            if (run > 0)
                std::fill_n(numeric, live + 1, kInf);
            run = 0;
        }
    }
};

// The cheapest text and/or byte state after a step, closed (text padded to a
// whole codeword).
int closedBest(const Step& s, bool text, bool byte)
{
    int best = kInf, state = kAlpha;
    if (text)
        for (int k = 0; k < kTextStates; ++k)
            keep(best, state, even(s.text[k]), k);
    if (byte)
        for (int k = 0; k < 6; ++k)
            keep(best, state, s.byte[k], kByte + k);
    return state;
}

int closedCost(const Step& s, int state)
{
    return state < kTextStates ? even(s.text[state]) : s.byte[state - kByte];
}

// The state a latch into byte i came from: the best closed text or byte
// state before it (of `text` and `byte`), or the best numeric one.
int latchSource(const Step& before, const Step& step, bool text, bool byte)
{
    const int s = closedBest(before, text, byte);
    const int cost = (text || byte) ? closedCost(before, s) : kInf;
    return step.closedNumeric < cost ? step.closedNumericFrom : s;
}

// How text state `to` after byte c was reached: the state before and the
// move (byte shift, parity of a latch).
std::pair<int, uint8_t> textMove(
    const Tables& t, const Step& before, const Step& step, uint8_t c, int to)
{
    const int target = step.text[to];
    const ByteCost& bc = t.cost[c];
    if (to < kPunct && before.text[to] + bc.held[to] == target)
        return {to, 0};  // the usual case: the byte held in the same sub-mode
    // Sources: the five text states, then 900 from the best byte or numeric
    // state (worked out only when no text state gives the cost).
    for (int s = 0; s <= kTextStates; ++s) {
        int cost = 0, from = s, mode = kAlpha;
        if (s < kTextStates) {
            cost = before.text[s];
            mode = subMode(s);
        } else {
            from = latchSource(before, step, false, true);
            cost = std::min(closedCost(before, closedBest(before, false, true)), step.closedNumeric)
                + 2;
        }
        if (cost >= kInf)
            continue;
        if (to < kPunct) {
            const int reach = cost + toText(mode, to);
            if (reach + bc.held[to] == target)
                return {from, 0};
            if (even(reach) + 4 == target)
                return {from, kByteShiftHow};
            continue;
        }
        for (int parity = 0; parity < 2; ++parity) {
            const int reach = cost + toPunct(mode, parity);
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

// The state before a byte or numeric state.
int previousState(int state, const Step& before, const Step& step)
{
    if (state < kNumeric) {
        const int phase = state - kByte;
        if (phase == 1 && step.byteEntered)
            return latchSource(before, step, true, false);
        return kByte + (phase + 5) % 6;
    }
    const int q = state - kNumeric;
    if (q == 1 && step.numericEntered)
        return latchSource(before, step, true, true);
    return kNumeric + (q + kGroup - 1) % kGroup;
}

bool entered(int state, const Step& step)
{
    if (state >= kNumeric)
        return state == kNumeric + 1 && step.numericEntered;
    return state == kByte + 1 && step.byteEntered;
}

// Text values paired into codewords as they come.
struct TextOut
{
    Codewords& out;
    int pending = -1;
    [[gnu::always_inline]] void put(int v)
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

// The forward pass: the costs after each byte into `steps`; `search` ends
// with the numeric states after the last byte.
void searchCosts(Bytes bytes, const Tables& t, std::vector<Step>& steps, Search& search)
{
    for (size_t i = 0; i < bytes.size(); ++i) {
        const uint8_t c = bytes[i];
        const Step& before = i ? steps[i - 1] : kStart;
        switch (t.kind[c]) {
#define STELCODE_CLASS(k)                                                                          \
    case k:                                                                                        \
        search.step<kClasses[k].held[0], kClasses[k].held[1], kClasses[k].held[2],                 \
            kClasses[k].held[3], kClasses[k].digit ? 1 : 0>(t, c, before, steps[i]);               \
        break;
            STELCODE_CLASS(0)
            STELCODE_CLASS(1)
            STELCODE_CLASS(2)
            STELCODE_CLASS(3)
            STELCODE_CLASS(4)
            STELCODE_CLASS(5)
            STELCODE_CLASS(6)
            STELCODE_CLASS(7)
#undef STELCODE_CLASS
        default:
            search.step<kFromTable, kFromTable, kFromTable, kFromTable, kFromTable>(
                t, c, before, steps[i]);
        }
    }
}

// The cheapest closed state after the last byte.
int finalState(const std::vector<Step>& steps, const Search& search)
{
    if (steps.empty())
        return kAlpha;
    const Step& last = steps.back();
    int state = closedBest(last, true, true);
    int best = closedCost(last, state);
    for (int q = 0; q <= std::min(search.run, kGroup - 1); ++q)
        keep(best, state, search.numeric[q], kNumeric + q);
    return state;
}

// Back along the chosen path from `state`: steps[i].state becomes the state
// after byte i, and steps[i].how how a text state was reached.
void tracePath(Bytes bytes, const Tables& t, int state, std::vector<Step>& steps)
{
    for (size_t i = steps.size(); i-- > 0;) {
        Step& step = steps[i];
        const Step& before = i ? steps[i - 1] : kStart;
        step.state = static_cast<uint8_t>(state);
        if (state < kTextStates) {
            const auto [from, how] = textMove(t, before, step, bytes[i], state);
            step.how = how;
            state = from;
        } else {
            state = previousState(state, before, step);
        }
    }
}

// The codewords of the traced path.
Codewords pathCodewords(Bytes bytes, const Tables& t, const std::vector<Step>& steps)
{
    const size_t n = bytes.size();
    auto path = [&steps](size_t i) -> int { return i == 0 ? kAlpha : steps[i - 1].state; };

    Codewords out;
    out.reserve(2 * n + 2);  // a byte shift is two codewords
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
            const Latch& l = to == kPunct ? kLatches.byParity[mode][to][(how & kParityHow) ? 1 : 0]
                                          : kLatches.shortest[mode][to];
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

}  // namespace

Codewords autoDataCodewords(Bytes bytes)
{
    const Tables& t = tables();
    std::vector<Step> steps(bytes.size());
    Search search;
    searchCosts(bytes, t, steps, search);
    tracePath(bytes, t, finalState(steps, search), steps);
    return pathCodewords(bytes, t, steps);
}

std::optional<Codewords> compactAuto(Bytes bytes, SymbolShape& shape)
{
    if (bytes.size() > kMaxAutoBytes)
        return std::nullopt;
    return finish(autoDataCodewords(bytes), shape);
}

}  // namespace stelcode

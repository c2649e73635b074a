#include "AutoCompaction.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace stelcode {

namespace {

// Costs are counted in text values, two to a codeword.
constexpr int kInf = std::numeric_limits<int>::max() / 4;
constexpr int kText = 0;      // states 0..3: text in sub-mode alpha, lower, mixed, punctuation
constexpr int kByte = 4;      // states 4..9: byte compaction, byte count mod 6
constexpr int kNumeric = 10;  // states 10..53: numeric compaction, digit count mod 44
constexpr int kStates = 54;
constexpr int kAlpha = 0, kLower = 1, kMixed = 2, kPunct = 3;
constexpr int16_t kLatchText = 900;
constexpr int16_t kShiftByte = 913;
constexpr int kPunctShift = 29, kAlphaShift = 27;
constexpr size_t kShortestNumericRun = 6;
constexpr int kMargin = 8;

// Value of each byte in each sub-mode, -1 where it has none.
struct SubModeValues
{
    std::array<std::array<int8_t, 256>, 4> value;
    SubModeValues()
    {
        for (auto& m : value)
            m.fill(-1);
        for (int i = 0; i < 26; ++i) {
            value[kAlpha]['A' + i] = static_cast<int8_t>(i);
            value[kLower]['a' + i] = static_cast<int8_t>(i);
        }
        for (int m : {kAlpha, kLower, kMixed})
            value[m][' '] = 26;
        const char* mixed = "0123456789&\r\t,:#-.$/+%*=^";
        for (int i = 0; mixed[i]; ++i)
            value[kMixed][static_cast<uint8_t>(mixed[i])] = static_cast<int8_t>(i);
        const char* punct = ";<>@[\\]_`~!\r\t,:\n-.$/\"|*()?{}'";
        for (int i = 0; punct[i]; ++i)
            value[kPunct][static_cast<uint8_t>(punct[i])] = static_cast<int8_t>(i);
    }
};

const SubModeValues& subModes()
{
    static const SubModeValues values;
    return values;
}

// Values to encode a byte from sub-mode s ending in sub-mode t, for each set
// of sub-modes that hold the byte (bit m = sub-mode m); -1 where impossible.
struct TextMoves
{
    std::array<uint8_t, 256> mask{};
    int8_t cost[4][16][4];
    int add[4][16][4];  // the same, kInf where impossible
    TextMoves();
};

const TextMoves& textMoves()
{
    static const TextMoves moves;
    return moves;
}

// The latch values from one sub-mode to another.
struct Latch
{
    int8_t count;
    int8_t v[2];
};
constexpr Latch kLatch[4][4] = {
    {{0, {}}, {1, {27}}, {1, {28}}, {2, {28, 25}}},
    {{2, {28, 28}}, {0, {}}, {1, {28}}, {2, {28, 25}}},
    {{1, {28}}, {1, {27}}, {0, {}}, {1, {25}}},
    {{1, {29}}, {2, {29, 27}}, {2, {29, 28}}, {0, {}}},
};

TextMoves::TextMoves()
{
    const auto& v = subModes().value;
    for (int c = 0; c < 256; ++c)
        for (int m = 0; m < 4; ++m)
            if (v[m][c] >= 0)
                mask[c] |= static_cast<uint8_t>(1 << m);
    for (int s = 0; s < 4; ++s)
        for (int held = 0; held < 16; ++held)
            for (int t = 0; t < 4; ++t) {
                int8_t n = -1;
                if (held & (1 << t))
                    n = static_cast<int8_t>(kLatch[s][t].count + 1);
                else if (t == s && s != kPunct && (held & (1 << kPunct)))
                    n = 2;  // punctuation shift
                else if (t == s && s == kLower && (held & (1 << kAlpha)))
                    n = 2;  // alpha shift
                cost[s][held][t] = n;
                add[s][held][t] = n < 0 ? kInf : n;
            }
}

// Extra values (doubled codewords) for the m-th digit of a numeric group of 44:
// a group of m digits takes the base-900 digits of a number below 2 x 10^m.
const std::array<int, 45>& numericStep()
{
    static const std::array<int, 45> steps = [] {
        std::array<int, 45> s{};
        int before = 0;
        for (int m = 1; m <= 44; ++m) {
            const int count
                = static_cast<int>(std::floor((m + std::log10(2.0)) / std::log10(900.0))) + 1;
            s[m] = 2 * (count - before);
            before = count;
        }
        return s;
    }();
    return steps;
}

int even(int cost)
{
    return cost + (cost & 1);
}
bool isDigit(uint8_t b)
{
    return b >= '0' && b <= '9';
}

struct Step
{
    int cost;
    uint8_t from;
};

// Keeps the cheaper of (cost, from) and the candidate, without branching.
inline void keep(int& cost, int& from, int candidate, int candidateFrom)
{
    const bool better = candidate < cost;
    cost = better ? candidate : cost;
    from = better ? candidateFrom : from;
}

// Cheapest way from each state through byte c to each state.
// Numeric states are searched only while some are reachable (`numericLive`).
// `numeric`: c is a digit of a run long enough for numeric compaction.
void relax(const std::array<int, kStates>& cost, uint8_t c, bool numericLive, bool numeric,
    std::array<Step, kStates>& next)
{
    const int states = numericLive ? kStates : kNumeric;
    const TextMoves& moves = textMoves();
    const int held = moves.mask[c];
    // Leaving a mode closes it (an odd text value count is padded); the
    // cheapest closed state for each way in is enough.
    int outOfText = kInf, outOfTextFrom = 0, outOfByte = kInf, outOfByteFrom = 0;
    int outOfNumeric = kInf, outOfNumericFrom = 0;
    for (int st = 0; st < states; ++st) {
        const int closed = even(cost[st]);
        if (st >= kByte)
            keep(outOfText, outOfTextFrom, closed, st);
        if (st < kByte || st >= kNumeric)
            keep(outOfByte, outOfByteFrom, closed, st);
        if (st < kNumeric)
            keep(outOfNumeric, outOfNumericFrom, closed, st);
    }
    for (int t = 0; t < 4; ++t) {
        int best = kInf, from = 0;
        for (int s = 0; s < 4; ++s)
            keep(best, from, cost[kText + s] + moves.add[s][held][t], kText + s);
        keep(best, from, outOfText + 2 + moves.add[kAlpha][held][t], outOfTextFrom);  // latch 900
        // A byte that sub-mode t can neither hold nor shift to goes by a byte
        // shift, at a codeword boundary; text then goes on in t. In
        // punctuation the odd-count pad would latch to alpha: not there.
        const int own = cost[kText + t];
        if (moves.cost[t][held][t] < 0 && (t != kPunct || own % 2 == 0))
            keep(best, from, even(own) + 4, kText + t);
        next[kText + t] = {std::min(best, kInf), static_cast<uint8_t>(from)};
    }
    for (int p = 0; p < 6; ++p) {
        const int phase = (p + 1) % 6;  // every sixth byte is free: 6 bytes, 5 codewords
        next[kByte + phase] = {std::min(cost[kByte + p] + (phase == 0 ? 0 : 2), kInf),
            static_cast<uint8_t>(kByte + p)};
    }
    if (outOfByte + 4 < next[kByte + 1].cost)  // latch and first byte
        next[kByte + 1] = {outOfByte + 4, static_cast<uint8_t>(outOfByteFrom)};
    if (!numeric)
        return;
    const auto& step = numericStep();
    for (int q = 0; numericLive && q < 44; ++q)
        if (cost[kNumeric + q] < kInf)
            next[kNumeric + (q + 1) % 44]
                = {cost[kNumeric + q] + step[q + 1], static_cast<uint8_t>(kNumeric + q)};
    if (outOfNumeric < kInf && outOfNumeric + 2 + step[1] < next[kNumeric + 1].cost)
        next[kNumeric + 1] = {outOfNumeric + 2 + step[1], static_cast<uint8_t>(outOfNumericFrom)};
}

// Appends the text values for byte c moving from sub-mode s to state t.
void textValues(int s, int t, uint8_t c, std::vector<int>& values)
{
    const auto& v = subModes().value;
    if (t != s || v[s][c] >= 0) {
        for (int i = 0; i < kLatch[s][t].count; ++i)
            values.push_back(kLatch[s][t].v[i]);
        values.push_back(v[t][c]);
    } else if (s != kPunct && v[kPunct][c] >= 0) {
        values.insert(values.end(), {kPunctShift, v[kPunct][c]});
    } else {
        values.insert(values.end(), {kAlphaShift, v[kAlpha][c]});
    }
}

void flushText(std::vector<int>& values, Codewords& out)
{
    if (values.size() % 2 != 0)
        values.push_back(kPunctShift);
    for (size_t i = 0; i < values.size(); i += 2)
        out.push_back(static_cast<int16_t>(30 * values[i] + values[i + 1]));
    values.clear();
}

// Runs of fewer than 6 digits never take fewer codewords in numeric
// compaction (latch, base-900 digits, latch back) than in text.
std::vector<bool> longDigitRuns(Bytes bytes)
{
    const size_t n = bytes.size();
    std::vector<bool> inLongRun(n, false);
    for (size_t i = 0; i < n;) {
        size_t end = i;
        while (end < n && isDigit(bytes[end]))
            ++end;
        if (end - i >= kShortestNumericRun)
            std::fill(inLongRun.begin() + static_cast<std::ptrdiff_t>(i),
                inLongRun.begin() + static_cast<std::ptrdiff_t>(end), true);
        i = std::max(end, i + 1);
    }
    return inLongRun;
}

// The state each byte is encoded in (path[i + 1] for byte i; path[0] is the
// starting text alpha) on a cheapest way through the data.
std::vector<uint8_t> cheapestPath(Bytes bytes)
{
    const size_t n = bytes.size();
    const std::vector<bool> inLongRun = longDigitRuns(bytes);
    std::vector<std::array<uint8_t, kStates>> from(n);
    std::array<int, kStates> cost;
    cost.fill(kInf);
    cost[kText + kAlpha] = 0;
    bool numericLive = false;
    for (size_t i = 0; i < n; ++i) {
        const bool digit = inLongRun[i];
        const int states = numericLive || digit ? kStates : kNumeric;
        std::array<Step, kStates> next;
        std::fill_n(next.begin(), states, Step{kInf, 0});
        relax(cost, bytes[i], numericLive, digit, next);
        // A state more than kMargin behind the best can never catch up: the
        // best reaches any mode and phase for at most 7 more (pad, latch,
        // sub-mode latch or a group boundary).
        int best = kInf;
        for (int st = 0; st < states; ++st)
            best = std::min(best, next[st].cost);
        for (int st = 0; st < states; ++st) {
            cost[st] = next[st].cost > best + kMargin ? kInf : next[st].cost;
            from[i][st] = next[st].from;
        }
        numericLive = digit;
    }
    int state = kText + kAlpha;
    for (int st = 0; st < kStates; ++st)
        if (even(cost[st]) < even(cost[state]))
            state = st;
    std::vector<uint8_t> path(n + 1);
    path[n] = static_cast<uint8_t>(state);
    for (size_t i = n; i > 0; --i)
        path[i - 1] = from[i - 1][path[i]];
    return path;
}

}  // namespace

Codewords autoDataCodewords(Bytes bytes)
{
    const size_t n = bytes.size();
    const std::vector<uint8_t> path = cheapestPath(bytes);
    Codewords out{0};
    std::vector<int> values;
    size_t i = 0;
    while (i < n) {
        const int st = path[i + 1];
        if (st < kByte) {
            int s = path[i] < kByte ? path[i] : kAlpha;
            if (path[i] >= kByte)
                out.push_back(kLatchText);
            for (; i < n && path[i + 1] < kByte; s = path[++i]) {
                if (path[i + 1] == s && textMoves().cost[s][textMoves().mask[bytes[i]]][s] < 0) {
                    flushText(values, out);
                    out.insert(out.end(), {kShiftByte, bytes[i]});
                } else {
                    textValues(s, path[i + 1], bytes[i], values);
                }
            }
            flushText(values, out);
            continue;
        }
        // A byte or numeric segment runs while the states continue it.
        const bool numeric = st >= kNumeric;
        size_t end = i + 1;
        while (end < n && (path[end + 1] >= kNumeric) == numeric && path[end + 1] >= kByte) {
            const int prev = path[end], cur = path[end + 1];
            const bool continues = numeric ? (cur - kNumeric) == (prev - kNumeric + 1) % 44
                                           : (cur - kByte) == (prev - kByte + 1) % 6;
            if (!continues)
                break;
            ++end;
        }
        const Bytes segment = bytes.subspan(i, end - i);
        if (numeric)
            appendNumericCompaction(segment, out);
        else
            appendByteCompaction(segment, out);
        i = end;
    }
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

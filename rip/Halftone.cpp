#include "rip/Halftone.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

namespace rip {
namespace {
constexpr int kMask = 64;
constexpr int kPassInks = 4;  // inks scanned together
constexpr int32_t kErrLimit = 4 * 65536;
// Threshold modulation: noise of 1 / 2^(kModulationShift - 15) of the level step either way.
constexpr int kModulationShift = 18;
constexpr uint32_t kNoise = 4096;  // entries of an ink's noise table

uint32_t Hash(uint32_t x)
{
    x ^= x >> 16;
    x *= 0x7feb352dU;
    x ^= x >> 15;
    x *= 0x846ca68bU;
    x ^= x >> 16;
    return x;
}

std::vector<uint16_t> GrowBlueNoise()
{
    // Void filling: each new dot goes where the Gaussian-filtered dot density is lowest; the
    // order of arrival is the threshold rank.
    constexpr int n = kMask * kMask;
    constexpr int radius = 7;
    constexpr double sigma = 1.5;
    std::vector<double> energy(n, 0.0);
    std::vector<uint16_t> mask(n, 0);
    std::vector<char> set(n, 0);
    double kernel[2 * radius + 1][2 * radius + 1];
    for (int dy = -radius; dy <= radius; ++dy)
        for (int dx = -radius; dx <= radius; ++dx)
            kernel[dy + radius][dx + radius] = std::exp(-(dx * dx + dy * dy) / (2 * sigma * sigma));
    for (int rank = 0; rank < n; ++rank) {
        int best = 0;
        if (rank == 0) {
            best = 0;
        } else {
            double low = 1e300;
            for (int i = 0; i < n; ++i)
                if (!set[i] && energy[i] < low) low = energy[i], best = i;
        }
        set[best] = 1;
        mask[best] = static_cast<uint16_t>(rank * 65536 / n + 65536 / n / 2);
        const int bx = best % kMask, by = best / kMask;
        for (int dy = -radius; dy <= radius; ++dy)
            for (int dx = -radius; dx <= radius; ++dx)
                energy[((by + dy + kMask) % kMask) * kMask + (bx + dx + kMask) % kMask] +=
                    kernel[dy + radius][dx + radius];
    }
    return mask;
}

// One ink's row in a scan: its input, error rows and noise, and the running state.
struct InkScan {
    const uint16_t* amounts;  // one per stepX printer pixels
    const int32_t* err;
    int32_t* next;
    const int16_t* noise;
    uint32_t noiseShift;
    uint8_t* out;
    bool follows;             // a darker ink of the same hue comes just before it
    bool white;               // in a run of paper white; the next-row shares are in memory
    int whiteFrom;            // the run's first pixel, in scan order
    int32_t whiteHead;        // the next-row share owed to that pixel
    int32_t carry, pendHere, pendAhead;
    int32_t t;                // tone of the current input pixel (0: paper white)
    const struct LevelPair* pair;
};

// Two neighbouring levels a pixel chooses between, lo and lo + 1, worked out once per scan.
struct LevelPair {
    int32_t lo, inkLo, inkHi, span;
    int32_t middle, raise;    // threshold without noise; raised where a darker ink has a dot
    int32_t floor;            // inside [floor, floor + reach] the pair holds; beyond, the slow path
    uint32_t reach;
};

struct LevelPairs {
    LevelPair pair[3];
    LevelPairs(const int32_t* ink, int top)
    {
        for (int lo = 0; lo < 3; ++lo) {
            LevelPair& p = pair[lo];
            const int at = std::min(lo, top - 1);
            p.lo = at, p.inkLo = ink[at], p.inkHi = ink[at + 1], p.span = p.inkHi - p.inkLo;
            p.raise = p.span >> 1;  // spans are never negative
            p.middle = p.inkLo + p.raise;
            p.floor = p.inkLo - p.span;
            p.reach = static_cast<uint32_t>(p.inkHi + p.span - p.floor);
        }
    }
};

// Ends ink s's run of paper white before pixel x: no dots there, and what the neighbours
// owe is dropped except the share for the run's first pixel. Written once per run, so the
// next-row entries need no clearing beforehand.
template <int Dir>
[[gnu::always_inline]] inline void EndWhite(InkScan& s, int x)
{
    const int from = Dir > 0 ? s.whiteFrom : x + 1, n = (x - s.whiteFrom) * Dir;
    if (n <= 0) return;
    std::memset(s.out + from, 0, static_cast<size_t>(n));
    std::memset(s.next + from, 0, static_cast<size_t>(n) * sizeof(int32_t));
    s.next[s.whiteFrom] = s.whiteHead;
}

// Sets up ink s for input pixel j, whose first printer pixel in scan order is x.
template <int Dir>
[[gnu::always_inline]] inline void EnterPixel(InkScan& s, const LevelPairs& pairs, const int32_t* ink, int top, int j,
                                              int x)
{
    s.t = s.amounts[j];
    if (s.t == 0) {
        // Paper white stays white: no dot, and the error carried along is dropped.
        if (!s.white) s.next[x - Dir] = s.pendHere, s.whiteHead = s.pendAhead, s.whiteFrom = x, s.white = true;
        s.carry = 0;
        return;
    }
    if (s.white) {
        // Resuming after paper white: the share for x - Dir is in memory, none for x yet.
        EndWhite<Dir>(s, x);
        s.pendHere = s.next[x - Dir], s.pendAhead = 0, s.white = false;
    }
    // The two levels around the pixel's own tone: lo and lo + 1.
    s.pair = &pairs.pair[top == 1 ? 0 : (s.t > ink[1]) + (s.t > ink[2])];
}

// One printer pixel x of ink s; `occupied` tells whether a darker ink of its hue has a dot
// there and gets this ink's dot. A pixel hands 7/16 of its error on, 3/16, 5/16 and 1/16 to
// the next row behind, below and ahead; those shares are summed in registers and each
// stored once.
template <int Dir>
[[gnu::always_inline]] inline void ScanPixel(InkScan& s, const int32_t* ink, int top, int x, bool& occupied)
{
    const LevelPair& p = *s.pair;
    const int32_t v = s.t + s.err[x] + s.carry;
    const int32_t noise = s.noise[(s.noiseShift + static_cast<uint32_t>(x)) & (kNoise - 1)];
    int32_t threshold = p.middle + ((noise * p.span) >> kModulationShift);
    // Raised past the upper level, the threshold would be undone by the move up beyond the
    // pair; capped, the fast path gives the same level.
    if (occupied) threshold = std::min(threshold + p.raise, p.inkHi + 1);
    int level = p.lo;
    int32_t e;
    if (static_cast<uint32_t>(v - p.floor) <= p.reach) {
        const bool up = v >= threshold;
        level += up;
        e = v - (up ? p.inkHi : p.inkLo);
    } else {
        // A large debt or credit (at an edge) may leave the pair.
        level += v >= threshold;
        while (level < top && v > ink[level] + p.span) ++level;
        while (level > 0 && v < ink[level] - p.span) --level;
        e = std::clamp(v - ink[level], -kErrLimit, kErrLimit);
    }
    s.out[x] = static_cast<uint8_t>(level);
    occupied = occupied || level != 0;
    // Shares rounded down (shifts, not divisions: a shorter chain from pixel to pixel); the
    // 1/16 share takes what rounding left, so the error is kept whole.
    const int32_t e7 = (e * 7) >> 4, e3 = (e * 3) >> 4, e5 = (e * 5) >> 4;
    s.carry = e7;
    s.next[x - Dir] = s.pendHere + e3;
    s.pendHere = s.pendAhead + e5;
    s.pendAhead = e - e7 - e3 - e5;
}

// One row of N inks in direction Dir, pixel by pixel: the inks' scans are independent
// apart from the occupancy within a hue, so the processor overlaps them.
template <int Dir, int N>
void Scan(InkScan* inks, const int32_t* ink, int top, int width, int stepX)
{
    const LevelPairs pairs(ink, top);
    InkScan s[N];
#pragma GCC unroll 4
    for (int k = 0; k < N; ++k) s[k] = inks[k];
    const int samples = (width + stepX - 1) / stepX;
    for (int i = 0; i < samples; ++i) {
        const int j = Dir > 0 ? i : samples - 1 - i;
        const int first = j * stepX, last = std::min(width, first + stepX) - 1;
        const int x0 = Dir > 0 ? first : last, end = Dir > 0 ? last + 1 : first - 1;
        bool any = false;
#pragma GCC unroll 4
        for (int k = 0; k < N; ++k) {
            EnterPixel<Dir>(s[k], pairs, ink, top, j, x0);
            any = any || s[k].t != 0;
        }
        if (!any) continue;
        for (int x = x0; x != end; x += Dir) {
            bool occupied = false;
#pragma GCC unroll 4
            for (int k = 0; k < N; ++k) {
                if (!s[k].follows) occupied = false;
                if (s[k].t != 0) ScanPixel<Dir>(s[k], ink, top, x, occupied);
            }
        }
    }
    const int last = Dir > 0 ? width - 1 : 0;
#pragma GCC unroll 4
    for (int k = 0; k < N; ++k) {
        if (s[k].white)
            EndWhite<Dir>(s[k], last + Dir);
        else
            s[k].next[last] = s[k].pendHere, s[k].next[last + Dir] = s[k].pendAhead;
    }
}

template <int Dir>
void ScanInks(InkScan* inks, int n, const int32_t* ink, int top, int width, int stepX)
{
    // Up to four inks in one loop; more are taken four at a time (hues never split).
    switch (n) {
    case 1: return Scan<Dir, 1>(inks, ink, top, width, stepX);
    case 2: return Scan<Dir, 2>(inks, ink, top, width, stepX);
    case 3: return Scan<Dir, 3>(inks, ink, top, width, stepX);
    default: return Scan<Dir, 4>(inks, ink, top, width, stepX);
    }
}
}  // namespace

DropLevels MakeDropLevels(const float drops[4], int bits, int inkLevels, bool singleDotSize)
{
    DropLevels l;
    if (bits < 2 || inkLevels < 3 || singleDotSize) {
        l.count = 1;
        l.ink[1] = l.ink[2] = l.ink[3] = 65535;
        return l;
    }
    l.count = 3;
    for (int i = 1; i < 4; ++i) l.ink[i] = static_cast<int32_t>(drops[i] * 65535.0f + 0.5f);
    return l;
}

const std::vector<uint16_t>& BlueNoiseMask()
{
    static const std::vector<uint16_t> mask = GrowBlueNoise();
    return mask;
}

InkHalftoner::InkHalftoner(HalftoneMethod method, const DropLevels& levels, int width, int stepX, uint32_t seed)
    : m_method(method), m_levels(levels), m_width(width), m_stepX(std::max(1, stepX)), m_seed(seed),
      m_err(static_cast<size_t>(width) + 2, 0), m_next(static_cast<size_t>(width) + 2, 0),
      m_noise(kNoise)
{
    for (uint32_t i = 0; i < kNoise; ++i)
        m_noise[i] = static_cast<int16_t>(static_cast<int32_t>(Hash(seed * 0x85ebca6bU + i) & 0xffff) - 32768);
    if (method == HalftoneMethod::kMask) BlueNoiseMask();
}

void InkHalftoner::Row(int y, const uint16_t* amounts, uint8_t* out)
{
    InkHalftoner* self = this;
    const int hue = 0;
    if (HalftoneInks(&self, &hue, 1, y, &amounts, &out)) std::memset(out, 0, static_cast<size_t>(m_width));
}

uint32_t HalftoneInks(InkHalftoner* const* halftoners, const int* hues, int n, int y, const uint16_t* const* amounts,
                      uint8_t* const* out)
{
    uint32_t blank = 0;
    // Inks with nothing on this row drop out: no dots, and (as paper white drops what it is
    // owed) no error for the next row either.
    InkHalftoner* live[kMaxInks];
    const uint16_t* liveAmounts[kMaxInks];
    uint8_t* liveOut[kMaxInks];
    int liveHue[kMaxInks];
    int m = 0;
    for (int i = 0; i < n; ++i) {
        InkHalftoner& h = *halftoners[i];
        const int samples = (h.m_width + h.m_stepX - 1) / h.m_stepX;
        int j = 0;
        while (j < samples && amounts[i][j] == 0) ++j;
        if (j == samples) {
            if (!h.m_errClear) std::fill(h.m_err.begin(), h.m_err.end(), 0);
            h.m_errClear = true;
            blank |= 1u << i;
            continue;
        }
        h.m_errClear = false;
        live[m] = &h, liveAmounts[m] = amounts[i], liveOut[m] = out[i], liveHue[m] = hues[i];
        ++m;
    }
    for (int first = 0; first < m;) {
        // Whole hues per pass, up to kPassInks inks (a larger hue alone).
        int count = 0;
        for (int end = first; end < m;) {
            int hueEnd = end + 1;
            while (hueEnd < m && liveHue[hueEnd] == liveHue[end]) ++hueEnd;
            if (count > 0 && hueEnd - first > kPassInks) break;
            count = hueEnd - first, end = hueEnd;
        }
        if (live[first]->m_method == HalftoneMethod::kMask)
            InkHalftoner::MaskRows(live + first, liveHue + first, count, y, liveAmounts + first, liveOut + first);
        else
            InkHalftoner::DiffuseRows(live + first, liveHue + first, count, y, liveAmounts + first, liveOut + first);
        first += count;
    }
    return blank;
}

void InkHalftoner::DiffuseRows(InkHalftoner* const* inks, const int* hues, int n, int y, const uint16_t* const* amounts,
                               uint8_t* const* out)
{
    InkScan scans[4];
    for (int k = 0; k < n; ++k) {
        InkHalftoner& h = *inks[k];
        h.m_next.front() = h.m_next.back() = 0;  // the guard a row's first pixel resumes from
        // Each row reads the ink's noise table from its own seeded offset.
        scans[k] = InkScan{amounts[k], h.m_err.data() + 1, h.m_next.data() + 1,  // guard pixel at -1 and width
                           h.m_noise.data(), Hash(h.m_seed ^ Hash(static_cast<uint32_t>(y) * 0x9e3779b9U)), out[k],
                           k > 0 && hues[k] == hues[k - 1], true, (y & 1) == 0 ? 0 : h.m_width - 1, 0, 0, 0, 0, 0, nullptr};
    }
    const InkHalftoner& h = *inks[0];
    if ((y & 1) == 0)
        ScanInks<1>(scans, n, h.m_levels.ink, h.m_levels.count, h.m_width, h.m_stepX);
    else
        ScanInks<-1>(scans, n, h.m_levels.ink, h.m_levels.count, h.m_width, h.m_stepX);
    for (int k = 0; k < n; ++k) std::swap(inks[k]->m_err, inks[k]->m_next);
}

void InkHalftoner::MaskRows(InkHalftoner* const* inks, const int* hues, int n, int y, const uint16_t* const* amounts,
                            uint8_t* const* out)
{
    const std::vector<uint16_t>& mask = BlueNoiseMask();
    const InkHalftoner& h = *inks[0];
    const int32_t* ink = h.m_levels.ink;
    const int top = h.m_levels.count;
    const uint16_t* rows[4];
    uint32_t dx[4];
    for (int k = 0; k < n; ++k) {
        // The seed shifts the tile, so inks do not share one pattern.
        const uint32_t shift = Hash(inks[k]->m_seed);
        rows[k] = mask.data() + ((static_cast<uint32_t>(y) + (shift >> 8)) % kMask) * kMask;
        dx[k] = shift & (kMask - 1);
    }
    for (int x = 0, j = 0, step = 0; x < h.m_width; ++x) {
        if (step == h.m_stepX) step = 0, ++j;
        ++step;
        bool occupied = false;
        for (int k = 0; k < n; ++k) {
            if (k == 0 || hues[k] != hues[k - 1]) occupied = false;
            const int32_t t = amounts[k][j];
            if (t == 0) {
                out[k][x] = 0;
                continue;
            }
            const int lo = top == 1 ? 0 : (t > ink[1]) + (t > ink[2]);
            const int32_t span = ink[lo + 1] - ink[lo];
            int32_t m = rows[k][(static_cast<uint32_t>(x) + dx[k]) % kMask];
            if (occupied) m = 65535 - m;  // the light ink takes the other end of the mask
            const int level = static_cast<int64_t>(t - ink[lo]) * 65536 > static_cast<int64_t>(m) * span ? lo + 1 : lo;
            out[k][x] = static_cast<uint8_t>(level);
            occupied = occupied || level != 0;
        }
    }
}

bool PackRow(const uint8_t* values, int width, int bits, uint8_t* packed)
{
    const int perByte = 8 / bits;
    const int whole = width / perByte;  // bytes with every pixel present
    uint8_t any = 0;
    if (bits == 2) {
        // Four values read as one little-endian word; the multiply moves value k to bits
        // 30 - 2k, with the cross terms all below bit 24.
        for (int b = 0; b < whole; ++b) {
            uint32_t v;
            std::memcpy(&v, values + 4 * b, 4);
            if constexpr (std::endian::native == std::endian::little)
                packed[b] = static_cast<uint8_t>(((v & 0x03030303u) * 0x40100401u) >> 24);
            else
                packed[b] = static_cast<uint8_t>(values[4 * b] << 6 | values[4 * b + 1] << 4 | values[4 * b + 2] << 2 |
                                                 values[4 * b + 3]);
        }
    } else {
        for (int b = 0; b < whole; ++b) {
            const uint8_t* v = values + 8 * b;
            packed[b] = static_cast<uint8_t>(v[0] << 7 | v[1] << 6 | v[2] << 5 | v[3] << 4 | v[4] << 3 | v[5] << 2 |
                                             v[6] << 1 | v[7]);
        }
    }
    for (int b = 0; b < whole; ++b) any |= packed[b];
    if (whole * perByte < width) {
        uint8_t v = 0;
        for (int k = 0; whole * perByte + k < width; ++k)
            v = static_cast<uint8_t>(v | (values[whole * perByte + k] << (8 - (k + 1) * bits)));
        packed[whole] = v;
        any |= v;
    }
    return any != 0;
}

}  // namespace rip

// Laying a raster line into a row of an ink plane. Without origin tracking a line is laid a
// 64-bit word of row positions at a time: each raster byte is spread by a table to the step
// between its pixels (the weave interleaves passes at steps of 1, 2, 4 or 8 columns), and a word
// that meets no dot already there is merged with an OR. Positions laid twice, origins and other
// steps take the dot-by-dot path.
#include <algorithm>
#include <array>
#include <cstring>

#include "decode/InkPlane.h"
#include "decode/LayPairs.h"
#include "decode/PackedDots.h"

namespace {
// A raster byte's pixels spread to the positions they print at, in position order in the
// low Bits bits; and per byte the count of each value, in 21-bit fields (a line of 65535 bytes
// holds at most 524280 pixels).
template <int Bpp, int Step>
struct Spreading {
    static constexpr int kPixels = 8 / Bpp;
    static constexpr int kBits = kPixels * Step * 2;
    static constexpr std::array<uint64_t, 256> Table()
    {
        std::array<uint64_t, 256> t{};
        for (unsigned b = 0; b < 256; ++b)
            for (int k = 0; k < kPixels; ++k) {
                const uint64_t v = (b >> (8 - Bpp * (k + 1))) & ((1u << Bpp) - 1);
                t[b] |= v << (kBits - 2 - 2 * k * Step);
            }
        return t;
    }
    static constexpr std::array<uint64_t, 256> kTable = Table();
};

template <int Bpp>
constexpr std::array<uint64_t, 256> CountTable()
{
    std::array<uint64_t, 256> t{};
    for (unsigned b = 0; b < 256; ++b)
        for (int k = 0; k < 8 / Bpp; ++k) {
            const unsigned v = (b >> (8 - Bpp * (k + 1))) & ((1u << Bpp) - 1);
            if (v) t[b] += uint64_t{1} << (21 * (v - 1));
        }
    return t;
}
template <int Bpp>
constexpr std::array<uint64_t, 256> kCounts = CountTable<Bpp>();

int PixelInByte(uint8_t byte, int bpp, bool last)
{
    const int perByte = 8 / bpp;
    const int mask = (1 << bpp) - 1;
    int found = -1;
    for (int k = 0; k < perByte && (last || found < 0); ++k)
        if ((byte >> (8 - bpp * (k + 1))) & mask) found = k;
    return found;
}

unsigned PixelValue(const uint8_t* line, int i, int bpp)
{
    const int perByte = 8 / bpp;
    return (line[i / perByte] >> (8 - bpp * (i % perByte + 1))) & ((1u << bpp) - 1);
}
}  // namespace

PixelSpan LineSpan(const uint8_t* line, int bytes, int bpp)
{
    PixelSpan s;
    const int j = static_cast<int>(packed::FirstNonZero(line, static_cast<size_t>(bytes)));
    if (j == bytes) return s;
    int e = bytes - 1;
    while (!line[e]) --e;
    const int perByte = 8 / bpp;
    s.first = j * perByte + PixelInByte(line[j], bpp, false);
    s.last = e * perByte + PixelInByte(line[e], bpp, true);
    return s;
}

void InkPlane::LayDot(Stored& r, size_t at, unsigned v, Counts& c)
{
    const unsigned had = packed::ValueAt(r.values, at);
    if (!had) {
        ++c.positions;
        packed::SetValue(r.values, at, v);
        return;
    }
    if (r.hits.empty()) {
        r.hits.assign(static_cast<size_t>(r.bytes) * 4, 0);
        c.grownBytes += r.hits.size();
    }
    const unsigned hits = r.hits[at] ? r.hits[at] : 1;
    c.multiply += hits == 1;
    r.hits[at] = static_cast<uint8_t>(std::min(hits + 1, 63u));
    packed::SetValue(r.values, at, std::max(had, v));
}

namespace {
// Bits appended in position order to a row's values, merged a word at a time.
template <typename Overlap>
class RowWriter {
public:
    RowWriter(uint8_t* values, uint64_t bit, Overlap& overlap)
        : m_values(values), m_word(bit / 64), m_used(static_cast<int>(bit % 64)), m_overlap(overlap)
    {
    }
    // The low n (1..64) bits of e, which holds no others.
    void Put(uint64_t e, int n)
    {
        if (m_used + n < 64) {
            m_acc |= e << (64 - m_used - n);
            m_used += n;
            return;
        }
        const int rest = m_used + n - 64;
        m_acc |= e >> rest;
        Merge();
        m_acc = rest ? e << (64 - rest) : 0;
        m_used = rest;
    }
    // A whole word: its bits straddle two of the row's words at the same offset every time.
    void PutWord(uint64_t e)
    {
        m_acc |= e >> m_used;
        Merge();
        m_acc = m_used ? e << (64 - m_used) : 0;
    }
    // Only with bits pending: a line that ends on a word's end leaves the writer past the row.
    void Finish()
    {
        if (m_acc) Merge();
    }
    uint64_t Bit() const { return m_word * 64 + static_cast<uint64_t>(m_used); }
    // Merges what is pending and goes on at `bit`: the bits between were laid by other means.
    void MoveTo(uint64_t bit)
    {
        Finish();
        m_word = bit / 64;
        m_used = static_cast<int>(bit % 64);
        m_acc = 0;
    }

private:
    void Merge()
    {
        // Merged in memory order: OR and the occupied test do not care about byte order.
        uint8_t* p = m_values + m_word * 8;
        const uint64_t put = __builtin_bswap64(m_acc);
        uint64_t had;
        std::memcpy(&had, p, 8);
        const uint64_t clash = packed::Occupied(had) & packed::Occupied(put);
        had |= put & ~(clash * 3);
        std::memcpy(p, &had, 8);
        if (clash) [[unlikely]] m_overlap(m_word, m_acc & __builtin_bswap64(clash * 3));
        ++m_word;
    }
    uint8_t* m_values;
    size_t m_word;
    int m_used;
    uint64_t m_acc = 0;
    Overlap& m_overlap;
};

// Lays bytes [first, last] of a line, the first dot at bit `bit` of the row, the lead zero
// pixels of the first byte left out; returns the line's per-value counts.
template <int Bpp, int Step, typename Overlap>
uint64_t LaySpread(uint8_t* values, uint64_t bit, const uint8_t* line, int first, int last, int lead, Overlap& overlap)
{
    using S = Spreading<Bpp, Step>;
    constexpr int kPerWord = 64 / S::kBits;
    RowWriter<Overlap> out(values, bit, overlap);
    out.Put(S::kTable[line[first]], S::kBits - lead * 2 * Step);
    uint64_t counts = kCounts<Bpp>[line[first]];
    int j = first + 1;
#ifdef RPHOTO_LAY_PAIRS
    // Where each raster byte lands on whole row bytes, sixteen raster bytes at a time; never the
    // last byte, whose trailing pixels may lie past the row's end.
    if constexpr (Bpp == 2 && Step == 2) {
        const uint64_t at = out.Bit();
        const int n = (last - j) / 16 * 16;
        if (n > 0 && (at % 8 == 0 || at % 8 == 2)) {
            out.MoveTo(at + uint64_t{16} * static_cast<uint64_t>(n));
            auto clash = [&](size_t byte, uint8_t bits) {
                overlap(byte / 8, uint64_t{bits} << (56 - 8 * (byte % 8)));
            };
            counts += lay_pairs::Lay(values + at / 8, at / 8, line + j, n, static_cast<int>(at % 8), clash);
            j += n;
        }
    }
#endif
    // Halftoned content repeats: a group of raster bytes equal to the one before spreads and
    // counts as it did.
    uint64_t group = 0, word = 0, groupCounts = 0;
    for (; j + kPerWord <= last + 1; j += kPerWord) {
        uint64_t bytes = 0;
        std::memcpy(&bytes, line + j, kPerWord);
        if (bytes != group || j == first + 1) {
            group = bytes;
            groupCounts = 0;
            if constexpr (Bpp == 2 && Step == 1) {
                word = packed::LoadWord(line + j);  // already the row's layout
            } else {
                word = 0;
                for (int k = 0; k < kPerWord; ++k) word |= S::kTable[line[j + k]] << (64 - (k + 1) * S::kBits);
            }
            for (int k = 0; k < kPerWord; ++k) groupCounts += kCounts<Bpp>[line[j + k]];
        }
        counts += groupCounts;
        out.PutWord(word);
    }
    for (; j <= last; ++j) {
        out.Put(S::kTable[line[j]], S::kBits);
        counts += kCounts<Bpp>[line[j]];
    }
    out.Finish();
    return counts;
}
}  // namespace

// True when a byte of pixels spreads to whole fractions of a 64-bit word.
static bool WordWide(int bpp, int32_t step)
{
    return step == 1 || step == 2 || step == 4 || (step == 8 && bpp == 2);
}

void InkPlane::LayWords(Stored& r, int64_t at, int32_t step, const uint8_t* line, int bpp, PixelSpan dots,
                        Counts& c)
{
    const int perByte = 8 / bpp;
    const int first = dots.first / perByte, last = dots.last / perByte, lead = dots.first % perByte;
    const uint64_t bit = static_cast<uint64_t>(at + int64_t{dots.first} * step) * 2;
    uint64_t overlapped = 0;
    // Dots landing where a dot is already: counted and merged one by one.
    auto overlap = [&](size_t word, uint64_t clashing) {
        for (int i = 0; i < 32; ++i) {
            const unsigned v = (clashing >> (62 - 2 * i)) & 3;
            if (!v) continue;
            ++overlapped;
            LayDot(r, word * 32 + static_cast<size_t>(i), v, c);
        }
    };
    uint8_t* values = r.values;
    uint64_t counts = 0;
    switch (bpp * 16 + step) {
    case 0x21: counts = LaySpread<2, 1>(values, bit, line, first, last, lead, overlap); break;
    case 0x22: counts = LaySpread<2, 2>(values, bit, line, first, last, lead, overlap); break;
    case 0x24: counts = LaySpread<2, 4>(values, bit, line, first, last, lead, overlap); break;
    case 0x28: counts = LaySpread<2, 8>(values, bit, line, first, last, lead, overlap); break;
    case 0x11: counts = LaySpread<1, 1>(values, bit, line, first, last, lead, overlap); break;
    case 0x12: counts = LaySpread<1, 2>(values, bit, line, first, last, lead, overlap); break;
    default: counts = LaySpread<1, 4>(values, bit, line, first, last, lead, overlap); break;
    }
    constexpr uint64_t kField = (uint64_t{1} << 21) - 1;
    uint64_t laid = 0;
    for (int v = 1; v < 4; ++v) {
        c.dots[v] += (counts >> (21 * (v - 1))) & kField;
        laid += (counts >> (21 * (v - 1))) & kField;
    }
    c.positions += laid - overlapped;
}

void InkPlane::LayPixels(Stored& r, int64_t at, int32_t step, const uint8_t* line, int bpp, PixelSpan dots,
                         DotOrigin origin, Counts& c)
{
    for (int i = dots.first; i <= dots.last; ++i) {
        const unsigned v = PixelValue(line, i, bpp);
        if (!v) continue;
        const size_t pos = static_cast<size_t>(at + int64_t{i} * step);
        LayDot(r, pos, v, c);
        if (m_trackOrigins) r.origins[pos] = origin;
        ++c.dots[v];
    }
}

LaidLine InkPlane::LayLine(int32_t row, int32_t col, int32_t step, const uint8_t* line, int bpp, PixelSpan dots,
                           DotOrigin origin)
{
    if (row < 0 || static_cast<size_t>(row) >= m_rows.size() || dots.first < 0) return {};
    Stored& r = m_rows[row];
    const int64_t at = int64_t{col} - r.first;
    Counts c;
    if (!m_trackOrigins && WordWide(bpp, step))
        LayWords(r, at, step, line, bpp, dots, c);
    else
        LayPixels(r, at, step, line, bpp, dots, origin, c);
    for (int v = 1; v < 4; ++v) m_dots[v] += c.dots[v];
    m_positions += c.positions;
    m_multiply += c.multiply;
    m_width = std::max(m_width, static_cast<int32_t>(int64_t{col} + int64_t{dots.last} * step + 1));
    m_height = std::max(m_height, row + 1);
    m_left = std::min(m_left, static_cast<int32_t>(int64_t{col} + int64_t{dots.first} * step));
    m_top = std::min(m_top, row);
    return {c.dots[1] + c.dots[2] + c.dots[3], c.grownBytes};
}

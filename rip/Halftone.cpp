#include "rip/Halftone.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace rip {
namespace {
constexpr int kMask = 64;
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

struct ScanRow {
    const int32_t* tone;
    int32_t* err;
    int32_t* next;
    const int16_t* noise;
    uint32_t noiseShift;
    const int32_t* ink;
    int top;
    int width;
    uint8_t* occupied;
    uint8_t* out;
};

template <int Dir, bool Occupied>
void Scan(const ScanRow& r)
{
    const int32_t* ink = r.ink;
    const int top = r.top;
    int32_t* err = r.err;
    int32_t* next = r.next;
    int32_t carry = 0;
    int x = Dir > 0 ? 0 : r.width - 1;
    for (int i = 0; i < r.width; ++i, x += Dir) {
        const int32_t t = r.tone[x];
        if (t == 0) {
            // Paper white stays white: no dot, and what the neighbours owe is dropped here.
            r.out[x] = 0;
            carry = 0;
            continue;
        }
        const int32_t v = t + err[x] + carry;
        // The two levels around the pixel's own tone: lo and lo + 1.
        const int lo = top == 1 ? 0 : (t > ink[1]) + (t > ink[2]);
        const int32_t span = ink[lo + 1] - ink[lo];
        const int32_t noise = r.noise[(r.noiseShift + static_cast<uint32_t>(x)) & (kNoise - 1)];
        int32_t threshold = ink[lo] + span / 2 + static_cast<int32_t>((static_cast<int64_t>(noise) * span) >> kModulationShift);
        if (Occupied && r.occupied[x]) threshold += span / 2;
        int level = v >= threshold ? lo + 1 : lo;
        // A large debt or credit (at an edge) may leave the pair.
        while (level < top && v > ink[level] + span) ++level;
        while (level > 0 && v < ink[level] - span) --level;
        r.out[x] = static_cast<uint8_t>(level);
        if (Occupied && level) r.occupied[x] = 1;
        const int32_t e = std::clamp(v - ink[level], -kErrLimit, kErrLimit);
        const int32_t e7 = e * 7 / 16, e3 = e * 3 / 16, e5 = e * 5 / 16;
        carry = e7;
        next[x - Dir] += e3;
        next[x] += e5;
        next[x + Dir] += e - e7 - e3 - e5;
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
      m_tone(static_cast<size_t>(width)), m_noise(kNoise)
{
    for (uint32_t i = 0; i < kNoise; ++i)
        m_noise[i] = static_cast<int16_t>(static_cast<int32_t>(Hash(seed * 0x85ebca6bU + i) & 0xffff) - 32768);
    if (method == HalftoneMethod::kMask) BlueNoiseMask();
}

void InkHalftoner::Row(int y, const uint16_t* amounts, uint8_t* occupied, uint8_t* out)
{
    // A row without this ink: no dots, and (as paper white drops what it is owed) no error
    // for the next row either.
    const int samples = (m_width + m_stepX - 1) / m_stepX;
    int j = 0;
    while (j < samples && amounts[j] == 0) ++j;
    if (j == samples) {
        std::memset(out, 0, static_cast<size_t>(m_width));
        std::fill(m_err.begin(), m_err.end(), 0);
        return;
    }
    if (m_method == HalftoneMethod::kMask)
        MaskRow(y, amounts, occupied, out);
    else
        DiffuseRow(y, amounts, occupied, out);
}

void InkHalftoner::DiffuseRow(int y, const uint16_t* amounts, uint8_t* occupied, uint8_t* out)
{
    const int32_t* ink = m_levels.ink;
    const int top = m_levels.count;
    // The tone of each printer pixel, once per row, so the scan needs no division.
    int32_t* tone = m_tone.data();
    for (int x = 0, j = 0; x < m_width; ++j)
        for (int k = 0; k < m_stepX && x < m_width; ++k) tone[x++] = amounts[j];
    int32_t* err = m_err.data() + 1;    // guard pixel at -1 and width
    int32_t* next = m_next.data() + 1;
    std::fill(m_next.begin(), m_next.end(), 0);
    // Each row reads the ink's noise table from its own seeded offset.
    const ScanRow row{tone, err, next, m_noise.data(), Hash(m_seed ^ Hash(static_cast<uint32_t>(y) * 0x9e3779b9U)),
                      ink, top, m_width, occupied, out};
    // One compiled loop per direction and occupancy, so the scan itself carries no such tests.
    if ((y & 1) == 0)
        occupied ? Scan<1, true>(row) : Scan<1, false>(row);
    else
        occupied ? Scan<-1, true>(row) : Scan<-1, false>(row);
    next[-1] = next[m_width] = 0;
    std::swap(m_err, m_next);
}

void InkHalftoner::MaskRow(int y, const uint16_t* amounts, uint8_t* occupied, uint8_t* out)
{
    const int32_t* ink = m_levels.ink;
    const int top = m_levels.count;
    const std::vector<uint16_t>& mask = BlueNoiseMask();
    // The seed shifts the tile, so inks do not share one pattern.
    const uint32_t shift = Hash(m_seed);
    const uint16_t* row = mask.data() + ((static_cast<uint32_t>(y) + (shift >> 8)) % kMask) * kMask;
    const uint32_t dx = shift & (kMask - 1);
    for (int x = 0, j = 0, k = 0; x < m_width; ++x) {
        const int32_t t = amounts[j];
        if (++k == m_stepX) k = 0, ++j;
        if (t == 0) {
            out[x] = 0;
            continue;
        }
        const int lo = top == 1 ? 0 : (t > ink[1]) + (t > ink[2]);
        const int32_t span = ink[lo + 1] - ink[lo];
        int32_t m = row[(static_cast<uint32_t>(x) + dx) % kMask];
        if (occupied && occupied[x]) m = 65535 - m;  // the light ink takes the other end of the mask
        const int level = static_cast<int64_t>(t - ink[lo]) * 65536 > static_cast<int64_t>(m) * span ? lo + 1 : lo;
        out[x] = static_cast<uint8_t>(level);
        if (level && occupied) occupied[x] = 1;
    }
}

bool PackRow(const uint8_t* values, int width, int bits, uint8_t* packed)
{
    const int perByte = 8 / bits;
    const int bytes = (width * bits + 7) / 8;
    uint8_t any = 0;
    for (int b = 0; b < bytes; ++b) {
        uint8_t v = 0;
        const int x0 = b * perByte;
        const int n = std::min(perByte, width - x0);
        for (int k = 0; k < n; ++k) v = static_cast<uint8_t>(v | (values[x0 + k] << (8 - (k + 1) * bits)));
        packed[b] = v;
        any |= v;
    }
    return any != 0;
}

}  // namespace rip

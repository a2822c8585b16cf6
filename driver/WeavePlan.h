// The weave's plan: states, feeds, passes per band and which pixels a nozzle row takes.
// Pure arithmetic on integers, kept apart from the band buffer and from command output.
#pragma once
#include "devparms/Head.h"
#include <cstddef>
#include <cstdint>
#include <vector>

namespace weave {

using ::kNozzles;  // nozzles per colour; also a divisor of the weave

enum State { kFirstBand = 1, kRampUp = 2, kSteady = 3, kOff = 4 };

// Weave fields as set when the weave starts (or is switched off).
struct Settings {
    int state = kFirstBand;
    int feed = 0;             // lines per band advance
    int firstBandFactor = 1;
    int weaveRatio = 1;
    int fullCopyRows = kNozzles;
    int selectDivisor = 1;
    int rampLines = 0;        // lines
};

// Feed of the first band and of the ramp-up: 10 lines at vp 3 or 6, else 9.
constexpr int StartFeed(int vp) { return (vp == 3 || vp == 6) ? 10 : 9; }

// Feed of the steady state: q = bandLines / ratio rounded up to a multiple of vp, minus vp,
// plus 1, so that the interleave phase moves on by one line every band.
constexpr int SteadyFeed(int bandLines, int ratio, int vp)
{
    const int q = bandLines / ratio;
    return (q + vp - 1) / vp * vp - vp + 1;
}

// The ratio the weave runs with. The formulas hold from vp to 180 x vp; below vp a line
// would leave the band before every interleave phase reached it, so vp + 1 is used instead;
// above 180 x vp the steady feed would drop below 1, so the ratio is held at 180 x vp.
constexpr int EffectiveWeaveRatio(int configured, int vp)
{
    if (configured < vp || configured < 1) return vp + 1;
    if (configured > kNozzles * vp) return kNozzles * vp;
    return configured;
}

// The weave's fields when it starts with `ratio` (already effective) on a band of bandLines.
Settings Start(int bandLines, int vp, int ratio);
// The weave's fields with the weave off: whole bands, every interleave pass.
Settings Off(int bandLines);

// State and feed after a printed band. bandCount counts bands advanced since the start.
struct Step {
    int state;
    int feed;
};
Step AfterBand(int state, int feed, int bandCount, int rampLines, int bandLines, int ratio, int vp);

// Interleave passes a band prints.
int PassesPerBand(int weaveOn, int state, int vp, int firstBandFactor, int leadingEmptyRows, int bandLines);

// The paper advance of a band: the weave's feed, varied by the band count at vp 1 (less 0,
// 3, 2, 1 in turn, at least 1), and never more than the lines held.
int BandFeed(int feed, int vp, int bandCount, int bandRows);

// Nozzle rows of interleave pass p whose band lines lie among the first `lines`: the rows k
// with p + k x vp < lines.
constexpr int PassRows(int lines, int p, int vp) { return lines > p ? (lines - p + vp - 1) / vp : 0; }

// Rescue: the band advance drops lines 0..feed-1 (feed from BandFeed). A line among them that
// still holds ink is printed before the advance by a rescue pass of its interleave pass p,
// which takes nozzle rows 0..RescueRows-1 whole: exactly the leaving lines of that pass.
constexpr int RescueRows(int feed, int p, int vp)
{
    const int rows = PassRows(feed, p, vp);
    return rows < kNozzles ? rows : kNozzles;
}

// Divisor N of nozzle row k: a pixel is taken when its draw mod N is 0.
int RowDivisor(int k, int selectDivisor);
// Seed of the draw for horizontal pass h, nozzle row k, trimmed byte j and pixel mask m
// (unsigned 32-bit, wrapping).
constexpr uint32_t PixelSeed(int h, int k, int j, unsigned m)
{
    return ((static_cast<uint32_t>(h) * 256u + static_cast<uint32_t>(k)) * 256u + static_cast<uint32_t>(j)) * 256u + m;
}
// Whether the pixel with this seed is taken by a row of divisor n.
bool PixelTaken(uint32_t seed, int n);

// The byte masks of the pixels each weaving nozzle row takes, computed once per geometry:
// a draw depends only on its seed, so it is the same for every band, colour and pass.
class SelectionMasks {
public:
    // Prepares masks for rows fromRow..179, bytes 0..rowBytes-1 and hp horizontal passes.
    // Throws std::bad_alloc when the table cannot be held.
    void Prepare(int hp, int rowBytes, int bitsPerPixel, int selectDivisor, int fromRow);
    // Mask for byte j (counted from the trimmed start) of nozzle row k of pass h.
    const uint8_t* Row(int h, int k) const
    {
        return m_masks.data() + (static_cast<std::size_t>(h) * (kNozzles - m_fromRow) + static_cast<std::size_t>(k - m_fromRow)) *
                                    static_cast<std::size_t>(m_rowBytes);
    }
    void Release();

private:
    std::vector<uint8_t> m_masks;
    int m_hp = 0, m_rowBytes = -1, m_bits = 0, m_divisor = 0, m_fromRow = kNozzles;
};

}  // namespace weave

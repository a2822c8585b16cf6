// The weave's plan: the state machine, feeds, pass counts and the seeded pixel draw.
#include "driver/WeavePlan.h"

// The draw is the Microsoft C runtime's first rand() after srand(seed).
#include "host/Platform.h"

namespace weave {

Settings Start(int bandLines, int vp, int ratio)
{
    Settings s;
    s.state = kFirstBand;
    s.weaveRatio = ratio;
    s.feed = StartFeed(vp);
    s.firstBandFactor = bandLines / s.feed;
    s.selectDivisor = ratio / vp;
    s.fullCopyRows = (vp * kNozzles) / ratio;
    s.rampLines = bandLines / ratio;
    return s;
}

Settings Off(int bandLines)
{
    Settings s;
    s.state = kOff;
    s.firstBandFactor = 1;
    s.weaveRatio = 1;
    s.feed = bandLines;
    s.fullCopyRows = kNozzles;
    s.selectDivisor = 1;
    return s;
}

Step AfterBand(int state, int feed, int bandCount, int rampLines, int bandLines, int ratio, int vp)
{
    if (state == kFirstBand) return {kRampUp, feed};
    if (state == kRampUp && bandCount * feed >= rampLines) return {kSteady, SteadyFeed(bandLines, ratio, vp)};
    return {state, feed};
}

int PassesPerBand(int weaveOn, int state, int vp, int firstBandFactor, int leadingEmptyRows, int bandLines)
{
    if (!weaveOn) return vp;
    if (state == kFirstBand) return firstBandFactor * leadingEmptyRows < bandLines * vp ? vp : 1;
    return 1;
}

int BandFeed(int feed, int vp, int bandCount, int bandRows)
{
    if (vp == 1) {
        feed -= (7 * bandCount) % 4;
        if (feed < 1) feed = 1;
    }
    return feed < bandRows ? feed : bandRows;
}

int RowDivisor(int k, int selectDivisor)
{
    return static_cast<int>((k + kNozzles) * selectDivisor / 180.0 + 0.5);
}

bool PixelTaken(uint32_t seed, int n) { return n <= 1 || msvc_first_rand(seed) % n == 0; }

void SelectionMasks::Prepare(int hp, int rowBytes, int bitsPerPixel, int selectDivisor, int fromRow)
{
    if (fromRow < 0) fromRow = 0;
    if (hp == m_hp && rowBytes == m_rowBytes && bitsPerPixel == m_bits && selectDivisor == m_divisor &&
        fromRow >= m_fromRow)
        return;
    Release();
    if (fromRow >= kNozzles || rowBytes <= 0) return;
    m_masks.assign(static_cast<size_t>(hp) * static_cast<size_t>(kNozzles - fromRow) * static_cast<size_t>(rowBytes), 0);
    m_hp = hp;
    m_rowBytes = rowBytes;
    m_bits = bitsPerPixel;
    m_divisor = selectDivisor;
    m_fromRow = fromRow;
    const unsigned pixelMask = bitsPerPixel == 2 ? 0xC0u : 0x80u;
    for (int h = 0; h < hp; ++h)
        for (int k = fromRow; k < kNozzles; ++k) {
            const int n = RowDivisor(k, selectDivisor);
            uint8_t* row = m_masks.data() + (static_cast<size_t>(h) * (kNozzles - fromRow) + static_cast<size_t>(k - fromRow)) *
                                                static_cast<size_t>(rowBytes);
            for (int j = 0; j < rowBytes; ++j) {
                uint8_t taken = 0;
                for (unsigned m = pixelMask; m != 0; m >>= bitsPerPixel)
                    if (PixelTaken(PixelSeed(h, k, j, m), n)) taken = static_cast<uint8_t>(taken | m);
                row[j] = taken;
            }
        }
}

void SelectionMasks::Release()
{
    std::vector<uint8_t>().swap(m_masks);
    m_hp = 0;
    m_rowBytes = -1;
    m_bits = 0;
    m_divisor = 0;
    m_fromRow = kNozzles;
}

}  // namespace weave

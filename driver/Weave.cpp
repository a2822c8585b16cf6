// The weave as the driver runs it: its fields, the cutting of a pass out of the band and
// the blanking of nozzles marked broken. The policy itself is in WeavePlan.
#include <cstring>
#include <new>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "driver/CEpsonRPhotoBase.h"
#include "host/Platform.h"

void CEpsonRPhotoBase::UpdateWeave(int bInit)
{
    const int vp = m_nVPasses;
    weave::Settings s;
    if (!m_bEnableWeave) {
        // Recomputed at every output start too, so a later output at another resolution
        // feeds by its own band.
        if (m_nWeaveState != weave::kFirstBand && !bInit) return;
        s = weave::Off(m_nBandLines);
    } else if (bInit) {
        const int configured = m_pPrintEnv ? m_pPrintEnv->GetInt("WeaveRatio", 6) : 6;
        s = weave::Start(m_nBandLines, vp, weave::EffectiveWeaveRatio(configured, vp));
        m_nBandCount = 0;
        m_nRampLines = s.rampLines;
    } else {
        const weave::Step step = weave::AfterBand(m_nWeaveState, m_nFeed, m_nBandCount, m_nRampLines, m_nBandLines,
                                                  m_nWeaveRatio, vp);
        m_nWeaveState = step.state;
        m_nFeed = step.feed;
        return;
    }
    m_nWeaveState = s.state;
    m_nFeed = s.feed;
    m_nFirstBandFactor = s.firstBandFactor;
    m_nWeaveRatio = s.weaveRatio;
    m_nFullCopyRows = s.fullCopyRows;
    m_nSelectDivisor = s.selectDivisor;
}

namespace {
uint64_t Load(const unsigned char* p)
{
    uint64_t w;
    std::memcpy(&w, p, sizeof w);
    return w;
}

// 1 + the index of the last nonzero byte of row[from..to), or `from` when there is none.
int EndOfInk(const unsigned char* row, int from, int to)
{
    int j = to;
    for (; j - 8 >= from; j -= 8)
        if (const uint64_t w = Load(row + j - 8)) return j - __builtin_clzll(w) / 8;
    for (; j > from; --j)
        if (row[j - 1]) return j;
    return from;
}

// Index of the first nonzero byte of row[0..to), or `to` when there is none.
int StartOfInk(const unsigned char* row, int to)
{
    int j = 0;
    for (; j + 8 <= to; j += 8)
        if (const uint64_t w = Load(row + j)) return j + __builtin_ctzll(w) / 8;
    for (; j < to; ++j)
        if (row[j]) return j;
    return to;
}

// Trim of the rows (nullptr: a row holding nothing): right is 1 + the highest byte index
// holding ink (0 when none), left the lowest below it.
void TrimRows(unsigned char* const* rows, int nRows, int rowBytes, int& left, int& right)
{
    for (int k = 0; k < nRows; ++k)
        if (rows[k]) __builtin_prefetch(rows[k] + rowBytes - 1);  // all misses at once
    right = 0;
    for (int k = 0; k < nRows && right < rowBytes; ++k)
        if (rows[k]) right = EndOfInk(rows[k], right, rowBytes);
    left = right;
    for (int k = 0; k < nRows && left > 0; ++k)
        if (rows[k]) left = StartOfInk(rows[k], left);
}

// Whether any of row[0..n) holds ink: 64 bytes per test, as most rows tested hold none.
bool AnyInk(const unsigned char* row, int n)
{
    int j = 0;
    for (; j + 64 <= n; j += 64) {
        uint64_t any = 0;
        for (int k = 0; k < 64; k += 8) any |= Load(row + j + k);
        if (any) return true;
    }
    return StartOfInk(row + j, n - j) < n - j;
}

// Band rows are far apart and short, too short for the hardware to see a stream in time: the
// row kAhead rows further is asked for while this one is cut.
constexpr int kAhead = 2;

void PrefetchBytes(const unsigned char* p, int n)
{
    for (int j = 0; j < n; j += 64) __builtin_prefetch(p + j, 1);
}

// The taken pixels of n bytes go to d and leave s, sixteen (SSE2) or eight bytes at a time.
void TakeMasked(unsigned char* d, unsigned char* s, const uint8_t* taken, int n)
{
    int j = 0;
#ifdef __SSE2__
    for (; j + 16 <= n; j += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + j));
        const __m128i t = _mm_loadu_si128(reinterpret_cast<const __m128i*>(taken + j));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + j), _mm_and_si128(v, t));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(s + j), _mm_andnot_si128(t, v));
    }
#endif
    for (; j + 8 <= n; j += 8) {
        const uint64_t v = Load(s + j), t = Load(taken + j), out = v & t, keep = v & ~t;
        std::memcpy(d + j, &out, 8);
        std::memcpy(s + j, &keep, 8);
    }
    for (; j < n; ++j) {
        d[j] = static_cast<unsigned char>(s[j] & taken[j]);
        s[j] = static_cast<unsigned char>(s[j] & ~taken[j]);
    }
}
}  // namespace

void CEpsonRPhotoBase::SelectPassPixels(unsigned char* pDest, int nVPass, int nHPass, int nColor, int nSize)
{
    const uint32_t t0 = TraceTicks();
    const int prb = m_nPassRowBytes;
    int rows = weave::PassRows(m_nBandRows, nVPass, m_nVPasses);  // nozzle rows whose band line is held
    if (rows > kNozzles) rows = kNozzles;
    unsigned char* src[kNozzles];
    PassRowPointers(src, rows, nVPass, nHPass, nColor);

    int left = 0, right = 0;
    TrimRows(src, rows, prb, left, right);
    m_nDataBytes = right;
    if (right > 0) {
        m_nDataOffset = left;
        m_nDataBytes = right - left;
        const int n = m_nDataBytes;
        const bool weaving = m_bEnableWeave && m_nFullCopyRows < rows;
        if (weaving) {
            try {
                m_selection.Prepare(m_nHPasses, prb, m_nBitsPerPixel, m_nSelectDivisor, m_nFullCopyRows);
            } catch (const std::bad_alloc&) {
                m_bBandAllocFailed = 1;
                m_nDataBytes = 0;
                return;
            }
        }
        for (int k = 0; k < rows; ++k) {
            if (k + kAhead < rows && src[k + kAhead]) PrefetchBytes(src[k + kAhead] + m_nDataOffset, n);
            unsigned char* d = pDest + static_cast<size_t>(k) * n;
            if (!src[k]) {
                std::memset(d, 0, static_cast<size_t>(n));
                continue;
            }
            unsigned char* s = src[k] + m_nDataOffset;
            if (!m_bEnableWeave || k < m_nFullCopyRows) {
                // The whole remaining line prints now and leaves the band.
                std::memcpy(d, s, static_cast<size_t>(n));
                SpendLine(nVPass + k * m_nVPasses, nHPass, nColor, s, n);
            } else {
                TakeMasked(d, s, m_selection.Row(nHPass, k), n);
            }
        }
    }
    if (m_bTraceRealTime) m_dwSelectTime += GetTickCount() - t0;
}

bool CEpsonRPhotoBase::LeavingRowsHoldInk(int nVPass, int nRows)
{
    for (int h = 0; h < m_nHPasses; ++h)
        for (int c = 0; c < m_nColors; ++c)
            for (int k = 0; k < nRows; ++k) {
                const unsigned char* ink = LineInk(nVPass + k * m_nVPasses, h, c);
                if ((!ink || *ink == kLineInked) && AnyInk(GetBandRowPtr(k, nVPass, h, c, 0), m_nPassRowBytes)) return true;
            }
    return false;
}

void CEpsonRPhotoBase::CutRescueRows(unsigned char* pDest, int nVPass, int nHPass, int nColor, int nRows)
{
    const uint32_t t0 = TraceTicks();
    unsigned char* src[kNozzles];
    PassRowPointers(src, nRows, nVPass, nHPass, nColor);
    int left = 0, right = 0;
    TrimRows(src, nRows, m_nPassRowBytes, left, right);
    m_nDataBytes = right;
    if (right > 0) {
        // Every one of these lines leaves the band at this advance: all it holds prints now.
        m_nDataOffset = left;
        m_nDataBytes = right - left;
        const size_t n = static_cast<size_t>(m_nDataBytes);
        for (int k = 0; k < nRows; ++k) {
            unsigned char* d = pDest + static_cast<size_t>(k) * n;
            if (!src[k]) {
                std::memset(d, 0, n);
                continue;
            }
            std::memcpy(d, src[k] + left, n);
            SpendLine(nVPass + k * m_nVPasses, nHPass, nColor, src[k] + left, m_nDataBytes);
        }
    }
    if (m_bTraceRealTime) m_dwSelectTime += GetTickCount() - t0;
}

void CEpsonRPhotoBase::SpendLine(int nLine, int nHPass, int nColor, unsigned char* from, int n)
{
    if (unsigned char* ink = LineInk(nLine, nHPass, nColor))
        *ink = kLineSpent;  // left as it is: the next load overwrites it
    else
        std::memset(from, 0, static_cast<size_t>(n));
}

void CEpsonRPhotoBase::MaskBrokenNozzles(unsigned char* pData, int, int)
{
    if (!m_bEnableBrokenNozzles) return;
    for (int k = 0; k < kNozzles && m_nVPasses * k < m_nBandRows; ++k)
        if (m_abBrokenNozzle[k]) std::memset(pData + static_cast<size_t>(k) * m_nDataBytes, 0, static_cast<size_t>(m_nDataBytes));
}

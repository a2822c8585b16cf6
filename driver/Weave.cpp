// The weave as the driver runs it: its fields, the cutting of a pass out of the band and
// the blanking of nozzles marked broken. The policy itself is in WeavePlan.
#include <cstring>
#include <new>

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
// Trim of `rows` rows of rowBytes bytes, `pitch` apart: right is 1 + the highest byte index
// holding ink (0 when none), left the lowest below it (the scan stops once it reaches 0).
void TrimRows(const unsigned char* src, int rows, int rowBytes, size_t pitch, int& left, int& right)
{
    right = 0;
    for (int k = 0; k < rows; ++k) {
        const unsigned char* row = src + static_cast<size_t>(k) * pitch;
        for (int j = rowBytes - 1; j >= right; --j)
            if (row[j]) {
                right = j + 1;
                break;
            }
    }
    left = right;
    for (int k = 0; k < rows && left > 0; ++k) {
        const unsigned char* row = src + static_cast<size_t>(k) * pitch;
        for (int j = 0; j < left; ++j)
            if (row[j]) {
                left = j;
                break;
            }
    }
}
}  // namespace

void CEpsonRPhotoBase::SelectPassPixels(unsigned char* pDest, int nVPass, int nHPass, int nColor, int nSize)
{
    const uint32_t t0 = TraceTicks();
    std::memset(pDest, 0, static_cast<size_t>(nSize));
    unsigned char* src = GetBandRowPtr(0, nVPass, nHPass, nColor, nSize);
    const int vp = m_nVPasses;
    const int prb = m_nPassRowBytes;
    int rows = 0;  // nozzle rows whose band line is held
    while (rows < kNozzles && nVPass + rows * vp < m_nBandRows) ++rows;

    int left = 0, right = 0;
    TrimRows(src, rows, prb, static_cast<size_t>(prb), left, right);
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
            unsigned char* s = src + static_cast<size_t>(k) * prb + m_nDataOffset;
            unsigned char* d = pDest + static_cast<size_t>(k) * n;
            if (!m_bEnableWeave || k < m_nFullCopyRows) {
                // The whole remaining line prints now and leaves the band.
                std::memcpy(d, s, static_cast<size_t>(n));
                std::memset(s, 0, static_cast<size_t>(n));
            } else {
                const uint8_t* taken = m_selection.Row(nHPass, k);
                for (int j = 0; j < n; ++j) {
                    d[j] = static_cast<unsigned char>(s[j] & taken[j]);
                    s[j] = static_cast<unsigned char>(s[j] & ~taken[j]);
                }
            }
        }
    }
    if (m_bTraceRealTime) m_dwSelectTime += GetTickCount() - t0;
}

bool CEpsonRPhotoBase::LeavingRowsHoldInk(int nVPass, int nRows)
{
    const size_t bytes = static_cast<size_t>(nRows) * static_cast<size_t>(m_nPassRowBytes);
    for (int h = 0; h < m_nHPasses; ++h)
        for (int c = 0; c < m_nColors; ++c) {
            const unsigned char* src = GetBandRowPtr(0, nVPass, h, c, 0);
            for (size_t i = 0; i < bytes; ++i)
                if (src[i]) return true;
        }
    return false;
}

void CEpsonRPhotoBase::CutRescueRows(unsigned char* pDest, int nVPass, int nHPass, int nColor, int nRows)
{
    const uint32_t t0 = TraceTicks();
    unsigned char* src = GetBandRowPtr(0, nVPass, nHPass, nColor, 0);
    const int prb = m_nPassRowBytes;
    int left = 0, right = 0;
    TrimRows(src, nRows, prb, static_cast<size_t>(prb), left, right);
    m_nDataBytes = right;
    if (right > 0) {
        // Every one of these lines leaves the band at this advance: all it holds prints now.
        m_nDataOffset = left;
        m_nDataBytes = right - left;
        const size_t n = static_cast<size_t>(m_nDataBytes);
        for (int k = 0; k < nRows; ++k) {
            unsigned char* s = src + static_cast<size_t>(k) * prb + left;
            std::memcpy(pDest + static_cast<size_t>(k) * n, s, n);
            std::memset(s, 0, n);
        }
    }
    if (m_bTraceRealTime) m_dwSelectTime += GetTickCount() - t0;
}

void CEpsonRPhotoBase::MaskBrokenNozzles(unsigned char* pData, int, int)
{
    if (!m_bEnableBrokenNozzles) return;
    for (int k = 0; k < kNozzles && m_nVPasses * k < m_nBandRows; ++k)
        if (m_abBrokenNozzle[k]) std::memset(pData + static_cast<size_t>(k) * m_nDataBytes, 0, static_cast<size_t>(m_nDataBytes));
}

// Row loading: one data row of every colour plane enters the band.
#include "driver/CEpsonRPhotoBase.h"
#include "host/Platform.h"

int CEpsonRPhotoBase::OutputDataRow()
{
    const uint32_t t0 = TraceTicks();
    if (!m_bBandsReady) InitBands();
    int result = 1;
    if (m_bBandAllocFailed || m_output.Failed()) {
        result = 0;
    } else {
        const int vpass = m_nBandRows % m_nVPasses;
        for (int c = 0; c < m_nColors; ++c) {
            const unsigned char* row = m_ppPixelBuffer[c]->pReadRow();
            for (int h = 0; h < m_nHPasses; ++h) LoadRowPixels(row, c, vpass, h);
        }
        m_nBandRows += 1;
        m_nLoadedRows = m_nBandRows;
        if (m_nBandRows == m_nBandLines) result = OutputBand() ? 1 : 0;
        if (m_bBandAllocFailed) result = 0;
    }
    if (m_bTraceRealTime) m_dwDriverTime += GetTickCount() - t0;
    return result;
}

// Rescue passes sent as raster blocks: the leaving lines of one interleave pass, every
// horizontal pass and colour plane, in the order and with the calls of a normal pass.
#include "driver/CEpsonRPhotoBase.h"

int CEpsonRPhotoBase::OutputRescuePass(int nVPass, int nRows)
{
    for (int h = 0; h < m_nHPasses; ++h)
        for (int c = 0; c < m_nColors; ++c) {
            unsigned char* pass = m_output.Buffer(static_cast<size_t>(nRows) * static_cast<size_t>(m_nPassRowBytes));
            CutRescueRows(pass, nVPass, h, c, nRows);
            if (m_nDataBytes > 0) {
                if (!OutputRasterPass(nVPass, h, c, pass, nRows, m_nDataBytes)) return 0;
                ++m_nRescueBlocks;
            }
            JobSection(nullptr, 0);
        }
    return 1;
}

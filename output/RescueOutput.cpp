// Rescue passes sent as raster blocks: the leaving lines of one interleave pass, every
// horizontal pass and colour plane, in the order and with the calls of a normal pass.
#include "driver/CEpsonRPhotoBase.h"

void CEpsonRPhotoBase::OutputRescuePass(unsigned char* pPass, int nVPass, int nRows)
{
    for (int h = 0; h < m_nHPasses; ++h)
        for (int c = 0; c < m_nColors; ++c) {
            CutRescueRows(pPass, nVPass, h, c, nRows);
            if (m_nDataBytes > 0) {
                OutputRasterPass(nVPass, h, c, pPass, nRows, m_nDataBytes);
                ++m_nRescueBlocks;
            }
            JobSection(nullptr, 0);
        }
}

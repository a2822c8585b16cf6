// Model 1's raster blocks: photo black ink has its own colour code.
#include "driver/CEpsonPhotoR2000.h"

#include "output/ColorCodes.h"

int CEpsonPhotoR2000::OutputRasterPass(int nVPass, int nHPass, int nColor, unsigned char* pData, int nRows,
                                       int nBytesPerRow)
{
    const int id = PlaneColorId(nColor);
    const uint8_t code = (m_nInkMode == 0 && id == 0) ? kPhotoBlackColorCode : RasterColorCode(id);
    return SendRasterPass(nVPass, nHPass, nColor, pData, nRows, nBytesPerRow, code);
}

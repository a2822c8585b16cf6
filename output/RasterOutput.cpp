// Raster command output: positions the head and sends one pass of one colour as a block.
#include "driver/CEpsonRPhotoBase.h"
#include "output/ColorCodes.h"

int CEpsonRPhotoBase::OutputVertAdvance(CEpsonCommandsAddClass& cmds, int bSend)
{
    const int n = m_nPendingAdvance;
    if (n == 0) return 1;
    m_nAdvancedRows += n;
    cmds.addCmd_esc_par_v__SetRelativeVertPos_extended(static_cast<uint32_t>(n));
    int result = 1;
    if (bSend) {
        CString bytes;
        cmds.retrieveCString(bytes);
        result = TimedOutput(bytes);
    }
    m_nPendingAdvance = 0;
    return result;
}

int CEpsonRPhotoBase::OutputHorizPos(CEpsonCommandsAddClass& cmds, int nHPass, int bSend)
{
    const int pos = m_nDataOffset * m_nHPasses * m_nPixelsPerByte + nHPass;
    if (pos == m_nHorizPos) return 1;
    cmds.addCmd_esc_par_dollar__SetAbsoluteHorizPos(static_cast<uint32_t>(pos));
    int result = 1;
    if (bSend) {
        CString bytes;
        cmds.retrieveCString(bytes);
        result = TimedOutput(bytes);
    }
    m_nHorizPos = pos;
    return result;
}

int CEpsonRPhotoBase::OutputRasterPass(int nVPass, int nHPass, int nColor, unsigned char* pData, int nRows,
                                       int nBytesPerRow)
{
    return SendRasterPass(nVPass, nHPass, nColor, pData, nRows, nBytesPerRow, RasterColorCode(PlaneColorId(nColor)));
}

int CEpsonRPhotoBase::SendRasterPass(int nVPass, int nHPass, int nColor, unsigned char* pData, int nRows,
                                     int nBytesPerRow, uint8_t colorCode)
{
    const int plain = nRows * nBytesPerRow;
    MaskBrokenNozzles(pData, nVPass, plain);
    const unsigned char* data = pData;
    int length = plain;
    if (m_bCompress && m_pPackBuf) {
        length = packbits_compress(m_pPackBuf, pData, static_cast<unsigned>(plain));
        data = m_pPackBuf;
    }
    CEpsonCommandsAddClass cmds(180 * m_nPassRowBytes + 100);
    OutputVertAdvance(cmds, 0);
    OutputHorizPos(cmds, nHPass, 0);
    cmds.addCmd_esc_i__RasterCommand(data, colorCode, m_bCompress, static_cast<uint8_t>(m_nBitsPerPixel),
                                     static_cast<short>(m_nDataBytes), static_cast<short>(nRows), length);
    cmds.addCmd_carriageReturn();
    CString bytes;
    cmds.retrieveCString(bytes);
    const int result = TimedOutput(bytes);
    cmds.clear();
    m_nHorizPos = 0;  // the carriage return brings the head back to the left origin
    return result;
}

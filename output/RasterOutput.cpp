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
    MaskBrokenNozzles(pData, nVPass, nRows * nBytesPerRow);
    m_blockCmds.clear();
    OutputVertAdvance(m_blockCmds, 0);
    OutputHorizPos(m_blockCmds, nHPass, 0);
    m_blockCmds.addCmd_esc_i__RasterCommand(nullptr, colorCode, m_bCompress, static_cast<uint8_t>(m_nBitsPerPixel),
                                            static_cast<short>(m_nDataBytes), static_cast<short>(nRows), 0);
    const Packing packing = !m_bCompress ? Packing::Raw : (m_bPackPerLine ? Packing::PerLine : Packing::Stream);
    // The data follows the header; the carriage return brings the head back to the left origin.
    const bool queued = m_output.Block(m_blockCmds.bytes(), pData, static_cast<size_t>(nRows),
                                       static_cast<size_t>(nBytesPerRow), packing, m_trailerCmds.bytes());
    m_nHorizPos = 0;
    return queued && (m_bInBand || m_output.Sync()) ? 1 : 0;
}

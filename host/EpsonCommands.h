// The Epson command builder: appends ESC/P2 and remote-mode commands to a byte buffer.
#pragma once
#include <cstdint>
#include <vector>

#include "host/CString.h"

class CEpsonCommandsAddClass {
public:
    CEpsonCommandsAddClass() = default;
    explicit CEpsonCommandsAddClass(int capacity);
    virtual ~CEpsonCommandsAddClass() = default;

    void clear() { m_buf.clear(); }
    void retrieveCString(CString& out) const;
    const std::vector<unsigned char>& bytes() const { return m_buf; }

    // Framing.
    void addCmd_esc_at__initializePrinter();
    void addCmd_esc_par_R__enterRemoteMode();
    void addCmd_esc_000__TerminateRemoteMode();
    void addCmd_ExitPacketMode();
    void addCmd_JS__startJob(const char* jobName);
    void addCmd_JE__JobEnd();
    void addCmd_JH__setProductId(const char* productId);
    void addCmd_JH__setProductId();
    void addCmd_LD__LoadDefaultValues();
    void addCmd_TI__setPrinterTimer();
    void addCmd_PM__sniffedCmd();
    void addCmd_SN__mechanicalSequence();
    // Media.
    void addCmd_MI__SelectPaperMedia(uint8_t media, uint8_t size);
    void addCmd_US__UserSetting(uint8_t id, uint8_t value);
    void addCmd_DP__SelectDuplexPrinting(uint8_t mode);
    void addCmd_EX__TurnRollPaperModeOnOff(uint8_t on);
    void addCmd_FP__SetHorizPrintPosition(uint16_t pos);
    void addCmd_PP__SelectPaperPath(uint16_t path);
    void addCmd_IK__setInkType(uint8_t type);
    void addCmd_PH__SetPaperThickness(uint8_t thickness);
    void addCmd_DR__SetDryingTime(uint16_t ms);
    // Page and raster set-up.
    void addCmd_esc_par_G__SelectGraphicsMode(uint8_t mode);
    void addCmd_esc_par_U__SetNumberInchUnitsExtended(uint8_t page, uint8_t vert, uint8_t horiz, uint16_t base);
    void addCmd_esc_U__SetBidirectPrinting(uint8_t mode);
    void addCmd_esc_par_i__SetMicroWeave(uint8_t mode);
    void addCmd_esc_0x19__PaperFeedControl(uint8_t mode);
    void addCmd_esc_par_C__SetPageLength(uint32_t length);
    void addCmd_esc_par_c__SetPageFormat_Extended(uint32_t top, uint32_t bottom);
    void addCmd_esc_par_S__SetPageDimension(uint32_t width, uint32_t length);
    void addCmd_esc_par_K__SetColorMode(uint8_t mode);
    void addCmd_esc_par_D__SetRasterResolution(uint16_t base, uint8_t vert, uint8_t horiz);
    void addCmd_esc_par_m__SetPrintMethodId(uint8_t id);
    void addCmd_esc_par_e__SelectDotSize(uint8_t size);
    // Position and data.
    void addCmd_esc_par_v__SetRelativeVertPos_extended(uint32_t lines);
    void addCmd_esc_par_dollar__SetAbsoluteHorizPos(uint32_t pos);
    void addCmd_carriageReturn();
    void addCmd_0xc__PaperEject();
    // ESC i: colour code, compression (0 plain, 1 PackBits), bits per pixel, bytes of one
    // uncompressed line, line count, then `dataLen` bytes of (possibly packed) data.
    void addCmd_esc_i__RasterCommand(const unsigned char* data, uint8_t color, int compression,
                                     uint8_t bitsPerPixel, short bytesPerLine, short lines, int dataLen);

private:
    void put(uint8_t b) { m_buf.push_back(b); }
    void put16le(uint16_t v) { put(static_cast<uint8_t>(v)); put(static_cast<uint8_t>(v >> 8)); }
    void put32le(uint32_t v) { put16le(static_cast<uint16_t>(v)); put16le(static_cast<uint16_t>(v >> 16)); }
    void putText(const char* s);
    // ESC ( X <n:u16le> <params>: the one helper for every length-prefixed ESC ( command.
    void escParen(char code, std::initializer_list<uint8_t> params);
    // Remote-mode record: two letters, <n:u16le>, params.
    void remote(const char code[3], std::initializer_list<uint8_t> params);
    // Remote-mode record carrying a name: 00 <text> 00.
    void remoteNamed(const char code[3], const char* text);

    std::vector<unsigned char> m_buf;
};

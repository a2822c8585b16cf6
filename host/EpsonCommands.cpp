#include "host/EpsonCommands.h"

#include <cstring>

#include "host/Platform.h"

namespace {
constexpr uint8_t ESC = 0x1B;
}

CEpsonCommandsAddClass::CEpsonCommandsAddClass(int capacity)
{
    if (capacity > 0) m_buf.reserve(static_cast<size_t>(capacity));
}

void CEpsonCommandsAddClass::retrieveCString(CString& out) const
{
    out = CString(reinterpret_cast<const char*>(m_buf.data()), static_cast<int>(m_buf.size()));
}

void CEpsonCommandsAddClass::putText(const char* s)
{
    for (; s && *s; ++s) put(static_cast<uint8_t>(*s));
}

void CEpsonCommandsAddClass::escParen(char code, std::initializer_list<uint8_t> params)
{
    put(ESC);
    put('(');
    put(static_cast<uint8_t>(code));
    put16le(static_cast<uint16_t>(params.size()));
    for (uint8_t b : params) put(b);
}

void CEpsonCommandsAddClass::remote(const char code[3], std::initializer_list<uint8_t> params)
{
    put(static_cast<uint8_t>(code[0]));
    put(static_cast<uint8_t>(code[1]));
    put16le(static_cast<uint16_t>(params.size()));
    for (uint8_t b : params) put(b);
}

void CEpsonCommandsAddClass::remoteNamed(const char code[3], const char* text)
{
    size_t n = text ? std::strlen(text) : 0;
    if (n > 0xFFFD) n = 0xFFFD;
    put(static_cast<uint8_t>(code[0]));
    put(static_cast<uint8_t>(code[1]));
    put16le(static_cast<uint16_t>(n + 2));
    put(0);
    for (size_t i = 0; i < n; ++i) put(static_cast<uint8_t>(text[i]));
    put(0);
}

static uint8_t lo(uint32_t v) { return static_cast<uint8_t>(v); }
static uint8_t hi(uint32_t v) { return static_cast<uint8_t>(v >> 8); }

void CEpsonCommandsAddClass::addCmd_esc_at__initializePrinter() { put(ESC); put('@'); }

void CEpsonCommandsAddClass::addCmd_esc_par_R__enterRemoteMode()
{
    escParen('R', {0x00, 'R', 'E', 'M', 'O', 'T', 'E', '1'});
}

void CEpsonCommandsAddClass::addCmd_esc_000__TerminateRemoteMode() { put(ESC); put(0); put(0); put(0); }

void CEpsonCommandsAddClass::addCmd_ExitPacketMode()
{
    put(0); put(0); put(0); put(ESC); put(0x01);
    putText("@EJL 1284.4\n@EJL     \n");
}

void CEpsonCommandsAddClass::addCmd_JS__startJob(const char* jobName) { remoteNamed("JS", jobName); }
void CEpsonCommandsAddClass::addCmd_JE__JobEnd() { remote("JE", {0x00}); }
void CEpsonCommandsAddClass::addCmd_JH__setProductId(const char* productId) { remoteNamed("JH", productId); }
void CEpsonCommandsAddClass::addCmd_JH__setProductId() { remoteNamed("JH", ""); }
void CEpsonCommandsAddClass::addCmd_LD__LoadDefaultValues() { remote("LD", {}); }

void CEpsonCommandsAddClass::addCmd_TI__setPrinterTimer()
{
    const PrinterClock c = PrinterClockNow();
    const uint32_t y = static_cast<uint32_t>(c.year);
    remote("TI", {0x00, hi(y), lo(y), lo(c.month), lo(c.day), lo(c.hour), lo(c.minute), lo(c.second)});
}

void CEpsonCommandsAddClass::addCmd_PM__sniffedCmd() { remote("PM", {0x00, 0x00}); }
void CEpsonCommandsAddClass::addCmd_SN__mechanicalSequence() { remote("SN", {0x00}); }

void CEpsonCommandsAddClass::addCmd_MI__SelectPaperMedia(uint8_t media, uint8_t size)
{
    remote("MI", {0x00, 0x01, media, size});
}
void CEpsonCommandsAddClass::addCmd_US__UserSetting(uint8_t id, uint8_t value) { remote("US", {0x00, id, value}); }
void CEpsonCommandsAddClass::addCmd_DP__SelectDuplexPrinting(uint8_t mode) { remote("DP", {0x00, mode}); }
void CEpsonCommandsAddClass::addCmd_EX__TurnRollPaperModeOnOff(uint8_t on)
{
    remote("EX", {0x00, 0x00, 0x00, 0x00, 0x05, on});
}
void CEpsonCommandsAddClass::addCmd_FP__SetHorizPrintPosition(uint16_t pos) { remote("FP", {0x00, lo(pos), hi(pos)}); }
void CEpsonCommandsAddClass::addCmd_PP__SelectPaperPath(uint16_t path) { remote("PP", {0x00, lo(path), hi(path)}); }
void CEpsonCommandsAddClass::addCmd_IK__setInkType(uint8_t type) { remote("IK", {0x00, type}); }
void CEpsonCommandsAddClass::addCmd_PH__SetPaperThickness(uint8_t thickness) { remote("PH", {0x00, thickness}); }
void CEpsonCommandsAddClass::addCmd_DR__SetDryingTime(uint16_t ms) { remote("DR", {0x00, 0x00, lo(ms), hi(ms)}); }

void CEpsonCommandsAddClass::addCmd_esc_par_G__SelectGraphicsMode(uint8_t mode) { escParen('G', {mode}); }

void CEpsonCommandsAddClass::addCmd_esc_par_U__SetNumberInchUnitsExtended(uint8_t page, uint8_t vert, uint8_t horiz,
                                                                         uint16_t base)
{
    escParen('U', {page, vert, horiz, lo(base), hi(base)});
}

void CEpsonCommandsAddClass::addCmd_esc_U__SetBidirectPrinting(uint8_t mode) { put(ESC); put('U'); put(mode); }
void CEpsonCommandsAddClass::addCmd_esc_par_i__SetMicroWeave(uint8_t mode) { escParen('i', {mode}); }
void CEpsonCommandsAddClass::addCmd_esc_0x19__PaperFeedControl(uint8_t mode) { put(ESC); put(0x19); put(mode); }

void CEpsonCommandsAddClass::addCmd_esc_par_C__SetPageLength(uint32_t length)
{
    escParen('C', {lo(length), hi(length), lo(length >> 16), hi(length >> 16)});
}

void CEpsonCommandsAddClass::addCmd_esc_par_c__SetPageFormat_Extended(uint32_t top, uint32_t bottom)
{
    escParen('c', {lo(top), hi(top), lo(top >> 16), hi(top >> 16),
                   lo(bottom), hi(bottom), lo(bottom >> 16), hi(bottom >> 16)});
}

void CEpsonCommandsAddClass::addCmd_esc_par_S__SetPageDimension(uint32_t width, uint32_t length)
{
    escParen('S', {lo(width), hi(width), lo(width >> 16), hi(width >> 16),
                   lo(length), hi(length), lo(length >> 16), hi(length >> 16)});
}

void CEpsonCommandsAddClass::addCmd_esc_par_K__SetColorMode(uint8_t mode) { escParen('K', {0x00, mode}); }

void CEpsonCommandsAddClass::addCmd_esc_par_D__SetRasterResolution(uint16_t base, uint8_t vert, uint8_t horiz)
{
    escParen('D', {lo(base), hi(base), vert, horiz});
}

void CEpsonCommandsAddClass::addCmd_esc_par_m__SetPrintMethodId(uint8_t id) { escParen('m', {id}); }
void CEpsonCommandsAddClass::addCmd_esc_par_e__SelectDotSize(uint8_t size) { escParen('e', {0x00, size}); }

void CEpsonCommandsAddClass::addCmd_esc_par_v__SetRelativeVertPos_extended(uint32_t lines)
{
    escParen('v', {lo(lines), hi(lines), lo(lines >> 16), hi(lines >> 16)});
}

void CEpsonCommandsAddClass::addCmd_esc_par_dollar__SetAbsoluteHorizPos(uint32_t pos)
{
    escParen('$', {lo(pos), hi(pos), lo(pos >> 16), hi(pos >> 16)});
}

void CEpsonCommandsAddClass::addCmd_carriageReturn() { put(0x0D); }
void CEpsonCommandsAddClass::addCmd_0xc__PaperEject() { put(0x0C); }

void CEpsonCommandsAddClass::addCmd_esc_i__RasterCommand(const unsigned char* data, uint8_t color, int compression,
                                                         uint8_t bitsPerPixel, short bytesPerLine, short lines,
                                                         int dataLen)
{
    put(ESC);
    put('i');
    put(color);
    put(static_cast<uint8_t>(compression));
    put(bitsPerPixel);
    put16le(static_cast<uint16_t>(bytesPerLine));
    put16le(static_cast<uint16_t>(lines));
    if (data && dataLen > 0) m_buf.insert(m_buf.end(), data, data + dataLen);
}

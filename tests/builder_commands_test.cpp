// The command builder's bytes, one operation at a time, as the printer expects them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "host/EpsonCommands.h"

namespace {

using Bytes = std::vector<unsigned char>;

struct CommandCase {
    const char* name;
    std::function<void(CEpsonCommandsAddClass&)> append;
    Bytes expected;
};

std::string Hex(const Bytes& b)
{
    std::string s;
    char buf[4];
    for (unsigned char c : b) {
        std::snprintf(buf, sizeof buf, "%02X ", c);
        s += buf;
    }
    return s;
}

TEST(CommandBuilder, EveryOperationEmitsItsBytes)
{
    setenv("SOURCE_DATE_EPOCH", "1621662267", 1);  // 2021-05-22 05:44:27 UTC
    using C = CEpsonCommandsAddClass;
    const std::vector<CommandCase> cases = {
        {"ESC @", [](C& c) { c.addCmd_esc_at__initializePrinter(); }, {0x1B, 0x40}},
        {"enter remote", [](C& c) { c.addCmd_esc_par_R__enterRemoteMode(); },
         {0x1B, 0x28, 0x52, 0x08, 0x00, 0x00, 0x52, 0x45, 0x4D, 0x4F, 0x54, 0x45, 0x31}},
        {"exit remote", [](C& c) { c.addCmd_esc_000__TerminateRemoteMode(); }, {0x1B, 0x00, 0x00, 0x00}},
        {"exit packet mode", [](C& c) { c.addCmd_ExitPacketMode(); },
         {0x00, 0x00, 0x00, 0x1B, 0x01, 0x40, 0x45, 0x4A, 0x4C, 0x20, 0x31, 0x32, 0x38, 0x34,
          0x2E, 0x34, 0x0A, 0x40, 0x45, 0x4A, 0x4C, 0x20, 0x20, 0x20, 0x20, 0x20, 0x0A}},
        {"JS empty", [](C& c) { c.addCmd_JS__startJob(""); }, {0x4A, 0x53, 0x02, 0x00, 0x00, 0x00}},
        {"JS named", [](C& c) { c.addCmd_JS__startJob("Job1"); },
         {0x4A, 0x53, 0x06, 0x00, 0x00, 'J', 'o', 'b', '1', 0x00}},
        {"JE", [](C& c) { c.addCmd_JE__JobEnd(); }, {0x4A, 0x45, 0x01, 0x00, 0x00}},
        {"JH text", [](C& c) { c.addCmd_JH__setProductId("Norvale RIP"); },
         {0x4A, 0x48, 0x0D, 0x00, 0x00, 'N', 'o', 'r', 'v', 'a', 'l', 'e', ' ', 'R', 'I', 'P', 0x00}},
        {"JH plain", [](C& c) { c.addCmd_JH__setProductId(); }, {0x4A, 0x48, 0x02, 0x00, 0x00, 0x00}},
        {"LD", [](C& c) { c.addCmd_LD__LoadDefaultValues(); }, {0x4C, 0x44, 0x00, 0x00}},
        {"TI", [](C& c) { c.addCmd_TI__setPrinterTimer(); },
         {0x54, 0x49, 0x08, 0x00, 0x00, 0x07, 0xE5, 0x05, 0x16, 0x05, 0x2C, 0x1B}},
        {"PM", [](C& c) { c.addCmd_PM__sniffedCmd(); }, {0x50, 0x4D, 0x02, 0x00, 0x00, 0x00}},
        {"SN", [](C& c) { c.addCmd_SN__mechanicalSequence(); }, {0x53, 0x4E, 0x01, 0x00, 0x00}},
        {"MI", [](C& c) { c.addCmd_MI__SelectPaperMedia(11, 99); },
         {0x4D, 0x49, 0x04, 0x00, 0x00, 0x01, 0x0B, 0x63}},
        {"US", [](C& c) { c.addCmd_US__UserSetting(1, 0x85); }, {0x55, 0x53, 0x03, 0x00, 0x00, 0x01, 0x85}},
        {"DP", [](C& c) { c.addCmd_DP__SelectDuplexPrinting(1); }, {0x44, 0x50, 0x02, 0x00, 0x00, 0x01}},
        {"EX", [](C& c) { c.addCmd_EX__TurnRollPaperModeOnOff(1); },
         {0x45, 0x58, 0x06, 0x00, 0x00, 0x00, 0x00, 0x00, 0x05, 0x01}},
        {"FP", [](C& c) { c.addCmd_FP__SetHorizPrintPosition(0xFFB0); },
         {0x46, 0x50, 0x03, 0x00, 0x00, 0xB0, 0xFF}},
        {"PP", [](C& c) { c.addCmd_PP__SelectPaperPath(0xFF01); }, {0x50, 0x50, 0x03, 0x00, 0x00, 0x01, 0xFF}},
        {"IK", [](C& c) { c.addCmd_IK__setInkType(0x51); }, {0x49, 0x4B, 0x02, 0x00, 0x00, 0x51}},
        {"PH", [](C& c) { c.addCmd_PH__SetPaperThickness(15); }, {0x50, 0x48, 0x02, 0x00, 0x00, 0x0F}},
        {"DR", [](C& c) { c.addCmd_DR__SetDryingTime(0x1234); },
         {0x44, 0x52, 0x04, 0x00, 0x00, 0x00, 0x34, 0x12}},
        {"ESC ( G", [](C& c) { c.addCmd_esc_par_G__SelectGraphicsMode(1); }, {0x1B, 0x28, 0x47, 0x01, 0x00, 0x01}},
        {"ESC ( U", [](C& c) { c.addCmd_esc_par_U__SetNumberInchUnitsExtended(8, 8, 4, 5760); },
         {0x1B, 0x28, 0x55, 0x05, 0x00, 0x08, 0x08, 0x04, 0x80, 0x16}},
        {"ESC U", [](C& c) { c.addCmd_esc_U__SetBidirectPrinting(0x31); }, {0x1B, 0x55, 0x31}},
        {"ESC ( i", [](C& c) { c.addCmd_esc_par_i__SetMicroWeave(0); }, {0x1B, 0x28, 0x69, 0x01, 0x00, 0x00}},
        {"ESC EM", [](C& c) { c.addCmd_esc_0x19__PaperFeedControl(0x31); }, {0x1B, 0x19, 0x31}},
        {"ESC ( C", [](C& c) { c.addCmd_esc_par_C__SetPageLength(8419); },
         {0x1B, 0x28, 0x43, 0x04, 0x00, 0xE3, 0x20, 0x00, 0x00}},
        {"ESC ( c", [](C& c) { c.addCmd_esc_par_c__SetPageFormat_Extended(static_cast<uint32_t>(-720), 8334); },
         {0x1B, 0x28, 0x63, 0x08, 0x00, 0x30, 0xFD, 0xFF, 0xFF, 0x8E, 0x20, 0x00, 0x00}},
        {"ESC ( S", [](C& c) { c.addCmd_esc_par_S__SetPageDimension(5953, 8419); },
         {0x1B, 0x28, 0x53, 0x08, 0x00, 0x41, 0x17, 0x00, 0x00, 0xE3, 0x20, 0x00, 0x00}},
        {"ESC ( K", [](C& c) { c.addCmd_esc_par_K__SetColorMode(2); }, {0x1B, 0x28, 0x4B, 0x02, 0x00, 0x00, 0x02}},
        {"ESC ( D", [](C& c) { c.addCmd_esc_par_D__SetRasterResolution(5760, 32, 8); },
         {0x1B, 0x28, 0x44, 0x04, 0x00, 0x80, 0x16, 0x20, 0x08}},
        {"ESC ( m", [](C& c) { c.addCmd_esc_par_m__SetPrintMethodId(0x71); }, {0x1B, 0x28, 0x6D, 0x01, 0x00, 0x71}},
        {"ESC ( e", [](C& c) { c.addCmd_esc_par_e__SelectDotSize(0x12); },
         {0x1B, 0x28, 0x65, 0x02, 0x00, 0x00, 0x12}},
        {"ESC ( v", [](C& c) { c.addCmd_esc_par_v__SetRelativeVertPos_extended(117); },
         {0x1B, 0x28, 0x76, 0x04, 0x00, 0x75, 0x00, 0x00, 0x00}},
        {"ESC ( $", [](C& c) { c.addCmd_esc_par_dollar__SetAbsoluteHorizPos(721); },
         {0x1B, 0x28, 0x24, 0x04, 0x00, 0xD1, 0x02, 0x00, 0x00}},
        {"CR", [](C& c) { c.addCmd_carriageReturn(); }, {0x0D}},
        {"FF", [](C& c) { c.addCmd_0xc__PaperEject(); }, {0x0C}},
        {"ESC i", [](C& c) {
             const unsigned char data[] = {0xFE, 0x00, 0x01, 0xC0, 0x00};
             c.addCmd_esc_i__RasterCommand(data, 0x40, 1, 2, 0x0168, 0x00B4, 5);
         },
         {0x1B, 0x69, 0x40, 0x01, 0x02, 0x68, 0x01, 0xB4, 0x00, 0xFE, 0x00, 0x01, 0xC0, 0x00}},
    };
    for (const CommandCase& c : cases) {
        CEpsonCommandsAddClass b(64);
        c.append(b);
        EXPECT_EQ(Hex(b.bytes()), Hex(c.expected)) << c.name;
    }
    unsetenv("SOURCE_DATE_EPOCH");
}

TEST(CommandBuilder, KeepsCallOrderZeroBytesAndClears)
{
    CEpsonCommandsAddClass b;
    b.addCmd_esc_000__TerminateRemoteMode();
    b.addCmd_carriageReturn();
    b.addCmd_esc_at__initializePrinter();
    CString s;
    b.retrieveCString(s);
    ASSERT_EQ(s.GetLength(), 7);
    EXPECT_EQ(std::string(s.str()), std::string("\x1b\x00\x00\x00\x0d\x1b\x40", 7));
    b.clear();
    b.retrieveCString(s);
    EXPECT_EQ(s.GetLength(), 0);
}

}  // namespace

// The command builder's bytes, one operation at a time, as the printer expects them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "host/EpsonCommands.h"
#include "support/TestSupport.h"

namespace {

using Bytes = std::vector<unsigned char>;

struct CommandCase {
    const char* name;
    std::function<void(CEpsonCommandsAddClass&)> append;
};

std::string Hex(const Bytes& b) { return test_support::ToHex(std::string(b.begin(), b.end())); }

TEST(CommandBuilder, EveryOperationEmitsItsBytes)
{
    setenv("SOURCE_DATE_EPOCH", "1621662267", 1);  // 2021-05-22 05:44:27 UTC
    using C = CEpsonCommandsAddClass;
    const std::vector<CommandCase> cases = {
        {"ESC @", [](C& c) { c.addCmd_esc_at__initializePrinter(); }},
        {"enter remote", [](C& c) { c.addCmd_esc_par_R__enterRemoteMode(); }},
        {"exit remote", [](C& c) { c.addCmd_esc_000__TerminateRemoteMode(); }},
        {"exit packet mode", [](C& c) { c.addCmd_ExitPacketMode(); }},
        {"JS empty", [](C& c) { c.addCmd_JS__startJob(""); }},
        {"JS named", [](C& c) { c.addCmd_JS__startJob("Job1"); }},
        {"JE", [](C& c) { c.addCmd_JE__JobEnd(); }},
        {"JH text", [](C& c) { c.addCmd_JH__setProductId("Norvale RIP"); }},
        {"JH plain", [](C& c) { c.addCmd_JH__setProductId(); }},
        {"LD", [](C& c) { c.addCmd_LD__LoadDefaultValues(); }},
        {"TI", [](C& c) { c.addCmd_TI__setPrinterTimer(); }},
        {"PM", [](C& c) { c.addCmd_PM__sniffedCmd(); }},
        {"SN", [](C& c) { c.addCmd_SN__mechanicalSequence(); }},
        {"MI", [](C& c) { c.addCmd_MI__SelectPaperMedia(11, 99); }},
        {"US", [](C& c) { c.addCmd_US__UserSetting(1, 0x85); }},
        {"DP", [](C& c) { c.addCmd_DP__SelectDuplexPrinting(1); }},
        {"EX", [](C& c) { c.addCmd_EX__TurnRollPaperModeOnOff(1); }},
        {"FP", [](C& c) { c.addCmd_FP__SetHorizPrintPosition(0xFFB0); }},
        {"PP", [](C& c) { c.addCmd_PP__SelectPaperPath(0xFF01); }},
        {"IK", [](C& c) { c.addCmd_IK__setInkType(0x51); }},
        {"PH", [](C& c) { c.addCmd_PH__SetPaperThickness(15); }},
        {"DR", [](C& c) { c.addCmd_DR__SetDryingTime(0x1234); }},
        {"ESC ( G", [](C& c) { c.addCmd_esc_par_G__SelectGraphicsMode(1); }},
        {"ESC ( U", [](C& c) { c.addCmd_esc_par_U__SetNumberInchUnitsExtended(8, 8, 4, 5760); }},
        {"ESC U", [](C& c) { c.addCmd_esc_U__SetBidirectPrinting(0x31); }},
        {"ESC ( i", [](C& c) { c.addCmd_esc_par_i__SetMicroWeave(0); }},
        {"ESC EM", [](C& c) { c.addCmd_esc_0x19__PaperFeedControl(0x31); }},
        {"ESC ( C", [](C& c) { c.addCmd_esc_par_C__SetPageLength(8419); }},
        {"ESC ( c", [](C& c) { c.addCmd_esc_par_c__SetPageFormat_Extended(static_cast<uint32_t>(-720), 8334); }},
        {"ESC ( S", [](C& c) { c.addCmd_esc_par_S__SetPageDimension(5953, 8419); }},
        {"ESC ( K", [](C& c) { c.addCmd_esc_par_K__SetColorMode(2); }},
        {"ESC ( D", [](C& c) { c.addCmd_esc_par_D__SetRasterResolution(5760, 32, 8); }},
        {"ESC ( m", [](C& c) { c.addCmd_esc_par_m__SetPrintMethodId(0x71); }},
        {"ESC ( e", [](C& c) { c.addCmd_esc_par_e__SelectDotSize(0x12); }},
        {"ESC ( v", [](C& c) { c.addCmd_esc_par_v__SetRelativeVertPos_extended(117); }},
        {"ESC ( $", [](C& c) { c.addCmd_esc_par_dollar__SetAbsoluteHorizPos(721); }},
        {"CR", [](C& c) { c.addCmd_carriageReturn(); }},
        {"FF", [](C& c) { c.addCmd_0xc__PaperEject(); }},
        {"ESC i", [](C& c) {
             const unsigned char data[] = {0xFE, 0x00, 0x01, 0xC0, 0x00};
             c.addCmd_esc_i__RasterCommand(data, 0x40, 1, 2, 0x0168, 0x00B4, 5);
         }},
    };
    std::map<std::string, std::string> expected;
    for (const auto& row : test_support::DataTable("builder_commands.tsv")) expected[row.at(0)] = row.at(1);
    ASSERT_EQ(expected.size(), cases.size());
    for (const CommandCase& c : cases) {
        CEpsonCommandsAddClass b(64);
        c.append(b);
        EXPECT_EQ(Hex(b.bytes()), test_support::ToHex(test_support::Hex(expected.at(c.name)))) << c.name;
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

// Every command the decoder knows, written out byte by byte, and what it reads from it.
#include <gtest/gtest.h>

#include "decode_support.h"

namespace {
struct CommandCase {
    const char* bytes;
    const char* name;
    const char* text;
    bool warns;
};

const CommandCase kTopLevel[] = {
    {"1B 40", "ESC @", "initialise printer", false},
    {"00 00", "NUL", "2 padding bytes", false},
    {"1B 28 47 01 00 01", "ESC ( G", "graphics mode 1", false},
    {"1B 28 55 05 00 08 08 04 80 16", "ESC ( U",
     "units page 8/5760, vertical 8/5760, horizontal 4/5760 inch (rows 720 dpi, columns 1440 dpi)", false},
    {"1B 28 55 01 00 0A", "ESC ( U",
     "units page 10/3600, vertical 10/3600, horizontal 10/3600 inch (rows 360 dpi, columns 360 dpi)", false},
    {"1B 55 00", "ESC U", "bidirectional", false},
    {"1B 55 01", "ESC U", "unidirectional", false},
    {"1B 55 30", "ESC U", "bidirectional ('0')", false},
    {"1B 55 32", "ESC U", "automatic direction ('2')", false},
    {"1B 55 07", "ESC U", "direction 0x07", true},
    {"1B 28 69 01 00 00", "ESC ( i", "MicroWeave off (host weave)", false},
    {"1B 28 69 01 00 01", "ESC ( i", "MicroWeave on (1)", false},
    {"1B 19 31", "ESC EM", "paper feed control '1' (default feeder)", false},
    {"1B 19 52", "ESC EM", "paper feed control 'R' (eject)", false},
    {"1B 28 43 04 00 E3 20 00 00", "ESC ( C", "page length 8419 page units", false},
    {"1B 28 43 02 00 E3 20", "ESC ( C", "page length 8419 page units", false},
    {"1B 28 63 08 00 1C 00 00 00 8E 20 00 00", "ESC ( c", "page format top 28, bottom 8334 page units", false},
    {"1B 28 63 08 00 30 FD FF FF 00 20 00 00", "ESC ( c", "page format top -720, bottom 8192 page units", false},
    {"1B 28 63 04 00 1C 00 8E 20", "ESC ( c", "page format top 28, bottom 8334 page units", false},
    {"1B 28 53 08 00 41 17 00 00 E3 20 00 00", "ESC ( S", "paper width 5953, length 8419 page units", false},
    {"1B 28 4B 02 00 00 02", "ESC ( K", "colour mode 2 (colour)", false},
    {"1B 28 44 04 00 80 70 A0 28", "ESC ( D",
     "raster resolution: nozzle rows 160/28800 inch apart, dot pitch 40/28800 inch (720 dpi)", false},
    {"1B 28 6D 01 00 71", "ESC ( m", "print method 0x71", false},
    {"1B 28 65 02 00 00 12", "ESC ( e", "dot size 0x12", false},
    {"1B 28 76 04 00 75 00 00 00", "ESC ( v", "advance 117 lines (row 117)", false},
    {"1B 28 76 02 00 75 00", "ESC ( v", "advance 117 lines (row 117)", false},
    {"1B 28 56 04 00 10 00 00 00", "ESC ( V", "to row 16", false},
    {"1B 28 24 04 00 D0 02 00 00", "ESC ( $", "column 720", false},
    {"1B 28 5C 04 00 05 00 00 00", "ESC ( \\", "move 5 columns (column 5)", false},
    {"1B 28 73 01 00 02", "ESC ( s", "head speed 2", false},
    {"1B 28 72 02 00 00 01", "ESC ( r", "colour density 0, colour 1", false},
    {"1B 72 02", "ESC r", "colour 2", false},
    {"1B 24 10 00", "ESC $", "column 16", false},
    {"1B 5C 03 00", "ESC \\", "move 3 columns (column 3)", false},
    {"0D", "CR", "carriage return", false},
    {"0A", "LF", "line feed, advance 60 lines (row 60)", false},  // 1/6 inch in the default 1/360 unit
    {"0C", "FF", "form feed, eject the page", false},
    {"1B 28 58 03 00 01 02 03", "ESC ( X", "unknown command, 3 parameter bytes skipped: 01 02 03", true},
    {"1B 28 58 00 00", "ESC ( X", "unknown command, 0 parameter bytes skipped", true},
    {"1B 28 52 08 00 00 'REMOTE2'", "ESC ( R", "not REMOTE1, ignored: 00 52 45 4D 4F 54 45 32", true},
    {"1B 00 00 00", "ESC 00 00 00", "exit remote mode (not in remote mode)", true},
};

TEST(DecodeCommands, EachTopLevelCommandIsReadWithItsArguments)
{
    for (const CommandCase& c : kTopLevel) {
        SCOPED_TRACE(c.bytes);
        const std::vector<uint8_t> bytes = Hex(c.bytes);
        const DecodeResult r = DecodeBytes(bytes);
        ASSERT_TRUE(r.Ok()) << r.error->Text();
        ASSERT_EQ(r.commands.size(), 1u);
        EXPECT_EQ(r.commands[0].name, c.name);
        EXPECT_EQ(r.commands[0].text, c.text);
        EXPECT_EQ(r.commands[0].offset, 0u);
        EXPECT_EQ(r.commands[0].length, bytes.size());
        EXPECT_FALSE(r.commands[0].remote);
        EXPECT_EQ(r.warnings.size(), c.warns ? 1u : 0u);
    }
}

const CommandCase kRemote[] = {
    {"4A 53 02 00 00 00", "JS", "job start, no name", false},
    {"4A 53 05 00 00 'abc' 00", "JS", "job start, name \"abc\"", false},
    {"4A 45 01 00 00", "JE", "job end", false},
    {"4A 48 0D 00 00 'Norvale RIP' 00", "JH", "product id \"Norvale RIP\"", false},
    {"4A 48 02 00 00 00", "JH", "product id, no text", false},
    {"4C 44 00 00", "LD", "load defaults", false},
    {"54 49 08 00 00 07 E5 05 16 05 2C 1B", "TI", "printer clock 2021-05-22 05:44:27", false},
    {"50 4D 02 00 00 00", "PM", "function unknown, 00", false},
    {"53 4E 01 00 00", "SN", "mechanical sequence: setup", false},
    {"53 4E 03 00 00 01 02", "SN", "mechanical sequence: function 1 (platen gap), value 2", false},
    {"4D 49 04 00 00 01 0B 00", "MI", "media 11, size 0", false},
    {"4D 49 04 00 00 01 0B 63", "MI", "media 11, size 99 (user size)", false},
    {"55 53 03 00 00 01 85", "US", "user setting 1 = 133 (platen gap)", false},
    {"55 53 03 00 00 02 00", "US", "user setting 2 = 0", false},
    {"44 50 02 00 00 01", "DP", "duplex without tumble", false},
    {"45 58 06 00 00 00 00 00 05 01", "EX", "roll paper mode on", false},
    {"45 58 06 00 00 00 00 00 05 00", "EX", "roll paper mode off", false},
    {"46 50 03 00 00 A0 FF", "FP", "left print position -96 (1/360 inch)", false},
    {"46 50 03 00 00 00 00", "FP", "left print position 0 (1/360 inch)", false},
    {"50 50 03 00 00 03 01", "PP", "paper path 0x0103 (roll feed)", false},
    {"50 50 03 00 00 01 FF", "PP", "paper path 0xFF01 (sheet feeder)", false},
    {"50 50 03 00 00 FF 01", "PP", "paper path 0x01FF", false},
    {"49 4B 02 00 00 51", "IK", "ink type 0x51 (matte black)", false},
    {"49 4B 02 00 00 31", "IK", "ink type 0x31 (photo black)", false},
    {"50 48 02 00 00 05", "PH", "paper thickness 5 (0.1 mm)", false},
    {"44 52 04 00 00 00 2C 01", "DR", "drying time 300 ms per scan", false},
    {"44 52 04 00 00 01 05 00", "DR", "drying time 5 s per page", false},
    {"49 52 02 00 00 01", "IR", "IR 1", false},
    {"5A 5A 01 00 07", "ZZ", "unknown remote command, 1 bytes: 07", true},
    {"4D 49 03 00 00 01 0B", "MI", "unexpected layout, 3 bytes: 00 01 0B", true},
    {"4A 45 01 00 01", "JE", "unexpected layout, 1 bytes: 01", true},
};

TEST(DecodeCommands, EachRemoteRecordIsReadInsideRemoteMode)
{
    for (const CommandCase& c : kRemote) {
        SCOPED_TRACE(c.bytes);
        const std::vector<uint8_t> bytes =
            Concat({"1B 28 52 08 00 00 'REMOTE1'", c.bytes, "1B 00 00 00"});
        const DecodeResult r = DecodeBytes(bytes);
        ASSERT_TRUE(r.Ok()) << r.error->Text();
        ASSERT_EQ(r.commands.size(), 3u);
        EXPECT_EQ(r.commands[0].name, "ESC ( R");
        EXPECT_EQ(r.commands[0].text, "enter remote mode");
        EXPECT_EQ(r.commands[1].name, c.name);
        EXPECT_EQ(r.commands[1].text, c.text);
        EXPECT_TRUE(r.commands[1].remote);
        EXPECT_EQ(r.commands[1].offset, 13u);
        EXPECT_EQ(r.commands[1].length, Hex(c.bytes).size());
        EXPECT_EQ(r.commands[2].name, "ESC 00 00 00");
        EXPECT_EQ(r.commands[2].text, "exit remote mode");
        EXPECT_EQ(r.warnings.size(), c.warns ? 1u : 0u);
    }
}

TEST(DecodeCommands, ExitPacketModeIsThreeNulsAndTheEjlLines)
{
    const DecodeResult r = DecodeBytes(Hex("00 00 00 1B 01 '@EJL 1284.4' 0A '@EJL     ' 0A 1B 40"));
    ASSERT_TRUE(r.Ok()) << r.error->Text();
    ASSERT_EQ(r.commands.size(), 3u);
    EXPECT_EQ(r.commands[0].name, "NUL");
    EXPECT_EQ(r.commands[0].length, 3u);
    EXPECT_EQ(r.commands[1].name, "ESC 01");
    EXPECT_EQ(r.commands[1].text, "exit packet mode: \"@EJL 1284.4\" \"@EJL     \"");
    EXPECT_EQ(r.commands[1].offset, 3u);
    EXPECT_EQ(r.commands[1].length, 24u);
    EXPECT_EQ(r.commands[2].name, "ESC @");
}

// A known ESC ( command with a parameter count it does not take is a fault, not a guess.
TEST(DecodeCommands, KnownCommandsRejectWrongParameterCounts)
{
    const char* const cases[] = {
        "1B 28 47 00 00",          "1B 28 55 00 00",         "1B 28 55 03 00 01 02 03",
        "1B 28 44 00 00",          "1B 28 76 00 00",         "1B 28 76 03 00 01 02 03",
        "1B 28 24 02 00 01 00",    "1B 28 63 00 00",         "1B 28 53 04 00 01 02 03 04",
        "1B 28 65 01 00 12",       "1B 28 6D 00 00",         "1B 28 69 02 00 00 00",
    };
    for (const char* c : cases) {
        SCOPED_TRACE(c);
        const DecodeResult r = DecodeBytes(Hex(c));
        ASSERT_FALSE(r.Ok());
        EXPECT_EQ(r.error->offset, 0u);
        EXPECT_NE(r.error->message.find("parameter bytes, got"), std::string::npos) << r.error->Text();
        EXPECT_TRUE(r.commands.empty());
    }
}

TEST(DecodeCommands, ZeroUnitsAndZeroPitchesAreFaults)
{
    for (const char* c : {"1B 28 55 01 00 00", "1B 28 55 05 00 08 00 04 80 16", "1B 28 55 05 00 08 08 04 00 00",
                          "1B 28 44 04 00 00 00 20 08", "1B 28 44 04 00 80 16 00 08", "1B 28 44 04 00 80 16 20 00"}) {
        SCOPED_TRACE(c);
        const DecodeResult r = DecodeBytes(Hex(c));
        ASSERT_FALSE(r.Ok());
        EXPECT_EQ(r.error->command.substr(0, 5), "ESC (");
    }
}

TEST(DecodeCommands, InitialiseForgetsUnitsAndResolutionButNotThePaperPosition)
{
    const DecodeResult r = DecodeBytes(Concat({kSetup1440x720, "1B 28 76 04 00 08 00 00 00", "1B 40",
                                               "1B 69 02 00 02 01 00 01 00 C0"}));
    ASSERT_FALSE(r.Ok());
    EXPECT_EQ(r.error->command, "ESC i");
    EXPECT_EQ(r.error->message, "raster data before ESC ( U set the units");

    const DecodeResult again = DecodeBytes(Concat({kSetup1440x720, "1B 28 76 04 00 08 00 00 00", "1B 40",
                                                   kSetup1440x720, "1B 69 02 00 02 01 00 01 00 C0"}));
    ASSERT_TRUE(again.Ok()) << again.error->Text();
    ASSERT_EQ(again.blocks.size(), 1u);
    EXPECT_EQ(again.blocks[0].row, 8);
}

TEST(DecodeCommands, ShortHorizontalMovesAreRelativeAndAbsolute)
{
    const DecodeResult r = DecodeBytes(Hex("1B 24 10 00  1B 5C FD FF  1B 28 5C 02 00 02 00"));
    ASSERT_TRUE(r.Ok()) << r.error->Text();
    ASSERT_EQ(r.commands.size(), 3u);
    EXPECT_EQ(r.commands[1].text, "move -3 columns (column 13)");
    EXPECT_EQ(r.commands[2].text, "move 2 columns (column 15)");
    const DecodeResult left = DecodeBytes(Hex("1B 5C FF FF"));
    ASSERT_FALSE(left.Ok());
    EXPECT_EQ(left.error->command, "ESC \\");
}
}  // namespace

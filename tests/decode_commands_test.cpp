// Every command the decoder knows, written out byte by byte, and what it reads from it.
#include <gtest/gtest.h>

#include "decode_support.h"

namespace {
struct CommandCase {
    std::string bytes, name, text;
    bool warns;
};

std::vector<CommandCase> Cases(const std::string& where)
{
    std::vector<CommandCase> cases;
    for (const auto& row : test_support::DataTable("decode_commands.tsv"))
        if (row.at(0) == where) cases.push_back({row.at(1), row.at(2), row.at(3), row.at(4) == "1"});
    EXPECT_GT(cases.size(), 20u);
    return cases;
}


TEST(DecodeCommands, EachTopLevelCommandIsReadWithItsArguments)
{
    for (const CommandCase& c : Cases("top")) {
        SCOPED_TRACE(c.bytes);
        const std::vector<uint8_t> bytes = HexBytes(c.bytes);
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


TEST(DecodeCommands, EachRemoteRecordIsReadInsideRemoteMode)
{
    for (const CommandCase& c : Cases("remote")) {
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
        EXPECT_EQ(r.commands[1].length, HexBytes(c.bytes).size());
        EXPECT_EQ(r.commands[2].name, "ESC 00 00 00");
        EXPECT_EQ(r.commands[2].text, "exit remote mode");
        EXPECT_EQ(r.warnings.size(), c.warns ? 1u : 0u);
    }
}

TEST(DecodeCommands, ExitPacketModeIsThreeNulsAndTheEjlLines)
{
    const DecodeResult r = DecodeBytes(HexBytes("00 00 00 1B 01 '@EJL 1284.4' 0A '@EJL     ' 0A 1B 40"));
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
        const DecodeResult r = DecodeBytes(HexBytes(c));
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
        const DecodeResult r = DecodeBytes(HexBytes(c));
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
    const DecodeResult r = DecodeBytes(HexBytes("1B 24 10 00  1B 5C FD FF  1B 28 5C 02 00 02 00"));
    ASSERT_TRUE(r.Ok()) << r.error->Text();
    ASSERT_EQ(r.commands.size(), 3u);
    EXPECT_EQ(r.commands[1].text, "move -3 columns (column 13)");
    EXPECT_EQ(r.commands[2].text, "move 2 columns (column 15)");
    const DecodeResult left = DecodeBytes(HexBytes("1B 5C FF FF"));
    ASSERT_FALSE(left.Ok());
    EXPECT_EQ(left.error->command, "ESC \\");
}
}  // namespace

// Where the dots of raster blocks land, which pass and nozzle laid them, and faults in the data.
#include <gtest/gtest.h>

#include "decode_support.h"

namespace {
// Hand-worked blocks drawn as the plane they lay: one string a row, '.' for no dot.
TEST(DecodeRaster, BlocksLayEveryPixelAtItsRowAndColumn)
{
    const struct {
        const char* what;
        std::string stream;
        uint8_t ink;
        std::vector<std::string> picture;
    } cases[] = {
        // Raw, 2 bpp, 1 byte x 2 lines at row 3, column 7. E4 = 3 2 1 0, 1B = 0 1 2 3. Lines 4 rows
        // apart (nozzle pitch 1/180 inch at 720 rows per inch), pixels 2 columns apart.
        {"raw", std::string(kSetup1440x720) + "1B 28 76 04 00 03 00 00 00 1B 28 24 04 00 07 00 00 00"
                                              "1B 69 02 00 02 01 00 02 00 E4 1B 0D",
         0x02, {"", "", "", ".......3.2.1", "", "", "", ".........1.2.3"}},
        // 1 bpp, A5 = 1010 0101; MicroWeave on puts the lines on adjacent rows.
        {"1 bpp", std::string(kSetup1440x720) + "1B 28 69 01 00 01 1B 69 04 00 01 01 00 02 00 A5 80",
         0x04, {"1...1.....1...1", "1"}},
        // PackBits, 3 bytes x 2 lines: literal 40 00, then a run of 4 x FF over the line end.
        {"PackBits", std::string(kSetup1440x720) + "1B 69 01 01 02 03 00 02 00 01 40 00 FD FF 0D",
         0x01, {"1...............3.3.3.3", "", "", "", "3.3.3.3.3.3.3.3.3.3.3.3"}},
        // Base 28800, units 1/360 inch: a dot pitch of 80/28800 inch is one column.
        {"other base", "1B 28 55 05 00 10 10 10 80 16  1B 28 44 04 00 80 70 A0 50 1B 69 01 00 02 01 00 02 00 FF FF",
         0x01, {"3333", "", "3333"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const DecodeResult r = DecodeBytes(HexBytes(c.stream));
        ASSERT_TRUE(r.Ok()) << r.error->Text();
        ASSERT_EQ(r.pages.size(), 1u);
        const InkPlane* plane = r.pages[0].Plane(c.ink);
        ASSERT_NE(plane, nullptr);
        uint64_t inked = 0;
        for (int row = 0; row < static_cast<int>(c.picture.size()); ++row)
            for (int col = 0; col < 24; ++col) {
                const std::string& line = c.picture[row];
                const int want = col < static_cast<int>(line.size()) && line[col] != '.' ? line[col] - '0' : 0;
                inked += want != 0;
                EXPECT_EQ(plane->Value(row, col), want) << row << "," << col;
            }
        EXPECT_EQ(plane->Positions(), inked) << "no dot outside the picture";
    }
}

TEST(DecodeRaster, PitchesThatAreNotWholeUnitsAreFaults)
{
    // Units 1/360 inch horizontally, dot pitch 1/720 inch: half a column.
    const DecodeResult r = DecodeBytes(HexBytes("1B 28 55 05 00 10 10 10 80 16  1B 28 44 04 00 80 16 20 08"
                                           "1B 69 01 00 02 01 00 01 00 FF"));
    ASSERT_FALSE(r.Ok());
    EXPECT_NE(r.error->message.find("dot pitch"), std::string::npos);
    const DecodeResult noD = DecodeBytes(HexBytes("1B 28 55 05 00 10 10 10 80 16  1B 69 01 00 02 01 00 01 00 FF"));
    ASSERT_FALSE(noD.Ok());
    EXPECT_EQ(noD.error->message, "raster data before ESC ( D set the raster resolution");
}

TEST(DecodeRaster, PackBitsFaultsNameTheBlockAndTheCountByte)
{
    struct Case {
        const char* data;
        const char* message;
    };
    // Block: 2 bytes x 1 line; the data starts at offset 28 (19 bytes of set-up, 9 of header).
    const Case cases[] = {
        {"80 00 00", "PackBits count byte 0x80 is not allowed (count byte at offset 0x00001c)"},
        {"FD 00", "PackBits run overflows the block (count byte at offset 0x00001c)"},
        {"02 00 00 00", "PackBits run overflows the block (count byte at offset 0x00001c)"},
        {"00 00 FE 00", "PackBits run overflows the block (count byte at offset 0x00001e)"},
        {"01 00", "truncated: PackBits data ends after 0 of 2 bytes"},
        {"FF", "truncated: PackBits data ends after 0 of 2 bytes"},
        {"00 00", "truncated: PackBits data ends after 1 of 2 bytes"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.data);
        const DecodeResult r = DecodeBytes(Concat({kSetup1440x720, "1B 69 02 01 02 02 00 01 00", c.data}));
        ASSERT_FALSE(r.Ok());
        EXPECT_EQ(r.error->offset, 19u);
        EXPECT_EQ(r.error->command, "ESC i");
        EXPECT_EQ(r.error->message, c.message);
        EXPECT_TRUE(r.pages.empty());  // a faulty block lays nothing
    }
}

TEST(DecodeRaster, HeaderFaults)
{
    const struct {
        const char* block;
        const char* message;
    } cases[] = {
        {"1B 69 02 02 02 01 00 01 00 00", "compression mode 2 is not supported"},
        {"1B 69 02 00 03 01 00 01 00 00", "bits per pixel must be 1 or 2, not 3"},
        {"1B 69 02 00 02 02 00 02 00 00 00 00", "truncated: raster data needs 4 bytes, 3 left"},
        {"1B 69 02 00 02 02 00", "truncated: ESC i header needs 9 bytes, 7 left"},
        {"1B 69 02 01 02 FF FF FF FF 81 00",
         "the block unpacks to 4294836225 bytes, more than the 33554432 the decoder takes"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.block);
        const DecodeResult r = DecodeBytes(Concat({kSetup1440x720, c.block}));
        ASSERT_FALSE(r.Ok());
        EXPECT_EQ(r.error->Text(), std::string("offset 0x000013: ESC i: ") + c.message);
    }
}

// A pass is one sweep: blocks at one vertical position, each ink at most once.
TEST(DecodeRaster, PassesFollowSweepsAndNozzlesFollowLines)
{
    const DecodeResult r = DecodeBytes(Concat({
        kSetup1440x720,
        "1B 69 02 00 02 01 00 02 00 40 00 0D",   // pass 0: cyan, line 0
        "1B 69 01 00 02 01 00 02 00 00 40 0D",   // pass 0: magenta, line 1
        "1B 28 24 04 00 01 00 00 00",
        "1B 69 02 00 02 01 00 02 00 00 C0 0D",   // pass 1: cyan again, odd columns
        "1B 28 76 04 00 01 00 00 00",
        "1B 69 02 00 02 01 00 01 00 80 0D",      // pass 2: one row lower
    }));
    ASSERT_TRUE(r.Ok()) << r.error->Text();
    ASSERT_EQ(r.blocks.size(), 4u);
    const unsigned wantPass[] = {0, 0, 1, 2};
    for (size_t i = 0; i < 4; ++i) EXPECT_EQ(r.blocks[i].pass, wantPass[i]) << i;
    EXPECT_EQ(r.pages[0].passes, 3u);
    const InkPlane* c = r.pages[0].Plane(0x02);
    ASSERT_TRUE(c->Origin(0, 0).has_value());
    EXPECT_EQ(c->Origin(0, 0)->nozzle, 0u);
    EXPECT_EQ(c->Origin(4, 1)->pass, 1u);
    EXPECT_EQ(c->Origin(4, 1)->nozzle, 1u);
    EXPECT_EQ(c->Origin(1, 0)->pass, 2u);
    EXPECT_FALSE(c->Origin(0, 1).has_value());
    const InkPlane* m = r.pages[0].Plane(0x01);
    EXPECT_EQ(m->Origin(4, 0)->nozzle, 1u);
    EXPECT_EQ(r.pages[0].feeds, 1u);
    EXPECT_EQ(r.pages[0].feedLines, 1);
}

TEST(DecodeRaster, DoublePrintingIsCountedAndKeepsTheLargerDot)
{
    // Dot by dot with origins, a word at a time without: the third block also lays a new dot
    // beside the one printed a third time.
    for (const bool origins : {true, false}) {
        DecodeOptions o;
        o.trackOrigins = origins;
        const DecodeResult r = DecodeBytes(Concat({kSetup1440x720, "1B 69 02 00 02 01 00 01 00 40 0D",
                                                   "1B 69 02 00 02 01 00 01 00 80 0D",
                                                   "1B 69 02 00 02 01 00 01 00 43 0D"}), o);
        ASSERT_TRUE(r.Ok()) << r.error->Text();
        const InkPlane* c = r.pages[0].Plane(0x02);
        EXPECT_EQ(c->Hits(0, 0), 3);
        EXPECT_EQ(c->Value(0, 0), 2);  // 1, then 2, then 1: the largest, not their bits together
        EXPECT_EQ(c->Hits(0, 6), 1);  // pixel 3, every 2nd column
        EXPECT_EQ(c->Value(0, 6), 3);
        if (origins) {
            EXPECT_EQ(c->Origin(0, 0)->pass, 2u);
        }
        EXPECT_EQ(c->MultiplyPrinted(), 1u);
        EXPECT_EQ(c->Positions(), 2u);
        // Lines wide enough to go sixteen raster bytes at a time: 800 dots of value 1, then of
        // value 3 on the same positions (PackBits runs of 128 and 72 bytes 55, then FF).
        const DecodeResult wide = DecodeBytes(Concat({kSetup1440x720, "1B 69 02 01 02 C8 00 01 00 81 55 B9 55 0D",
                                                      "1B 69 02 01 02 C8 00 01 00 81 FF B9 FF 0D"}), o);
        ASSERT_TRUE(wide.Ok()) << wide.error->Text();
        const InkPlane* w = wide.pages[0].Plane(0x02);
        EXPECT_EQ(w->MultiplyPrinted(), 800u);
        EXPECT_EQ(w->Positions(), 800u);
        EXPECT_EQ(w->Dots(1) * 1000 + w->Dots(2) * 10 + w->Dots(3), 800u * 1000 + 800u);
        for (const int32_t col : {0, 640, 1598}) EXPECT_EQ(w->Value(0, col), 3) << col;
    }
}

TEST(DecodeRaster, FormFeedStartsANewPage)
{
    const DecodeResult r = DecodeBytes(Concat({kSetup1440x720, "1B 69 02 00 02 01 00 01 00 40 0D 0C",
                                               "1B 28 76 04 00 02 00 00 00 1B 69 01 00 02 01 00 01 00 40 0D 0C"}));
    ASSERT_TRUE(r.Ok()) << r.error->Text();
    ASSERT_EQ(r.pages.size(), 2u);
    EXPECT_EQ(r.pages[1].Plane(0x02), nullptr);
    EXPECT_EQ(r.pages[1].Plane(0x01)->Value(2, 0), 1);  // rows count from the new page's top
    EXPECT_EQ(r.blocks[1].page, 1);
}

TEST(DecodeRaster, DotsOutsideThePageLimitsAreFaults)
{
    DecodeOptions o;
    o.maxRows = 100;
    o.maxColumns = 64;
    const DecodeResult feed = DecodeBytes(Concat({kSetup1440x720, "1B 28 76 04 00 64 00 00 00"}), o);
    ASSERT_FALSE(feed.Ok());
    EXPECT_EQ(feed.error->command, "ESC ( v");
    // 2 lines 4 rows apart from row 96: the second line's dot would be at row 100.
    const DecodeResult block = DecodeBytes(
        Concat({kSetup1440x720, "1B 28 76 04 00 60 00 00 00 1B 69 02 00 02 01 00 02 00 00 40"}), o);
    ASSERT_FALSE(block.Ok());
    EXPECT_EQ(block.error->message, "dot at row 100, column 0 is outside the page limits (100 rows, 64 columns)");
    // The same block with the second line blank fits.
    EXPECT_TRUE(DecodeBytes(
                    Concat({kSetup1440x720, "1B 28 76 04 00 60 00 00 00 1B 69 02 00 02 01 00 02 00 40 00"}), o)
                    .Ok());
    const DecodeResult wide = DecodeBytes(Concat({kSetup1440x720, "1B 28 24 04 00 40 00 00 00"}), o);
    ASSERT_FALSE(wide.Ok());
    EXPECT_EQ(wide.error->command, "ESC ( $");
    // 180 lines of one dot each need far more than 4096 bytes of rows.
    DecodeOptions small;
    small.maxPlaneBytes = 4096;
    std::string tall = "1B 69 02 00 02 01 00 B4 00";
    for (int i = 0; i < 180; ++i) tall += " C0";
    const DecodeResult capped = DecodeBytes(Concat({kSetup1440x720, tall}), small);
    ASSERT_FALSE(capped.Ok());
    EXPECT_NE(capped.error->message.find("page planes would need more than 4096 bytes"), std::string::npos);
}

TEST(DecodeRaster, WarnsAboutDotsOffThePaperAndOverTallBlocks)
{
    // Paper 8 page units wide (16 columns at units 8 and 4), printable rows 0 and 1.
    std::string tall = "1B 69 02 00 02 01 00 B5 00";
    for (int i = 0; i < 181; ++i) tall += " 00";
    const DecodeResult r = DecodeBytes(Concat({kSetup1440x720, "1B 28 53 08 00 08 00 00 00 10 00 00 00",
                                               "1B 28 63 04 00 00 00 02 00", "1B 28 24 04 00 10 00 00 00",
                                               "1B 69 02 00 02 01 00 02 00 00 C0", "0D", tall}));
    ASSERT_TRUE(r.Ok()) << r.error->Text();
    ASSERT_EQ(r.warnings.size(), 3u);
    EXPECT_EQ(r.warnings[0].message, "dots beyond the paper width (column 16 of 16)");
    EXPECT_EQ(r.warnings[1].message, "dots below the bottom margin (row 4 of 2)");
    EXPECT_EQ(r.warnings[2].message, "block of 181 lines is taller than the 180-nozzle head");
}

}  // namespace

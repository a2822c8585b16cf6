// The decoder's renderings: listing, JSON summary, PGM planes and the colour preview; PackBits itself.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>

#include "decode/Listing.h"
#include "decode/PackBits.h"
#include "decode/PageImage.h"
#include "decode/Summary.h"
#include "decode_support.h"

namespace {
const char* const kSmallJob =
    "1B 28 52 08 00 00 'REMOTE1'  4D 49 04 00 00 01 0B 63  1B 00 00 00"
    "1B 28 55 05 00 08 08 04 80 16  1B 28 44 04 00 80 16 20 08"
    "1B 28 76 04 00 75 00 00 00  1B 28 24 04 00 D0 02 00 00"
    "1B 69 02 01 02 02 00 02 00 FD C0  0D  0C";

TEST(DecodeOutput, ListingIsOneStableLinePerCommand)
{
    const DecodeResult r = DecodeBytes(HexBytes(kSmallJob));
    ASSERT_TRUE(r.Ok()) << r.error->Text();
    EXPECT_EQ(Listing(r),
              "0x000000 ESC ( R        enter remote mode\n"
              "0x00000d   MI           media 11, size 99 (user size)\n"
              "0x000015 ESC 00 00 00   exit remote mode\n"
              "0x000019 ESC ( U        units page 8/5760, vertical 8/5760, horizontal 4/5760 inch (rows 720 dpi, "
              "columns 1440 dpi)\n"
              "0x000023 ESC ( D        raster resolution: nozzle rows 32/5760 inch apart, dot pitch 8/5760 inch (720 "
              "dpi)\n"
              "0x00002c ESC ( v        advance 117 lines (row 117)\n"
              "0x000035 ESC ( $        column 720\n"
              "0x00003e ESC i          ink C 0x02, PackBits, 2 bpp, 2 bytes x 2 lines (2 data bytes) at row 117, "
              "column 720, every 4th row, every 2nd column, pass 0, 4 dots\n"
              "0x000049 CR             carriage return\n"
              "0x00004a FF             form feed, eject the page\n");
}

TEST(DecodeOutput, JsonSummaryCountsDotsPassesFeedsAndBytes)
{
    const DecodeResult r = DecodeBytes(HexBytes(kSmallJob));
    const nlohmann::json j = nlohmann::json::parse(SummaryJson(r));
    EXPECT_EQ(j["bytes"], 75);
    EXPECT_EQ(j["passes"], 1);
    EXPECT_EQ(j["command_kinds"]["ESC i"]["bytes"], 11);
    EXPECT_EQ(j["command_kinds"]["ESC 00 00 00"]["count"], 1);
    ASSERT_EQ(j["pages"].size(), 1u);
    const nlohmann::json& page = j["pages"][0];
    EXPECT_EQ(page["width_px"], 720 + 8 + 1);  // C0 C0: pixels 0 and 4 of a line, 2 columns apart
    EXPECT_EQ(page["height_px"], 117 + 4 + 1);
    EXPECT_EQ(page["feeds"]["count"], 1);
    EXPECT_EQ(page["feeds"]["lines"], 117);
    ASSERT_EQ(page["inks"].size(), 1u);
    EXPECT_EQ(page["inks"][0]["name"], "C");
    EXPECT_EQ(page["inks"][0]["dots"]["large"], 4);
    EXPECT_TRUE(j["error"].is_null());

    const DecodeResult bad = DecodeBytes(HexBytes("1B 40 1B 51"));
    const nlohmann::json jb = nlohmann::json::parse(SummaryJson(bad));
    EXPECT_EQ(jb["error"], "offset 0x000002: ESC Q: unknown command");
}

class DecodeFiles : public ::testing::Test {
protected:
    test_support::TempDir tmp;
    const std::filesystem::path& dir = tmp.path();
};

TEST_F(DecodeFiles, PlanePgmHoldsTheDotValues)
{
    // Magenta 1 byte x 1 line = 1B: values 0 1 2 3 at columns 0 2 4 6; cyan 40 at column 0.
    const DecodeResult r = DecodeBytes(Concat({kSetup1440x720, "1B 69 01 00 02 01 00 01 00 1B 0D",
                                               "1B 69 02 00 02 01 00 01 00 40 0D"}));
    ASSERT_TRUE(r.Ok());
    std::string error;
    ASSERT_TRUE(WritePlanePgm(r.pages[0], *r.pages[0].Plane(0x01), (dir / "M.pgm").string(), error)) << error;
    EXPECT_EQ(test_support::ReadFile(dir / "M.pgm"), std::string("P5\n7 1\n3\n\0\0\1\0\2\0\3", 16));
    ASSERT_TRUE(WritePlanePgm(r.pages[0], *r.pages[0].Plane(0x02), (dir / "C.pgm").string(), error));
    EXPECT_EQ(test_support::ReadFile(dir / "C.pgm"), std::string("P5\n7 1\n3\n\1\0\0\0\0\0\0", 16));
    // Only the finished files are left behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator()), 2);
    EXPECT_FALSE(WritePlanePgm(r.pages[0], *r.pages[0].Plane(0x02), (dir / "no" / "C.pgm").string(), error));
    EXPECT_NE(error.find("no/C.pgm"), std::string::npos);
}

TEST_F(DecodeFiles, PreviewBlendsInksByMultiplyingAndAddsALegend)
{
    // 8 x 8 pixels at 360 dpi: cyan large dots everywhere, magenta large dots in the left half,
    // yellow small dots in the bottom half.
    std::string cyan = "1B 69 02 00 02 02 00 08 00", magenta = "1B 69 01 00 02 02 00 08 00",
                yellow = "1B 69 04 00 02 02 00 08 00";
    for (int line = 0; line < 8; ++line) {
        cyan += " FF FF";
        magenta += " FF 00";
        yellow += line < 4 ? " 00 00" : " 55 55";
    }
    const DecodeResult r = DecodeBytes(Concat({"1B 28 55 01 00 0A 1B 28 44 04 00 10 0E 0A 0A 1B 28 69 01 00 01",
                                               cyan, "0D", magenta, "0D", yellow, "0D"}));
    ASSERT_TRUE(r.Ok()) << r.error->Text();
    const RgbImage im = RenderPreview(r.pages[0], 1200);
    ASSERT_GE(im.width, 8);
    ASSERT_GT(im.height, 8);
    auto px = [&](int x, int y, int k) { return static_cast<int>(im.rgb[(static_cast<size_t>(y) * im.width + x) * 3 + k]); };
    // Cyan alone (0, 170, 235) at the top right; cyan x magenta (230, 0, 135) at the top left.
    EXPECT_EQ(px(6, 1, 0), 0);
    EXPECT_EQ(px(6, 1, 1), 170);
    EXPECT_EQ(px(6, 1, 2), 235);
    EXPECT_EQ(px(1, 1, 0), 0);
    EXPECT_EQ(px(1, 1, 1), 0);
    EXPECT_EQ(px(1, 1, 2), static_cast<int>(235.0 / 255 * 135 / 255 * 255 + 0.5));
    // Small yellow dots (255, 230, 0) cover a third: blue drops to 2/3 of cyan's.
    EXPECT_EQ(px(6, 6, 2), static_cast<int>(235.0 / 255 * (1 - 1.0 / 3) * 255 + 0.5));
    // The legend starts below the page with a rule; its first swatch is cyan (display order C, M, Y).
    EXPECT_EQ(px(0, 8, 0), 160);
    EXPECT_EQ(px(8, 8 + 8, 1), 170);
    std::string error;
    ASSERT_TRUE(WritePng(im, (dir / "p.png").string(), error)) << error;
    EXPECT_EQ(test_support::ReadFile(dir / "p.png").substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
}

TEST(DecodeOutput, PreviewIsScaledDownToSquarePixels)
{
    // 1440 x 720 dpi, dots at columns 0 and 3999 of row 0: 4000 columns wide is 2.78 inch.
    const DecodeResult r = DecodeBytes(Concat({kSetup1440x720, "1B 69 02 00 02 01 00 01 00 C0 0D",
                                               "1B 28 24 04 00 9F 0F 00 00 1B 69 02 00 02 01 00 01 00 C0"}));
    ASSERT_TRUE(r.Ok()) << r.error->Text();
    const RgbImage im = RenderPreview(r.pages[0], 1200);
    EXPECT_EQ(im.width, 1200);
    EXPECT_EQ(im.height, 1 + 6 + 14 + 6);  // one page row, then the legend strip
}

TEST(DecodePackBits, LiteralsAndRepeats)
{
    std::vector<uint8_t> out;
    const std::vector<uint8_t> in = HexBytes("02 01 02 03 FE 07 00 09");
    UnpackResult u = UnpackBits(in.data(), in.size(), 7, out);
    EXPECT_EQ(u.status, UnpackStatus::Ok);
    EXPECT_EQ(u.consumed, 8u);
    EXPECT_EQ(out, HexBytes("01 02 03 07 07 07 09"));

    const std::vector<uint8_t> longest = HexBytes("81 AA 7F");  // 128 repeats, then 128 literals announced
    u = UnpackBits(longest.data(), longest.size(), 128, out);
    EXPECT_EQ(u.status, UnpackStatus::Ok);
    EXPECT_EQ(out.size(), 128u);
    EXPECT_EQ(u.consumed, 2u);  // stops as soon as the block is full

    // The faults are named by the raster block tests.
    u = UnpackBits(nullptr, 0, 0, out);
    EXPECT_EQ(u.status, UnpackStatus::Ok);
    EXPECT_TRUE(out.empty());
}
}  // namespace

// The dot-by-dot comparison itself: on small streams written out byte by byte, and on a real
// job whose expectations are disturbed on purpose, it must notice every kind of fault.
#include <gtest/gtest.h>

#include <string>

#include "conservation_support.h"
#include "decode/Verify.h"
#include "support/TestSupport.h"

namespace {
using namespace conservation;

using test_support::HexBytes;

// Rows at 720 dpi, columns at 1440 dpi; raster lines 4 rows apart, pixels 2 columns apart.
const std::string kSetup = "1B 28 55 05 00 08 08 04 80 16 1B 28 44 04 00 80 16 20 08 ";
// Row 10, column 6; cyan (0x02), raw, 2 bits, 2 bytes x 2 lines: value 3 at (row 10,
// column 6) and value 1 at (row 14, column 20).
const std::string kMove = "1B 28 76 04 00 0A 00 00 00 ";
const std::string kCyanBlock = "1B 28 24 04 00 06 00 00 00 1B 69 02 00 02 02 00 02 00 C0 00 00 01 0D ";

DecodeResult DecodeHex(const std::string& text)
{
    const std::vector<uint8_t> b = HexBytes(text);
    return Decode(b.data(), b.size());
}

// The cyan plane the block prints, placed with its pixel (0, 0) at row 10, column 6.
VerifyPlane CyanPlane()
{
    VerifyPlane p;
    p.ink = 0x02;
    p.width = 16;
    p.height = 5;
    p.values.assign(16 * 5, 0);
    p.values[0] = 3;            // input (0, 0) -> row 10, column 6
    p.values[4 * 16 + 14] = 1;  // input (14, 4) -> row 14, column 20
    p.pageRow = 10;
    p.pageColumn = 6;
    return p;
}

// Each row: the input plane as changed, and the counts the comparison must give.
struct FaultCase {
    const char* what;
    void (*change)(VerifyPlane&);
    uint64_t expected, missing, extra, wrongValue;
};

TEST(VerifyDots, CountsEveryKindOfFault)
{
    const FaultCase cases[] = {
        {"nothing changed", [](VerifyPlane&) {}, 2, 0, 0, 0},
        {"a dot the stream lacks", [](VerifyPlane& p) { p.values[2 * 16 + 3] = 2; }, 3, 1, 0, 0},
        {"a dot the input lacks", [](VerifyPlane& p) { p.values[0] = 0; }, 1, 0, 1, 0},
        {"another value", [](VerifyPlane& p) { p.values[0] = 2; }, 2, 0, 0, 1},
        {"one row off", [](VerifyPlane& p) { p.pageRow = 9; }, 2, 2, 2, 0},
        {"one column off", [](VerifyPlane& p) { p.pageColumn = 7; }, 2, 2, 2, 0},
    };
    const DecodeResult d = DecodeHex(kSetup + kMove + kCyanBlock);
    for (const FaultCase& fc : cases) {
        VerifyPlane p = CyanPlane();
        fc.change(p);
        const VerifyReport r = VerifyDots(d, {p});
        ASSERT_EQ(r.inks.size(), 1u) << fc.what;
        const InkVerdict& v = r.inks[0];
        EXPECT_EQ(v.expected, fc.expected) << fc.what;
        EXPECT_EQ(v.missing, fc.missing) << fc.what;
        EXPECT_EQ(v.extra, fc.extra) << fc.what;
        EXPECT_EQ(v.wrongValue, fc.wrongValue) << fc.what;
        EXPECT_EQ(v.found, 2u) << fc.what;  // the stream is the same throughout
        const bool faulty = fc.missing + fc.extra + fc.wrongValue > 0;
        EXPECT_EQ(r.Ok(), !faulty) << fc.what;
        EXPECT_EQ(v.samples.empty(), !faulty) << fc.what;
    }
}

TEST(VerifyDots, BlockSentTwiceIsPrintedTwice)
{
    const VerifyReport r = VerifyDots(DecodeHex(kSetup + kMove + kCyanBlock + kCyanBlock), {CyanPlane()});
    ASSERT_EQ(r.inks.size(), 1u);
    EXPECT_EQ(r.inks[0].multiple, 2u);
    EXPECT_EQ(r.inks[0].missing + r.inks[0].extra + r.inks[0].wrongValue, 0u);
    EXPECT_FALSE(r.Ok());
    EXPECT_NE(FormatVerifyReport(r).find("printed 2 times"), std::string::npos);
}

TEST(VerifyDots, ExpectedMissingDotsMustBeMissing)
{
    const DecodeResult d = DecodeHex(kSetup + kMove + kCyanBlock);
    VerifyPlane p = CyanPlane();
    p.values[3 * 16 + 5] = 2;  // not in the stream: expected missing
    p.expectMissing.assign(p.values.size(), 0);
    p.expectMissing[3 * 16 + 5] = 1;
    VerifyReport r = VerifyDots(d, {p});
    EXPECT_TRUE(r.Ok()) << FormatVerifyReport(r);
    EXPECT_EQ(r.inks[0].markedMissing, 1u);
    EXPECT_EQ(r.inks[0].expected, 2u);

    p.expectMissing[0] = 1;  // printed all the same
    r = VerifyDots(d, {p});
    EXPECT_FALSE(r.Ok());
    EXPECT_EQ(r.inks[0].markedPresent, 1u);
    EXPECT_EQ(r.inks[0].expected, 1u);
}

TEST(VerifyDots, SingleDotSizeExpectsValueOne)
{
    // Value 1 at both positions in the stream; the input holds levels 3 and 1.
    const std::string block = "1B 28 24 04 00 06 00 00 00 1B 69 02 00 02 02 00 02 00 40 00 00 01 0D ";
    const DecodeResult d = DecodeHex(kSetup + kMove + block);
    VerifyOptions single;
    single.singleDotSize = true;
    EXPECT_TRUE(VerifyDots(d, {CyanPlane()}, single).Ok());
    const VerifyReport plain = VerifyDots(d, {CyanPlane()});
    EXPECT_EQ(plain.inks[0].wrongValue, 1u);
}

TEST(VerifyDots, InksOnlyOnOneSideAreReported)
{
    VerifyPlane black;
    black.ink = 0x00;
    black.width = 1;
    black.height = 1;
    black.values = {1};
    // Cyan printed but not in the input; black in the input but not printed.
    const VerifyReport r = VerifyDots(DecodeHex(kSetup + kMove + kCyanBlock), {black});
    ASSERT_EQ(r.inks.size(), 2u);
    EXPECT_EQ(r.inks[0].ink, 0x00);
    EXPECT_EQ(r.inks[0].missing, 1u);
    EXPECT_EQ(r.inks[1].ink, 0x02);
    EXPECT_EQ(r.inks[1].extra, 2u);
    EXPECT_FALSE(r.Ok());
    // Without any raster data every input dot is missing.
    const VerifyReport none = VerifyDots(DecodeHex(kSetup), {black});
    EXPECT_TRUE(none.error.empty());
    EXPECT_EQ(none.inks[0].missing, 1u);
}

TEST(VerifyDots, BadStreamOrPlanesGiveAnError)
{
    const VerifyReport bad = VerifyDots(DecodeHex("1B 40 1B 51"), {CyanPlane()});
    EXPECT_FALSE(bad.Ok());
    EXPECT_NE(bad.error.find("ESC Q"), std::string::npos) << bad.error;

    const DecodeResult d = DecodeHex(kSetup + kMove + kCyanBlock);
    VerifyPlane shortPlane = CyanPlane();
    shortPlane.values.pop_back();
    EXPECT_FALSE(VerifyDots(d, {shortPlane}).error.empty());
    EXPECT_FALSE(VerifyDots(d, {CyanPlane(), CyanPlane()}).error.empty());
}

// The verdict of the rows judged as the head leaves them is the whole page's, also where the
// paper moves back over judged rows and where the stream has an ink the input lacks.
TEST(VerifyStream, AgreesWithTheWholePage)
{
    const std::string forward = "1B 28 76 04 00 0A 00 00 00 ", back = "1B 28 56 04 00 0A 00 00 00 ";
    const std::string topLine = "1B 28 24 04 00 06 00 00 00 1B 69 02 00 02 02 00 01 00 C0 00 0D ";
    const std::string bottomLine = "1B 28 24 04 00 06 00 00 00 1B 69 02 00 02 02 00 02 00 00 00 00 01 0D ";
    const std::string yellowBlock = "1B 28 24 04 00 06 00 00 00 1B 69 04 00 02 02 00 01 00 C0 00 0D ";
    const struct {
        std::string stream;
        bool ok;
    } cases[] = {
        {kSetup + kMove + kCyanBlock + forward, true},
        {kSetup + kMove + kCyanBlock + forward + back + kCyanBlock, false},  // every dot twice
        {kSetup + kMove + topLine + forward + back + bottomLine, true},       // the second dot after the move back
        {kSetup + kMove + kCyanBlock + forward + yellowBlock, false},         // an ink the input lacks
    };
    for (const auto& c : cases) {
        const std::vector<uint8_t> b = HexBytes(c.stream);
        const VerifyReport window = VerifyStream(b.data(), b.size(), {CyanPlane()});
        EXPECT_EQ(window.Ok(), c.ok) << FormatVerifyReport(window);
        EXPECT_EQ(FormatVerifyReport(window), FormatVerifyReport(VerifyDots(Decode(b.data(), b.size()), {CyanPlane()})));
    }
}

// The rig on a real job: it agrees when nothing is disturbed, and notices a page one row
// off and the single-dot-size flag's levels.
TEST(ConservationRig, NoticesDisturbedExpectations)
{
    JobConfig c;
    c.method = 3;  // 1440x720
    c.content = Content::Lines;
    const Page page = MakePage(c);
    const JobRun run = RunJob(c, page);
    const DecodeResult d = DecodeRun(run, false);
    std::vector<VerifyPlane> planes = VerifyPlanes(c, page);
    const VerifyReport good = VerifyDots(d, planes);
    ASSERT_TRUE(good.Ok()) << FormatVerifyReport(good);
    ASSERT_EQ(good.inks.size(), 3u);
    for (const InkVerdict& v : good.inks) {
        EXPECT_GT(v.expected, 1000u);
        EXPECT_EQ(v.found, v.expected);
    }

    std::vector<VerifyPlane> off = planes;
    off[1].pageRow += 1;
    const VerifyReport shifted = VerifyDots(d, off);
    EXPECT_GT(shifted.inks[1].missing, 0u);
    EXPECT_GT(shifted.inks[1].extra, 0u);

    c.singleDotSize = true;
    const JobRun single = RunJob(c, page);
    const VerifyReport levels = VerifyDots(DecodeRun(single, false), planes);
    EXPECT_GT(levels.inks[0].wrongValue, 0u);
    EXPECT_EQ(levels.inks[0].missing + levels.inks[0].extra, 0u);
}

}  // namespace

// The decoder on hostile geometry: dots beyond what the printer can print are refused, and the
// pictures of a page cover only its inked area.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "decode/PageImage.h"
#include "decode_support.h"

namespace {
// One large cyan dot after moving the paper `row` rows and the head to `column`.
std::string DotAt(uint32_t row, uint32_t column)
{
    char text[160];
    std::snprintf(text, sizeof text, "1B 28 76 04 00 %02X %02X %02X %02X 1B 28 24 04 00 %02X %02X %02X %02X "
                  "1B 69 02 00 02 01 00 01 00 C0 0D", row & 0xFF, (row >> 8) & 0xFF, (row >> 16) & 0xFF, row >> 24,
                  column & 0xFF, (column >> 8) & 0xFF, (column >> 16) & 0xFF, column >> 24);
    return text;
}

std::string PgmOf(const DecodedPage& page)
{
    char* buffer = nullptr;
    size_t size = 0;
    FILE* f = open_memstream(&buffer, &size);
    const bool ok = WritePlanePgm(page, *page.Plane(0x02), f);
    std::fclose(f);
    std::string bytes(buffer, size);
    std::free(buffer);
    return ok ? bytes : "write failed";
}

TEST(DecodeBounds, PagesBeyondThePrinterAreRefusedAndPicturesCropToTheInk)
{
    // At 1440 x 720 dpi the widest medium (13 in) is 18720 columns and the longest page
    // (483 mm) 13691 rows; moves are relative, so the second dot's row adds to the first's.
    struct Case {
        const char* what;
        std::string dots;
        const char* error;   // part of the fault, or null
        std::string pgm;     // the cyan plane over the inked area
    };
    const Case cases[] = {
        {"last column", DotAt(0, 18719), nullptr, std::string("P5\n1 1\n3\n\3", 10)},
        {"first column past the widest medium", DotAt(0, 18720), "beyond the widest medium", ""},
        {"last row", DotAt(13690, 0), nullptr, std::string("P5\n1 1\n3\n\3", 10)},
        {"first row past the longest page", DotAt(13691, 0), "beyond the longest page", ""},
        {"far corner of the move limits", DotAt((1 << 20) - 64, (1 << 18) - 16), "beyond", ""},
        {"two dots: only the box between them", DotAt(100, 200) + DotAt(3, 210), nullptr,
         std::string("P5\n11 4\n3\n\3", 11) + std::string(42, '\0') + "\3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const DecodeResult r = DecodeBytes(Concat({kSetup1440x720, c.dots}));
        if (c.error) {
            ASSERT_FALSE(r.Ok());
            EXPECT_NE(r.error->message.find(c.error), std::string::npos) << r.error->message;
            continue;
        }
        ASSERT_TRUE(r.Ok()) << r.error->Text();
        EXPECT_EQ(PgmOf(r.pages[0]), c.pgm);
        // The preview of a single far dot is one pixel above the legend, not the page's extent.
        const RgbImage im = RenderPreview(r.pages[0], 1200);
        if (r.pages[0].planes[0].Positions() == 1) {
            EXPECT_EQ(im.height, 1 + 6 + 14 + 6);
        }
    }
}

TEST(DecodeBounds, KeptCommandsHaveAMemoryBound)
{
    // 4096 carriage returns are 4096 commands; a budget below their listing stops the decoder.
    DecodeOptions o;
    o.maxListingBytes = 64 * 1024;
    const DecodeResult r = DecodeBytes(std::vector<uint8_t>(4096, 0x0D), o);
    ASSERT_FALSE(r.Ok());
    EXPECT_NE(r.error->message.find("listing"), std::string::npos) << r.error->message;
    EXPECT_TRUE(DecodeBytes(std::vector<uint8_t>(64, 0x0D), o).Ok());
}
}  // namespace

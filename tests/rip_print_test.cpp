// `rphoto print PICTURE`: where the picture lands in the decoded job, and refusals of damaged
// files without an output file.
#include <gtest/gtest.h>

#include <vips/vips8>

#include <filesystem>
#include <fstream>

#include "decode/Decoder.h"
#include "support/TestSupport.h"

namespace fs = std::filesystem;

namespace {

class PicturePrint : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(VIPS_INIT("rip_print_test"), 0);
    }

    // Exit status and everything printed.
    int Run(const std::string& args, std::string* out = nullptr)
    {
        const test_support::ShellRun run = test_support::RunShell("'" + test_support::RphotoCommand() + "' print --settings '" +
                                                                  (dir / "s.ini").string() + "' --quiet " + args + " 2>&1");
        if (out) *out = run.out;
        return run.status;
    }
    const test_support::TempDir tmp;
    const fs::path dir = tmp.path();
};

struct Box { int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1; };

// The inked area of the first page over all inks.
Box InkedBox(const std::string& job)
{
    std::ifstream f(job, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    DecodeOptions options;
    options.trackOrigins = false;
    const DecodeResult d = Decode(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), options);
    EXPECT_TRUE(d.Ok());
    Box b;
    if (d.pages.empty()) return b;
    for (const InkPlane& p : d.pages[0].planes) {
        std::vector<uint8_t> row(static_cast<size_t>(p.Width()));
        for (int y = 0; y < p.Height(); ++y) {
            p.CopyRow(y, p.Width(), row.data());
            for (int x = 0; x < p.Width(); ++x)
                if (row[static_cast<size_t>(x)]) {
                    b.left = std::min(b.left, x), b.right = std::max(b.right, x);
                    b.top = std::min(b.top, y), b.bottom = std::max(b.bottom, y);
                }
        }
    }
    return b;
}

TEST_F(PicturePrint, PlacesTurnsAndScalesThePicture)
{
    // 400 x 200 at 300 dpi, its top half black: after an anticlockwise turn the ink is on the
    // left. A6 less 3 mm margins is 99 x 142 mm, 2806 x 4025 pixels at 720 dpi.
    vips::VImage top = vips::VImage::black(400, 100);
    vips::VImage picture = top.join(top + 255, VIPS_DIRECTION_VERTICAL).cast(VIPS_FORMAT_UCHAR).copy(
        vips::VImage::option()->set("xres", 300 / 25.4)->set("yres", 300 / 25.4));
    picture.write_to_file((dir / "half.png").c_str());
    const int areaW = 2806, areaH = 4025;
    struct Case { const char* options; int width, height, left, top; };
    const int fitW = 2013;  // 71 mm: the turned picture is 142 mm tall
    for (const Case c : {Case{"", fitW / 2, areaH, (areaW - fitW) / 2, 0},
                         Case{"--no-rotate", areaW, 1403 / 2, 0, (areaH - 1403) / 2},
                         Case{"--fill", areaW / 2, areaH, 0, 0},
                         Case{"--no-rotate --scale 50", 480, 120, (areaW - 480) / 2, (areaH - 240) / 2}}) {
        const std::string job = (dir / "job.prn").string();
        ASSERT_EQ(Run(std::string("--model r3000 --method 720x720 --media-size 'ISO A6' ") + c.options + " -o " + job + " " +
                      (dir / "half.png").string()), 0) << c.options;
        const Box b = InkedBox(job);
        const int x0 = b.left - c.left, y0 = b.top - c.top;  // where the raster starts on the decoded page
        // The resampling kernel softens the black-to-white edge inside the picture by a few pixels.
        EXPECT_NEAR(b.right - b.left + 1, c.width, 3 + c.width / 50) << c.options;
        EXPECT_NEAR(b.bottom - b.top + 1, c.height, 3 + c.height / 50) << c.options;
        EXPECT_NEAR(x0, 0, 3) << c.options << ": the raster's first column";
        EXPECT_NEAR(y0, 43, 3) << c.options << ": the device's 1.5 mm top offset";
    }
}

TEST_F(PicturePrint, RefusesDamagedFilesWithoutWritingAJob)
{
    const vips::VImage image = vips::VImage::black(64, 48, vips::VImage::option()->set("bands", 3)) + 128;
    const std::string pdf =
        "%PDF-1.4\n1 0 obj<</Type/Catalog/Pages 2 0 R>>endobj 2 0 obj<</Type/Pages/Kids[3 0 R]/Count 1>>endobj "
        "3 0 obj<</Type/Page/Parent 2 0 R/MediaBox[0 0 200 100]/Contents 4 0 R>>endobj 4 0 obj<</Length 20>>stream\n"
        "0 0 100 50 re f\nendstream endobj\ntrailer<</Root 1 0 R>>\n%%EOF\n";
    struct Case { const char* name; std::string bytes; };
    for (Case c : {Case{"a.jpg", ""}, Case{"a.png", ""}, Case{"a.tif", ""}, Case{"a.pdf", pdf}}) {
        if (c.bytes.empty()) {
            void* buf = nullptr;
            size_t size = 0;
            image.cast(VIPS_FORMAT_UCHAR).write_to_buffer((std::string(".") + fs::path(c.name).extension().string().substr(1)).c_str(), &buf, &size);
            c.bytes.assign(static_cast<const char*>(buf), size);
            g_free(buf);
        }
        for (const bool truncated : {true, false}) {
            std::string bytes = c.bytes;
            if (truncated) bytes.resize(bytes.size() / 2);
            else for (size_t i = bytes.size() / 4; i < bytes.size(); i += 7) bytes[i] = '\xff';
            const fs::path file = dir / c.name;
            std::ofstream(file, std::ios::binary) << bytes;
            const fs::path job = dir / "bad.prn";
            std::string out;
            EXPECT_NE(Run("--model r2000 --method 1440x720 -o " + job.string() + " " + file.string(), &out), 0) << c.name;
            EXPECT_NE(out.find(file.string()), std::string::npos) << c.name << ": " << out;
            EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1) << c.name << ": " << out;
            EXPECT_FALSE(fs::exists(job)) << c.name << (truncated ? " truncated" : " corrupt");
        }
    }
}
}  // namespace

// `rphoto decode` as users run it: exit codes, the one-line fault, files it writes.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "decode_support.h"

namespace {
const std::string kRphoto = test_support::RphotoCommand();
using test_support::RunShell;
using CliRun = test_support::ShellRun;

class DecodeCli : public ::testing::Test {
protected:
    std::string Write(const std::string& name, const std::vector<uint8_t>& bytes)
    {
        test_support::WriteFile(dir / name, std::string(bytes.begin(), bytes.end()));
        return dir / name;
    }
    test_support::TempDir dir;
};

TEST_F(DecodeCli, AFaultIsOneLineWithFileOffsetAndCommandAfterTheListing)
{
    const std::string job =
        Write("bad.prn", Concat({kSetup1440x720, "1B 69 02 01 02 02 00 01 00 FD 00"}));
    const CliRun r = RunShell("'" + kRphoto + "' decode '" + job + "' --list 2>&1");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out,
              "0x000000 ESC ( U        units page 8/5760, vertical 8/5760, horizontal 4/5760 inch (rows 720 dpi, "
              "columns 1440 dpi)\n"
              "0x00000a ESC ( D        raster resolution: nozzle rows 32/5760 inch apart, dot pitch 8/5760 inch (720 "
              "dpi)\n"
              "rphoto: " + job + ": offset 0x000013: ESC i: PackBits run overflows the block (count byte at offset "
              "0x00001c)\n");
    const CliRun missing = RunShell("'" + kRphoto + "' decode '" + (dir / "none.prn") + "' 2>&1");
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "rphoto: " + (dir / "none.prn") + ": cannot open the file\n");
}

TEST_F(DecodeCli, WritesPlanesAndPreviewOnlyForAGoodStream)
{
    const std::string job = Write("ok.prn", Concat({kSetup1440x720, "1B 69 02 00 02 01 00 01 00 C0 0D",
                                                    "1B 69 40 00 02 01 00 01 00 40 0D 0C"}));
    const std::string planes = (dir / "planes"), png = (dir / "p.png");
    CliRun r = RunShell("'" + kRphoto + "' decode '" + job + "' --planes '" + planes + "' --preview '" + png + "'");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "planes" / "C.pgm"));
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "planes" / "PK.pgm"));
    EXPECT_TRUE(std::filesystem::exists(png));
    EXPECT_NE(r.out.find("inks: C (cyan) PK (photo black)"), std::string::npos) << r.out;

    const std::string bad = Write("bad.prn", Concat({kSetup1440x720, "1B 69 02 00 02 01 00 01 00"}));
    r = RunShell("'" + kRphoto + "' decode '" + bad + "' --preview '" + (dir / "q.png") + "' 2>&1");
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(std::filesystem::exists(dir / "q.png"));
    // Only the finished files: no temporaries left beside them.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), std::filesystem::directory_iterator()), 4);
}

TEST_F(DecodeCli, JsonAndSummary)
{
    const std::string job = Write("ok.prn", Concat({kSetup1440x720, "1B 69 02 00 02 01 00 01 00 C0 0D 0C"}));
    CliRun r = RunShell("'" + kRphoto + "' decode '" + job + "' --json");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("\"passes\": 1"), std::string::npos) << r.out;
    r = RunShell("'" + kRphoto + "' decode '" + job + "'");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "31 bytes, 5 commands, 1 raster blocks, 1 passes, 1 page\n"
              "page 1: 1 x 1 pixels at 1440 x 720 dpi, 1 passes, 0 feeds (0 lines)\n"
              "  C    cyan: 1 dots (small 0, medium 0, large 1), 0 printed more than once\n");
}
}  // namespace

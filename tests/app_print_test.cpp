// `rphoto print` as a user runs it: refusals before any byte, stdout, a full device, --verify.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "support/TestSupport.h"

namespace fs = std::filesystem;

namespace {

using test_support::RunShell;
using Result = test_support::ShellRun;

class PrintCommand : public ::testing::Test {
protected:
    // A 2-bit plane (PGM, maxval 3) of w x h with a diagonal pattern of all four levels.
    std::string Plane(const std::string& name, int w, int h, int seed)
    {
        const std::string path = (dir / name);
        std::ofstream f(path, std::ios::binary);
        f << "P5\n" << w << " " << h << "\n3\n";
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) f.put(static_cast<char>(((x + 2 * y + seed) / 3) % 4));
        return path;
    }
    std::string Cmd(const std::string& args) const
    {
        return "'" + test_support::RphotoCommand() + "' print --settings '" + settings + "' --quiet " + args + " 2>&1";
    }

    test_support::TempDir dir;
    std::string settings = dir / "settings.ini";
};

TEST_F(PrintCommand, BadPlanesAreRefusedBeforeAnyByteIsWritten)
{
    const std::string a = Plane("a.pgm", 40, 30, 0);
    const std::string b = Plane("b.pgm", 41, 30, 1);
    const std::string out = (dir / "job.prn");
    Result r = RunShell(Cmd("--model r2000 --method 720x720 -o '" + out + "' '" + a + "' '" + b + "'"));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find(b), std::string::npos) << r.out;
    EXPECT_FALSE(fs::exists(out));

    const std::string cut = (dir / "cut.pgm");
    std::ofstream(cut, std::ios::binary) << "P5\n40 30\n3\n" << std::string(100, '\1');
    r = RunShell(Cmd("--model r3000 --method 720x720 -o '" + out + "' '" + cut + "'"));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find(cut), std::string::npos) << r.out;
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1) << r.out;
    EXPECT_FALSE(fs::exists(out));

    r = RunShell(Cmd("--model r9000 --method 720x720 -o '" + out + "' '" + a + "'"));
    EXPECT_NE(r.status, 0);
    EXPECT_FALSE(fs::exists(out));
}

TEST_F(PrintCommand, WritesToStdoutAndFailsOnAFullDevice)
{
    const std::string a = Plane("a.pgm", 40, 30, 0);
    Result r = RunShell(Cmd("--model r2000 --method 1440x720 -o - '" + a + "' 2>/dev/null | head -c 27"));
    EXPECT_EQ(r.out, std::string("\0\0\0\x1b\x01@EJL 1284.4\n@EJL     \n", 27));

    r = RunShell(Cmd("--model r2000 --method 1440x720 -o /dev/full '" + a + "'"));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("failed"), std::string::npos) << r.out;
}

TEST_F(PrintCommand, VerifyFindsEveryDotOnceForBothModels)
{
    const std::string k = Plane("k.pgm", 61, 900, 0);
    const std::string c = Plane("c.pgm", 61, 900, 5);
    for (const char* model : {"r2000", "r3000"}) {
        const std::string out = (dir / (std::string(model) + ".prn"));
        Result r = RunShell(Cmd(std::string("--model ") + model + " --method 1440x720 --verify -o '" + out + "' '" + k +
                                "' '" + c + "'"));
        EXPECT_EQ(r.status, 0) << r.out;
        EXPECT_NE(r.out.find("every dot printed exactly once"), std::string::npos) << r.out;
    }
}

TEST_F(PrintCommand, VerifyExpectsTheDotsOfMarkedNozzlesMissing)
{
    const std::string k = Plane("k.pgm", 61, 900, 0);
    const std::string out = (dir / "job.prn");
    Result r = RunShell(Cmd("--model r3000 --method 720x720 --set DP2_bEnableBrokenNozzles=1 "
                            "--set DP2_bBrokenNozzle_3=1 --verify -o '" + out + "' '" + k + "'"));
    EXPECT_EQ(r.status, 0) << r.out;
    // The marked-missing column reads found/expected, both nonzero and equal.
    const size_t line = r.out.find("K 0x00");
    ASSERT_NE(line, std::string::npos) << r.out;
    const std::string row = r.out.substr(line, r.out.find('\n', line) - line);
    const size_t slash = row.rfind('/');
    ASSERT_NE(slash, std::string::npos) << row;
    const size_t start = row.find_last_of(' ', slash) + 1;
    const std::string gone = row.substr(start, slash - start);
    EXPECT_NE(gone, "0") << row;
    EXPECT_EQ(row.substr(slash + 1), gone) << row;
}

}  // namespace

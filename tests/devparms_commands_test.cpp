// `rphoto options` and `rphoto streams` as a user runs them.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "support/TestSupport.h"

using test_support::Command;
using test_support::Hex;
using test_support::Params;
using test_support::ReadCommands;
using test_support::ReadFile;

namespace {

class Commands : public ::testing::Test {
protected:
    std::string Rphoto(const std::string& args)
    {
        const test_support::ShellRun run = test_support::RunShell("SOURCE_DATE_EPOCH=0 '" + test_support::RphotoCommand() +
                                                                  "' " + args + " --settings '" + settings + "' 2>&1");
        status = run.status;
        return run.out;
    }
    std::string Settings() const { return std::filesystem::exists(settings) ? ReadFile(settings) : ""; }

    test_support::TempDir dir;
    std::string settings = dir / "s.ini";
    int status = 0;
};

TEST_F(Commands, OptionsShowsLoadedValuesAndSavesAChange)
{
    std::string out = Rphoto("options --model r2000");
    ASSERT_EQ(status, 0) << out;
    EXPECT_NE(out.find("nPaperTyp = 18\n"), std::string::npos) << out;
    EXPECT_NE(out.find("bBidirectional = 1 (on)\n"), std::string::npos) << out;

    out = Rphoto("options --model r2000 --set nMediaSource=1 --set bBrokenNozzle_179=1 --set 'strPaperTyp=Plain Paper' "
                 "--set nPlateGap=127");
    ASSERT_EQ(status, 0) << out;
    EXPECT_NE(out.find("nPlateGap = 127\n"), std::string::npos) << "the highest platen gap is allowed";
    EXPECT_NE(out.find("nMediaSource = 1 (Roll)\n"), std::string::npos) << out;
    EXPECT_NE(out.find("strPaperTyp = Plain Paper\n"), std::string::npos) << out;
    EXPECT_NE(out.find("1 marked (179)"), std::string::npos) << out;
    const std::string saved = Settings();
    EXPECT_NE(saved.find("DP1_nMediaSource = 1\n"), std::string::npos);
    EXPECT_EQ(saved.find("DP1_bBrokenNozzle_0 "), std::string::npos) << "only what changed is written";
    EXPECT_EQ(saved.find("UID"), std::string::npos) << "the model of the run is not stored";

    out = Rphoto("options --model r3000 --set nPaperThickness=17 --set nDirectionalControl=3");
    ASSERT_EQ(status, 0) << out;
    EXPECT_NE(out.find("nPaperThickness = 17 (1.6 mm)\n"), std::string::npos) << out;
    EXPECT_NE(out.find("nDirectionalControl = 3 (Unidirectional 80 to 0)\n"), std::string::npos) << out;
    EXPECT_NE(Settings().find("DP1_nMediaSource = 1\n"), std::string::npos) << "other model kept";
}

TEST_F(Commands, OptionsRefusesUnknownNamesAndValuesOutOfRangeAndSavesNothing)
{
    Rphoto("options --model r3000 --set nDryTimeScan=500");
    ASSERT_EQ(status, 0);
    const std::string before = Settings();
    const char* bad[] = {
        "--model r3000 --set nDryTimeScan=10001",  "--model r3000 --set nPlateGap=5",
        "--model r3000 --set nDryTimeScan=5 --set nMediaSource=4",
        "--model r2000 --set nPlateGap=128",        "--model r2000 --set nDirectionalControl=1",
        "--model r2000 --set inkMode=2",            "--model r3000 --set 'strPaperTyp=Enhanced Matte Paper'",
        "--model r2000 --set bBrokenNozzle_180=1",  "--model r3000 --set nPaperTyp=15",
        "--model r3000 --set bCutFlag=yes",         "--model r3000 --set nInkLevels=2",
    };
    for (const char* args : bad) {
        const std::string out = Rphoto(std::string("options ") + args);
        EXPECT_NE(status, 0) << args;
        EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1) << out;
        EXPECT_EQ(Settings(), before) << args;
    }
}

TEST_F(Commands, StreamsWritesTheStartAndEndStreamsOfTheJob)
{
    const std::string out = Rphoto("streams --model r2000 --method 1440x720 --media-size 'ISO A3Plus' --set "
                                   "'DP1_strPaperTyp=Premium Glossy Photo Paper' --job-name Proof -o '" +
                                   (dir / "out.bin") + "'");
    ASSERT_EQ(status, 0) << out;
    const std::string bytes = ReadFile(dir / "out.bin");
    std::vector<Command> cmds;
    ASSERT_EQ(ReadCommands(bytes, &cmds), "");
    EXPECT_EQ(Params(cmds, "JS"), Hex("00") + "Proof" + Hex("00"));
    EXPECT_EQ(Params(cmds, "MI"), Hex("00 01 0B 63"));
    EXPECT_EQ(Params(cmds, "ESC(m"), Hex("72"));  // the large-size method for A3+
    EXPECT_EQ(Params(cmds, "ESC(S"), Hex("6E 24 00 00 7B 35 00 00"));  // 329 x 483 mm at 720 dpi
    const std::string end = Hex(test_support::DataFile("end_stream.hex"));
    ASSERT_GE(bytes.size(), end.size());
    EXPECT_EQ(bytes.substr(bytes.size() - end.size()), end);
    EXPECT_EQ(Settings(), "") << "--set is for the run only";
}

TEST_F(Commands, StreamsMarginsAndThePrintedWidth)
{
    // 2 mm side margins, printed width only: (210 - 4) mm at 360 dpi is 2919 whole pixels,
    // 205.95 mm, + 4 mm = 209.95 mm.
    const std::string out = Rphoto("streams --model r3000 --method 360x360 --media-size 'ISO A4' --margins 2,6,2,4 "
                                   "--set DP2_bMoveFullHeadWidth=0 -o -");
    ASSERT_EQ(status, 0);
    std::vector<Command> cmds;
    ASSERT_EQ(ReadCommands(out, &cmds), "");
    EXPECT_EQ(Params(cmds, "ESC(S"), Hex("A0 0B 00 00 71 10 00 00"));  // 2976 x 4209 page units
    EXPECT_EQ(Params(cmds, "ESC(c"), Hex("15 00 00 00 39 10 00 00"));  // 1.5 mm -> 21, 293 mm -> 4153
    EXPECT_EQ(Params(cmds, "FP"), Hex("00 00 00"));
}

TEST_F(Commands, StreamsRefusesBadJobsAndWritesNothing)
{
    const char* bad[] = {
        "--method 1440x720 --media-size 'ISO B7'", "--method 1440 --media-size 'ISO A4'",
        "--method x720 --media-size 'ISO A4'",     "--method 1440x0 --media-size 'ISO A4'",
        "--method 1440x720 --media-size 'ISO A4' --margins 3,3,3",
        "--method 1440x720 --media-size 'ISO A4' --margins 3,3,3,-1",
        "--method 1440x720 --media-size 'ISO A4' --margins 105,0,105,0",
    };
    for (const char* args : bad) {
        const std::string out = Rphoto(std::string("streams --model r2000 ") + args + " -o '" + (dir / "out.bin") + "'");
        EXPECT_NE(status, 0) << args;
        EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1) << out;
        EXPECT_FALSE(std::filesystem::exists(dir / "out.bin")) << args;
    }
}

}  // namespace

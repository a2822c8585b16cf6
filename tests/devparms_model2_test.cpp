// Model-2 (R3000) options: persistence with the print method's ink levels, page transfer and
// the job start and end streams.
#include <gtest/gtest.h>

#include <cstdlib>

#include "devparms/CDEFP_2_RPHOTO.h"
#include "devparms_support.h"
#include "pages/CEpsonRPhoto3000Page.h"

using devparms_test::Command;
using devparms_test::Hex;
using devparms_test::Job;
using devparms_test::Names;
using devparms_test::Params;
using devparms_test::ReadStream;

namespace {

class Model2Stream : public ::testing::Test {
protected:
    void SetUp() override { setenv("SOURCE_DATE_EPOCH", "0", 1); }
    void TearDown() override { unsetenv("SOURCE_DATE_EPOCH"); }

    // The worked example: premium glossy, photo black, a six-field method whose field 6 is 2.
    void StartExample(double resX = 1440, double resY = 720, const char* method = "1440x720",
                      const char* parms6 = "1,2,3,4,3,2")
    {
        job.env.PutString((std::string("$Parms$") + method).c_str(), parms6);
        job.Start(&parms, resX, resY, method);
        parms.nPaperTyp = 3;
        parms.strPaperTyp = "Premium Glossy Photo Paper";
        parms.inkMode = 1;
    }
    std::vector<Command> Commands()
    {
        std::vector<Command> cmds;
        EXPECT_TRUE(ReadStream(parms.GetStartString(job.driver).str(), &cmds));
        return cmds;
    }

    Job job;
    CDEFP_2_RPHOTO parms{&job.env};
};

TEST_F(Model2Stream, WorkedExampleGivesTheWholeStartStream)
{
    StartExample();
    const std::string expected = Hex("00 00 00 1B 01") + "@EJL 1284.4\n@EJL     \n"  // exit packet mode
                                 + Hex("1B 40 1B 40")                                  // reset twice
                                 + Hex("1B 28 52 08 00 00") + "REMOTE1"                // enter remote
                                 + Hex("54 49 08 00 00 07 B2 01 01 00 00 00")          // TI 1970-01-01
                                 + Hex("49 4B 02 00 00 31")                            // IK photo black
                                 + Hex("4A 53 02 00 00 00")                            // JS, no name
                                 + Hex("4A 48 02 00 00 00")                            // JH, no text
                                 + Hex("50 4D 02 00 00 00")                            // PM
                                 + Hex("44 50 02 00 00 00")                            // DP off
                                 + Hex("53 4E 01 00 00")                               // SN
                                 + Hex("4D 49 04 00 00 01 0B 63")                      // MI 11, 99
                                 + Hex("55 53 03 00 00 00 00")                         // US 0
                                 + Hex("55 53 03 00 00 01 00")                         // US platen gap
                                 + Hex("55 53 03 00 00 02 00")                         // US cut
                                 + Hex("45 58 06 00 00 00 00 00 05 00")                // EX roll off
                                 + Hex("46 50 03 00 00 B0 FF")                         // FP -80
                                 + Hex("44 52 04 00 00 00 00 00")                      // DR 0
                                 + Hex("50 48 02 00 00 00")                            // PH 0
                                 + Hex("50 50 03 00 00 01 FF")                         // PP sheet feeder
                                 + Hex("1B 00 00 00")                                  // leave remote
                                 + Hex("1B 28 47 01 00 01")                            // graphics
                                 + Hex("1B 28 55 05 00 08 08 04 80 16")                // units 8 8 4 5760
                                 + Hex("1B 55 30")                                     // direction "0"
                                 + Hex("1B 28 69 01 00 00")                            // no MicroWeave
                                 + Hex("1B 19 31")                                     // feed control
                                 + Hex("1B 28 43 04 00 E3 20 00 00")                   // length 8419
                                 + Hex("1B 28 63 08 00 1C 00 00 00 8E 20 00 00")       // 28, 8334
                                 + Hex("1B 28 53 08 00 41 17 00 00 E3 20 00 00")       // 5953 x 8419
                                 + Hex("1B 28 4B 02 00 00 02")                         // colour
                                 + Hex("1B 28 44 04 00 80 16 20 08")                   // 5760, 32, 8
                                 + Hex("1B 28 6D 01 00 76")                            // method 0x76
                                 + Hex("1B 28 65 02 00 00 12");                        // dot size 18
    EXPECT_EQ(parms.GetStartString(job.driver).str(), expected);
    EXPECT_EQ(parms.dNozzleResH, 720.0);
}

TEST_F(Model2Stream, InkTypeCommandFollowsTheInkMode)
{
    const struct {
        int ink;
        const char* ik;
    } cases[] = {{0, "<none>"}, {1, "00 31"}, {2, "00 51"}, {3, "00 51"}, {-1, "00 51"}};
    StartExample();
    for (const auto& c : cases) {
        parms.inkMode = c.ink;
        const auto cmds = Commands();
        const std::string ik = Params(cmds, "IK");
        EXPECT_EQ(ik, c.ink == 0 ? std::string("<none>") : Hex(c.ik)) << "ink " << c.ink;
        const auto names = Names(cmds);
        EXPECT_EQ(names[5], c.ink == 0 ? "JS" : "IK") << "the job start follows the timer directly";
    }
}

TEST_F(Model2Stream, MediaIdPlatenGapAndThickness)
{
    // Platen gap and thickness belong to the user-defined medium; named media send 0.
    const struct {
        int paperTyp;
        const char* name;
        int gap, thickness;
        const char* mi;
        const char* us1;
        const char* ph;
    } cases[] = {
        {0, "Premium Glossy Photo Paper", 2, 15, "00 01 00 63", "00 01 80", "00 0F"},
        {0, "", 0, 16, "00 01 00 63", "00 01 00", "00 00"},
        {0, "", 1, 17, "00 01 00 63", "00 01 01", "00 00"},
        {0, "", 3, 0, "00 01 00 63", "00 01 81", "00 00"},
        {0, "", 4, 1, "00 01 00 63", "00 01 82", "00 01"},
        {0, "", 5, -1, "00 01 00 63", "00 01 00", "00 00"},
        {0, "", -1, 3, "00 01 00 63", "00 01 00", "00 03"},
        {9, "Matte board paper", 2, 5, "00 01 12 63", "00 01 00", "00 00"},
        {14, "Singleweight Matte Paper", 4, 0, "00 01 80 63", "00 01 00", "00 00"},
        {1, "Plain Paper", 0, 0, "00 01 00 63", "00 01 00", "00 00"},
        {2, "Unknown Paper", 0, 0, "00 01 0B 63", "00 01 00", "00 00"},
        {5, "", 0, 0, "00 01 0B 63", "00 01 00", "00 00"},
        {-1, "plain paper", 0, 0, "00 01 0B 63", "00 01 00", "00 00"},
    };
    StartExample();
    for (const auto& c : cases) {
        parms.nPaperTyp = c.paperTyp;
        parms.strPaperTyp = c.name;
        parms.nPlateGap = c.gap;
        parms.nPaperThickness = c.thickness;
        const auto cmds = Commands();
        const std::string what = std::to_string(c.paperTyp) + " " + c.name;
        EXPECT_EQ(Params(cmds, "MI"), Hex(c.mi)) << what;
        EXPECT_EQ(Params(cmds, "US", 1), Hex(c.us1)) << what << " gap " << c.gap;
        EXPECT_EQ(Params(cmds, "PH"), Hex(c.ph)) << what << " thickness " << c.thickness;
    }
}

TEST_F(Model2Stream, SourceCutDuplexDirectionAndDryingTime)
{
    const struct {
        int source, cut, duplex, direction, dry;
        const char* pp;
        const char* ex;
        const char* us2;
        const char* dp;
        const char* escU;
        const char* dr;
    } cases[] = {
        {0, 0, 0, 0, 0, "00 01 FF", "00 00 00 00 05 00", "00 02 00", "00 00", "30", "00 00 00 00"},
        {1, 1, 1, 1, 250, "00 02 00", "00 00 00 00 05 00", "00 02 01", "00 01", "31", "00 00 FA 00"},
        {2, 0, 0, 2, 10000, "00 02 02", "00 00 00 00 05 00", "00 02 00", "00 00", "32", "00 00 10 27"},
        {3, 7, 0, 3, 70000, "00 03 01", "00 00 00 00 05 01", "00 02 01", "00 00", "33", "00 00 70 11"},
        {4, 0, -2, 4, -1, "00 FF 01", "00 00 00 00 05 00", "00 02 00", "00 01", "31", "00 00 FF FF"},
        {-1, 0, 0, -1, 0, "00 FF 01", "00 00 00 00 05 00", "00 02 00", "00 00", "31", "00 00 00 00"},
    };
    StartExample();
    for (const auto& c : cases) {
        parms.nMediaSource = c.source;
        parms.bCutFlag = c.cut;
        parms.bDuplexPrint = c.duplex;
        parms.nDirectionalControl = c.direction;
        parms.nDryTimeScan = c.dry;
        const auto cmds = Commands();
        const std::string what = "source " + std::to_string(c.source);
        EXPECT_EQ(Params(cmds, "PP"), Hex(c.pp)) << what;
        EXPECT_EQ(Params(cmds, "EX"), Hex(c.ex)) << what;
        EXPECT_EQ(Params(cmds, "US", 2), Hex(c.us2)) << what;
        EXPECT_EQ(Params(cmds, "DP"), Hex(c.dp)) << what;
        EXPECT_EQ(Params(cmds, "ESCU"), Hex(c.escU)) << what;
        EXPECT_EQ(Params(cmds, "DR"), Hex(c.dr)) << what;
    }
}

TEST_F(Model2Stream, PrintMethodIdFromTheResolution)
{
    const struct {
        double h, v;
        const char* method;
        const char* id;
    } cases[] = {
        {1440, 720, "1440x720", "76"}, {5760, 720, "5760x720", "76"},   {5760, 1440, "5760x1440", "A2"},
        {360, 360, "360x360", "80"},   {2880, 1440, "2880x1440", "80"}, {5759.6, 1439.4, "5760x1440", "A2"},
        {719.5, 719.5, "720x720", "76"},
    };
    for (const auto& c : cases) {
        StartExample(c.h, c.v, c.method);
        EXPECT_EQ(Params(Commands(), "ESC(m"), Hex(c.id)) << c.method;
    }
}

TEST_F(Model2Stream, PageUnitsUseTheExactVerticalDpi)
{
    // 720.9 dpi: 297 mm -> 8429.4 -> 8429 (0x20ED); the 4.0 mm top becomes 2.0 mm -> 56.76 -> 57.
    job.SetMedia(210, 297, CDRc{3, 4, 3, 3});
    StartExample(1440, 720.9);
    const auto cmds = Commands();
    EXPECT_EQ(Params(cmds, "ESC(C"), Hex("ED 20 00 00"));
    EXPECT_EQ(Params(cmds, "ESC(c"), Hex("39 00 00 00 98 20 00 00"));  // 294 mm -> 8344.3 -> 8344
    EXPECT_EQ(Params(cmds, "FP"), Hex("00 B0 FF"));
}

TEST_F(Model2Stream, DotSizeAndTheNozzleResolutionAcrossJobs)
{
    // 720x180 with field 6 = 0: dot 16, and the head lays 360 dpi per pass.
    StartExample(720, 180, "720x180", "a,b,c,d,3,0");
    auto cmds = Commands();
    EXPECT_EQ(Params(cmds, "ESC(e"), Hex("00 10"));
    EXPECT_EQ(Params(cmds, "ESC(D"), Hex("80 16 20 10"));
    EXPECT_EQ(parms.dNozzleResH, 360.0);

    // A later 360 dpi job sees what the last one left.
    StartExample(360, 360, "360x360", "a,b,c,d,3,1");
    cmds = Commands();
    EXPECT_EQ(parms.dNozzleResH, 360.0);
    EXPECT_EQ(Params(cmds, "ESC(D"), Hex("80 16 20 10"));
    EXPECT_EQ(Params(cmds, "ESC(e"), Hex("00 11"));

    // Field 6 = 1 at 720x180 keeps 720.
    StartExample(720, 180, "720x180", "a,b,c,d,3,1");
    cmds = Commands();
    EXPECT_EQ(Params(cmds, "ESC(e"), Hex("00 11"));
    EXPECT_EQ(Params(cmds, "ESC(D"), Hex("80 16 20 08"));
    EXPECT_EQ(parms.dNozzleResH, 720.0);

    // Five fields or fewer, or none at all: dot size 18, resolution unchanged.
    StartExample(720, 180, "720x180", "a,b,c,d,0");
    EXPECT_EQ(Params(Commands(), "ESC(e"), Hex("00 12"));
    EXPECT_EQ(parms.dNozzleResH, 720.0);
    StartExample(720, 180, "720x180", "");
    EXPECT_EQ(Params(Commands(), "ESC(e"), Hex("00 12"));

    // Field 6 = 0 at other resolutions: dot 16 without lowering; a large field wraps to 8 bits.
    StartExample(1440, 720, "1440x720", "a,b,c,d,3,0");
    EXPECT_EQ(Params(Commands(), "ESC(D"), Hex("80 16 20 08"));
    StartExample(1440, 720, "1440x720", "a,b,c,d,3,250,x");
    EXPECT_EQ(Params(Commands(), "ESC(e"), Hex("00 0A"));
}

TEST_F(Model2Stream, EndStreamIsTheSameTenCommandsAlways)
{
    const std::string expected = Hex("1B 40 1B 28 52 08 00 00") + "REMOTE1" + Hex("4C 44 00 00 1B 00 00 00") +
                                 Hex("1B 40 1B 28 52 08 00 00") + "REMOTE1" +
                                 Hex("4C 44 00 00 4A 45 01 00 00 1B 00 00 00 0C");
    StartExample();
    EXPECT_EQ(parms.OutputEndString(job.driver), 1);
    parms.nMediaSource = 3;
    parms.bCutFlag = 1;
    EXPECT_EQ(parms.OutputEndString(job.driver), 1);
    EXPECT_EQ(job.sink.bytes, expected + expected);
}

const char* const kModel2Names[] = {"nPaperTyp",     "strPaperTyp",  "nMediaSource",    "nDotTyp",
                                    "nDirectionalControl", "bCutFlag", "bDuplexPrint",  "nPlateGap",
                                    "nPaperThickness", "nDryTimeScan", "inkMode",       "bMoveFullHeadWidth"};

TEST(Model2Options, SaveWritesEveryOptionAndTheTwoHostEntriesInOrder)
{
    CPrintEnv env;
    CDEFP_2_RPHOTO parms(&env);
    parms.Save(&env);
    std::vector<std::string> expected;
    for (const char* name : kModel2Names) expected.push_back(std::string("DP2_") + name);
    expected.push_back("InkLevels");
    expected.push_back("BitsPerPixel");
    expected.push_back("DP2_bEnableWeave");
    expected.push_back("DP2_bEnableBrokenNozzles");
    for (int n = 0; n < 180; ++n) expected.push_back("DP2_bBrokenNozzle_" + std::to_string(n));
    ASSERT_EQ(env.WriteLog().size(), 196u);
    EXPECT_EQ(env.WriteLog(), expected);
}

TEST(Model2Options, InkLevelsComeFromFieldFiveOfThePrintMethod)
{
    const struct {
        const char* parms;  // nullptr: no parameter string
        int levels, bits;
    } cases[] = {
        {"a,b,c,d,2,f", 2, 1}, {"a,b,c,d", 3, 2},  {"a,b,c,d,x2,f", 0, 1}, {"a,b,c,d, -4z", -4, 1},
        {"a,b,c,d,3", 3, 2},   {nullptr, 3, 2},    {"a,,,,5", 5, 1},        {",,,,", 0, 1},
    };
    for (const auto& c : cases) {
        CPrintEnv env;
        env.PutString(PrEnv_PrintMethod.pszKey, "1440x720");
        if (c.parms) env.PutString("$Parms$1440x720", c.parms);
        CDEFP_2_RPHOTO parms(&env);
        parms.Load(&env);
        EXPECT_EQ(parms.nInkLevels, c.levels) << (c.parms ? c.parms : "none");
        parms.Save(&env);
        EXPECT_EQ(env.GetInt(PrEnv_InkLevels), c.levels);
        EXPECT_EQ(env.GetInt(PrEnv_BitsPerPixel), c.bits) << (c.parms ? c.parms : "none");
    }
}

TEST(Model2Options, EmptyStoreDefaultsAndStorelessObject)
{
    CPrintEnv env;
    CDEFP_2_RPHOTO parms(&env);
    parms.nDryTimeScan = 5;
    parms.bMoveFullHeadWidth = 0;
    parms.Load(&env);
    EXPECT_EQ(parms.nPaperTyp, 0);
    EXPECT_EQ(parms.strPaperTyp, "");
    EXPECT_EQ(parms.nDryTimeScan, 0);
    EXPECT_EQ(parms.bMoveFullHeadWidth, 1);
    EXPECT_EQ(parms.bEnableWeave, 1);
    EXPECT_EQ(parms.bEnableBrokenNozzles, 0);
    EXPECT_EQ(parms.nInkLevels, 3);
    EXPECT_EQ(parms.IsDefaultDotType(), 1);

    CDEFP_2_RPHOTO storeless(nullptr);
    CPrintEnv host;
    storeless.Load(&host);
    EXPECT_EQ(storeless.strPaperTyp, "***ERROR***");
    for (int v : {storeless.nPaperTyp, storeless.nMediaSource, storeless.nDotTyp, storeless.nDirectionalControl,
                  storeless.bCutFlag, storeless.bDuplexPrint, storeless.nPlateGap, storeless.nPaperThickness,
                  storeless.nDryTimeScan, storeless.inkMode, storeless.bMoveFullHeadWidth, storeless.bEnableWeave,
                  storeless.bEnableBrokenNozzles, storeless.bBrokenNozzle[0], storeless.bBrokenNozzle[179]})
        EXPECT_EQ(v, -1);
    EXPECT_EQ(storeless.IsDefaultDotType(), 0);
    storeless.Save(&host);
    EXPECT_EQ(host.WriteLog(), (std::vector<std::string>{"InkLevels", "BitsPerPixel"}));
}

// Every stored member set away from its default.
void SetAll(CDEFP_2_RPHOTO& a)
{
    a.nPaperTyp = 13;
    a.strPaperTyp = "Photo Paper Glossy";
    a.nMediaSource = 3;
    a.nDotTyp = 2;
    a.nDirectionalControl = 3;
    a.bCutFlag = 1;
    a.bDuplexPrint = 1;
    a.nPlateGap = 4;
    a.nPaperThickness = 17;
    a.nDryTimeScan = 9999;
    a.inkMode = 2;
    a.bMoveFullHeadWidth = 0;
    a.bEnableWeave = 0;
    a.bEnableBrokenNozzles = 1;
    for (int n = 0; n < 180; n += 7) a.bBrokenNozzle[n] = 1;
}

TEST(Model2Options, SaveThenLoadRestoresEveryPrefixedMember)
{
    CPrintEnv env;
    CDEFP_2_RPHOTO a(&env);
    SetAll(a);
    a.Save(&env);
    CDEFP_2_RPHOTO b(&env);
    b.Load(&env);
    EXPECT_EQ(devparms_test::Saved(b), devparms_test::Saved(a));
    EXPECT_EQ(b.nDryTimeScan, 9999);
}

TEST(Model2Options, PageTransferLeavesDotTypeAndInkLevels)
{
    CDEFP_2_RPHOTO a(nullptr);
    SetAll(a);
    a.nInkLevels = 2;
    auto* page = static_cast<CEpsonRPhoto3000Page*>(a.GetPropertyPage(nullptr));
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->nDryTimeScan, 9999);
    CDEFP_2_RPHOTO b(nullptr);
    b.nDotTyp = 2;  // has no control: the page cannot carry it
    b.nInkLevels = 2;
    b.FromPropertyPage(page);
    EXPECT_EQ(devparms_test::Saved(b), devparms_test::Saved(a));

    b.nDotTyp = 5;
    b.nInkLevels = 4;
    b.FromPropertyPage(page);
    EXPECT_EQ(b.nDotTyp, 5);
    EXPECT_EQ(b.nInkLevels, 4);
    delete page;
}

}  // namespace

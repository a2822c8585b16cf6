// Model-1 (R2000) options: persistence, page transfer and the job start and end streams.
#include <gtest/gtest.h>

#include <cstdlib>

#include "devparms/CDEFP_1_RPHOTO.h"
#include "devparms_support.h"
#include "pages/CEpsonRPhoto2000Page.h"

using devparms_test::Command;
using devparms_test::Hex;
using devparms_test::Job;
using devparms_test::Params;
using devparms_test::ReadStream;

namespace {

class Model1Stream : public ::testing::Test {
protected:
    void SetUp() override { setenv("SOURCE_DATE_EPOCH", "0", 1); }
    void TearDown() override { unsetenv("SOURCE_DATE_EPOCH"); }

    // The worked example's job with the options of an empty store, then the example's media.
    void StartExample(const char* sizeName, double resX = 1440, double resY = 720, const char* method = "1440x720")
    {
        job.Start(&parms, resX, resY, method, sizeName);
        parms.strPaperTyp = "Premium Glossy Photo Paper";
        parms.inkMode = 0;
    }
    std::vector<Command> Commands()
    {
        std::vector<Command> cmds;
        EXPECT_TRUE(ReadStream(parms.GetStartString(job.driver).str(), &cmds));
        return cmds;
    }

    Job job;
    CDEFP_1_RPHOTO parms{&job.env};
};

TEST_F(Model1Stream, WorkedExampleGivesTheWholeStartStream)
{
    StartExample("ISO A4");
    const std::string expected = Hex("00 00 00 1B 01") + "@EJL 1284.4\n@EJL     \n"  // exit packet mode
                                 + Hex("1B 40 1B 40")                                  // reset twice
                                 + Hex("1B 28 52 08 00 00") + "REMOTE1"                // enter remote
                                 + Hex("54 49 08 00 00 07 B2 01 01 00 00 00")          // TI 1970-01-01
                                 + Hex("4A 53 06 00 00") + "Job1" + Hex("00")          // JS job name
                                 + Hex("4A 48 0D 00 00") + "Norvale RIP" + Hex("00")   // JH product
                                 + Hex("50 4D 02 00 00 00")                            // PM
                                 + Hex("44 50 02 00 00 00")                            // DP off
                                 + Hex("53 4E 01 00 00")                               // SN
                                 + Hex("4D 49 04 00 00 01 0B 63")                      // MI 11, 99
                                 + Hex("55 53 03 00 00 00 00")                         // US bottom margin
                                 + Hex("55 53 03 00 00 01 00")                         // US platen gap
                                 + Hex("55 53 03 00 00 02 00")                         // US 2
                                 + Hex("45 58 06 00 00 00 00 00 05 00")                // EX roll off
                                 + Hex("46 50 03 00 00 B0 FF")                         // FP -80
                                 + Hex("50 50 03 00 00 01 FF")                         // PP sheet feeder
                                 + Hex("1B 00 00 00")                                  // leave remote
                                 + Hex("1B 28 47 01 00 01")                            // graphics
                                 + Hex("1B 28 55 05 00 08 08 04 80 16")                // units 8 8 4 5760
                                 + Hex("1B 55 00")                                     // bidirectional
                                 + Hex("1B 28 69 01 00 00")                            // no MicroWeave
                                 + Hex("1B 19 31")                                     // feed control
                                 + Hex("1B 28 43 04 00 E3 20 00 00")                   // length 8419
                                 + Hex("1B 28 63 08 00 1C 00 00 00 8E 20 00 00")       // 28, 8334
                                 + Hex("1B 28 53 08 00 41 17 00 00 E3 20 00 00")       // 5953 x 8419
                                 + Hex("1B 28 4B 02 00 00 02")                         // colour
                                 + Hex("1B 28 44 04 00 80 16 20 08")                   // 5760, 32, 8
                                 + Hex("1B 28 6D 01 00 71")                            // method 113
                                 + Hex("1B 28 65 02 00 00 12");                        // dot size 18
    EXPECT_EQ(parms.GetStartString(job.driver).str(), expected);
    EXPECT_EQ(parms.dNozzleResH, 720.0);
    EXPECT_EQ(parms.nPaperPath, 0xFF01);
}

TEST_F(Model1Stream, MediaSizeChoosesThePrintMethodColumn)
{
    const struct {
        const char* size;
        const char* method;
    } cases[] = {
        {"ISO A4", "\x71"},   {"ISO A3Plus", "\x72"}, {"ISO A5", "\x70"}, {"ISO A3", "\x72"},
        {"ISO A2", "\x72"},   {"ISO A2Plus", "\x72"}, {"ISO A1", "\x72"}, {"ISO A0", "\x72"},
        {"US Letter", "\x71"}, {"iso a3", "\x71"},    {"", "\x71"},
    };
    for (const auto& c : cases) {
        StartExample(c.size);
        EXPECT_EQ(Params(Commands(), "ESC(m"), c.method) << c.size;
    }
}

TEST_F(Model1Stream, PrintModeRowsAndTheirFallBack)
{
    // media, ink mode, method, size -> MI payload, ESC ( m, ESC ( e
    const struct {
        const char* media;
        int ink;
        const char* method;
        const char* size;
        const char* mi;
        const char* methodId;
        const char* dot;
    } cases[] = {
        {"Enhanced Matte Paper", 0, "1440x720", "ISO A4", "00 01 00 63", "00", "00 00"},  // matte black only
        {"Enhanced Matte Paper", 1, "1440x720", "ISO A4", "00 01 0F 63", "71", "00 12"},
        {"Plain Paper", 1, "720x720", "ISO A4", "00 01 00 63", "50", "00 12"},           // row 3
        {"Plain Paper", 0, "360x180", "ISO A4", "00 01 00 63", "00", "00 00"},           // no photo row
        {"Plain Paper", 1, "360x180", "ISO A4", "00 01 00 63", "20", "00 10"},
        {"Photo Quality InkJet Paper", 0, "1440x720", "ISO A4", "00 01 1D 63", "50", "00 12"},
        {"Photo Quality InkJet Paper", 1, "1440x720", "ISO A4", "00 01 1D 63", "50", "00 12"},
        {"Premium Glossy Photo Paper", 0, "5760x1440", "ISO A4", "00 01 0B 63", "B0", "00 13"},
        {"Premium Glossy Photo Paper", 0, "5760x1440", "ISO A3", "00 01 0B 63", "B1", "00 13"},
        {"Premium Luster Photo Paper", 0, "720x720", "ISO A5", "00 01 0D 63", "51", "00 11"},
        {"Photo Paper Glossy", 0, "720x720", "ISO A4", "00 01 2B 63", "52", "00 11"},
        {"CD/DVD Premium Surface", 1, "5760x1440", "ISO A4", "00 01 5C 63", "B2", "00 13"},
        {"UltraSmooth Fine Art Paper", 1, "5760x1440", "ISO A4", "00 01 27 63", "B1", "00 13"},
        {"Premium Glossy Photo Paper", 2, "1440x720", "ISO A4", "00 01 00 63", "00", "00 00"},  // ink out of range
        {"Premium Glossy Photo Paper", -1, "1440x720", "ISO A4", "00 01 00 63", "00", "00 00"},
        {"premium glossy photo paper", 0, "1440x720", "ISO A4", "00 01 00 63", "00", "00 00"},  // case matters
        {"Premium Glossy Photo Paper", 0, "1440x1440", "ISO A4", "00 01 00 63", "00", "00 00"},
        {"", 0, "1440x720", "ISO A4", "00 01 00 63", "00", "00 00"},
    };
    for (const auto& c : cases) {
        job.Start(&parms, 1440, 720, c.method, c.size);
        parms.strPaperTyp = c.media;
        parms.inkMode = c.ink;
        const auto cmds = Commands();
        const std::string what = std::string(c.media) + " ink " + std::to_string(c.ink) + " " + c.method;
        EXPECT_EQ(Params(cmds, "MI"), Hex(c.mi)) << what;
        EXPECT_EQ(Params(cmds, "ESC(m"), Hex(c.methodId)) << what;
        EXPECT_EQ(Params(cmds, "ESC(e"), Hex(c.dot)) << what;
    }
}

TEST_F(Model1Stream, PaperSourceSetsPathAndRollMode)
{
    const struct {
        int source;
        const char* pp;
        const char* ex;
    } cases[] = {
        {0, "00 01 FF", "00 00 00 00 05 00"}, {1, "00 03 01", "00 00 00 00 05 01"},
        {2, "00 03 00", "00 00 00 00 05 00"}, {3, "00 02 00", "00 00 00 00 05 00"},
        {4, "00 02 01", "00 00 00 00 05 00"},
        {5, "00 02 01", "00 00 00 00 05 00"},   // outside the range: the previous job's path
        {-1, "00 02 01", "00 00 00 00 05 00"},
    };
    StartExample("ISO A4");
    for (const auto& c : cases) {
        parms.nMediaSource = c.source;
        const auto cmds = Commands();
        EXPECT_EQ(Params(cmds, "PP"), Hex(c.pp)) << "source " << c.source;
        EXPECT_EQ(Params(cmds, "EX"), Hex(c.ex)) << "source " << c.source;
    }
    CDEFP_1_RPHOTO fresh(nullptr);
    fresh.nMediaSource = 9;
    std::vector<Command> cmds;
    ASSERT_TRUE(ReadStream(fresh.GetStartString(job.driver).str(), &cmds));
    EXPECT_EQ(Params(cmds, "PP"), Hex("00 00 00")) << "a fresh object has no previous path";
}

TEST_F(Model1Stream, PlatenGapDirectionAndDuplex)
{
    const struct {
        int gap, bidiGap, bidirectional, duplex;
        const char* us1;
        const char* escU;
        const char* dp;
    } cases[] = {
        {5, 1, 1, 0, "00 01 85", "00", "00 00"},   {128, 1, 1, 0, "00 01 00", "00", "00 00"},
        {0, 1, 0, 1, "00 01 00", "01", "00 01"},   {127, 0, -1, 5, "00 01 7F", "01", "00 01"},
        {1, 1, 2, 0, "00 01 81", "01", "00 00"},   {-3, 1, 1, -1, "00 01 00", "00", "00 01"},
    };
    StartExample("ISO A4");
    for (const auto& c : cases) {
        parms.nPlateGap = c.gap;
        parms.bPlatenGapBiDirectional = c.bidiGap;
        parms.bBidirectional = c.bidirectional;
        parms.bDuplexPrint = c.duplex;
        const auto cmds = Commands();
        EXPECT_EQ(Params(cmds, "US", 1), Hex(c.us1)) << "gap " << c.gap;
        EXPECT_EQ(Params(cmds, "ESCU"), Hex(c.escU)) << "bidirectional " << c.bidirectional;
        EXPECT_EQ(Params(cmds, "DP"), Hex(c.dp)) << "duplex " << c.duplex;
    }
}

TEST_F(Model1Stream, TopMarginShiftsThePageAndThePrintPosition)
{
    // At 720 dpi a millimetre is 28.3465 page units.
    const struct {
        double topMm;
        uint32_t flags;
        const char* fp;
        const char* pageFormat;  // top units, then bottom units for a 3 mm bottom margin
    } cases[] = {
        {6.0, 0, "00 00 00", "2B 00 00 00 8E 20 00 00"},  // 1.5 mm -> 42.5 -> 43
        {4.5, 0, "00 00 00", "00 00 00 00 8E 20 00 00"},  // exactly 0: no shift
        {4.0, 0, "00 B0 FF", "39 00 00 00 8E 20 00 00"},  // -0.5 + 2.5 = 2.0 -> 56.7 -> 57
        {6.0, 1, "00 B0 FF", "71 00 00 00 8E 20 00 00"},  // attached: 4.0 -> 113.4 -> 113
        {0.0, 0, "00 B0 FF", "C8 FF FF FF 8E 20 00 00"},  // -2.0 -> -56.69 + 0.5 -> -56
    };
    for (const auto& c : cases) {
        job.SetMedia(210, 297, CDRc{3, c.topMm, 3, 3}, c.flags);
        StartExample("ISO A4");
        const auto cmds = Commands();
        EXPECT_EQ(Params(cmds, "FP"), Hex(c.fp)) << c.topMm << " mm, flags " << c.flags;
        EXPECT_EQ(Params(cmds, "ESC(c"), Hex(c.pageFormat)) << c.topMm << " mm, flags " << c.flags;
    }
}

TEST_F(Model1Stream, PageUnitsUseTheWholeVerticalDpiAndThePrintedWidth)
{
    // 719.9 dpi counts as 719 page units per inch: 297 mm -> 8407.2 -> 8407 (0x20D7).
    StartExample("ISO A4", 1440, 719.9);
    EXPECT_EQ(Params(Commands(), "ESC(C"), Hex("D7 20 00 00"));

    // Head over the printed width only: 2880 px at 1440 dpi is 50.8 mm, + 6 mm = 56.8 mm,
    // 1610.1 page units at 720 dpi.
    job.Start(&parms, 1440, 720, "1440x720", "ISO A4", 2880);
    parms.bMoveFullHeadWidth = 0;
    EXPECT_EQ(Params(Commands(), "ESC(S"), Hex("4A 06 00 00 E3 20 00 00"));
}

TEST_F(Model1Stream, NozzleResolutionOnlyRisesAndStaysAcrossJobs)
{
    StartExample("ISO A4", 360, 360, "360x360");
    auto cmds = Commands();
    EXPECT_EQ(parms.dNozzleResH, 360.0);
    EXPECT_EQ(Params(cmds, "ESC(D"), Hex("80 16 20 10"));
    EXPECT_EQ(Params(cmds, "ESC(U"), Hex("10 10 10 80 16"));

    job.Resolution(719.6, 720);  // rounds to 720
    cmds = Commands();
    EXPECT_EQ(parms.dNozzleResH, 720.0);
    EXPECT_EQ(Params(cmds, "ESC(D"), Hex("80 16 20 08"));

    job.Resolution(360, 360);  // a later job keeps what the last one left
    cmds = Commands();
    EXPECT_EQ(parms.dNozzleResH, 720.0);
    EXPECT_EQ(Params(cmds, "ESC(D"), Hex("80 16 20 08"));

    CDEFP_1_RPHOTO other(nullptr);
    job.Start(&other, 719.4, 720, "720x720");
    other.GetStartString(job.driver);
    EXPECT_EQ(other.dNozzleResH, 360.0) << "719.4 rounds to 719";
}

TEST_F(Model1Stream, EndStreamIsTheSameTenCommandsAlways)
{
    const std::string expected = Hex("1B 40 1B 28 52 08 00 00") + "REMOTE1" + Hex("4C 44 00 00 1B 00 00 00") +
                                 Hex("1B 40 1B 28 52 08 00 00") + "REMOTE1" +
                                 Hex("4C 44 00 00 4A 45 01 00 00 1B 00 00 00 0C");
    StartExample("ISO A4");
    EXPECT_EQ(parms.OutputEndString(job.driver), 1);
    parms.nMediaSource = 1;
    parms.inkMode = 7;
    job.Resolution(5760, 1440);
    EXPECT_EQ(parms.OutputEndString(job.driver), 1);
    EXPECT_EQ(job.sink.bytes, expected + expected);

    CountingSink failing(0);
    job.driver->SetOutputSink(&failing);
    EXPECT_EQ(parms.OutputEndString(job.driver), 0);
}

// Persisted option names in the order they are written.
const char* const kModel1Names[] = {"nPaperTyp",     "strPaperTyp",   "nMediaSource",
                                    "bBidirectional", "bDuplexPrint", "nBottomMargin",
                                    "nPlateGap",     "bPlatenGapBiDirectional", "inkMode",
                                    "bMoveFullHeadWidth", "bEnableWeave", "bEnableBrokenNozzles"};

TEST(Model1Options, SaveWritesEveryOptionOnceInOrder)
{
    CPrintEnv env;
    CDEFP_1_RPHOTO parms(&env);
    parms.Save(nullptr);
    std::vector<std::string> expected;
    for (const char* name : kModel1Names) expected.push_back(std::string("DP1_") + name);
    for (int n = 0; n < 180; ++n) expected.push_back("DP1_bBrokenNozzle_" + std::to_string(n));
    ASSERT_EQ(env.WriteLog().size(), 192u);
    EXPECT_EQ(env.WriteLog(), expected);
}

TEST(Model1Options, FreshObjectLoadDefaultsAndStorelessLoad)
{
    CPrintEnv env;
    CDEFP_1_RPHOTO parms(&env);
    EXPECT_EQ(parms.nPaperTyp, 0);
    EXPECT_EQ(parms.bBidirectional, 0);
    EXPECT_EQ(parms.nPaperSizeCode, 99);
    EXPECT_EQ(parms.nPaperFeedCtl, 0x31);
    EXPECT_EQ(parms.nColorMode, 2);
    EXPECT_EQ(parms.bMoveFullHeadWidth, 1);
    EXPECT_EQ(parms.bEnableWeave, 1);

    parms.Load(nullptr);
    EXPECT_EQ(parms.nPaperTyp, 18);
    EXPECT_EQ(parms.strPaperTyp, "");
    EXPECT_EQ(parms.bBidirectional, 1);
    EXPECT_EQ(parms.bMoveFullHeadWidth, 1);
    EXPECT_EQ(parms.bEnableWeave, 1);
    EXPECT_EQ(parms.bEnableBrokenNozzles, 0);
    EXPECT_EQ(parms.inkMode, 0);
    EXPECT_EQ(parms.bBrokenNozzle[179], 0);

    CDEFP_1_RPHOTO storeless(nullptr);
    CPrintEnv other;
    storeless.Load(&other);
    EXPECT_EQ(storeless.strPaperTyp, "***ERROR***");
    for (int v : {storeless.nPaperTyp, storeless.nMediaSource, storeless.bBidirectional, storeless.bDuplexPrint,
                  storeless.nBottomMargin, storeless.nPlateGap, storeless.bPlatenGapBiDirectional,
                  storeless.inkMode, storeless.bMoveFullHeadWidth, storeless.bEnableWeave,
                  storeless.bEnableBrokenNozzles, storeless.bBrokenNozzle[0], storeless.bBrokenNozzle[179]})
        EXPECT_EQ(v, -1);
    storeless.Save(&other);
    EXPECT_TRUE(other.WriteLog().empty()) << "the argument store is not the object's store";
}

// Every persisted option set away from its default.
void SetAll(CDEFP_1_RPHOTO& a)
{
    a.nPaperTyp = 4;
    a.strPaperTyp = "Photo Paper Glossy";
    a.nMediaSource = 3;
    a.bBidirectional = 0;
    a.bDuplexPrint = 1;
    a.nBottomMargin = 2;
    a.nPlateGap = 77;
    a.bPlatenGapBiDirectional = 1;
    a.inkMode = 1;
    a.bMoveFullHeadWidth = 0;
    a.bEnableWeave = 0;
    a.bEnableBrokenNozzles = 1;
    for (int n = 0; n < 180; n += 7) a.bBrokenNozzle[n] = 1;
}

TEST(Model1Options, SaveThenLoadRestoresEveryPersistedField)
{
    CPrintEnv env;
    CDEFP_1_RPHOTO a(&env);
    SetAll(a);
    a.Save(&env);
    CDEFP_1_RPHOTO b(&env);
    b.nPaperPath = 0x1234;
    b.nMicroWeave = 3;
    b.Load(&env);
    EXPECT_EQ(devparms_test::Saved(b), devparms_test::Saved(a));
    EXPECT_EQ(b.bBrokenNozzle[175], 1);
    EXPECT_EQ(b.nPaperPath, 0x1234) << "not persisted";
    EXPECT_EQ(b.nMicroWeave, 3) << "not persisted";
}

TEST(Model1Options, PageTransferCarriesEveryOption)
{
    CDEFP_1_RPHOTO a(nullptr);
    SetAll(a);
    CEpsonRPhoto2000Page* page = static_cast<CEpsonRPhoto2000Page*>(a.GetPropertyPage(nullptr));
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->strPaperTyp, "Photo Paper Glossy");
    EXPECT_EQ(page->bBrokenNozzle[7], 1);
    CDEFP_1_RPHOTO b(nullptr);
    b.FromPropertyPage(page);
    EXPECT_EQ(devparms_test::Saved(b), devparms_test::Saved(a));
    delete page;
}

}  // namespace

// The driver object: model selection, construction state, job steps, timing, "$Parms$".
#include <gtest/gtest.h>

#include "devparms/CDEFP_1_RPHOTO.h"
#include "devparms/CDEFP_2_RPHOTO.h"
#include "engine_support.h"
#include "host/Platform.h"

extern "C" IPrinterDriver* Create(CPrintEnv* pEnv);

namespace {
using namespace engine_test;

// Destroys a created driver and the device parameters it was built around.
void Destroy(IPrinterDriver* driver)
{
    CPrinterDriverBase* base = AsDriverBase(driver);
    CUnivDevParmsBase* parms = base ? base->m_pDevParms : nullptr;
    delete driver;
    delete parms;
}

TEST(DriverCreate, ModelFromLowByte)
{
    struct Case {
        int uid;
        int model;  // 0: no driver
    } cases[] = {{1, 1}, {2, 2}, {0x101, 1}, {0x201, 1}, {0x102, 2}, {0x202, 2}, {0, 0}, {3, 0}, {255, 0}, {0x100, 0}};
    for (const Case& c : cases) {
        CPrintEnv env;
        env.PutInt(PrEnv_UID, c.uid);
        IPrinterDriver* d = Create(&env);
        SCOPED_TRACE(c.uid);
        if (c.model == 0) {
            EXPECT_EQ(d, nullptr);
            continue;
        }
        ASSERT_NE(d, nullptr);
        auto* base = AsDriverBase(d);
        if (c.model == 1) {
            EXPECT_NE(dynamic_cast<CEpsonPhotoR2000*>(d), nullptr);
            EXPECT_NE(dynamic_cast<CDEFP_1_RPHOTO*>(base->m_pDevParms), nullptr);
        } else {
            EXPECT_NE(dynamic_cast<CEpsonPhotoR3000*>(d), nullptr);
            EXPECT_EQ(dynamic_cast<CEpsonPhotoR2000*>(d), nullptr);
            EXPECT_NE(dynamic_cast<CDEFP_2_RPHOTO*>(base->m_pDevParms), nullptr);
        }
        Destroy(d);
    }
}

// Model 1 keeps the black-ink mode its parameters held at creation.
TEST(DriverCreate, InkModeCopiedAtCreation)
{
    for (int mode : {0, 1}) {
        CPrintEnv env;
        env.PutInt(PrEnv_UID, 1);
        env.PutInt("DP1_inkMode", mode);
        IPrinterDriver* d = Create(&env);
        auto* r2000 = dynamic_cast<CEpsonPhotoR2000*>(d);
        ASSERT_NE(r2000, nullptr);
        EXPECT_EQ(r2000->m_nInkMode, mode);
        static_cast<CDEFP_1_RPHOTO*>(r2000->m_pDevParms)->inkMode = 1 - mode;
        EXPECT_EQ(r2000->m_nInkMode, mode);
        Destroy(d);
    }
}

TEST(DriverObject, ConstructionState)
{
    CPrintEnv env;
    env.PutInt("TraceRealTime", 7);
    TestParms parms;
    CEpsonPhotoR3000 d(&env, &parms);
    EXPECT_EQ(d.m_pBandBuf, nullptr);
    EXPECT_EQ(d.m_pPackBuf, nullptr);
    EXPECT_EQ(d.m_nBitsPerPixel, 1);
    EXPECT_EQ(d.m_nByteShift, 3);
    EXPECT_EQ(d.m_nPixelIndexMask, 7);
    EXPECT_EQ(d.m_nBandRows, 0);
    EXPECT_EQ(d.m_nLoadedRows, 0);
    EXPECT_EQ(d.m_nLeadingEmptyRows, 0);
    EXPECT_EQ(d.m_nHPasses, 1);
    EXPECT_EQ(d.m_nVPasses, 1);
    EXPECT_EQ(d.m_nColors, 0);  // the host knows no planes yet
    EXPECT_EQ(d.m_nRowBytes, 0);
    EXPECT_EQ(d.m_nPassRowBytes, 0);
    EXPECT_EQ(d.m_nPlaneBytes, 0);
    EXPECT_EQ(d.m_nPassBytes, 0);
    EXPECT_EQ(d.m_nBandBufSize, 0);
    EXPECT_EQ(d.m_nPackBufSize, 0);
    EXPECT_EQ(d.m_nBandCount, 0);
    EXPECT_EQ(d.m_nDataBytes, 0);
    EXPECT_EQ(d.m_nDataOffset, 0);
    EXPECT_EQ(d.m_nHorizPos, 0);
    EXPECT_EQ(d.m_bEnableWeave, 1);
    EXPECT_EQ(d.m_nFirstBandFactor, 1);
    EXPECT_EQ(d.m_nWeaveRatio, 1);
    for (int k = 0; k < 180; ++k) ASSERT_EQ(d.m_abBrokenNozzle[k], 0);
    EXPECT_EQ(d.m_nFeed, 180);
    EXPECT_EQ(d.m_nBandLines, 180);
    EXPECT_EQ(d.m_nPendingAdvance, 0);
    EXPECT_EQ(d.m_nPendingEmptyRows, 0);
    EXPECT_EQ(d.m_nFullCopyRows, 180);
    EXPECT_EQ(d.m_nSelectDivisor, 1);
    EXPECT_EQ(d.m_nRampLines, 0);
    EXPECT_EQ(d.m_nWeaveState, 1);
    EXPECT_EQ(d.m_nAdvancedRows, 0);
    EXPECT_EQ(d.m_bOutputEnded, 0);
    EXPECT_TRUE(d.m_strJobInfo.IsEmpty());
    EXPECT_EQ(d.m_bBandsReady, 0);
    EXPECT_EQ(d.m_bTraceRealTime, 7);
    CPrintEnv quiet;
    CEpsonPhotoR3000 d2(&quiet, &parms);
    EXPECT_EQ(d2.m_bTraceRealTime, 0);
}

TEST(DriverObject, JobOpenKeepsContextName)
{
    JobParams p;
    Rig rig(p);
    CPrintJobOpenContext ctx(CString("queue 7"));
    EXPECT_EQ(rig.driver->JobOpen(&ctx), 1);
    EXPECT_EQ(rig.driver->m_strJobInfo, CString("queue 7"));
    rig.driver->JobClose();
    EXPECT_TRUE(rig.driver->m_strJobInfo.IsEmpty());
}

// Output set-up: geometry, buffers, top offset; the buffers go at the end of the output.
TEST(DriverObject, OutputInitAndExit)
{
    JobParams p;
    p.resX = 1440;
    p.resY = 720;
    p.nozzleResH = 720;
    p.bits = 2;
    p.compression = 1;
    p.colors = {0, 1, 2};
    Rig rig(p, 1204);  // 301 bytes per row
    auto& d = *rig.driver;
    EXPECT_EQ(d.OutputInit(0, 0), 1);
    EXPECT_EQ(d.m_nHPasses, 2);
    EXPECT_EQ(d.m_nVPasses, 4);
    EXPECT_EQ(d.m_nBandLines, 720);
    EXPECT_EQ(d.m_nRowBytes, 301);
    EXPECT_EQ(d.m_nPassRowBytes, 151);
    EXPECT_EQ(d.m_nPlaneBytes, 180 * 151);
    EXPECT_EQ(d.m_nPassBytes, 180 * 151 * 3);
    EXPECT_EQ(d.m_nBandBufSize, 180 * 151 * 3 * 8);
    EXPECT_EQ(d.m_nPackBufSize, 180 * 151 + 180 * 151 / 127 + 4);
    EXPECT_EQ(d.m_nPixelsPerByte, 4);
    EXPECT_EQ(d.m_nPixelMask, 3);
    EXPECT_EQ(d.m_bCompress, 1);
    EXPECT_NE(d.m_pBandBuf, nullptr);
    EXPECT_NE(d.m_pPackBuf, nullptr);
    EXPECT_EQ(d.m_bBandsReady, 1);
    EXPECT_EQ(d.m_nBandRows, 43);  // 1.5 mm at 720 dpi
    EXPECT_EQ(d.m_nLeadingEmptyRows, 43);
    EXPECT_EQ(d.OutputExit(), 1);
    EXPECT_EQ(d.m_pBandBuf, nullptr);
    EXPECT_EQ(d.m_pPackBuf, nullptr);
    EXPECT_EQ(d.m_bOutputEnded, 1);
    EXPECT_EQ(d.m_nBandRows, 0);
    // The top offset reached the printer as a vertical move: 43 lines.
    EXPECT_EQ(rig.sink.bytes, Hex("1B 28 76 04 00 2B 00 00 00"));
}

TEST(DriverObject, TopOffsetRows)
{
    const struct {
        double resY;
        int rows;
    } cases[] = {{720, 43}, {1440, 85}, {180, 11}, {360, 21}};
    for (const auto& c : cases) {
        JobParams p;
        p.resY = c.resY;
        Rig rig(p);
        rig.driver->OutputInit(0, 0);
        EXPECT_EQ(rig.driver->m_nBandRows, c.rows) << c.resY;
        rig.driver->OutputExit();
    }
}

// A second output set-up without an end releases the first output's buffers.
TEST(DriverObject, RepeatedOutputInit)
{
    JobParams p;
    Rig rig(p);
    rig.driver->OutputInit(0, 0);
    rig.driver->OutputInit(0, 0);
    EXPECT_NE(rig.driver->m_pBandBuf, nullptr);
    EXPECT_EQ(rig.driver->OutputExit(), 1);
}

// A geometry whose band cannot be held ends the output as failed, without a byte.
TEST(DriverObject, BandTooLargeFailsCleanly)
{
    JobParams p;
    p.resX = 5760;
    p.resY = 2880;
    p.colors = std::vector<int>(8, 0);
    Rig rig(p, 400000000);  // 100 MB per row: the band would pass 2 GB
    auto& d = *rig.driver;
    d.OutputInit(0, 0);
    EXPECT_EQ(d.m_pBandBuf, nullptr);
    EXPECT_EQ(d.OutputEmptyRows(5), 0);
    EXPECT_EQ(d.OutputExit(), 0);
    EXPECT_TRUE(rig.sink.bytes.empty());
}

TEST(DriverObject, EmptyRowsZeroDoesNothing)
{
    JobParams p;
    Rig rig(p);
    EXPECT_EQ(rig.driver->OutputEmptyRows(0), 1);
    EXPECT_EQ(rig.driver->m_bBandsReady, 0);
    EXPECT_EQ(rig.driver->m_pBandBuf, nullptr);
}

// The print method's parameter string, field 7: the single-dot-size flag.
TEST(DriverObject, ParmsFieldSeven)
{
    const struct {
        const char* value;
        int flag;
    } cases[] = {
        {"0,0,0,0,4,18,1", 1}, {"0,0,0,0,4,18,0", 0}, {"0,0,0,0,4,18", 0},  {"0,0,0,0,4,18,1,0", 1},
        {"0,0,0,0,4,18,0,1", 0}, {",,,,,,2", 1},        {"1,1,1,1,1,1,x", 0}, {"", 0},
    };
    for (const auto& c : cases) {
        JobParams p;
        Rig rig(p);
        rig.env.PutString(PrEnv_PrintMethod.pszKey, "Photo");
        rig.env.PutString("$Parms$Photo", c.value);
        rig.env.PutString("$Parms$ Photo", "1,1,1,1,1,1,1");  // not the key: nothing in between
        rig.driver->OutputInit(0, 0);
        EXPECT_EQ(rig.driver->m_bSingleDotSize, c.flag) << c.value;
        rig.driver->OutputExit();
    }
}

uint32_t g_ticks = 0;
uint32_t FakeTicks() { return g_ticks; }

// Time accounting takes intervals modulo 2^32, so a wrap of the counter does no harm.
TEST(DriverObject, TickIntervalsAcrossWrap)
{
    JobParams p;
    Rig rig(p);
    rig.env.PutInt("TraceRealTime", 1);
    rig.driver.reset(new CEpsonPhotoR3000(&rig.env, &rig.parms));
    rig.Setup(p, 64);
    SetTickCountSource(FakeTicks);
    g_ticks = 0xFFFFFF00u;
    auto& d = *rig.driver;
    d.OutputInit(0, 0);
    EXPECT_EQ(d.m_dwStartTicks, 0xFFFFFF00u);
    g_ticks = 0x00000100u;  // 512 ms later, past the wrap
    setenv("XDG_DATA_HOME", "/nonexistent-rphoto-test/data", 1);
    d.OutputExit();
    SetTickCountSource(nullptr);
    EXPECT_EQ(d.m_dwTotalTime, 512u);
    EXPECT_EQ(d.m_dwDriverTime, 0u);  // no time passed inside the calls
}

// Without "TraceRealTime" no tick count is taken.
TEST(DriverObject, NoTicksWithoutTrace)
{
    JobParams p;
    Rig rig(p);
    SetTickCountSource(FakeTicks);
    g_ticks = 1000;
    rig.driver->OutputInit(0, 0);
    g_ticks = 5000;
    rig.driver->OutputExit();
    SetTickCountSource(nullptr);
    EXPECT_EQ(rig.driver->m_dwStartTicks, 0u);
    EXPECT_EQ(rig.driver->m_dwTotalTime, 0u);
    EXPECT_EQ(rig.driver->m_dwDriverTime, 0u);
}

}  // namespace

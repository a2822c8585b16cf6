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

// The top offset of 1.5 mm in rows, and the vertical move that brings it to the printer at the end.
TEST(DriverObject, TopOffsetRows)
{
    const struct {
        double resY;
        int rows;
    } cases[] = {{720, 43}, {1440, 85}, {180, 11}, {360, 21}};
    for (const auto& c : cases) {
        JobParams p{.resY = c.resY, .colors = {}};
        Rig rig(p);
        rig.driver->OutputInit(0, 0);
        EXPECT_EQ(rig.driver->m_nBandRows, c.rows) << c.resY;
        EXPECT_EQ(rig.driver->OutputExit(), 1);
        EXPECT_EQ(rig.sink.bytes, Hex("1B 28 76 04 00") + std::string(1, static_cast<char>(c.rows)) + Hex("00 00 00"));
    }
}

// A geometry whose band cannot be held ends the output as failed, without a byte.
TEST(DriverObject, BandTooLargeFailsCleanly)
{
    JobParams p{.resX = 5760, .resY = 2880, .colors = std::vector<int>(8, 0)};
    Rig rig(p, 400000000);  // 100 MB per row: the band would pass 2 GB
    auto& d = *rig.driver;
    d.OutputInit(0, 0);
    EXPECT_EQ(d.m_pBandBuf, nullptr);
    EXPECT_EQ(d.OutputEmptyRows(5), 0);
    EXPECT_EQ(d.OutputExit(), 0);
    EXPECT_TRUE(rig.sink.bytes.empty());
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
    const test_support::TempDir data;  // the statistics log goes there
    setenv("XDG_DATA_HOME", data.path().c_str(), 1);
    d.OutputExit();
    unsetenv("XDG_DATA_HOME");
    SetTickCountSource(nullptr);
    EXPECT_EQ(d.m_dwTotalTime, 512u);
    EXPECT_EQ(d.m_dwDriverTime, 0u);  // no time passed inside the calls
}

}  // namespace

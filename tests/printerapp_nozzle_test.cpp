// The test page's nozzle check through the driver module: with the weave off every nozzle of
// every ink prints its own dash, once.
#include <gtest/gtest.h>

#include <set>

#include "app/JobRunner.h"
#include "decode/Decoder.h"
#include "host/DevParms.h"
#include "printer-app/NozzleCheck.h"

extern "C" IPrinterDriver* Create(CPrintEnv* pEnv);

TEST(PrinterAppTestPage, EveryNozzleOfEveryInkPrintsItsOwnDash)
{
    const struct {
        int model;
        const char* weaveKey;
        std::vector<int> inks;  // host colour identifiers of the model's inks
    } cases[] = {{1, "DP1_bEnableWeave", {0, 1, 2, 3, 35, 4, 30}}, {2, "DP2_bEnableWeave", {0, 1, 2, 3, 8, 9, 7, 10}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.model);
        CPrintEnv env;
        env.PutInt(PrEnv_UID, c.model);
        env.PutString(PrEnv_PrintMethod.pszKey, "1440x720");
        env.PutString(PrEnv_DefaultMediaSizeName.pszKey, "ISO A4");
        env.PutInt(c.weaveKey, 0);
        printerapp::NozzleCheck check;
        check.interleave = 720 / 180;
        DriverPtr driver(Create(&env));
        MemorySink bytes;
        JobDescription job;
        ASSERT_TRUE(RunJob(*AsDriverBase(driver.get()), job, printerapp::NozzleCheckPlanes(check, c.inks), bytes).Ok());

        const DecodeResult decoded = Decode(reinterpret_cast<const uint8_t*>(bytes.bytes.data()), bytes.bytes.size());
        ASSERT_TRUE(decoded.Ok()) << decoded.error->Text();
        ASSERT_EQ(decoded.pages.size(), 1u);
        const DecodedPage& page = decoded.pages[0];
        EXPECT_EQ(page.planes.size(), c.inks.size());
        for (const InkPlane& plane : page.planes) {
            std::set<uint16_t> nozzles;
            for (int32_t r = 0; r < plane.Height(); ++r) {
                std::set<uint16_t> rowNozzles;  // a dash is one nozzle's: the weave is off
                for (int32_t col = 0; col < plane.Width(); ++col)
                    if (auto o = plane.Origin(r, col)) rowNozzles.insert(o->nozzle);
                EXPECT_LE(rowNozzles.size(), 1u) << "ink " << int(plane.Ink()) << " row " << r;
                nozzles.insert(rowNozzles.begin(), rowNozzles.end());
            }
            EXPECT_EQ(nozzles.size(), 180u) << "ink " << int(plane.Ink());
            EXPECT_EQ(plane.Positions(), 180u * check.dashWidth) << "ink " << int(plane.Ink());
            EXPECT_EQ(plane.MultiplyPrinted(), 0u) << "ink " << int(plane.Ink());
        }
    }
}

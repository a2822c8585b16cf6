// The host's driver base: output writes, failure state and PackBits.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "host/DevParms.h"
#include "host/PrinterDriver.h"
#include "support/TestSupport.h"

namespace {

using Bytes = std::vector<unsigned char>;

Bytes Pack(const Bytes& src)
{
    Bytes dst(src.size() + src.size() / 128 + 2);
    const int n = CPrinterDriverBase::packbits_compress(dst.data(), src.data(), static_cast<unsigned>(src.size()));
    dst.resize(static_cast<size_t>(n));
    return dst;
}

TEST(PackBits, HandWorkedBlocks)
{
    EXPECT_EQ(Pack({0x41, 0x41, 0x41, 0x42}), (Bytes{0xFE, 0x41, 0x00, 0x42}));
    EXPECT_EQ(Pack({0x01, 0x02, 0x02, 0x03}), (Bytes{0x03, 0x01, 0x02, 0x02, 0x03}));
    EXPECT_EQ(Pack({0x07}), (Bytes{0x00, 0x07}));
    EXPECT_EQ(Pack(Bytes(128, 0)), (Bytes{0x81, 0x00}));
    EXPECT_EQ(Pack(Bytes(130, 0)), (Bytes{0x81, 0x00, 0x01, 0x00, 0x00}));
    EXPECT_EQ(Pack(Bytes(131, 0)), (Bytes{0x81, 0x00, 0xFE, 0x00}));
    EXPECT_TRUE(Pack({}).empty());
}

TEST(PackBits, RoundTripsAndStaysWithinTheWorstCase)
{
    std::mt19937 rng(7);
    for (int trial = 0; trial < 200; ++trial) {
        Bytes src(static_cast<size_t>(rng() % 3000));
        for (auto& b : src) b = static_cast<unsigned char>((rng() % 4 == 0) ? rng() : 0);
        if (trial % 3 == 0)
            for (auto& b : src) b = static_cast<unsigned char>(rng());
        const Bytes packed = Pack(src);
        EXPECT_LE(packed.size(), src.size() + src.size() / 127 + 4);
        std::string unpacked;
        EXPECT_EQ(test_support::Unpack(std::string(packed.begin(), packed.end()), src.size(), &unpacked), "");
        EXPECT_EQ(unpacked, std::string(src.begin(), src.end()));
    }
}

class NoParms : public CUnivDevParmsBase {
public:
    void Load(CPrintEnv*) override { ++loads; }
    void Save(CPrintEnv*) override {}
    CString GetStartString(CPrinterDriverBase*) override { return CString("\x1b@", 2); }
    int loads = 0;
};

TEST(DriverBase, LoadsOptionsAtConstructionAndRecordsFailedWrites)
{
    CPrintEnv env;
    NoParms parms;
    CPrinterDriverBase driver(&env, &parms);
    EXPECT_EQ(parms.loads, 1);

    CountingSink sink(3);
    driver.SetOutputSink(&sink);
    EXPECT_EQ(driver.OutputInit(0, 0), 1);
    EXPECT_EQ(parms.OutputStartString(&driver), 1);
    EXPECT_EQ(driver.GetError(), 0);
    EXPECT_EQ(driver.Output(CString("abc")), 0);  // 2 + 3 bytes pass the limit of 3
    EXPECT_EQ(driver.GetError(), 1);
    EXPECT_EQ(driver.OutputExit(), 0);
    EXPECT_EQ(sink.total, 2u);
}

}  // namespace

// Golden jobs on Windows: the bundled sample printed through the module DLL's Create must give
// the bytes whose SHA-256 ref/ keeps from the Linux build. The sample's planes, unpacked, are in
// the folder named by RPHOTO_SAMPLE_PLANES (scripts/test-windows.sh provides them).
#include <gtest/gtest.h>

#include <windows.h>
#include <wincrypt.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "app/JobRunner.h"
#include "app/PlaneImage.h"
#include "host/PrintEnv.h"

extern "C" IPrinterDriver* Create(CPrintEnv* pEnv);

namespace {

std::string Sha256Hex(const std::string& bytes)
{
    HCRYPTPROV prov = 0;
    HCRYPTHASH hash = 0;
    BYTE digest[32];
    DWORD size = sizeof digest;
    std::string hex;
    if (CryptAcquireContextA(&prov, nullptr, nullptr, PROV_RSA_AES, CRYPT_VERIFYCONTEXT) &&
        CryptCreateHash(prov, CALG_SHA_256, 0, 0, &hash) &&
        CryptHashData(hash, reinterpret_cast<const BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size()), 0) &&
        CryptGetHashParam(hash, HP_HASHVAL, digest, &size, 0)) {
        char two[3];
        for (DWORD i = 0; i < size; ++i) hex += (std::snprintf(two, sizeof two, "%02x", digest[i]), two);
    }
    if (hash) CryptDestroyHash(hash);
    if (prov) CryptReleaseContext(prov, 0);
    return hex;
}

struct Sample {
    const char* model;
    int id;
    std::vector<std::pair<const char*, const char*>> sets;  // as scripts/print-sample.sh sets them
    std::vector<std::pair<const char*, int>> inks;          // plane file and host colour
};

TEST(GoldenJobs, SampleJobsGiveTheLinuxBytes)
{
    const char* planesDir = std::getenv("RPHOTO_SAMPLE_PLANES");
    ASSERT_TRUE(planesDir) << "RPHOTO_SAMPLE_PLANES names no folder";
    ASSERT_EQ(_putenv("SOURCE_DATE_EPOCH=0"), 0);
    const std::vector<Sample> samples = {
        {"r2000", 1, {{"DP1_strPaperTyp", "Premium Glossy Photo Paper"}},
         {{"K", 0}, {"C", 1}, {"M", 2}, {"Y", 3}, {"R", 35}, {"O", 4}, {"GO", 30}}},
        {"r3000", 2, {{"DP2_nPaperTyp", "3"}, {"DP2_strPaperTyp", "Premium Glossy Photo Paper"}, {"DP2_inkMode", "1"}},
         {{"K", 0}, {"C", 1}, {"M", 2}, {"Y", 3}, {"LC", 8}, {"LM", 9}, {"LK", 7}, {"LLK", 10}}},
    };
    for (const Sample& s : samples) {
        SCOPED_TRACE(s.model);
        std::vector<JobPlane> planes(s.inks.size());
        for (size_t i = 0; i < s.inks.size(); ++i) {
            PlaneImage image;
            std::string error;
            ASSERT_TRUE(ReadPlaneImage(std::string(planesDir) + "/" + s.inks[i].first + ".pgm", &image, &error)) << error;
            ASSERT_TRUE(PackPlane(image, 2, s.inks[i].second, &planes[i], &error)) << error;
        }
        CPrintEnv store;
        for (const auto& [key, value] : s.sets) store.PutString(key, value);
        store.PutInt(PrEnv_UID, s.id);
        store.PutString(PrEnv_PrintMethod.pszKey, "1440x720");
        store.PutString(PrEnv_DefaultMediaSizeName.pszKey, "ISO A4");
        DriverPtr driver(Create(&store));
        ASSERT_TRUE(AsDriverBase(driver.get()));
        JobDescription job;  // 1440 x 720 dpi, 2 bits, PackBits, ISO A4 with 3 mm margins
        MemorySink out;
        ASSERT_TRUE(RunJob(*AsDriverBase(driver.get()), job, planes, out).Ok());

        std::ifstream ref(std::string(RPHOTO_SOURCE_DIR) + "/ref/sample-" + s.model + ".sha256");
        std::string expected;
        ref >> expected;
        ASSERT_EQ(expected.size(), 64u) << "no reference for " << s.model;
        EXPECT_EQ(Sha256Hex(out.bytes), expected) << "the " << s.model << " sample's bytes differ from the Linux build's";
    }
}

}  // namespace

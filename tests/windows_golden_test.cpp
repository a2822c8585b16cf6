// Golden jobs on Windows: the bundled sample printed through the module DLL's Create as
// scripts/print-sample.sh prints it, into RPHOTO_GOLDEN_OUT; scripts/test-windows.sh then checks
// the files against the Linux build's SHA-256 sums in ref/. RPHOTO_SAMPLE_PLANES holds the planes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "app/JobRunner.h"
#include "app/PlaneImage.h"
#include "host/PrintEnv.h"

extern "C" IPrinterDriver* Create(CPrintEnv* pEnv);

namespace {

struct Sample {
    const char* model;
    int id;
    std::vector<std::pair<const char*, const char*>> sets;
    std::vector<std::pair<const char*, int>> inks;  // plane file and host colour
};

TEST(GoldenJobs, SampleJobsAreWritten)
{
    const char* planesDir = std::getenv("RPHOTO_SAMPLE_PLANES");
    const char* outDir = std::getenv("RPHOTO_GOLDEN_OUT");
    ASSERT_TRUE(planesDir && outDir) << "RPHOTO_SAMPLE_PLANES and RPHOTO_GOLDEN_OUT name the folders";
    ASSERT_EQ(_putenv("SOURCE_DATE_EPOCH=0"), 0);
    const Sample samples[] = {
        {"r2000", 1, {{"DP1_strPaperTyp", "Premium Glossy Photo Paper"}},
         {{"K", 0}, {"C", 1}, {"M", 2}, {"Y", 3}, {"R", 35}, {"O", 4}, {"GO", 30}}},
        {"r3000", 2, {{"DP2_nPaperTyp", "3"}, {"DP2_strPaperTyp", "Premium Glossy Photo Paper"}, {"DP2_inkMode", "1"}},
         {{"K", 0}, {"C", 1}, {"M", 2}, {"Y", 3}, {"LC", 8}, {"LM", 9}, {"LK", 7}, {"LLK", 10}}},
    };
    for (const Sample& s : samples) {
        std::vector<JobPlane> planes(s.inks.size());
        for (size_t i = 0; i < s.inks.size(); ++i) {
            PlaneImage image;
            std::string error;
            ASSERT_TRUE(ReadPlaneImage(std::string(planesDir) + "/" + s.inks[i].first + ".pgm", &image, &error) &&
                        PackPlane(image, 2, s.inks[i].second, &planes[i], &error))
                << error;
        }
        CPrintEnv store;
        for (const auto& [key, value] : s.sets) store.PutString(key, value);
        store.PutInt(PrEnv_UID, s.id);
        store.PutString(PrEnv_PrintMethod.pszKey, "1440x720");
        store.PutString(PrEnv_DefaultMediaSizeName.pszKey, "ISO A4");
        DriverPtr driver(Create(&store));
        ASSERT_TRUE(AsDriverBase(driver.get())) << s.model;
        MemorySink out;  // the job's defaults: 1440 x 720 dpi, 2 bits, PackBits, ISO A4, 3 mm margins
        ASSERT_TRUE(RunJob(*AsDriverBase(driver.get()), JobDescription{}, planes, out).Ok()) << s.model;
        std::ofstream(std::string(outDir) + "/sample-" + s.model + ".prn", std::ios::binary) << out.bytes;
    }
}

}  // namespace

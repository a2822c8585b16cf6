// The job statistics log: its eight lines, its file name and when nothing is written.
#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "engine_support.h"
#include "host/Platform.h"

namespace {
using namespace engine_test;
namespace fs = std::filesystem;

// A private data folder for each test.
class StatisticsLog : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("XDG_DATA_HOME", dir.path().c_str(), 1);
    }
    void TearDown() override { unsetenv("XDG_DATA_HOME"); }
    std::vector<fs::path> LogFiles() const
    {
        std::vector<fs::path> out;
        const fs::path logs = dir.path() / "rphoto" / "Nvlogging";
        if (fs::exists(logs))
            for (const auto& e : fs::directory_iterator(logs)) out.push_back(e.path());
        return out;
    }
    // A model-2 driver set up with tracing on, as a job named `jobName` would have it.
    std::unique_ptr<Rig> MakeRig(int trace, int bits, const char* jobName, const char* info)
    {
        JobParams p{.bits = bits, .colors = {}};
        auto rig = std::make_unique<Rig>(p);
        rig->env.PutInt("TraceRealTime", trace);
        rig->env.PutString(PrEnv_PrintMethod.pszKey, "1440x720");
        rig->driver.reset(new CEpsonPhotoR3000(&rig->env, &rig->parms));
        rig->Setup(p, 64);
        JobSetup setup;
        setup.nPixelBits = bits;
        setup.nJobPixelWidth = 64;
        setup.colors = {0};
        setup.jobName = jobName;
        rig->driver->SetupJob(setup, {&rig->planes[0]});
        rig->ctx = CPrintJobOpenContext(CString(info));
        return rig;
    }
    test_support::TempDir dir;
};

TEST_F(StatisticsLog, EightLinesAndName)
{
    auto rig = MakeRig(1, 2, "Holiday: 50% \\ done", "");
    auto& d = *rig->driver;
    d.JobOpen(&rig->ctx);
    d.m_bTraceRealTime = 1;
    d.m_nPixelsPerByte = 4;
    d.m_dwTotalTime = 1234;
    d.m_dwDriverTime = 0x80000000u;  // above 2^31: still positive
    d.m_dwPortTime = 5;
    d.m_dwSelectTime = 1999;
    d.m_dwLoadTime = 0;
    d.m_nAdvancedRows = 4321;
    const std::time_t before = std::time(nullptr);
    d.WriteJobStatistics(1);
    const std::time_t after = std::time(nullptr);
    const auto files = LogFiles();
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(test_support::ReadFile(files[0]),
              "PRINT Holiday: 50% \\ done SUCCESSFUL!!\n"
              "Print total time = 1.23 sec\n"
              "Printer driver processing time = 2147483.65 sec\n"
              "Port driver processing time = 0.01 sec\n"
              "Pixel selection processing time = 2.00 sec\n"
              "Pixel loading processing time = 0.00 sec\n"
              "4321 Advanced rows\n"
              "Bits per pixels = 2\n");
    // Job name, method, empty job-open text, time text: colons and backslashes to "_".
    bool matched = false;
    for (std::time_t t = before; t <= after && !matched; ++t) {
        std::string when = CtimeText(t);
        when.pop_back();  // its line feed
        for (char& c : when)
            if (c == ':') c = '_';
        matched = files[0].filename() == "Holiday_ 50% _ done_1440x720__" + when + ".txt";
    }
    EXPECT_TRUE(matched) << files[0].filename();
}

TEST_F(StatisticsLog, UnsuccessfulOutputAndOneBit)
{
    auto rig = MakeRig(1, 1, "J", "queue");
    auto& d = *rig->driver;
    d.JobOpen(&rig->ctx);
    d.WriteJobStatistics(0);
    const auto files = LogFiles();
    ASSERT_EQ(files.size(), 1u);
    const std::string text = test_support::ReadFile(files[0]);
    EXPECT_EQ(text.rfind("PRINT J UNSUCCESSFUL!!\n", 0), 0u);
    EXPECT_NE(text.find("Bits per pixels = 1\n"), std::string::npos);
    EXPECT_EQ(files[0].filename().string().rfind("J_1440x720_queue_", 0), 0u);
}

// No trace, or a data folder that cannot be created: no file, no crash, printing unaffected.
TEST_F(StatisticsLog, NothingWithoutTraceOrFolder)
{
    const fs::path blocker = dir.path() / "file";
    for (int trace : {0, 1}) {
        if (trace) {
            std::ofstream(blocker) << "x";
            setenv("XDG_DATA_HOME", blocker.c_str(), 1);
        }
        auto rig = MakeRig(trace, 2, "J", "");
        Page page(1, 64, 5);
        page.px[0][2][3] = 2;
        EXPECT_EQ(rig->RunPage(page, 2), 1);
        EXPECT_FALSE(rig->sink.bytes.empty());
        rig->driver->WriteJobStatistics(1);
        EXPECT_TRUE(LogFiles().empty()) << trace;
    }
    EXPECT_TRUE(fs::is_regular_file(blocker));
}

}  // namespace

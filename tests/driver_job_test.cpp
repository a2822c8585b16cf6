// Whole jobs as the command line runs them, and the reading of ink planes.
#include <gtest/gtest.h>

#include "app/JobRunner.h"
#include "app/PlaneImage.h"
#include "engine_support.h"

extern "C" IPrinterDriver* Create(CPrintEnv* pEnv);

namespace {
using namespace engine_test;

// Parameters that send fixed start and end streams.
class StreamParms : public TestParms {
public:
    CString GetStartString(CPrinterDriverBase*) override { return CString("<start>"); }
    CString GetEndString(CPrinterDriverBase*) override { return CString("<end>"); }
};

// Records the host's calls in order.
class CallLog : public CEpsonPhotoR3000 {
public:
    using CEpsonPhotoR3000::CEpsonPhotoR3000;
    std::vector<std::string> calls;
    int JobOpen(CPrintJobOpenContext* c) override
    {
        calls.push_back("open " + std::string(c->GetContextName().GetString()));
        return CEpsonPhotoR3000::JobOpen(c);
    }
    int OutputInit(int a, int b) override
    {
        calls.push_back("init");
        return CEpsonPhotoR3000::OutputInit(a, b);
    }
    int OutputEmptyRows(int n) override
    {
        calls.push_back("empty " + std::to_string(n));
        return CEpsonPhotoR3000::OutputEmptyRows(n);
    }
    int OutputDataRow() override
    {
        calls.push_back("data");
        return CEpsonPhotoR3000::OutputDataRow();
    }
    int OutputExit() override
    {
        calls.push_back("exit");
        return CEpsonPhotoR3000::OutputExit();
    }
    void JobClose() override
    {
        calls.push_back("close");
        CEpsonPhotoR3000::JobClose();
    }
};

std::vector<JobPlane> Planes(const std::vector<std::vector<uint8_t>>& rowsOfPlane0, int planes, int bits)
{
    std::vector<JobPlane> out;
    for (int c = 0; c < planes; ++c) {
        PlaneImage image;
        image.width = static_cast<int>(rowsOfPlane0[0].size());
        image.height = static_cast<int>(rowsOfPlane0.size());
        image.maxval = 3;
        for (const auto& row : rowsOfPlane0)
            for (uint8_t v : row) image.pixels.push_back(c == 0 ? v : 0);
        JobPlane p;
        std::string error;
        EXPECT_TRUE(PackPlane(image, bits, c, &p, &error)) << error;
        out.push_back(p);
    }
    return out;
}

TEST(JobRunner, SevenStepsAndEmptyRuns)
{
    CPrintEnv env;
    StreamParms parms;
    CallLog driver(&env, &parms);
    std::vector<std::vector<uint8_t>> rows(10, std::vector<uint8_t>(12, 0));
    rows[5][3] = 2;
    rows[6][0] = 1;
    MemorySink sink;
    JobDescription job;
    job.resX = 720;
    job.resY = 720;
    job.contextName = "ctx";
    const JobOutcome outcome = RunJob(driver, job, Planes(rows, 2, 2), sink);
    EXPECT_TRUE(outcome.Ok());
    const std::vector<std::string> want = {"open ctx", "init",    "empty 43", "empty 5", "data",
                                           "data",     "empty 3", "exit",     "close"};
    EXPECT_EQ(driver.calls, want);
    ASSERT_GT(sink.bytes.size(), 12u);
    EXPECT_EQ(sink.bytes.substr(0, 7), "<start>");
    EXPECT_EQ(sink.bytes.substr(sink.bytes.size() - 5), "<end>");
    EXPECT_EQ(outcome.bytesOut, sink.bytes.size());
    EXPECT_EQ(outcome.rasterBytes, 2u * 3u * 10u);
}

TEST(JobRunner, CreatedDriversPrint)
{
    for (int model : {1, 2}) {
        CPrintEnv env;
        env.PutInt(PrEnv_UID, model);
        env.PutString(PrEnv_PrintMethod.pszKey, "1440x720");
        env.PutString(PrEnv_DefaultMediaSizeName.pszKey, "ISO A4");
        IPrinterDriver* d = Create(&env);
        ASSERT_NE(d, nullptr);
        CPrinterDriverBase* base = AsDriverBase(d);
        std::vector<std::vector<uint8_t>> rows(300, std::vector<uint8_t>(100, 0));
        for (int y = 20; y < 280; ++y)
            for (int x = y % 7; x < 100; x += 3) rows[y][x] = static_cast<uint8_t>(1 + (x + y) % 3);
        MemorySink sink;
        const JobOutcome ok = RunJob(*base, JobDescription(), Planes(rows, 4, 2), sink);
        EXPECT_TRUE(ok.Ok()) << model;
        EXPECT_GT(sink.bytes.size(), 1000u);
        // A sink that fails half-way: the job ends and reports the failure.
        CountingSink failing(sink.bytes.size() / 2);
        const JobOutcome bad = RunJob(*base, JobDescription(), Planes(rows, 4, 2), failing);
        EXPECT_FALSE(bad.Ok());
        EXPECT_EQ(bad.exitResult, 0);
        CUnivDevParmsBase* parms = base->m_pDevParms;
        delete d;
        delete parms;
    }
}

TEST(JobRunner, PackPlane)
{
    PlaneImage image;
    image.width = 5;
    image.height = 1;
    image.pixels = {3, 0, 1, 2, 1};
    JobPlane p;
    std::string error;
    ASSERT_TRUE(PackPlane(image, 2, 7, &p, &error));
    EXPECT_EQ(p.rowBytes, 2);
    EXPECT_EQ(p.packed, (std::vector<uint8_t>{0xC6, 0x40}));
    EXPECT_FALSE(PackPlane(image, 1, 0, &p, &error));
    EXPECT_EQ(error, "level 3 at row 1, column 1 needs 2 bits per pixel");
}

TEST(PlaneImage, ReadsEveryKind)
{
    struct Case {
        std::string bytes;
        std::vector<uint8_t> pixels;
        int maxval;
    } cases[] = {
        {"P4\n# c\n10 2\n" + Hex("C0 40 00 80"), {1, 1, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0}, 1},
        {"P1 3 2 1 0 1\n0 0 1", {1, 0, 1, 0, 0, 1}, 1},
        {"P5 3 2 3\n" + Hex("00 01 02 03 02 01"), {0, 1, 2, 3, 2, 1}, 3},
        {"P2\n2 2\n3\n0 3\n# x\n2 1\n", {0, 3, 2, 1}, 3},
        {"P5 2 1 1 " + Hex("01 00"), {1, 0}, 1},
    };
    for (const Case& c : cases) {
        PlaneImage image;
        std::string error;
        ASSERT_TRUE(ParsePlaneImage(c.bytes, "p.pbm", &image, &error)) << error;
        EXPECT_EQ(image.pixels, c.pixels);
        EXPECT_EQ(image.maxval, c.maxval);
    }
}

TEST(PlaneImage, RefusesMalformed)
{
    const std::pair<std::string, std::string> cases[] = {
        {"P6 1 1 255\nabc", "k.ppm: netpbm type P6 is not an ink plane (use PBM P4/P1 or PGM P5/P2)"},
        {"GIF89a", "k.ppm: not a netpbm file (expected P1, P2, P4 or P5 at byte 0)"},
        {"P5 2 2 255\n" + Hex("00 00 00 00"), "k.ppm: maxval 255 is not an ink level range (use 1 or 3)"},
        {"P4 9 3\n" + Hex("00 00 00 00"), "k.ppm: data ends in row 3 of 3"},
        {"P5 2 1 1\n" + Hex("00 02"), "k.ppm: value 2 above maxval 1 at row 1, column 2"},
        {"P2 2 1 3\n0 4", "k.ppm: expected a value 0..3 at row 1, column 2"},
        {"P1 2 1\n0 x", "k.ppm: expected 0 or 1 at row 1, column 2"},
        {"P4 3", "k.ppm: bad or missing height in the header"},
        {"P4 99999999 3\n", "k.ppm: width larger than 4000000 pixels in the header"},
    };
    for (const auto& [bytes, message] : cases) {
        PlaneImage image;
        std::string error;
        EXPECT_FALSE(ParsePlaneImage(bytes, "k.ppm", &image, &error)) << bytes;
        EXPECT_EQ(error, message);
    }
    PlaneImage image;
    std::string error;
    EXPECT_FALSE(ReadPlaneImage("/nonexistent/plane.pgm", &image, &error));
    EXPECT_EQ(error.rfind("/nonexistent/plane.pgm: cannot read", 0), 0u);
}

}  // namespace

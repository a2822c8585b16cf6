// Golden job grid: the SHA-256 of whole jobs over a grid that reaches every path of the band
// engine (both models, every print method, 1 and 2 bits, weave on and off, weave ratios below,
// at and above the interleave and beyond 180 x vp, PackBits on and off, nozzles marked broken
// with the simulation on and off, the single-dot-size flag, widths that are not multiples of
// the horizontal passes, empty runs shorter and longer than a band). The references are
// ref/golden-grid.tsv, rewritten only by scripts/update-golden-grid.sh. On Windows, which has no
// OpenSSL, the jobs are written to RPHOTO_GOLDEN_OUT and scripts/test-windows.sh hashes them.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <openssl/sha.h>
#endif

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

#ifndef _WIN32
#include "rip/StreamJob.h"
#endif
#include "app/JobRunner.h"
#include "decode/Decoder.h"
#include "host/OutputSink.h"
#include "host/PrintEnv.h"
#include "support/TestSupport.h"

extern "C" IPrinterDriver* Create(CPrintEnv* pEnv);

namespace {

struct Method {
    const char* name;
    int resX, resY, vp;
};
constexpr Method kMethods[] = {{"360x180", 360, 180, 1},    {"360x360", 360, 360, 2},    {"720x720", 720, 720, 4},
                               {"1440x720", 1440, 720, 4},  {"2880x720", 2880, 720, 4},  {"1440x1440", 1440, 1440, 8},
                               {"5760x1440", 5760, 1440, 8}};

struct Config {
    int model, method, bits, compress, weave, ratio, width, longGap, broken, singleDot;
    std::string Name() const
    {
        std::ostringstream o;
        o << "model" << model << ' ' << kMethods[method].name << " bits" << bits << (compress ? " packbits" : " raw")
          << (weave ? " weave ratio" + std::to_string(ratio) : " noweave") << " width" << width
          << (longGap ? " longgap" : " shortgap") << " broken" << broken << (singleDot ? " singledot" : "");
        return o.str();
    }
};

uint32_t Mix(uint32_t a, uint32_t b, uint32_t c)
{
    uint32_t h = a * 0x9E3779B1u ^ (b + 0x7F4A7C15u) * 0x85EBCA77u ^ (c + 0x165667B1u) * 0xC2B2AE3Du;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 13;
    return h;
}

// Every model x method x bits x compression with the weave off and at ratios vp - 1, vp,
// vp + 1, 2 vp + 3 and a large ratio (beyond 180 vp where the bands are small, 12 vp where
// a feed of one line would make the job long); the other dimensions drawn from the index.
std::vector<Config> Grid()
{
    std::vector<Config> grid;
    constexpr int kWidths[] = {37, 61, 22, 64, 5};
    uint32_t i = 0;
    for (int model : {1, 2})
        for (int m = 0; m < 7; ++m)
            for (int bits : {1, 2})
                for (int compress : {1, 0})
                    for (int r = 0; r < 6; ++r, ++i) {
                        const int vp = kMethods[m].vp;
                        const int ratios[] = {0, vp - 1, vp, vp + 1, 2 * vp + 3, vp <= 2 ? 180 * vp + 1 : 12 * vp};
                        const uint32_t h = Mix(i, 17, 29);
                        grid.push_back({model, m, bits, compress, r > 0, ratios[r], kWidths[h % 5],
                                        static_cast<int>((i / 6 + i) % 2), static_cast<int>(h / 5 % 3), h / 15 % 6 == 0});
                    }
    return grid;
}

// Three planes; data for 1.3 bands, an empty run, data for 1.2 bands. Rows mix random levels,
// solid runs (PackBits repeats), empty rows per plane and varying empty margins (trimming).
std::vector<JobPlane> Page(const Config& c)
{
    const int band = 180 * kMethods[c.method].vp;
    const int lead = static_cast<int>(Mix(c.width, c.model, c.method) % 8);
    const int first = band * 13 / 10, gap = c.longGap ? band + 37 : 3 + c.width % 7, second = band * 12 / 10;
    const int height = lead + first + gap + second + 5, perByte = 8 / c.bits;
    std::vector<JobPlane> planes(3);
    for (int p = 0; p < 3; ++p) {
        JobPlane& plane = planes[p];
        plane.color = (p == 0) ? 0 : (p == 1 ? 1 : 6);
        plane.width = c.width;
        plane.height = height;
        plane.rowBytes = (c.width + perByte - 1) / perByte;
        plane.packed.assign(static_cast<size_t>(plane.rowBytes) * height, 0);
        for (int y = 0; y < height; ++y) {
            const int d = y - lead;
            if (d < 0 || (d >= first && d < first + gap) || d >= first + gap + second) continue;
            const uint32_t kind = Mix(y, p, 7) % 9;
            if (kind == 0) continue;
            const int left = static_cast<int>(Mix(y / 16, p, 3) % (c.width / 3 + 1));
            const int right = c.width - static_cast<int>(Mix(y / 16, p, 5) % (c.width / 3 + 1));
            for (int x = left; x < right; ++x) {
                const uint32_t h = Mix(x, y, p + 11);
                int v = kind == 1 ? 1 + p : ((h & 3) ? 1 + static_cast<int>(h >> 2) % 3 : 0);
                if (c.bits == 1 && v) v = 1;
                plane.packed[static_cast<size_t>(y) * plane.rowBytes + x / perByte] |=
                    static_cast<uint8_t>(v << (8 - (x % perByte + 1) * c.bits));
            }
        }
    }
    return planes;
}

using Settings = std::vector<std::pair<std::string, std::string>>;

// Every job with the printer clock pinned, so that two runs of one job give the same bytes.
JobOutcome RunGridJob(const Config& c, const Settings& extra, IOutputSink& sink, bool streamed = false)
{
#ifdef _WIN32
    _putenv("SOURCE_DATE_EPOCH=0");
#else
    setenv("SOURCE_DATE_EPOCH", "0", 1);
#endif
    const Method& m = kMethods[c.method];
    std::vector<int> broken;
    if (c.broken) broken = {0, 1, 77, 179};
    CPrintEnv env = test_support::JobStore({c.model, m.name, c.ratio, c.weave != 0, c.broken == 1, broken, c.singleDot != 0});
    for (const auto& [key, value] : extra) env.PutString(key.c_str(), value.c_str());
    DriverPtr driver(Create(&env));
    const std::vector<JobPlane> planes = Page(c);
    if (!streamed) {
        JobDescription job;
        job.resX = m.resX;
        job.resY = m.resY;
        job.bits = c.bits;
        job.compression = c.compress;
        return RunJob(*AsDriverBase(driver.get()), job, planes, sink);
    }
#ifdef _WIN32
    return JobOutcome();
#else
    // The row-streaming runner of pictures and the printer application, fed the same rows.
    rip::StreamJobDescription d;
    d.resX = m.resX;
    d.resY = m.resY;
    d.bits = c.bits;
    d.compression = c.compress;
    d.width = planes[0].width;
    d.height = planes[0].height;
    for (const JobPlane& p : planes) d.colors.push_back(p.color);
    rip::StreamJob job(*AsDriverBase(driver.get()), d, sink);
    JobOutcome outcome;
    outcome.started = job.Open();
    std::vector<const uint8_t*> rows(planes.size());
    bool going = outcome.started;
    for (int y = 0; y < d.height && going; ++y) {
        bool empty = true;
        for (size_t i = 0; i < planes.size(); ++i) {
            rows[i] = planes[i].Row(y);
            empty = empty && std::all_of(rows[i], rows[i] + planes[i].rowBytes, [](uint8_t b) { return b == 0; });
        }
        going = empty ? job.EmptyRows(1) : job.DataRow(rows.data());
    }
    outcome.exitResult = outcome.ended = job.Close() && going;
    return outcome;
#endif
}

std::string JobBytes(const Config& c, const Settings& extra = {})
{
    MemorySink sink;
    return RunGridJob(c, extra, sink).Ok() ? sink.bytes : "job failed";
}

#ifdef _WIN32
// The job of every grid line, with and without the worker thread, as NAME.prn (blanks as '_').
TEST(GoldenGrid, EveryJobIsWritten)
{
    const char* out = std::getenv("RPHOTO_GOLDEN_OUT");
    ASSERT_TRUE(out) << "RPHOTO_GOLDEN_OUT names the folder";
    for (const Config& c : Grid()) {
        const std::string bytes = JobBytes(c, {{"BackgroundOutput", "1"}});
        EXPECT_TRUE(JobBytes(c, {{"BackgroundOutput", "0"}}) == bytes) << c.Name();
        std::string name = c.Name();
        std::replace(name.begin(), name.end(), ' ', '_');
        std::ofstream(std::string(out) + "/" + name + ".prn", std::ios::binary) << bytes;
    }
}
#else
std::string JobSha256(const Config& c, const Settings& extra = {})
{
    const std::string bytes = JobBytes(c, extra);
    unsigned char md[SHA256_DIGEST_LENGTH];
    SHA256(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), md);
    std::string hex;
    for (unsigned char b : md) hex += "0123456789abcdef"[b >> 4], hex += "0123456789abcdef"[b & 15];
    return hex;
}

std::map<std::string, std::string> References()
{
    std::map<std::string, std::string> refs;
    std::ifstream in(std::string(RPHOTO_SOURCE_DIR) + "/ref/golden-grid.tsv");
    std::string line;
    while (std::getline(in, line))
        if (const size_t tab = line.find('\t'); tab != std::string::npos) refs[line.substr(0, tab)] = line.substr(tab + 1);
    return refs;
}

TEST(GoldenGrid, EveryJobMatchesItsReference)
{
    const std::vector<Config> grid = Grid();
    if (const char* out = std::getenv("RPHOTO_GOLDEN_WRITE")) {
        std::ofstream f(out);
        for (const Config& c : grid) f << c.Name() << '\t' << JobSha256(c) << '\n';
        ASSERT_TRUE(f.good()) << out;
        return;
    }
    const auto refs = References();
    ASSERT_EQ(refs.size(), grid.size()) << "ref/golden-grid.tsv does not hold the grid";
    for (const Config& c : grid) {
        const auto it = refs.find(c.Name());
        ASSERT_NE(it, refs.end()) << c.Name();
        // The same bytes whether a worker thread compresses and writes the blocks or not.
        for (const char* background : {"0", "1"})
            EXPECT_EQ(JobSha256(c, {{"BackgroundOutput", background}}), it->second) << c.Name() << ", BackgroundOutput=" << background;
    }
}
#endif

}  // namespace

namespace {

// Keeps what was written until the first write past failAt bytes fails; every later write
// fails too and is counted.
class FailingSink : public IOutputSink {
public:
    explicit FailingSink(size_t failAt) : m_failAt(failAt) {}
    bool Write(const void* data, size_t n) override
    {
        if (failed || bytes.size() + n > m_failAt) {
            writesAfter += failed ? 1 : 0;
            return !(failed = true);
        }
        bytes.append(static_cast<const char*>(data), n);
        return true;
    }
    std::string bytes;
    bool failed = false;
    int writesAfter = 0;

private:
    size_t m_failAt;
};

TEST(GoldenGrid, AnOutputThatFailsEndsTheJobWithNothingAfterTheFailure)
{
    const Config c{2, 3, 2, 1, 1, 6, 1500, 1, 0, 0};  // 1440x720, a job of several writes
    MemorySink whole;
    ASSERT_TRUE(RunGridJob(c, {}, whole).Ok());
#ifndef _WIN32
    MemorySink streamedWhole;
    ASSERT_TRUE(RunGridJob(c, {}, streamedWhole, true).Ok());
    EXPECT_TRUE(streamedWhole.bytes == whole.bytes) << "the two job runners disagree";
#endif
    for (bool streamed : {false, true})
        for (const char* background : {"0", "1"})
            for (size_t permille : {1, 300, 700, 990}) {
#ifdef _WIN32
                if (streamed) continue;
#endif
                FailingSink sink(whole.bytes.size() * permille / 1000);
                const JobOutcome outcome = RunGridJob(c, {{"BackgroundOutput", background}}, sink, streamed);
                const std::string what = std::string(streamed ? "streamed " : "") + background + " " + std::to_string(permille);
                EXPECT_FALSE(outcome.exitResult) << what;
                EXPECT_TRUE(sink.failed);
                EXPECT_EQ(sink.writesAfter, 0) << what;
                EXPECT_TRUE(sink.bytes == whole.bytes.substr(0, sink.bytes.size())) << what;
            }
}

// ESC i blocks of a job: with "PackBitsPerLine" no PackBits run crosses the end of a raster
// line (header: ESC i colour compression bpp bytes-per-line lines, then the data).
bool RunsCrossLines(const std::string& job)
{
    const DecodeResult d = Decode(reinterpret_cast<const uint8_t*>(job.data()), job.size());
    bool crossed = false;
    for (const RasterBlock& b : d.blocks) {
        size_t at = d.commands[b.command].offset + 9, done = 0;
        const size_t line = static_cast<size_t>(b.bytesPerLine), total = line * static_cast<size_t>(b.lines);
        while (b.compression && done < total) {
            const uint8_t count = static_cast<uint8_t>(job[at]);
            const size_t n = count < 0x80 ? count + 1u : 257u - count;
            crossed = crossed || done / line != (done + n - 1) / line;
            at += count < 0x80 ? n + 1 : 2;
            done += n;
        }
    }
    return crossed;
}

TEST(GoldenGrid, PackBitsPerLineRestartsAtEveryLineAndPrintsTheSameDots)
{
    for (const Config& c : {Config{2, 3, 2, 1, 1, 6, 600, 0, 0, 0}, Config{1, 6, 1, 1, 0, 0, 601, 0, 0, 0}}) {
        MemorySink stream, perLine;
        ASSERT_TRUE(RunGridJob(c, {}, stream).Ok());
        ASSERT_TRUE(RunGridJob(c, {{"PackBitsPerLine", "1"}}, perLine).Ok());
        EXPECT_TRUE(RunsCrossLines(stream.bytes)) << c.Name();  // the grid's content has such runs
        EXPECT_FALSE(RunsCrossLines(perLine.bytes)) << c.Name();
        const DecodeResult a = Decode(reinterpret_cast<const uint8_t*>(stream.bytes.data()), stream.bytes.size());
        const DecodeResult b = Decode(reinterpret_cast<const uint8_t*>(perLine.bytes.data()), perLine.bytes.size());
        ASSERT_TRUE(a.Ok() && b.Ok() && a.pages.size() == 1 && b.pages.size() == 1) << c.Name();
        for (uint8_t ink : {0x00, 0x40, 0x02, 0x08}) {
            const InkPlane* pa = a.pages[0].Plane(ink);
            const InkPlane* pb = b.pages[0].Plane(ink);
            ASSERT_EQ(pa == nullptr, pb == nullptr);
            if (!pa) continue;
            const int32_t w = std::max(pa->Width(), pb->Width()), h = std::max(pa->Height(), pb->Height());
            EXPECT_TRUE(pa->Values(w, h) == pb->Values(w, h)) << c.Name() << " ink " << int(ink);
        }
    }
}

}  // namespace

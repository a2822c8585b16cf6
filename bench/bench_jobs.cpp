// Whole print jobs through the driver: an A4 page at 1440 x 720 dpi, 8 inks of 2-bit
// photo-like halftoned content, weave on and off, into a byte counter. Reports the input
// raster handled per second beside a memcpy of the same bytes in the same run.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <memory>

#include "app/JobRunner.h"
#include "devparms/CEpsonRPhotoDevParmsBase.h"

extern "C" IPrinterDriver* Create(CPrintEnv* pEnv);

namespace {
constexpr double kResX = 1440, kResY = 720;          // dpi
constexpr double kPageWidthMm = 210, kPageLengthMm = 297;
constexpr double kMarginMm = 3;
constexpr int kInks = 8;                             // the R3000's inks
constexpr int kModelR3000 = 2;

// 4 x 4 ordered-dither thresholds, 0..15.
constexpr int kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

// A smooth picture per ink (gradients, rings, an empty band), dithered to levels 0..3.
const std::vector<JobPlane>& PagePlanes()
{
    static std::vector<JobPlane> planes = [] {
        const int width = static_cast<int>((kPageWidthMm - 2 * kMarginMm) / 25.4 * kResX);
        const int height = static_cast<int>((kPageLengthMm - 2 * kMarginMm) / 25.4 * kResY);
        const int ids[kInks] = {0, 1, 2, 3, 8, 9, 7, 10};
        std::vector<JobPlane> out(kInks);
        for (int c = 0; c < kInks; ++c) {
            JobPlane& p = out[c];
            p.color = ids[c];
            p.width = width;
            p.height = height;
            p.rowBytes = (width * 2 + 7) / 8;
            p.packed.assign(static_cast<size_t>(p.rowBytes) * height, 0);
            for (int y = 0; y < height; ++y) {
                if (y > height / 2 && y < height / 2 + 300) continue;  // a white band across the page
                uint8_t* row = p.packed.data() + static_cast<size_t>(y) * p.rowBytes;
                const double v = static_cast<double>(y) / height;
                for (int x = 0; x < width; ++x) {
                    const double u = static_cast<double>(x) / width;
                    const double r = std::hypot(u - 0.3 - 0.05 * c, (v - 0.4) * 1.4);
                    double d = 0.5 + 0.35 * std::sin(r * (18 + c)) * (1 - v) + 0.15 * (u - 0.5);
                    d = d < 0 ? 0 : (d > 1 ? 1 : d);
                    const double level = d * 3;
                    const int base = static_cast<int>(level);
                    const int lvl = base + ((level - base) * 16 > kBayer[y & 3][x & 3] ? 1 : 0);
                    row[x >> 2] = static_cast<uint8_t>(row[x >> 2] | ((lvl > 3 ? 3 : lvl) << (6 - 2 * (x & 3))));
                }
            }
        }
        return out;
    }();
    return planes;
}

void Job(benchmark::State& state, int weave)
{
    const std::vector<JobPlane>& planes = PagePlanes();
    const uint64_t raster = static_cast<uint64_t>(planes[0].rowBytes) * planes[0].height * planes.size();
    std::vector<uint8_t> copy(raster);
    double jobSeconds = 0, copySeconds = 0;
    uint64_t bytesOut = 0;
    for (auto _ : state) {
        CPrintEnv env;
        env.PutInt(PrEnv_UID, kModelR3000);
        env.PutString(PrEnv_PrintMethod.pszKey, "1440x720");
        env.PutString(PrEnv_DefaultMediaSizeName.pszKey, "ISO A4");
        DriverPtr driver(Create(&env));
        CPrinterDriverBase* base = AsDriverBase(driver.get());
        static_cast<CEpsonRPhotoDevParmsBase*>(base->m_pDevParms)->bEnableWeave = weave;
        CountingSink sink;
        JobDescription job;
        job.resX = kResX;
        job.resY = kResY;
        job.margins = CDRc{kMarginMm, kMarginMm, kMarginMm, kMarginMm};
        const JobOutcome outcome = RunJob(*base, job, planes, sink);
        if (!outcome.Ok()) state.SkipWithError("the job failed");
        jobSeconds += outcome.seconds;
        bytesOut = sink.total;
        state.SetIterationTime(outcome.seconds);

        const auto t0 = std::chrono::steady_clock::now();
        size_t at = 0;
        for (const JobPlane& p : planes) {
            std::memcpy(copy.data() + at, p.packed.data(), p.packed.size());
            at += p.packed.size();
        }
        benchmark::DoNotOptimize(copy.data());
        benchmark::ClobberMemory();
        copySeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    }
    const double n = static_cast<double>(state.iterations());
    const double rasterMBps = raster * n / jobSeconds / 1e6;
    const double memcpyMBps = raster * n / copySeconds / 1e6;
    state.counters["raster_MB"] = raster / 1e6;
    state.counters["out_MB"] = bytesOut / 1e6;
    state.counters["raster_MB/s"] = rasterMBps;
    state.counters["memcpy_MB/s"] = memcpyMBps;
    state.counters["memcpy/raster"] = memcpyMBps / rasterMBps;
}

void BM_JobA4WeaveOn(benchmark::State& state) { Job(state, 1); }
void BM_JobA4WeaveOff(benchmark::State& state) { Job(state, 0); }
BENCHMARK(BM_JobA4WeaveOn)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_JobA4WeaveOff)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
}  // namespace

BENCHMARK_MAIN();

// Whole print jobs through the driver (R3000, 8 inks, 2-bit) into a byte counter: an A4 page at
// 1440 x 720 dpi and a strip of an A3+ sheet at 5760 x 1440 dpi, ordered-dither, error-diffused
// and mostly empty content, weave on and off, one and two threads. Each reports the input raster
// handled per second beside a memcpy of the same bytes in the same run. The decoder and the
// verification of `rphoto print --verify` are timed on the same jobs in job bytes per second.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>

#include "app/PrintVerify.h"
#include "bench/BenchPages.h"
#include "decode/Decoder.h"
#include "devparms/CEpsonRPhotoDevParmsBase.h"

extern "C" IPrinterDriver* Create(CPrintEnv* pEnv);

namespace {
constexpr int kModelR3000 = 2;
constexpr double kMarginMm = 3;

struct Sheet {
    const char* method;
    double resX, resY, widthMm, heightMm, mediaWidthMm, mediaLengthMm;
};
constexpr Sheet kA4{"1440x720", 1440, 720, 204, 291, 210, 297};
// A strip of two inches of an A3+ sheet, its full printable width (the whole sheet's planes
// would take 4 GB of memory; the rate does not depend on the height).
constexpr Sheet kA3Plus{"5760x1440", 5760, 1440, 323, 50.8, 329, 483};

using Clock = std::chrono::steady_clock;
double Since(Clock::time_point t0) { return std::chrono::duration<double>(Clock::now() - t0).count(); }

uint64_t RasterBytes(const std::vector<JobPlane>& planes)
{
    return static_cast<uint64_t>(planes[0].rowBytes) * planes[0].height * planes.size();
}

// One job; the output goes to `sink`. Returns the job's seconds, or -1 when it failed.
double PrintJob(const Sheet& s, const std::vector<JobPlane>& planes, int weave, int threads, IOutputSink& sink)
{
    CPrintEnv env;
    env.PutInt(PrEnv_UID, kModelR3000);
    env.PutString(PrEnv_PrintMethod.pszKey, s.method);
    env.PutString(PrEnv_DefaultMediaSizeName.pszKey, "ISO A4");
    env.PutInt("BackgroundOutput", threads > 1 ? 1 : 0);
    DriverPtr driver(Create(&env));
    CPrinterDriverBase* base = AsDriverBase(driver.get());
    static_cast<CEpsonRPhotoDevParmsBase*>(base->m_pDevParms)->bEnableWeave = weave;
    JobDescription job;
    job.resX = s.resX;
    job.resY = s.resY;
    job.mediaWidthMm = s.mediaWidthMm;
    job.mediaLengthMm = s.mediaLengthMm;
    job.margins = CDRc{kMarginMm, kMarginMm, kMarginMm, kMarginMm};
    const JobOutcome outcome = RunJob(*base, job, planes, sink);
    return outcome.Ok() ? outcome.seconds : -1;
}

// Seconds of a memcpy of the planes' bytes into `copy`.
double CopySeconds(const std::vector<JobPlane>& planes, std::vector<uint8_t>& copy)
{
    const auto t0 = Clock::now();
    size_t at = 0;
    for (const JobPlane& p : planes) {
        std::memcpy(copy.data() + at, p.packed.data(), p.packed.size());
        at += p.packed.size();
    }
    benchmark::DoNotOptimize(copy.data());
    benchmark::ClobberMemory();
    return Since(t0);
}

void Report(benchmark::State& state, const char* name, double bytes, double seconds, double copyBytes, double copySeconds)
{
    const double n = static_cast<double>(state.iterations());
    const double rate = bytes * n / seconds / 1e6, memcpyRate = copyBytes * n / copySeconds / 1e6;
    state.counters[name] = rate;
    state.counters["memcpy_MB/s"] = memcpyRate;
    state.counters["memcpy/rate"] = memcpyRate / rate;
}

void Job(benchmark::State& state, const Sheet& s, PageContent content, int weave, int threads)
{
    const std::vector<JobPlane>& planes = BenchPage(content, s.resX, s.resY, s.widthMm, s.heightMm);
    const uint64_t raster = RasterBytes(planes);
    std::vector<uint8_t> copy(raster);
    double jobSeconds = 0, copySeconds = 0;
    CountingSink sink;
    for (auto _ : state) {
        sink.total = 0;
        const double seconds = PrintJob(s, planes, weave, threads, sink);
        if (seconds < 0) state.SkipWithError("the job failed");
        jobSeconds += seconds;
        state.SetIterationTime(seconds);
        copySeconds += CopySeconds(planes, copy);
    }
    state.counters["raster_MB"] = raster / 1e6;
    state.counters["out_MB"] = sink.total / 1e6;
    Report(state, "raster_MB/s", raster, jobSeconds, raster, copySeconds);
}

// Decoding (`rphoto decode`) or verifying (`rphoto print --verify`) an A4 job printed once.
void Check(benchmark::State& state, PageContent content, bool verify)
{
    const std::vector<JobPlane>& planes = BenchPage(content, kA4.resX, kA4.resY, kA4.widthMm, kA4.heightMm);
    MemorySink sink;
    if (PrintJob(kA4, planes, 1, 1, sink) < 0) state.SkipWithError("the job failed");
    CPrintEnv store;
    std::vector<uint8_t> copy(RasterBytes(planes));
    double seconds = 0, copySeconds = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        bool ok;
        if (verify) {
            PrintedJob job{&sink.bytes, &planes, 2, kModelR3000, kA4.resY, &store};
            ok = VerifyPrintedJob(job, {}).Ok();
        } else {
            DecodeOptions options;  // as `rphoto decode` reads a job
            options.trackOrigins = false;
            ok = Decode(reinterpret_cast<const uint8_t*>(sink.bytes.data()), sink.bytes.size(), options).Ok();
        }
        if (!ok) state.SkipWithError(verify ? "the job does not verify" : "the job does not decode");
        const double t = Since(t0);
        seconds += t;
        state.SetIterationTime(t);
        copySeconds += CopySeconds(planes, copy);
    }
    state.counters["job_MB"] = sink.bytes.size() / 1e6;
    Report(state, "job_MB/s", sink.bytes.size(), seconds, copy.size(), copySeconds);
}

#define RPHOTO_JOB(name, sheet, content, weave, threads)                                                     \
    BENCHMARK_CAPTURE(Job, name, sheet, PageContent::content, weave, threads)                               \
        ->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3)
RPHOTO_JOB(A4_1440x720_Ordered_WeaveOn_1T, kA4, Ordered, 1, 1);
RPHOTO_JOB(A4_1440x720_Ordered_WeaveOn_2T, kA4, Ordered, 1, 2);
RPHOTO_JOB(A4_1440x720_Ordered_WeaveOff_1T, kA4, Ordered, 0, 1);
RPHOTO_JOB(A4_1440x720_Ordered_WeaveOff_2T, kA4, Ordered, 0, 2);
RPHOTO_JOB(A4_1440x720_Diffusion_WeaveOn_1T, kA4, Diffusion, 1, 1);
RPHOTO_JOB(A4_1440x720_Diffusion_WeaveOn_2T, kA4, Diffusion, 1, 2);
RPHOTO_JOB(A4_1440x720_Diffusion_WeaveOff_1T, kA4, Diffusion, 0, 1);
RPHOTO_JOB(A4_1440x720_Diffusion_WeaveOff_2T, kA4, Diffusion, 0, 2);
RPHOTO_JOB(A4_1440x720_Sparse_WeaveOn_1T, kA4, Sparse, 1, 1);
RPHOTO_JOB(A4_1440x720_Sparse_WeaveOn_2T, kA4, Sparse, 1, 2);
RPHOTO_JOB(A3Plus_5760x1440_Diffusion_WeaveOn_1T, kA3Plus, Diffusion, 1, 1);
RPHOTO_JOB(A3Plus_5760x1440_Diffusion_WeaveOn_2T, kA3Plus, Diffusion, 1, 2);
RPHOTO_JOB(A3Plus_5760x1440_Diffusion_WeaveOff_1T, kA3Plus, Diffusion, 0, 1);
RPHOTO_JOB(A3Plus_5760x1440_Diffusion_WeaveOff_2T, kA3Plus, Diffusion, 0, 2);
RPHOTO_JOB(A3Plus_5760x1440_Ordered_WeaveOn_1T, kA3Plus, Ordered, 1, 1);
RPHOTO_JOB(A3Plus_5760x1440_Ordered_WeaveOn_2T, kA3Plus, Ordered, 1, 2);

#define RPHOTO_CHECK(name, content, verify) \
    BENCHMARK_CAPTURE(Check, name, PageContent::content, verify)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3)
RPHOTO_CHECK(Decode_A4_Ordered, Ordered, false);
RPHOTO_CHECK(Decode_A4_Diffusion, Diffusion, false);
RPHOTO_CHECK(Decode_A4_Sparse, Sparse, false);
RPHOTO_CHECK(Verify_A4_Ordered, Ordered, true);
RPHOTO_CHECK(Verify_A4_Diffusion, Diffusion, true);
RPHOTO_CHECK(Verify_A4_Sparse, Sparse, true);
}  // namespace

BENCHMARK_MAIN();

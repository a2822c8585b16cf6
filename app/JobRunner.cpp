// The host's job sequence around a driver, from in-memory planes.
#include "app/JobRunner.h"

#include <chrono>

#include "app/PlaneImage.h"
#include "host/DevParms.h"

namespace {
// Hands the driver a plane's rows in order; rows the host sends as empty are skipped.
class PlaneRows : public CRasterPixelBuffer {
public:
    explicit PlaneRows(const JobPlane& plane) : m_plane(plane) {}
    const unsigned char* pReadRow() override { return m_plane.Row(m_next++); }
    void Skip(int rows) { m_next += rows; }

private:
    const JobPlane& m_plane;
    int m_next = 0;
};

bool RowEmpty(const std::vector<JobPlane>& planes, int y)
{
    for (const JobPlane& p : planes) {
        const uint8_t* row = p.Row(y);
        for (int i = 0; i < p.rowBytes; ++i)
            if (row[i]) return false;
    }
    return true;
}

// How often, in rows, progress is reported.
constexpr int kProgressRows = 64;
}  // namespace

bool PackRow(const uint8_t* src, int width, int bits, int y, uint8_t* dst, std::string* error)
{
    const int perByte = 8 / bits;
    const unsigned maxValue = (1u << bits) - 1;
    for (int x = 0; x < width; ++x) {
        const unsigned v = src[x];
        if (v > maxValue) {
            if (error)
                *error = "level " + std::to_string(v) + " at row " + std::to_string(y + 1) + ", column " +
                         std::to_string(x + 1) + " needs 2 bits per pixel";
            return false;
        }
        dst[x / perByte] = static_cast<uint8_t>(dst[x / perByte] | (v << (8 - (x % perByte + 1) * bits)));
    }
    return true;
}

void StartPlane(int width, int height, int bits, int color, JobPlane* out)
{
    out->color = color;
    out->width = width;
    out->height = height;
    out->rowBytes = (width * bits + 7) / 8;
    out->packed.assign(static_cast<size_t>(out->rowBytes) * static_cast<size_t>(height), 0);
}

bool PackPlane(const PlaneImage& image, int bits, int color, JobPlane* out, std::string* error)
{
    StartPlane(image.width, image.height, bits, color, out);
    for (int y = 0; y < image.height; ++y) {
        const uint8_t* src = image.pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(image.width);
        if (!PackRow(src, image.width, bits, y, out->packed.data() + static_cast<size_t>(y) * out->rowBytes, error))
            return false;
    }
    return true;
}

JobOutcome RunJob(CPrinterDriverBase& driver, const JobDescription& job, const std::vector<JobPlane>& planes,
                  IOutputSink& sink, const std::function<void(const JobProgress&)>& progress)
{
    using Clock = std::chrono::steady_clock;
    const Clock::time_point t0 = Clock::now();
    JobOutcome outcome;
    const int width = planes.empty() ? 0 : planes[0].width;
    const int height = planes.empty() ? 0 : planes[0].height;

    std::vector<PlaneRows> rows;
    rows.reserve(planes.size());
    std::vector<CRasterPixelBuffer*> buffers;
    JobSetup setup;
    setup.dResX = job.resX;
    setup.dResY = job.resY;
    setup.nPixelBits = job.bits;
    setup.nJobPixelWidth = width;
    setup.nJobPixelLength = height;
    setup.nCompression = job.compression;
    setup.jobName = job.jobName.c_str();
    for (const JobPlane& p : planes) {
        rows.emplace_back(p);
        setup.colors.push_back(p.color);
    }
    for (PlaneRows& r : rows) buffers.push_back(&r);
    driver.SetupJob(setup, buffers);
    driver.SetOutputSink(&sink);
    CJobPrintAttach attach(job.mediaWidthMm, job.mediaLengthMm, job.margins, 0);
    driver.SetJobPrintAttach(&attach);
    CPrintJobOpenContext ctx(CString(job.contextName.c_str()));
    const uint64_t bytesBefore = driver.BytesOutput();
    const uint64_t rowRaster = planes.empty() ? 0 : static_cast<uint64_t>(planes[0].rowBytes) * planes.size();

    driver.JobOpen(&ctx);
    outcome.started = driver.m_pDevParms ? driver.m_pDevParms->OutputStartString(&driver) : 0;
    driver.OutputInit(0, 0);
    // The job stops at the first failure: no row, and no end stream, after it.
    int emptyRun = 0;
    bool going = outcome.started != 0;
    for (int y = 0; y < height && going; ++y) {
        if (RowEmpty(planes, y)) {
            ++emptyRun;
            for (PlaneRows& r : rows) r.Skip(1);
        } else {
            if (emptyRun) going = driver.OutputEmptyRows(emptyRun) != 0;
            emptyRun = 0;
            going = going && driver.OutputDataRow() != 0;
        }
        if (progress && (y + 1) % kProgressRows == 0) {
            JobProgress p;
            p.rowsDone = y + 1;
            p.rows = height;
            p.seconds = std::chrono::duration<double>(Clock::now() - t0).count();
            p.rasterBytes = rowRaster * static_cast<uint64_t>(y + 1);
            progress(p);
        }
    }
    if (emptyRun && going) going = driver.OutputEmptyRows(emptyRun) != 0;
    outcome.exitResult = driver.OutputExit() && going;
    outcome.ended = driver.m_pDevParms && outcome.exitResult ? driver.m_pDevParms->OutputEndString(&driver) : 0;
    driver.JobClose();

    driver.SetJobPrintAttach(nullptr);
    driver.SetOutputSink(nullptr);
    driver.SetupJob(JobSetup(), {});
    outcome.bytesOut = driver.BytesOutput() - bytesBefore;
    outcome.rasterBytes = rowRaster * static_cast<uint64_t>(height);
    outcome.seconds = std::chrono::duration<double>(Clock::now() - t0).count();
    return outcome;
}

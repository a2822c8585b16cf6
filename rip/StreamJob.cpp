// The host's job sequence around a driver, fed one row at a time.
#include "rip/StreamJob.h"

#include <chrono>
#include <ctime>
#include <cstring>

#include "host/DevParms.h"

namespace rip {
namespace {
double Now()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}
// CPU time of the calling thread, for the stage figures.
double ThreadCpu()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + ts.tv_nsec * 1e-9;
}
// How often, in rows, progress is reported.
constexpr int kProgressRows = 64;
}  // namespace

// Holds the one row of a plane that the driver reads during OutputDataRow.
class StreamJob::Rows : public CRasterPixelBuffer {
public:
    explicit Rows(size_t bytes) : row(bytes) {}
    const unsigned char* pReadRow() override { return row.data(); }
    std::vector<unsigned char> row;
};

StreamJob::StreamJob(CPrinterDriverBase& driver, const StreamJobDescription& job, IOutputSink& sink)
    : m_driver(driver), m_job(job), m_sink(sink)
{
    const size_t rowBytes = (static_cast<size_t>(job.width) * static_cast<size_t>(job.bits) + 7) / 8;
    for (size_t i = 0; i < job.colors.size(); ++i) {
        m_rows.push_back(std::make_unique<Rows>(rowBytes));
        m_buffers.push_back(m_rows.back().get());
    }
}

StreamJob::~StreamJob()
{
    if (m_open) Close();
}

uint64_t StreamJob::BytesOut() const { return m_driver.BytesOutput() - m_bytesBefore; }

bool StreamJob::Open()
{
    m_t0 = Now();
    JobSetup setup;
    setup.dResX = m_job.resX;
    setup.dResY = m_job.resY;
    setup.nPixelBits = m_job.bits;
    setup.nJobPixelWidth = m_job.width;
    setup.nJobPixelLength = m_job.height;
    setup.nCompression = m_job.compression;
    setup.jobName = m_job.jobName.c_str();
    setup.colors = m_job.colors;
    m_driver.SetupJob(setup, m_buffers);
    m_driver.SetOutputSink(&m_sink);
    m_attach = std::make_unique<CJobPrintAttach>(m_job.mediaWidthMm, m_job.mediaLengthMm, m_job.margins, 0);
    m_driver.SetJobPrintAttach(m_attach.get());
    m_ctx = std::make_unique<CPrintJobOpenContext>(CString(m_job.contextName.c_str()));
    m_bytesBefore = m_driver.BytesOutput();
    m_open = true;
    m_driver.JobOpen(m_ctx.get());
    m_started = m_driver.m_pDevParms && m_driver.m_pDevParms->OutputStartString(&m_driver);
    m_failed = !m_started;
    m_driver.OutputInit(0, 0);
    return m_started;
}

void StreamJob::Report()
{
    if (m_progress && (m_rowsDone % kProgressRows == 0 || m_rowsDone == m_job.height))
        m_progress(StreamProgress{m_rowsDone, m_job.height, Now() - m_t0});
}

bool StreamJob::DataRow(const uint8_t* const* planes)
{
    if (!m_open || m_failed || m_rowsDone >= m_job.height) return false;
    const double t = ThreadCpu();
    // The job stops at the first failure: no row after it.
    if (m_pendingEmpty) m_failed = !m_driver.OutputEmptyRows(m_pendingEmpty);
    m_pendingEmpty = 0;
    if (!m_failed) {
        for (size_t i = 0; i < m_rows.size(); ++i) std::memcpy(m_rows[i]->row.data(), planes[i], m_rows[i]->row.size());
        m_failed = !m_driver.OutputDataRow();
    }
    m_moduleSeconds += ThreadCpu() - t;
    ++m_rowsDone;
    Report();
    return !m_failed;
}

bool StreamJob::EmptyRows(int count)
{
    if (!m_open || m_failed || count < 0 || count > m_job.height - m_rowsDone) return false;
    // Runs are joined, so the driver sees one empty run however the rows arrived.
    for (int i = 0; i < count; ++i) {
        ++m_pendingEmpty;
        ++m_rowsDone;
        Report();
    }
    return true;
}

bool StreamJob::Close()
{
    if (!m_open) return false;
    const double t = ThreadCpu();
    m_pendingEmpty += m_job.height - m_rowsDone;
    m_rowsDone = m_job.height;
    if (m_pendingEmpty && !m_failed) m_failed = !m_driver.OutputEmptyRows(m_pendingEmpty);
    m_pendingEmpty = 0;
    // After a failure the job is closed without its end stream, as the plane runner does.
    const int exitResult = m_driver.OutputExit() && !m_failed;
    const int ended = exitResult && m_driver.m_pDevParms && m_driver.m_pDevParms->OutputEndString(&m_driver);
    m_driver.JobClose();
    m_driver.SetJobPrintAttach(nullptr);
    m_driver.SetOutputSink(nullptr);
    m_driver.SetupJob(JobSetup(), {});
    m_open = false;
    m_moduleSeconds += ThreadCpu() - t;
    return m_started && exitResult && ended;
}

}  // namespace rip

// Runs one job through a driver from Create while its rows are produced: open, start stream,
// output set-up, each row as it arrives (DataRow or EmptyRows), output end, end stream,
// close. Only one row of each plane is held.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/PrinterDriver.h"
#include "rip/PageRip.h"

namespace rip {

struct StreamJobDescription {
    double resX = 1440, resY = 720;  // dpi
    int bits = 2;                    // 1 or 2
    int compression = 1;             // 1: PackBits
    int width = 0, height = 0;       // raster in pixels
    std::vector<int> colors;         // host colour identifier of each plane
    std::string jobName = "rphoto";
    std::string contextName = "rphoto print";
    double mediaWidthMm = 210, mediaLengthMm = 297;
    CDRc margins{3, 3, 3, 3};        // mm
};

struct StreamProgress {
    int rowsDone = 0;
    int rows = 0;
    double seconds = 0;
};

class StreamJob : public RowSink {
public:
    // The driver must come from the module's Create; the sink receives the printer bytes.
    StreamJob(CPrinterDriverBase& driver, const StreamJobDescription& job, IOutputSink& sink);
    ~StreamJob() override;
    StreamJob(const StreamJob&) = delete;
    StreamJob& operator=(const StreamJob&) = delete;
    // Called every few rows when set.
    void SetProgress(std::function<void(const StreamProgress&)> progress) { m_progress = std::move(progress); }

    // Opens the job and sends the start stream; false when the start stream failed.
    bool Open();
    bool DataRow(const uint8_t* const* planes) override;
    bool EmptyRows(int count) override;
    // Sends rows not yet given as empty, ends the job and closes it; true when every byte
    // went out.
    bool Close();

    int RowsDone() const { return m_rowsDone; }
    uint64_t BytesOut() const;
    double ModuleSeconds() const { return m_moduleSeconds; }  // CPU time inside the driver

private:
    class Rows;
    void Report();

    CPrinterDriverBase& m_driver;
    StreamJobDescription m_job;
    IOutputSink& m_sink;
    std::vector<std::unique_ptr<Rows>> m_rows;
    std::vector<CRasterPixelBuffer*> m_buffers;
    std::unique_ptr<CJobPrintAttach> m_attach;
    std::unique_ptr<CPrintJobOpenContext> m_ctx;
    std::function<void(const StreamProgress&)> m_progress;
    int m_rowsDone = 0;
    int m_pendingEmpty = 0;
    bool m_open = false, m_started = false, m_failed = false;
    uint64_t m_bytesBefore = 0;
    double m_moduleSeconds = 0;
    double m_t0 = 0;
};

}  // namespace rip

#include "printer-app/RasterCallbacks.h"

#include <fcntl.h>
#include <unistd.h>

#include <memory>

#include "printer-app/PagePrinter.h"

namespace printerapp {
namespace {
struct RasterJob {
    std::unique_ptr<PagePrinter> page;
};

RasterJob* JobData(pappl_job_t* job) { return static_cast<RasterJob*>(papplJobGetData(job)); }

bool Fail(pappl_job_t* job, const std::string& message)
{
    papplLogJob(job, PAPPL_LOGLEVEL_ERROR, "%s", message.c_str());
    papplJobSetMessage(job, "%s", message.c_str());
    return false;
}
}  // namespace

bool RasterStartJob(pappl_job_t* job, pappl_pr_options_t*, pappl_device_t*)
{
    papplJobSetData(job, new RasterJob);
    return true;
}

bool RasterStartPage(pappl_job_t* job, pappl_pr_options_t* options, pappl_device_t* device, unsigned)
{
    RasterJob* data = JobData(job);
    const auto& h = options->header;
    if (!data) return Fail(job, "page without a job");
    if (h.cupsBitsPerColor != 8 || (h.cupsBitsPerPixel != 8 && h.cupsBitsPerPixel != 24))
        return Fail(job, "raster of " + std::to_string(h.cupsBitsPerPixel) + " bits per pixel: only 8-bit grey and sRGB print");
    // Each page is sized from its own header: a streamed raster may change between pages.
    PageRaster raster;
    raster.width = static_cast<int>(h.cupsWidth);
    raster.height = static_cast<int>(h.cupsHeight);
    raster.resX = static_cast<int>(h.HWResolution[0]);
    raster.resY = static_cast<int>(h.HWResolution[1]);
    raster.format = h.cupsBitsPerPixel == 8 ? rip::PixelFormat::kGrey8 : rip::PixelFormat::kRgb8;
    data->page = std::make_unique<PagePrinter>();
    if (!data->page->Start(job, options, device, raster)) return Fail(job, data->page->Error());
    return true;
}

bool RasterWriteLine(pappl_job_t* job, pappl_pr_options_t*, pappl_device_t*, unsigned y, const unsigned char* line)
{
    RasterJob* data = JobData(job);
    if (!data || !data->page) return false;
    return data->page->Row(y, line) || Fail(job, data->page->Error());
}

bool RasterEndPage(pappl_job_t* job, pappl_pr_options_t*, pappl_device_t* device, unsigned)
{
    RasterJob* data = JobData(job);
    if (!data || !data->page) return false;
    const bool ok = data->page->Finish();
    const std::string error = data->page->Error();
    data->page.reset();
    papplDeviceFlush(device);
    return ok || Fail(job, error);
}

bool RasterEndJob(pappl_job_t* job, pappl_pr_options_t*, pappl_device_t*)
{
    delete JobData(job);
    papplJobSetData(job, nullptr);
    return true;
}

bool PrintRawFile(pappl_job_t* job, pappl_pr_options_t*, pappl_device_t* device)
{
    const int fd = ::open(papplJobGetFilename(job), O_RDONLY);
    if (fd < 0) return Fail(job, std::string("cannot read ") + papplJobGetFilename(job));
    char buffer[65536];
    ssize_t n = 0;
    bool ok = true;
    while (ok && (n = ::read(fd, buffer, sizeof buffer)) > 0) ok = papplDeviceWrite(device, buffer, static_cast<size_t>(n)) == n;
    ::close(fd);
    return (ok && n == 0) || Fail(job, "the printer did not take the whole file");
}

}  // namespace printerapp

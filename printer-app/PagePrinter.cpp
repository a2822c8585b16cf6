#include "printer-app/PagePrinter.h"

#include <algorithm>
#include <cmath>

#include "app/ModuleLoader.h"
#include "host/DevParms.h"
#include "printer-app/PrinterSettings.h"
#include "rip/StreamJob.h"

namespace printerapp {
namespace {
const DriverModule* g_module = nullptr;
constexpr double kMmPerInch = 25.4;

// The PAPPL device as the driver's output.
class DeviceSink : public IOutputSink {
public:
    explicit DeviceSink(pappl_device_t* device) : m_device(device) {}
    bool Write(const void* data, size_t n) override
    {
        return papplDeviceWrite(m_device, data, n) == static_cast<ssize_t>(n);
    }

private:
    pappl_device_t* m_device;
};

// The job's choices from its options; vendor options the job left out take the printer's defaults.
JobChoices ChoicesOf(pappl_job_t* job, const pappl_pr_options_t* options, const ModelInfo& model, const PageRaster& r)
{
    JobChoices c;
    c.resX = r.resX;
    c.resY = r.resY;
    c.mediaSize = options->media.size_name;
    c.mediaType = options->media.type;
    c.mediaSource = options->media.source;
    ipp_t* defaults = papplPrinterGetDriverAttributes(papplJobGetPrinter(job));
    for (const VendorOption& option : model.vendor) {
        const char* value = cupsGetOption(option.name, options->num_vendor, options->vendor);
        char text[256] = "";
        if (!value && defaults) {
            const std::string name = std::string(option.name) + "-default";
            if (ipp_attribute_t* attr = ippFindAttribute(defaults, name.c_str(), IPP_TAG_ZERO)) {
                ippAttributeString(attr, text, sizeof text);
                value = text;
            }
        }
        if (value) c.vendor.emplace_back(option.name, value);
    }
    ippDelete(defaults);
    return c;
}

int Pixels(double mm, int dpi, int step) { return static_cast<int>(std::lround(mm * dpi / kMmPerInch / step)); }
}  // namespace

void SetDriverModule(const DriverModule* module) { g_module = module; }
const DriverModule* LoadedDriverModule() { return g_module; }

struct PagePrinter::State {
    CPrintEnv store;
    DriverPtr driver;
    DeviceSink sink;
    std::unique_ptr<rip::StreamJob> stream;
    std::unique_ptr<rip::PageRip> rip;
    PageRaster raster;
    int left = 0, top = 0;      // source pixels and rows cut off by the margins
    int width = 0, height = 0;  // source pixels and rows printed
    size_t pixelBytes = 3;
    explicit State(pappl_device_t* device) : sink(device) {}
};

PagePrinter::PagePrinter() = default;
PagePrinter::~PagePrinter()
{
    // The page stage goes before the job it feeds, the job before its driver.
    if (m_state) {
        m_state->rip.reset();
        m_state->stream.reset();
    }
}

bool PagePrinter::Start(pappl_job_t* job, pappl_pr_options_t* options, pappl_device_t* device, const PageRaster& r)
{
    pappl_printer_t* printer = papplJobGetPrinter(job);
    const ModelInfo* model = PrinterModel(printer);
    if (!model || !g_module) {
        m_error = "the printer has no rphoto model or the driver module is not loaded";
        return false;
    }
    m_state = std::make_unique<State>(device);
    State& s = *m_state;
    s.raster = r;
    if (!LoadPrinterSettings(printer, s.store, &m_error)) return false;
    const JobChoices choices = ChoicesOf(job, options, *model, r);
    ApplyJobChoices(*model, choices, s.store);

    const pappl_media_col_t& m = options->media;
    const CDRc margins{m.left_margin / 100.0, m.top_margin / 100.0, m.right_margin / 100.0, m.bottom_margin / 100.0};
    s.left = Pixels(margins.left, r.resX, r.stepX);
    s.top = Pixels(margins.top, r.resY, r.stepY);
    // The printed part never reaches beyond the printable area of the media.
    const int printableX = static_cast<int>((m.size_width / 100.0 - margins.left - margins.right) * r.resX / kMmPerInch);
    const int printableY = static_cast<int>((m.size_length / 100.0 - margins.top - margins.bottom) * r.resY / kMmPerInch);
    s.width = std::min(r.width - s.left - Pixels(margins.right, r.resX, r.stepX), printableX / r.stepX);
    s.height = std::min(r.height - s.top - Pixels(margins.bottom, r.resY, r.stepY), printableY / r.stepY);
    if (s.width <= 0 || s.height <= 0) {
        m_error = "the page has no printable area inside the margins";
        return false;
    }
    s.pixelBytes = r.format == rip::PixelFormat::kGrey8 ? 1 : 3;

    IPrinterDriver* created = g_module->Create(&s.store);
    CPrinterDriverBase* base = created ? AsDriverBase(created) : nullptr;
    if (!base || !base->m_pDevParms) {
        DestroyDriver(created);
        m_error = "the driver module made no driver for the " + std::string(model->driverName);
        return false;
    }
    s.driver.reset(created);

    rip::PageSettings ps = rip::PageSettingsFromStore(s.store, model->id, r.resX, r.resY, s.width * r.stepX,
                                                      s.height * r.stepY);
    ps.stepX = r.stepX;
    ps.stepY = r.stepY;
    for (const VendorOption& option : model->vendor) {
        const std::string value = VendorChoice(option, choices);
        if (std::string(option.name) == "rphoto-gloss-optimizer") ps.glossOptimizer = value == "on";
        if (std::string(option.name) == "rphoto-halftone")
            ps.halftone = value == "mask" ? rip::HalftoneMethod::kMask : rip::HalftoneMethod::kDiffusion;
    }
    ps.seed = static_cast<uint32_t>(papplJobGetID(job));

    rip::StreamJobDescription d;
    d.resX = r.resX;
    d.resY = r.resY;
    d.bits = ps.bits;
    d.width = ps.width;
    d.height = ps.height;
    d.colors = rip::ModelInks(model->id);
    d.jobName = papplJobGetName(job) ? papplJobGetName(job) : "rphoto";
    d.contextName = "rphoto-printer-app";
    d.mediaWidthMm = m.size_width / 100.0;
    d.mediaLengthMm = m.size_length / 100.0;
    d.margins = margins;
    s.stream = std::make_unique<rip::StreamJob>(*base, d, s.sink);
    if (!s.stream->Open()) {
        m_error = "the printer did not take the job's start";
        return false;
    }
    s.rip = std::make_unique<rip::PageRip>(ps, *s.stream);
    return true;
}

bool PagePrinter::Row(unsigned y, const unsigned char* line)
{
    State& s = *m_state;
    const int row = static_cast<int>(y) - s.top;
    if (row < 0 || row >= s.height) return true;
    if (s.rip->PushRows(line + static_cast<size_t>(s.left) * s.pixelBytes, 1, s.raster.format)) return true;
    m_error = s.rip->Error();
    return false;
}

bool PagePrinter::Finish()
{
    State& s = *m_state;
    const bool ripped = s.rip->Finish();
    if (!ripped) m_error = s.rip->Error();
    const bool closed = s.stream->Close();
    if (ripped && !closed) m_error = "the printer did not take all of the page";
    return ripped && closed;
}

}  // namespace printerapp

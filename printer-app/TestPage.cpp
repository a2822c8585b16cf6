#include "printer-app/TestPage.h"

#include <unistd.h>

#include "app/ModuleLoader.h"
#include "host/DevParms.h"
#include "printer-app/NozzleCheck.h"
#include "printer-app/PagePrinter.h"
#include "printer-app/PrinterSettings.h"
#include "rip/PageRip.h"

namespace printerapp {
namespace {
constexpr int kResX = 1440, kResY = 720;
constexpr int kNozzlePitchDpi = 180;
}  // namespace

const char* WriteTestPage(pappl_printer_t* printer, char* buffer, size_t size)
{
    const ModelInfo* model = PrinterModel(printer);
    const DriverModule* module = LoadedDriverModule();
    CPrintEnv store;
    std::string error;
    if (!model || !module || !LoadPrinterSettings(printer, store, &error)) {
        papplLogPrinter(printer, PAPPL_LOGLEVEL_ERROR, "Test page: %s", error.empty() ? "no model or driver module" : error.c_str());
        return nullptr;
    }
    JobChoices choices;
    choices.resX = kResX;
    choices.resY = kResY;
    choices.mediaSize = kDefaultMediaSize;
    ApplyJobChoices(*model, choices, store);
    // Without the weave every nozzle prints whole rows of its own.
    store.PutInt((std::string(model->prefix) + "bEnableWeave").c_str(), 0);

    NozzleCheck check;
    check.interleave = kResY / kNozzlePitchDpi;
    const std::vector<JobPlane> planes = NozzleCheckPlanes(check, rip::ModelInks(model->id));

    const int fd = papplPrinterOpenFile(printer, buffer, size, nullptr, "nozzle-check", "prn", "w");
    if (fd < 0) {
        papplLogPrinter(printer, PAPPL_LOGLEVEL_ERROR, "Test page: cannot create the spool file");
        return nullptr;
    }
    DriverPtr driver(module->Create(&store));
    CPrinterDriverBase* base = AsDriverBase(driver.get());
    FdSink sink(fd);
    JobDescription job;
    job.resX = kResX;
    job.resY = kResY;
    job.jobName = "Nozzle check";
    job.contextName = "rphoto-printer-app";
    job.mediaWidthMm = 210;
    job.mediaLengthMm = 297;
    const bool ok = base && base->m_pDevParms && RunJob(*base, job, planes, sink).Ok();
    ::close(fd);
    if (!ok) {
        papplLogPrinter(printer, PAPPL_LOGLEVEL_ERROR, "Test page: the driver module did not write the nozzle check");
        ::unlink(buffer);
        return nullptr;
    }
    return buffer;
}

}  // namespace printerapp

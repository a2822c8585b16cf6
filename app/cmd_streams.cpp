// `rphoto streams`: the start and end streams of one job, as the host sends them around the
// raster data, written to a file.
#include <cstdlib>
#include <memory>

#include "app/Commands.h"
#include "app/JobOptions.h"
#include "app/MediaSizes.h"
#include "app/ModuleLoader.h"
#include "app/OutputFile.h"
#include "app/SettingsFile.h"
#include "host/DevParms.h"

namespace {
constexpr double kMmPerInch = 25.4;
constexpr double kDefaultMarginMm = 3.0;

struct Options {
    std::string model;
    std::string method;
    std::string mediaSize = kDefaultMediaSize;
    std::string file;
    std::vector<std::string> sets;
    std::string margins;
    std::string output;
    std::string jobName = "rphoto";
    std::string module;
};


bool registered = RegisterCommand("streams", 30, [](CLI::App& app) {
    auto o = std::make_shared<Options>();
    app.description("Write a job's start and end streams for the stored device options");
    app.add_option("--model", o->model, "r2000 or r3000")->required();
    app.add_option("--method", o->method, "Print method, HxV in dpi (e.g. 1440x720)")->required();
    app.add_option("--media-size", o->mediaSize, "Media size (default ISO A4): " + PrintableMediaSizeNames());
    app.add_option("--settings", o->file, "Settings file (default: " + DefaultSettingsPath() + ")");
    app.add_option("--set", o->sets, "KEY=VALUE into the settings for this run only (one per --set, repeatable)");
    app.add_option("--margins", o->margins, "Driver margins L,T,R,B in mm (default 3,3,3,3)");
    app.add_option("--job-name", o->jobName, "Job name sent to the printer (default rphoto)");
    app.add_option("--module", o->module, "Driver module to load");
    app.add_option("-o,--output", o->output, "Output file, - for stdout")->required();
    return [o]() -> int {
        const int modelId = ModelIdFromName(o->model);
        double h = 0, v = 0;
        ParseMethod(o->method, &h, &v);
        const MediaSize* size = FindPrintableMediaSize(o->mediaSize);
        CDRc margins{kDefaultMarginMm, kDefaultMarginMm, kDefaultMarginMm, kDefaultMarginMm};
        if (!o->margins.empty()) margins = ParseMargins(o->margins);
        const double printedMm = size->widthMm - margins.left - margins.right;
        if (printedMm <= 0 || margins.top + margins.bottom >= size->lengthMm)
            throw CommandError{"--margins '" + o->margins + "' leave nothing of " + size->name + " to print on"};

        CPrintEnv store;
        LoadJobStore(store, o->file, o->sets, modelId, o->method, size->name);

        DriverModule mod(o->module);
        DriverPtr driver(mod.Create(&store));
        CPrinterDriverBase* base = driver ? AsDriverBase(driver.get()) : nullptr;
        if (!base || !base->m_pDevParms)
            throw CommandError{"the driver module gave no driver for model " + std::to_string(modelId)};

        JobSetup setup;
        setup.dResX = h;
        setup.dResY = v;
        setup.nJobPixelWidth = static_cast<int>(printedMm / kMmPerInch * h);
        setup.jobName = o->jobName.c_str();
        base->SetupJob(setup, {});
        CJobPrintAttach attach(size->widthMm, size->lengthMm, margins, 0);
        base->SetJobPrintAttach(&attach);
        MemorySink sink;
        base->SetOutputSink(&sink);

        const int started = base->m_pDevParms->OutputStartString(base);
        const int ended = base->m_pDevParms->OutputEndString(base);
        if (!started || !ended) throw CommandError{"the device parameters could not output the job streams"};
        WriteOutputFile(o->output, sink.bytes);
        return 0;
    };
});
}  // namespace

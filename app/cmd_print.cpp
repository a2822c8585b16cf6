// `rphoto print`: prints halftoned ink planes as one job through the driver module.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "app/Commands.h"
#include "app/JobOptions.h"
#include "app/JobOutput.h"
#include "app/JobRunner.h"
#include "app/MediaSizes.h"
#include "app/Models.h"
#include "app/ModuleLoader.h"
#include "app/PicturePrint.h"
#include "app/PlaneImage.h"
#include "app/PrintVerify.h"
#include "app/SettingsFile.h"
#include "devparms/Model1PrintModes.h"
#include "host/DevParms.h"
#include "driver/WeavePlan.h"

namespace {
constexpr double kMmPerInch = 25.4;
constexpr double kDefaultMarginMm = 3.0;
constexpr int kMaxColorId = 35;
constexpr double kNozzlePitchDpi = 180;  // the head's nozzle rows per inch

struct Options {
    std::string model;
    std::string method;
    std::string mediaSize = "ISO A4";
    std::string margins;
    std::string file;
    std::vector<std::string> sets;
    std::string inks;
    int bits = 2;
    std::string compression = "packbits";
    bool quiet = false;
    bool verify = false;
    std::string jobName = "rphoto";
    std::string output;
    std::string module;
    std::vector<std::string> planes;
    PictureOptions picture;
};

// Ink names and their host colour identifiers.
struct InkName {
    const char* name;
    int id;
};
const InkName kInkNames[] = {{"K", 0},  {"C", 1},  {"M", 2},   {"Y", 3},  {"O", 4},   {"LK", 7},
                             {"LC", 8}, {"LM", 9}, {"LLK", 10}, {"GO", 30}, {"R", 35}};

// "K,C,35,..." to host colour identifiers.
std::vector<int> ParseInks(const std::string& text)
{
    std::vector<int> ids;
    size_t start = 0;
    while (start <= text.size()) {
        size_t comma = text.find(',', start);
        if (comma == std::string::npos) comma = text.size();
        std::string item = text.substr(start, comma - start);
        for (char& ch : item) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        int id = -1;
        if (!item.empty() && item.find_first_not_of("0123456789") == std::string::npos && item.size() <= 2) {
            id = std::atoi(item.c_str());
            if (id > kMaxColorId) id = -1;
        } else {
            for (const InkName& n : kInkNames)
                if (item == n.name) id = n.id;
        }
        if (id < 0)
            throw CommandError{"--inks '" + text + "': '" + item + "' is neither an ink name (K C M Y R O GO LC LM LK LLK) nor 0 to 35"};
        ids.push_back(id);
        start = comma + 1;
    }
    return ids;
}

// Tells the user when the configured weave ratio is not the one the weave will use, and when
// it equals the interleave, where the weave needs extra passes.
// The R2000 takes its media id, print method and dot size from its print-mode table; a medium,
// print method and black ink without a row there send 0 for all three, which no printer wants.
void WarnAboutModel1PrintMode(const CPrintEnv& store, const std::string& method)
{
    const int inkMode = store.GetInt(ModelOptionKey(1, "inkMode").c_str(), 0);
    const std::string media = store.GetString(ModelOptionKey(1, "strPaperTyp").c_str(), "").str();
    std::string offered;
    for (int i = 0; i < kModel1PrintModeCount; ++i) {
        const PrintModeRow& row = kModel1PrintModes[i];
        if (!ServesInkAndMethod(row, inkMode, method.c_str())) continue;
        if (media == row.media) return;
        if (offered.find(row.media) == std::string::npos) offered += std::string(offered.empty() ? "" : ", ") + row.media;
    }
    std::fprintf(stderr,
                 "rphoto: warning: the R2000 has no print mode for medium \"%s\" at %s with %s black ink; it is sent "
                 "media 0, print method 0 and dot size 0 (media for this method and ink: %s)\n",
                 media.c_str(), method.c_str(), inkMode == 0 ? "photo" : inkMode == 1 ? "matte" : "unknown",
                 offered.empty() ? "none" : offered.c_str());
}

void WarnAboutWeaveRatio(const CPrintEnv& store, double resY)
{
    const int vp = static_cast<int>(resY / kNozzlePitchDpi + 0.5);
    const int configured = store.GetInt("WeaveRatio", 6);
    const int effective = weave::EffectiveWeaveRatio(configured, vp);
    if (configured == vp)
        std::fprintf(stderr,
                     "rphoto: warning: WeaveRatio %d equals the vertical interleave at %g dpi: every line prints whole "
                     "without weaving, and lines after long empty runs need extra rescue passes; use %d or more\n",
                     configured, resY, vp + 1);
    else if (effective != configured)
        std::fprintf(stderr, "rphoto: WeaveRatio %d is outside %d..%d at %g dpi vertical; the weave uses %d\n", configured,
                     vp, weave::kNozzles * vp, resY, effective);
}

bool registered = RegisterCommand("print", 20, [](CLI::App& app) {
    auto o = std::make_shared<Options>();
    app.description("Print halftoned ink planes (PBM or PGM with maxval 1 or 3) as one job");
    app.add_option("--model", o->model, "r2000 or r3000")->required();
    app.add_option("--method", o->method, "Print method, HxV in dpi (e.g. 1440x720)")->required();
    app.add_option("--media-size", o->mediaSize, "Media size (default ISO A4): " + MediaSizeNames());
    app.add_option("--margins", o->margins, "Driver margins L,T,R,B in mm (default 3,3,3,3)");
    app.add_option("--settings", o->file, "Settings file (default: " + DefaultSettingsPath() + ")");
    app.add_option("--set", o->sets, "KEY=VALUE into the settings for this job only (repeatable)");
    app.add_option("--inks", o->inks, "Host colour of each plane: names (K,C,M,Y,R,O,GO,LC,LM,LK,LLK) or 0..35");
    app.add_option("--bits", o->bits, "Bits per pixel, 1 or 2 (default 2)")->check(CLI::IsMember({1, 2}));
    app.add_option("--compression", o->compression, "packbits (default) or none")
        ->check(CLI::IsMember({"packbits", "none"}));
    app.add_flag("--quiet", o->quiet, "No progress report");
    app.add_flag("--verify", o->verify,
                 "Decode the written job and check every dot against the planes; exit 1 on any difference");
    app.add_option("--job-name", o->jobName, "Job name (default rphoto)");
    app.add_option("--module", o->module, "Driver module to load");
    app.add_option("-o,--output", o->output, "Output file or device, - for stdout")->required();
    app.add_option("PLANE", o->planes, "One picture, or one halftoned plane per ink, all of one size")->required();
    AddPictureOptions(app, o->picture);
    return [o]() -> int {
        const int modelId = ModelIdFromName(o->model);
        double h = 0, v = 0;
        ParseMethod(o->method, &h, &v);
        const MediaSize* size = FindMediaSize(o->mediaSize);
        if (!size) throw CommandError{"unknown media size '" + o->mediaSize + "' (known: " + MediaSizeNames() + ")"};
        CDRc margins{kDefaultMarginMm, kDefaultMarginMm, kDefaultMarginMm, kDefaultMarginMm};
        if (!o->margins.empty()) margins = ParseMargins(o->margins);
        if (IsPictureJob(o->planes))
            return RunPicturePrint(PrintRequest{modelId, o->method, h, v, size->name, size->widthMm, size->lengthMm, margins,
                                                o->file, o->sets, o->compression == "packbits" ? 1 : 0, o->quiet,
                                                o->jobName, o->output, o->module},
                                   o->picture, o->planes[0]);

        const std::vector<int>& modelInks = ModelById(modelId).defaultInks;
        std::vector<int> inks = o->inks.empty() ? modelInks : ParseInks(o->inks);
        if (o->inks.empty() && o->planes.size() > inks.size())
            throw CommandError{std::to_string(o->planes.size()) + " planes given, but the " + o->model + " has " +
                               std::to_string(inks.size()) + " inks"};
        if (!o->inks.empty() && inks.size() != o->planes.size())
            throw CommandError{"--inks names " + std::to_string(inks.size()) + " inks for " +
                               std::to_string(o->planes.size()) + " planes"};

        // Every plane is read and checked before a byte is written.
        std::vector<JobPlane> planes(o->planes.size());
        for (size_t i = 0; i < o->planes.size(); ++i) {
            PlaneImage image;
            std::string error;
            if (!ReadPlaneImage(o->planes[i], &image, &error)) throw CommandError{error};
            if (i > 0 && (image.width != planes[0].width || image.height != planes[0].height))
                throw CommandError{o->planes[i] + ": " + std::to_string(image.width) + "x" + std::to_string(image.height) +
                                   " pixels, but " + o->planes[0] + " is " + std::to_string(planes[0].width) + "x" +
                                   std::to_string(planes[0].height)};
            if (!PackPlane(image, o->bits, inks[i], &planes[i], &error)) throw CommandError{o->planes[i] + ": " + error};
        }
        const double imageWidthMm = planes[0].width * kMmPerInch / h;
        const double imageLengthMm = planes[0].height * kMmPerInch / v;
        if (imageWidthMm + margins.left + margins.right > size->widthMm + 1e-9 ||
            imageLengthMm + margins.top + margins.bottom > size->lengthMm + 1e-9) {
            char text[200];
            std::snprintf(text, sizeof text, "%.1f x %.1f mm with margins", imageWidthMm + margins.left + margins.right,
                          imageLengthMm + margins.top + margins.bottom);
            throw CommandError{"the planes (" + std::string(text) + ") do not fit on " + size->name};
        }

        CPrintEnv store;
        LoadJobStore(store, o->file, o->sets, modelId, o->method, size->name);

        DriverModule mod(o->module);
        IPrinterDriver* created = mod.Create(&store);
        CPrinterDriverBase* base = created ? AsDriverBase(created) : nullptr;
        if (!base || !base->m_pDevParms) {
            DestroyDriver(created);
            throw CommandError{"the driver module gave no driver for model " + std::to_string(modelId)};
        }
        DriverPtr driver(created);
        // The device parameters loaded the weave option from the store under their prefix.
        if (store.GetInt(ModelOptionKey(modelId, "bEnableWeave").c_str(), 1)) WarnAboutWeaveRatio(store, v);
        if (modelId == 1 && !o->quiet) WarnAboutModel1PrintMode(store, o->method);

        JobDescription job;
        job.resX = h;
        job.resY = v;
        job.bits = o->bits;
        job.compression = o->compression == "packbits" ? 1 : 0;
        job.jobName = o->jobName;
        job.mediaWidthMm = size->widthMm;
        job.mediaLengthMm = size->lengthMm;
        job.margins = margins;

        JobOutput out(o->output);
        FdSink fileSink(out.Fd());
        MemorySink written;  // kept for --verify
        TeeSink tee(fileSink, written);
        IOutputSink& sink = o->verify ? static_cast<IOutputSink&>(tee) : fileSink;
        bool shown = false;
        auto progress = [&](const JobProgress& p) {
            if (o->quiet || p.seconds < 1.0) return;
            std::fprintf(stderr, "\rrphoto: row %d of %d, %.1f MB/s raster", p.rowsDone, p.rows,
                         p.rasterBytes / 1e6 / p.seconds);
            shown = true;
        };
        const JobOutcome outcome = RunJob(*base, job, planes, sink, progress);
        if (shown) std::fprintf(stderr, "\n");
        if (!outcome.Ok()) {
            out.Abandon();
            throw CommandError{o->output + ": the job failed while writing its output"};
        }
        out.Commit();
        if (!o->quiet && o->output != "-")
            std::fprintf(stderr, "rphoto: wrote %s: %llu bytes, %d rows in %.2f s\n", o->output.c_str(),
                         static_cast<unsigned long long>(outcome.bytesOut), planes[0].height, outcome.seconds);
        if (!o->verify) return 0;

        // The same job with the broken-nozzle simulation off shows which nozzle printed each dot.
        auto printUnmasked = [&]() {
            CPrintEnv plain = store;
            plain.PutInt(ModelOptionKey(modelId, "bEnableBrokenNozzles").c_str(), 0);
            DriverPtr reference(mod.Create(&plain));
            CPrinterDriverBase* refBase = AsDriverBase(reference.get());
            MemorySink bytes;
            if (!refBase || !RunJob(*refBase, job, planes, bytes).Ok())
                throw CommandError{"--verify: the reference job without the broken-nozzle simulation failed"};
            return bytes.bytes;
        };
        PrintedJob printed;
        printed.bytes = &written.bytes;
        printed.planes = &planes;
        printed.bits = o->bits;
        printed.modelId = modelId;
        printed.resY = v;
        printed.store = &store;
        const VerifyReport report = VerifyPrintedJob(printed, printUnmasked);
        std::fputs(FormatVerifyReport(report).c_str(), stderr);
        return report.Ok() ? 0 : 1;
    };
});
}  // namespace

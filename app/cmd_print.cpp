// `rphoto print`: prints a picture or halftoned ink planes as one job through the driver module.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "app/Commands.h"
#include "app/JobOptions.h"
#include "app/JobRunner.h"
#include "app/MediaSizes.h"
#include "app/Models.h"
#include "app/ModuleLoader.h"
#include "app/OutputFile.h"
#include "app/PicturePrint.h"
#include "app/PlaneImage.h"
#include "app/PrintVerify.h"
#include "app/SettingsFile.h"
#include "devparms/Model1PrintModes.h"
#include "host/DevParms.h"
#include "driver/WeavePlan.h"

namespace {
constexpr double kMmPerInch = 25.4;
constexpr double kNozzlePitchDpi = 180;  // the head's nozzle rows per inch

struct Options {
    std::string model;
    std::string method;
    std::string mediaSize = kDefaultMediaSize;
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

std::string InkLabel(int id)
{
    for (const InkName& n : kInkNames)
        if (n.id == id) return n.name;
    return std::to_string(id);
}

std::string InkList(const std::vector<int>& ids)
{
    std::string names;
    for (int id : ids) names += (names.empty() ? "" : ",") + InkLabel(id);
    return names;
}

// "K,C,35,..." to host colour identifiers: each one of the model's inks, each at most once.
std::vector<int> ParseInks(const std::string& text, const std::vector<int>& modelInks, const std::string& model)
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
        } else {
            for (const InkName& n : kInkNames)
                if (item == n.name) id = n.id;
        }
        const std::string allowed = " (the " + model + "'s inks: " + InkList(modelInks) + ")";
        if (std::find(modelInks.begin(), modelInks.end(), id) == modelInks.end())
            throw CommandError{"--inks '" + text + "': '" + item + "' is not an ink of the " + model + allowed};
        if (std::find(ids.begin(), ids.end(), id) != ids.end())
            throw CommandError{"--inks '" + text + "': " + InkLabel(id) + " is named twice; each ink takes one plane" +
                               allowed};
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

// Reports what takes more than a second, on stderr, unless --quiet; warnings are not progress.
class Progress {
public:
    explicit Progress(bool quiet) : m_quiet(quiet), m_start(std::chrono::steady_clock::now()) {}
    ~Progress() { Done(); }
    double Seconds() const
    {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count();
    }
    void Show(const std::string& text)
    {
        if (m_quiet || Seconds() < 1.0) return;
        std::fprintf(stderr, "\rrphoto: %s\033[K", text.c_str());
        m_shown = true;
    }
    void Done()
    {
        if (m_shown) std::fprintf(stderr, "\n");
        m_shown = false;
    }

private:
    bool m_quiet;
    std::chrono::steady_clock::time_point m_start;
    bool m_shown = false;
};

// The job as the command line describes it, and the inks of its planes.
JobDescription DescribeJob(const Options& o, int modelId, std::vector<int>* inks)
{
    JobDescription job;
    ParseMethod(o.method, &job.resX, &job.resY);
    const MediaSize* size = FindPrintableMediaSize(o.mediaSize);
    job.mediaName = size->name;
    job.mediaWidthMm = size->widthMm;
    job.mediaLengthMm = size->lengthMm;
    if (!o.margins.empty()) job.margins = ParseMargins(o.margins);
    job.bits = o.bits;
    job.compression = o.compression == "packbits" ? 1 : 0;
    job.jobName = o.jobName;

    const std::vector<int>& modelInks = ModelById(modelId).defaultInks;
    *inks = o.inks.empty() ? modelInks : ParseInks(o.inks, modelInks, o.model);
    const auto count = [](size_t n, const char* what) { return std::to_string(n) + " " + what + (n == 1 ? "" : "s"); };
    if (o.inks.empty() && o.planes.size() > inks->size())
        throw CommandError{count(o.planes.size(), "plane") + " given, but the " + o.model + " has " +
                           count(inks->size(), "ink") + " (" + InkList(modelInks) + ")"};
    if (!o.inks.empty() && inks->size() != o.planes.size())
        throw CommandError{"--inks names " + count(inks->size(), "ink") + ", but " + count(o.planes.size(), "plane") +
                           (o.planes.size() == 1 ? " is" : " are") + " given"};
    inks->resize(o.planes.size());
    return job;
}

// Every plane's header is checked against the others and the page before any data is read;
// then the data goes straight into the packed planes.
std::vector<JobPlane> ReadPlanes(const Options& o, const std::vector<int>& inks, const JobDescription& job,
                                 Progress& progress)
{
    std::vector<PlaneFile> files(o.planes.size());
    std::string error;
    for (size_t i = 0; i < files.size(); ++i) {
        if (!files[i].Open(o.planes[i], &error)) throw CommandError{error};
        const PlaneHeader& a = files[0].Header();
        const PlaneHeader& b = files[i].Header();
        if (b.width != a.width || b.height != a.height)
            throw CommandError{o.planes[i] + ": " + std::to_string(b.width) + "x" + std::to_string(b.height) +
                               " pixels, but " + o.planes[0] + " is " + std::to_string(a.width) + "x" +
                               std::to_string(a.height)};
    }
    const PlaneHeader& hd = files[0].Header();
    const double widthMm = hd.width * kMmPerInch / job.resX + job.margins.left + job.margins.right;
    const double lengthMm = hd.height * kMmPerInch / job.resY + job.margins.top + job.margins.bottom;
    if (widthMm > job.mediaWidthMm + 1e-9 || lengthMm > job.mediaLengthMm + 1e-9) {
        char text[200];
        std::snprintf(text, sizeof text, "%dx%d pixels at %gx%g dpi: %.1f x %.1f mm with margins; %s is %g x %g mm",
                      hd.width, hd.height, job.resX, job.resY, widthMm, lengthMm, job.mediaName.c_str(),
                      job.mediaWidthMm, job.mediaLengthMm);
        throw CommandError{o.planes[0] + ": the planes do not fit on the page (" + text + ")"};
    }
    std::vector<JobPlane> planes(files.size());
    for (size_t i = 0; i < files.size(); ++i) {
        progress.Show("reading plane " + std::to_string(i + 1) + " of " + std::to_string(files.size()) + " (" +
                      o.planes[i] + ")");
        if (!files[i].ReadPacked(job.bits, inks[i], &planes[i], &error)) throw CommandError{error};
    }
    progress.Done();
    return planes;
}

// The same job with the broken-nozzle simulation off shows which nozzle printed each dot.
int VerifyJob(const Options& o, int modelId, const JobDescription& job, const std::vector<JobPlane>& planes,
              const CPrintEnv& store, const DriverModule& mod, const std::string& written)
{
    if (!o.quiet) std::fprintf(stderr, "rphoto: verifying %s\n", o.output.c_str());
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
    printed.bytes = &written;
    printed.planes = &planes;
    printed.bits = o.bits;
    printed.modelId = modelId;
    printed.resY = job.resY;
    printed.store = &store;
    const VerifyReport report = VerifyPrintedJob(printed, printUnmasked);
    std::fputs(FormatVerifyReport(report).c_str(), stderr);
    return report.Ok() ? 0 : 1;
}

// A picture goes through the raster image processor; the common options describe its job.
int RunPicture(const Options& o, int modelId)
{
    PrintRequest r;
    r.modelId = modelId;
    r.method = o.method;
    ParseMethod(o.method, &r.resX, &r.resY);
    const MediaSize* size = FindPrintableMediaSize(o.mediaSize);
    r.mediaSize = size->name;
    r.mediaWidthMm = size->widthMm;
    r.mediaLengthMm = size->lengthMm;
    if (!o.margins.empty()) r.margins = ParseMargins(o.margins);
    r.settingsFile = o.file;
    r.sets = o.sets;
    r.compression = o.compression == "packbits" ? 1 : 0;
    r.quiet = o.quiet;
    r.jobName = o.jobName;
    r.output = o.output;
    r.module = o.module;
    return RunPicturePrint(r, o.picture, o.planes[0]);
}

int RunPrint(const Options& o)
{
    const int modelId = ModelIdFromName(o.model);
    if (IsPictureJob(o.planes)) return RunPicture(o, modelId);
    std::vector<int> inks;
    const JobDescription job = DescribeJob(o, modelId, &inks);
    Progress reading(o.quiet);
    const std::vector<JobPlane> planes = ReadPlanes(o, inks, job, reading);

    CPrintEnv store;
    LoadJobStore(store, o.file, o.sets, modelId, o.method, job.mediaName.c_str());
    DriverModule mod(o.module);
    IPrinterDriver* created = mod.Create(&store);
    CPrinterDriverBase* base = created ? AsDriverBase(created) : nullptr;
    if (!base || !base->m_pDevParms) {
        DestroyDriver(created);
        throw CommandError{"the driver module gave no driver for model " + std::to_string(modelId)};
    }
    DriverPtr driver(created);
    // The device parameters loaded the weave option from the store under their prefix.
    if (store.GetInt(ModelOptionKey(modelId, "bEnableWeave").c_str(), 1)) WarnAboutWeaveRatio(store, job.resY);
    if (modelId == 1) WarnAboutModel1PrintMode(store, o.method);

    OutputFile out(o.output);
    FdSink fileSink(out.Fd());
    MemorySink written;  // kept for --verify
    TeeSink tee(fileSink, written);
    IOutputSink& sink = o.verify ? static_cast<IOutputSink&>(tee) : fileSink;
    Progress running(o.quiet);
    const JobOutcome outcome = RunJob(*base, job, planes, sink, [&](const JobProgress& p) {
        char text[100];
        std::snprintf(text, sizeof text, "row %d of %d, %.1f MB/s raster", p.rowsDone, p.rows,
                      p.rasterBytes / 1e6 / p.seconds);
        running.Show(text);
    });
    running.Done();
    if (!outcome.Ok()) {
        out.Abandon();
        throw CommandError{(o.output == "-" ? "stdout" : o.output) + ": the job failed while writing its output"};
    }
    out.Commit();
    if (!o.quiet && o.output != "-")
        std::fprintf(stderr, "rphoto: wrote %s: %llu bytes, %d rows in %.2f s\n", o.output.c_str(),
                     static_cast<unsigned long long>(outcome.bytesOut), planes[0].height, outcome.seconds);
    return o.verify ? VerifyJob(o, modelId, job, planes, store, mod, written.bytes) : 0;
}

bool registered = RegisterCommand("print", 20, [](CLI::App& app) {
    auto o = std::make_shared<Options>();
    app.description("Print a picture (JPEG, PNG, TIFF, WebP, PDF) or halftoned ink planes (PBM or PGM with maxval 1 or 3) as one job");
    app.add_option("--model", o->model, "r2000 or r3000")->required();
    app.add_option("--method", o->method, "Print method, HxV in dpi (e.g. 1440x720)")->required();
    app.add_option("--media-size", o->mediaSize, "Media size (default ISO A4): " + PrintableMediaSizeNames());
    app.add_option("--margins", o->margins, "Driver margins L,T,R,B in mm (default 3,3,3,3)");
    app.add_option("--settings", o->file, "Settings file (default: " + DefaultSettingsPath() + ")");
    app.add_option("--set", o->sets, "KEY=VALUE into the settings for this job only (one per --set, repeatable)");
    app.add_option("--inks", o->inks, "Ink of each plane: K,C,M,Y,R,O,GO (r2000) or K,C,M,Y,LC,LM,LK,LLK (r3000)");
    app.add_option("--bits", o->bits, "Bits per pixel, 1 or 2 (default 2)")->check(CLI::IsMember({1, 2}));
    app.add_option("--compression", o->compression, "packbits (default) or none")
        ->check(CLI::IsMember({"packbits", "none"}));
    app.add_flag("--quiet", o->quiet, "No progress report (warnings are still shown)");
    app.add_flag("--verify", o->verify,
                 "Decode the written job and check every dot against the planes; exit 1 on any difference");
    app.add_option("--job-name", o->jobName, "Job name (default rphoto)");
    app.add_option("--module", o->module, "Driver module to load");
    app.add_option("-o,--output", o->output, "Output file or device, - for stdout")->required();
    app.add_option("PLANE", o->planes, "One picture, or one halftoned plane per ink, all of one size")->required();
    AddPictureOptions(app, o->picture);
    return [o]() { return RunPrint(*o); };
});
}  // namespace

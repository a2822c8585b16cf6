#include "app/PicturePrint.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "app/Commands.h"
#include "app/JobOptions.h"
#include "app/OutputFile.h"
#include "app/MediaNames.h"
#include "app/ModuleLoader.h"
#include "app/SavedPlanes.h"
#include "host/DevParms.h"
#include "rip/InkModels.h"
#include "rip/PageRip.h"
#include "rip/PictureSource.h"
#include "rip/StreamJob.h"

namespace {
constexpr double kMmPerInch = 25.4;
// The colour raster's finest resolution: finer printer rasters repeat its pixels, as a
// picture carries no more detail at print size than this.
constexpr double kColourDpi = 720;

int Step(double res) { return res > kColourDpi && static_cast<int>(res) % static_cast<int>(kColourDpi) == 0 ? static_cast<int>(res / kColourDpi) : 1; }

// Chooses the medium: --paper, else the stored one, else premium glossy (said on stderr).
void ChooseMedium(CPrintEnv& store, int modelId, const std::string& paper, bool quiet)
{
    const std::string prefix = modelId == 1 ? "DP1_" : "DP2_";
    std::string name;
    if (!paper.empty()) {
        name = FindModelMedia(modelId, paper);
        if (name.empty())
            throw CommandError{"--paper '" + paper + "' is not a medium of the " + (modelId == 1 ? "r2000" : "r3000") +
                               " (rphoto options --model " + (modelId == 1 ? "r2000" : "r3000") + " --list-media)"};
    } else {
        if (!store.GetString((prefix + "strPaperTyp").c_str(), "").str().empty()) return;
        name = kDefaultPictureMedia;
        if (!quiet) std::fprintf(stderr, "rphoto: no medium stored or given; printing on %s\n", name.c_str());
    }
    store.PutString((prefix + "strPaperTyp").c_str(), name.c_str());
    if (modelId == 2) {
        const std::vector<std::string> names = ModelMediaNames(2);
        for (size_t i = 0; i < names.size(); ++i)
            if (names[i] == name) store.PutInt("DP2_nPaperTyp", static_cast<int>(i) + 1);
    }
}

double Seconds(std::chrono::steady_clock::time_point t0)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}
}  // namespace

void AddPictureOptions(CLI::App& app, PictureOptions& o)
{
    app.add_flag("--fit", o.fit, "Picture: the whole picture, centred (default)");
    app.add_flag("--fill", o.fill, "Picture: cover the printable area, cropping the overflow");
    app.add_option("--scale", o.scale, "Picture: PERCENT of its own size at its own resolution")
        ->check(CLI::Range(1.0, 10000.0));
    app.add_flag("--no-rotate", o.noRotate, "Picture: never turn a landscape picture onto a portrait sheet");
    app.add_option("--page", o.page, "PDF: the page to print (from 1)")->check(CLI::Range(1, 100000));
    app.add_option("--intent", o.intent, "Picture: relative (default, black point compensated) or perceptual")
        ->check(CLI::IsMember({"relative", "perceptual"}));
    app.add_option("--halftone", o.halftone, "Picture: diffusion (default) or mask")
        ->check(CLI::IsMember({"diffusion", "mask"}));
    app.add_option("--paper", o.paper, "Picture: medium of the model's table for this job (any case)");
    app.add_option("--save-planes", o.savePlanes, "Picture: also write the halftoned planes into DIR as PGM");
    app.add_option("--threads", o.threads, "Picture: threads (default: every core); the output does not change")
        ->check(CLI::Range(0, 64));
    app.add_option("--seed", o.seed, "Picture: halftone seed (default 1)");
}

bool IsPictureJob(const std::vector<std::string>& files)
{
    if (files.size() != 1) return false;
    std::ifstream in(files[0], std::ios::binary);
    if (!in) return false;  // the plane reader says what is wrong with it
    char head[64] = {};
    in.read(head, sizeof head - 1);
    if (in.gcount() < 2) return false;
    if (head[0] != 'P' || !std::strchr("1245", head[1]) || head[1] == 0) return true;
    if (head[1] == '1' || head[1] == '4') return false;
    // PGM: a plane has maxval 1 or 3; anything else is a grey picture.
    int w = 0, h = 0, maxval = 0;
    return std::sscanf(head + 2, "%d %d %d", &w, &h, &maxval) == 3 && maxval > 3;
}

int RunPicturePrint(const PrintRequest& r, const PictureOptions& o, const std::string& picture)
{
    const auto t0 = std::chrono::steady_clock::now();
    std::string error;
    std::unique_ptr<rip::PictureSource> source = rip::PictureSource::Open(picture, o.page, &error);
    if (!source) throw CommandError{error};

    CPrintEnv store;
    LoadJobStore(store, r.settingsFile, r.sets, r.modelId, r.method, r.mediaSize.c_str());
    ChooseMedium(store, r.modelId, o.paper, r.quiet);
    DriverModule mod(r.module);
    IPrinterDriver* created = mod.Create(&store);
    CPrinterDriverBase* base = created ? AsDriverBase(created) : nullptr;
    if (!base || !base->m_pDevParms) {
        DestroyDriver(created);
        throw CommandError{"the driver module gave no driver for model " + std::to_string(r.modelId)};
    }
    DriverPtr driver(created);

    // The printer raster covers the printable area; the colour raster is coarser by whole steps.
    const double areaWmm = r.mediaWidthMm - r.margins.left - r.margins.right;
    const double areaHmm = r.mediaLengthMm - r.margins.top - r.margins.bottom;
    const int width = static_cast<int>(areaWmm / kMmPerInch * r.resX);
    const int height = static_cast<int>(areaHmm / kMmPerInch * r.resY);
    if (width <= 0 || height <= 0) throw CommandError{"the margins leave nothing of " + r.mediaSize + " to print on"};
    // The store now holds what the device parameters wrote at creation (bits, ink levels).
    rip::PageSettings page = rip::PageSettingsFromStore(store, r.modelId, r.resX, r.resY, width, height);
    page.stepX = Step(r.resX);
    page.stepY = Step(r.resY);
    page.halftone = o.halftone == "mask" ? rip::HalftoneMethod::kMask : rip::HalftoneMethod::kDiffusion;
    page.threads = o.threads;
    page.seed = o.seed;
    const int areaW = (width + page.stepX - 1) / page.stepX, areaH = (height + page.stepY - 1) / page.stepY;
    const double colourDpiX = r.resX / page.stepX, colourDpiY = r.resY / page.stepY;

    rip::PlaceRequest place;
    place.mode = o.fill ? rip::PlaceMode::kFill : o.scale > 0 ? rip::PlaceMode::kScale : rip::PlaceMode::kFit;
    place.percent = o.scale;
    place.allowRotate = !o.noRotate;
    place.pictureWidth = source->Info().width;
    place.pictureHeight = source->Info().height;
    place.pictureDpiX = source->Info().dpiX;
    place.pictureDpiY = source->Info().dpiY;
    place.areaWidth = areaW;
    place.areaHeight = areaH;
    place.areaDpiX = colourDpiX;
    place.areaDpiY = colourDpiY;
    const rip::Placement placed = rip::PlacePicture(place);

    rip::StreamJobDescription job;
    job.resX = r.resX;
    job.resY = r.resY;
    job.bits = page.bits;
    job.compression = r.compression;
    job.width = width;
    job.height = height;
    job.colors = rip::ModelInks(r.modelId);
    job.jobName = r.jobName;
    job.mediaWidthMm = r.mediaWidthMm;
    job.mediaLengthMm = r.mediaLengthMm;
    job.margins = r.margins;
    if (!r.quiet)
        std::fprintf(stderr, "rphoto: %s, %d x %d pixels, placed %d x %d at %.0fx%.0f dpi%s on %s, %s\n", picture.c_str(),
                     place.pictureWidth, place.pictureHeight, placed.width * page.stepX, placed.height * page.stepY,
                     r.resX, r.resY, placed.rotate ? " turned" : "", store.GetString(r.modelId == 1 ? "DP1_strPaperTyp" : "DP2_strPaperTyp", "").GetString(),
                     page.bits == 2 && page.inkLevels >= 3 && !page.singleDotSize ? "three drop sizes" : "one drop size");

    OutputFile out(r.output);
    FdSink fileSink(out.Fd());
    rip::StreamJob stream(*base, job, fileSink);
    bool shown = false;
    stream.SetProgress([&](const rip::StreamProgress& p) {
        if (r.quiet || p.seconds < 0.5) return;
        std::fprintf(stderr, "\rrphoto: row %d of %d (%d%%), %.0f rows/s ", p.rowsDone, p.rows,
                     static_cast<int>(100.0 * p.rowsDone / p.rows), p.rowsDone / p.seconds);
        shown = true;
    });
    std::unique_ptr<SavedPlanes> saved;
    if (!o.savePlanes.empty()) {
        const rip::InkModel& model = rip::InkModelFor(r.modelId);
        saved = std::make_unique<SavedPlanes>(o.savePlanes, std::vector<std::string>(model.names.begin(), model.names.end()),
                                              width, height, page.bits, stream);
    }
    rip::RowSink& sink = saved ? static_cast<rip::RowSink&>(*saved) : stream;
    rip::PageRip rip(page, sink);
    if (!stream.Open()) throw CommandError{r.output + ": the job's start stream failed"};
    const bool streamed = source->Stream(
        placed, areaW, areaH, colourDpiX, colourDpiY, o.intent == "perceptual" ? rip::Intent::kPerceptual : rip::Intent::kRelative,
        [&](const uint16_t* rgb, int rows, size_t stride) {
            return rip.PushRows(reinterpret_cast<const uint8_t*>(rgb), rows, rip::PixelFormat::kRgb16, stride * 2);
        },
        &error);
    const bool finished = streamed && rip.Finish();
    const bool closed = stream.Close();  // reports the last rows
    if (shown) std::fprintf(stderr, "\n");
    if (!streamed) throw CommandError{rip.Error().empty() ? error : picture + ": " + rip.Error()};
    if (!finished) throw CommandError{picture + ": " + rip.Error()};
    if (!closed) throw CommandError{r.output + ": the job failed while writing its output"};
    out.Commit();
    if (saved) saved->Commit();
    if (!r.quiet) {
        // Stage times are CPU time; loading and resampling run on libvips' own threads
        // and are what the process's CPU time holds beyond these.
        std::fprintf(stderr,
                     "rphoto: wrote %s: %llu bytes, %d rows in %.2f s (CPU time: separation %.2f s, halftone %.2f s, "
                     "module %.2f s)\n",
                     r.output.c_str(), static_cast<unsigned long long>(stream.BytesOut()), height, Seconds(t0),
                     rip.SeparationSeconds(), rip.HalftoneSeconds(), stream.ModuleSeconds());
    }
    return 0;
}

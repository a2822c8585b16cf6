// `rphoto decode`: reads a printer stream as the printer would and shows what it would print.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

#include "app/Commands.h"
#include "decode/Decoder.h"
#include "decode/Inks.h"
#include "decode/Listing.h"
#include "decode/PageImage.h"
#include "decode/Summary.h"

namespace {
struct Options {
    std::string job;
    bool list = false;
    bool json = false;
    std::string planesDir;
    std::string preview;
    int previewWidth = 1200;
};

std::vector<uint8_t> ReadJob(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) throw CommandError{path + ": cannot open the file"};
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw CommandError{path + ": read error"};
    return bytes;
}

void WritePlanes(const DecodeResult& r, const Options& o)
{
    std::error_code ec;
    std::filesystem::create_directories(o.planesDir, ec);
    if (ec) throw CommandError{o.planesDir + ": " + ec.message()};
    for (size_t i = 0; i < r.pages.size(); ++i) {
        const DecodedPage& page = r.pages[i];
        for (const InkPlane& plane : page.planes) {
            const std::string prefix = i == 0 ? "" : "page" + std::to_string(i + 1) + "-";
            const std::string path = (std::filesystem::path(o.planesDir) / (prefix + InkName(plane.Ink()) + ".pgm")).string();
            std::string error;
            if (!WritePlanePgm(page, plane, path, error)) throw CommandError{error};
            std::printf("wrote %s (%d x %d)\n", path.c_str(), page.Width(), page.Height());
        }
    }
}

void WritePreview(const DecodeResult& r, const Options& o)
{
    if (r.pages.empty()) throw CommandError{o.job + ": no raster data to preview"};
    const RgbImage image = RenderPreview(r.pages[0], o.previewWidth);
    std::string error;
    if (!WritePng(image, o.preview, error)) throw CommandError{error};
    std::printf("wrote %s (%d x %d)%s, inks:", o.preview.c_str(), image.width, image.height,
                r.pages.size() > 1 ? ", page 1" : "");
    for (const InkPlane& plane : r.pages[0].planes)
        std::printf(" %s (%s)", InkName(plane.Ink()).c_str(), LookupInk(plane.Ink()).longName);
    std::printf("\n");
}

bool registered = RegisterCommand("decode", 40, [](CLI::App& app) {
    auto o = std::make_shared<Options>();
    app.description("Decode a printer stream: list its commands, lay its dots down, picture the page");
    app.add_option("JOB", o->job, "Printer stream (a file of ESC/P2 and remote-mode commands)")->required();
    app.add_flag("--list", o->list, "One line per command with its arguments, then the warnings");
    app.add_option("--planes", o->planesDir, "Write one PGM per ink (dot values 0..3) into this folder");
    app.add_option("--preview", o->preview, "Write a PNG picture of the page with a legend of the inks");
    app.add_option("--preview-width", o->previewWidth, "Largest width of the preview in pixels")
        ->check(CLI::Range(64, 20000));
    app.add_flag("--json", o->json, "Print a JSON summary: inks, dots, passes, feeds, page size, bytes");
    return [o]() -> int {
        const std::vector<uint8_t> bytes = ReadJob(o->job);
        DecodeOptions options;
        options.trackOrigins = false;
        const DecodeResult r = Decode(bytes.data(), bytes.size(), options);
        if (o->list) std::fputs(Listing(r).c_str(), stdout);
        if (o->json) std::fputs(SummaryJson(r).c_str(), stdout);
        if (!o->list && !o->json) std::fputs(SummaryText(r).c_str(), stdout);
        std::fflush(stdout);
        if (r.error) throw CommandError{o->job + ": " + r.error->Text()};
        if (!o->planesDir.empty()) WritePlanes(r, *o);
        if (!o->preview.empty()) WritePreview(r, *o);
        return 0;
    };
});
}  // namespace

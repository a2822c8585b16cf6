// `rphoto decode`: reads a printer stream as the printer would and shows what it would print.
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <cerrno>
#include <cstring>
#include <functional>
#include <memory>

#include "app/Commands.h"
#include "app/OutputFile.h"
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

// Largest stream read: with the decoder's own bounds this keeps decode under 1 GiB.
constexpr uint64_t kMaxJobBytes = 240ull << 20;

std::vector<uint8_t> ReadJob(const std::string& path)
{
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) throw CommandError{path + ": is a folder, not a printer stream"};
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) throw CommandError{path + ": cannot open the file"};
    std::vector<uint8_t> bytes;
    struct stat st {};
    // A regular file's size is known: one allocation of exactly that, never a doubling.
    if (::fstat(::fileno(f), &st) == 0 && S_ISREG(st.st_mode))
        bytes.reserve(static_cast<size_t>(std::min<uint64_t>(st.st_size, kMaxJobBytes + 1)));
    uint8_t buffer[1 << 16];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0 && bytes.size() <= kMaxJobBytes)
        bytes.insert(bytes.end(), buffer, buffer + n);
    const bool failed = std::ferror(f);
    const int err = errno;
    std::fclose(f);
    if (failed) throw CommandError{path + ": cannot read: " + std::strerror(err)};
    if (bytes.size() > kMaxJobBytes)
        throw CommandError{path + ": longer than " + std::to_string(kMaxJobBytes >> 20) + " MiB, the most decode reads"};
    bytes.shrink_to_fit();  // read from a pipe, the buffer may have doubled past the stream
    return bytes;
}

// Writes one file through the commands' output-file rules.
void WriteThrough(const std::string& path, const std::function<bool(FILE*)>& body)
{
    OutputFile out(path);
    if (!body(out.Stream())) {
        const int err = errno ? errno : EIO;
        out.Abandon();
        throw CommandError{path + ": cannot write: " + std::strerror(err)};
    }
    out.Commit();
}

// Most bytes --planes writes: every ink of a full A3+ page at 1440 x 720 dpi with 8 inks fits.
constexpr uint64_t kMaxPlanesBytes = 2ull << 30;

void WritePlanes(const DecodeResult& r, const Options& o)
{
    uint64_t total = 0;
    for (const DecodedPage& page : r.pages)
        total += page.planes.size() * static_cast<uint64_t>(page.Width() - page.Left()) *
                 static_cast<uint64_t>(page.Height() - page.Top());
    if (total > kMaxPlanesBytes)
        throw CommandError{o.job + ": the planes would take " + std::to_string(total >> 20) + " MiB, more than the " +
                           std::to_string(kMaxPlanesBytes >> 20) + " MiB --planes writes"};
    std::error_code ec;
    std::filesystem::create_directories(o.planesDir, ec);
    if (ec) throw CommandError{o.planesDir + ": " + ec.message()};
    for (size_t i = 0; i < r.pages.size(); ++i) {
        const DecodedPage& page = r.pages[i];
        for (const InkPlane& plane : page.planes) {
            const std::string prefix = i == 0 ? "" : "page" + std::to_string(i + 1) + "-";
            const std::string path = (std::filesystem::path(o.planesDir) / (prefix + InkName(plane.Ink()) + ".pgm")).string();
            WriteThrough(path, [&](FILE* f) { return WritePlanePgm(page, plane, f); });
            std::printf("wrote %s (%d x %d from row %d, column %d)\n", path.c_str(), page.Width() - page.Left(),
                        page.Height() - page.Top(), page.Top(), page.Left());
        }
    }
}

void WritePreview(const DecodeResult& r, const Options& o)
{
    if (r.pages.empty()) throw CommandError{o.job + ": no raster data to preview"};
    const RgbImage image = RenderPreview(r.pages[0], o.previewWidth);
    WriteThrough(o.preview, [&](FILE* f) { return WritePng(image, f); });
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
        FlushStdoutOrThrow();
        if (r.error) throw CommandError{o->job + ": " + r.error->Text()};
        if (!o->planesDir.empty()) WritePlanes(r, *o);
        if (!o->preview.empty()) WritePreview(r, *o);
        return 0;
    };
});
}  // namespace

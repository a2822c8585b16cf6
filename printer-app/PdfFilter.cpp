#include "printer-app/PdfFilter.h"

#include <vips/vips.h>

#include <algorithm>
#include <string>

#include "printer-app/PagePrinter.h"

namespace printerapp {
namespace {
// Pages are drawn at this resolution when it divides the job's (every resolution the models
// offer), so the page stage spreads each drawn pixel over whole printer pixels.
constexpr int kRenderDpi = 360;
constexpr int kStripRows = 64;

struct VipsRef {
    VipsImage* image = nullptr;
    ~VipsRef() { if (image) g_object_unref(image); }
};

bool Fail(pappl_job_t* job, const std::string& message)
{
    papplLogJob(job, PAPPL_LOGLEVEL_ERROR, "%s", message.c_str());
    papplJobSetMessage(job, "%s", message.c_str());
    return false;
}

// Page `index` as 8-bit sRGB on white.
bool LoadPage(const char* file, int index, int dpi, VipsRef* out, int* pages)
{
    VipsRef page, flat;
    if (vips_pdfload(file, &page.image, "page", index, "dpi", static_cast<double>(dpi), "access",
                     VIPS_ACCESS_SEQUENTIAL, nullptr))
        return false;
    if (pages && (!vips_image_get_typeof(page.image, "n-pages") ||
                  vips_image_get_int(page.image, "n-pages", pages)))
        *pages = 1;
    if (vips_image_hasalpha(page.image)) {
        VipsArrayDouble* white = vips_array_double_newv(3, 255.0, 255.0, 255.0);
        const int failed = vips_flatten(page.image, &flat.image, "background", white, nullptr);
        vips_area_unref(VIPS_AREA(white));
        if (failed) return false;
    } else {
        std::swap(flat.image, page.image);
    }
    if (vips_colourspace(flat.image, &out->image, VIPS_INTERPRETATION_sRGB, nullptr)) return false;
    if (out->image->BandFmt != VIPS_FORMAT_UCHAR) {
        VipsRef cast;
        std::swap(cast.image, out->image);
        return !vips_cast_uchar(cast.image, &out->image, nullptr);
    }
    return true;
}

bool PrintPage(pappl_job_t* job, pappl_pr_options_t* options, pappl_device_t* device, VipsImage* image, int dpi)
{
    PageRaster raster;
    raster.resX = options->printer_resolution[0];
    raster.resY = options->printer_resolution[1];
    raster.stepX = raster.resX / dpi;
    raster.stepY = raster.resY / dpi;
    raster.width = image->Xsize;
    raster.height = image->Ysize;
    PagePrinter printer;
    if (!printer.Start(job, options, device, raster)) return Fail(job, printer.Error());
    VipsRegion* region = vips_region_new(image);
    bool ok = true;
    for (int top = 0; ok && top < image->Ysize; top += kStripRows) {
        VipsRect strip{0, top, image->Xsize, std::min(kStripRows, image->Ysize - top)};
        ok = !papplJobIsCanceled(job) && !vips_region_prepare(region, &strip);
        for (int y = top; ok && y < top + strip.height; ++y)
            ok = printer.Row(static_cast<unsigned>(y), reinterpret_cast<const unsigned char*>(VIPS_REGION_ADDR(region, 0, y)));
    }
    g_object_unref(region);
    const bool finished = printer.Finish();
    return (ok && finished) || Fail(job, printer.Error().empty() ? "the page could not be drawn" : printer.Error());
}
}  // namespace

bool PrintPdf(pappl_job_t* job, pappl_device_t* device, void*)
{
    const char* file = papplJobGetFilename(job);
    VipsRef first;
    int pages = 1;
    pappl_pr_options_t* probe = papplJobCreatePrintOptions(job, 1, true);
    const int resX = probe->printer_resolution[0], resY = probe->printer_resolution[1];
    papplJobDeletePrintOptions(probe);
    const int dpi = resX % kRenderDpi == 0 && resY % kRenderDpi == 0 ? kRenderDpi : std::min(resX, resY);
    if (!LoadPage(file, 0, dpi, &first, &pages)) return Fail(job, std::string("cannot read the PDF: ") + vips_error_buffer());
    papplJobSetImpressions(job, pages);
    pappl_pr_options_t* options = papplJobCreatePrintOptions(job, static_cast<unsigned>(pages), true);
    bool ok = true;
    for (int i = 0; ok && i < pages; ++i) {
        if (options->first_page && (static_cast<unsigned>(i) + 1 < options->first_page || static_cast<unsigned>(i) + 1 > options->last_page))
            continue;
        VipsRef page;
        if (i > 0 && !LoadPage(file, i, dpi, &page, nullptr)) {
            ok = Fail(job, std::string("cannot draw page ") + std::to_string(i + 1) + ": " + vips_error_buffer());
            break;
        }
        ok = PrintPage(job, options, device, i == 0 ? first.image : page.image, dpi);
        papplJobSetImpressionsCompleted(job, 1);
    }
    papplJobDeletePrintOptions(options);
    vips_error_clear();
    return ok;
}

}  // namespace printerapp

// Rendering and writing of page pictures (PGM planes, PNG preview).
#include "decode/PageImage.h"

#include <png.h>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>

#include "decode/Font5x7.h"
#include "decode/Inks.h"
#include "decode/PackedDots.h"

namespace {
constexpr int kFontScale = 2;
constexpr int kSwatch = 7 * kFontScale;
constexpr int kLegendPad = 6;

// Largest preview, pixels: its accumulators take 12 bytes a pixel.
constexpr int64_t kMaxPreviewPixels = 8 << 20;

bool WriteFile(const std::string& path, std::string& error, const std::function<bool(FILE*)>& body)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    bool ok = f && body(f);
    ok = f && std::fclose(f) == 0 && ok;
    if (!ok) error = path + ": " + std::strerror(errno ? errno : EIO);
    return ok;
}

// libpng reports through the caller: no message of its own on stderr.
extern "C" void PngError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
extern "C" void PngWarning(png_structp, png_const_charp) {}

void FillRect(RgbImage& im, int x0, int y0, int w, int h, const uint8_t* rgb)
{
    for (int y = std::max(y0, 0); y < std::min(y0 + h, im.height); ++y)
        for (int x = std::max(x0, 0); x < std::min(x0 + w, im.width); ++x)
            std::memcpy(&im.rgb[(static_cast<size_t>(y) * im.width + x) * 3], rgb, 3);
}

// Draws text with the 5x7 font; returns the x after the text.
int DrawText(RgbImage& im, int x, int y, const std::string& text)
{
    static const uint8_t kInk[3] = {0, 0, 0};
    for (char c : text) {
        if (const uint8_t* g = Glyph5x7(c))
            for (int r = 0; r < 7; ++r)
                for (int col = 0; col < 5; ++col)
                    if (g[r] & (0x10 >> col))
                        FillRect(im, x + col * kFontScale, y + r * kFontScale, kFontScale, kFontScale, kInk);
        x += 6 * kFontScale;
    }
    return x;
}

int LegendWidth(const DecodedPage& page)
{
    int w = kLegendPad;
    for (const InkPlane& p : page.planes)
        w += kSwatch + kFontScale * 2 + static_cast<int>(InkName(p.Ink()).size()) * 6 * kFontScale + kLegendPad * 2;
    return w;
}

std::vector<const InkPlane*> InksInDisplayOrder(const DecodedPage& page)
{
    std::vector<const InkPlane*> inks;
    for (const InkPlane& p : page.planes) inks.push_back(&p);
    std::stable_sort(inks.begin(), inks.end(),
                     [](const InkPlane* a, const InkPlane* b) { return InkOrder(a->Ink()) < InkOrder(b->Ink()); });
    return inks;
}
}  // namespace

RgbImage RenderPreview(const DecodedPage& page, int maxWidth)
{
    // The inked area only, and only the stored cells of its rows: time and memory follow the
    // dots present, not the page's extent.
    const int32_t x0 = page.Left(), y0 = page.Top();
    const int32_t srcW = std::max(page.Width() - x0, 1), srcH = std::max(page.Height() - y0, 1);
    const double dpiX = std::max(page.dpiX, 1), dpiY = std::max(page.dpiY, 1);
    // Output pixels per inch: square pixels, never more pixels than the source has.
    double ppi = std::min(dpiX, dpiY);
    if (srcW * ppi / dpiX > maxWidth) ppi = maxWidth * dpiX / srcW;
    const double area = (srcW * ppi / dpiX) * (srcH * ppi / dpiY);
    if (area > kMaxPreviewPixels) ppi *= std::sqrt(kMaxPreviewPixels / area);
    const int outW = std::max(1, static_cast<int>(srcW * ppi / dpiX + 0.5));
    const int outH = std::max(1, static_cast<int>(srcH * ppi / dpiY + 0.5));

    // Source pixels that fall on each output column and row.
    std::vector<uint32_t> colCount(static_cast<size_t>(outW)), rowCount(static_cast<size_t>(outH));
    std::vector<int32_t> outX(static_cast<size_t>(srcW));
    for (int32_t x = 0; x < srcW; ++x) ++colCount[outX[x] = static_cast<int32_t>(int64_t{x} * outW / srcW)];
    for (int32_t y = 0; y < srcH; ++y) ++rowCount[static_cast<size_t>(int64_t{y} * outH / srcH)];

    const std::vector<const InkPlane*> inks = InksInDisplayOrder(page);
    std::vector<float> shade(static_cast<size_t>(outW) * outH * 3, 0.0f);  // sums of 1 - pixel
    std::vector<double> pixel;
    for (int32_t y = 0; y < srcH; ++y) {
        // The columns of this row that any ink stores, relative to x0.
        int64_t from = srcW, to = 0;
        for (const InkPlane* ink : inks) {
            const PlaneRow r = ink->Row(y0 + y);
            if (!r.values) continue;
            from = std::min<int64_t>(from, std::max<int64_t>(r.first - int64_t{x0}, 0));
            to = std::max<int64_t>(to, std::min<int64_t>(int64_t{r.first} + r.columns - x0, srcW));
        }
        if (from >= to) continue;
        pixel.assign(static_cast<size_t>(to - from) * 3, 1.0);
        for (const InkPlane* ink : inks) {
            const PlaneRow r = ink->Row(y0 + y);
            const InkInfo info = LookupInk(ink->Ink());
            const uint8_t* c = info.rgb;
            const double full = ink->BitsPerPixel() == 1 ? 1.0 : 3.0;
            double filter[4][3];  // what a dot of each value lets through, per channel
            for (int v = 1; v < 4; ++v)
                for (int k = 0; k < 3; ++k) filter[v][k] = 1.0 - std::min(v / full, 1.0) * (1.0 - c[k] / 255.0);
            const int64_t lo = std::max<int64_t>(from, r.first - int64_t{x0});
            const int64_t hi = std::min<int64_t>(to, int64_t{r.first} + r.columns - x0);
            for (int64_t x = lo; x < hi; ++x) {
                const size_t at = static_cast<size_t>(x + x0 - r.first);
                if ((at & 3) == 0 && x + 4 <= hi && r.values[at >> 2] == 0) {
                    x += 3;  // four empty positions
                    continue;
                }
                const uint8_t v = packed::ValueAt(r.values, at);
                if (!v) continue;
                for (int k = 0; k < 3; ++k) pixel[(x - from) * 3 + k] *= filter[v][k];
            }
        }
        const size_t oy = static_cast<size_t>(int64_t{y} * outH / srcH);
        for (int64_t x = from; x < to; ++x) {
            const size_t o = oy * outW + static_cast<size_t>(outX[x]);
            for (int k = 0; k < 3; ++k) shade[o * 3 + k] += static_cast<float>(1.0 - pixel[(x - from) * 3 + k]);
        }
    }

    RgbImage im;
    const int legendH = kSwatch + 2 * kLegendPad;
    im.width = std::max(outW, LegendWidth(page));
    im.height = outH + legendH;
    im.rgb.assign(static_cast<size_t>(im.width) * im.height * 3, 255);
    for (int y = 0; y < outH; ++y)
        for (int x = 0; x < outW; ++x) {
            const size_t o = static_cast<size_t>(y) * outW + x;
            const double count = static_cast<double>(colCount[x]) * rowCount[y];
            if (!count) continue;
            for (int k = 0; k < 3; ++k)
                im.rgb[(static_cast<size_t>(y) * im.width + x) * 3 + k] =
                    static_cast<uint8_t>((1.0 - shade[o * 3 + k] / count) * 255.0 + 0.5);
        }
    static const uint8_t kRule[3] = {160, 160, 160};
    FillRect(im, 0, outH, im.width, 1, kRule);
    int x = kLegendPad;
    const int y = outH + kLegendPad;
    for (const InkPlane* ink : inks) {
        const InkInfo info = LookupInk(ink->Ink());
        FillRect(im, x, y, kSwatch, kSwatch, info.rgb);
        x = DrawText(im, x + kSwatch + kFontScale * 2, y, InkName(ink->Ink())) + kLegendPad * 2;
    }
    return im;
}

bool WritePng(const RgbImage& image, FILE* f)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, PngError, PngWarning);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, f);
    png_set_IHDR(png, info, image.width, image.height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < image.height; ++y)
        png_write_row(png, const_cast<png_bytep>(&image.rgb[static_cast<size_t>(y) * image.width * 3]));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fflush(f) == 0 && !std::ferror(f);
}

bool WritePlanePgm(const DecodedPage& page, const InkPlane& plane, FILE* f)
{
    const int32_t x0 = page.Left(), y0 = page.Top();
    const int32_t w = page.Width() - x0, h = page.Height() - y0;
    if (std::fprintf(f, "P5\n%d %d\n3\n", w, h) < 0) return false;
    std::vector<uint8_t> row(static_cast<size_t>(w));
    for (int32_t y = 0; y < h; ++y) {
        plane.CopyRow(y0 + y, x0, w, row.data());
        if (w && std::fwrite(row.data(), 1, row.size(), f) != row.size()) return false;
    }
    return std::fflush(f) == 0 && !std::ferror(f);
}

bool WritePng(const RgbImage& image, const std::string& path, std::string& error)
{
    return WriteFile(path, error, [&](FILE* f) { return WritePng(image, f); });
}

bool WritePlanePgm(const DecodedPage& page, const InkPlane& plane, const std::string& path, std::string& error)
{
    return WriteFile(path, error, [&](FILE* f) { return WritePlanePgm(page, plane, f); });
}

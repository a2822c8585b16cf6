// Rendering and writing of page pictures (PGM planes, PNG preview).
#include "decode/PageImage.h"

#include <png.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>

#include "decode/Font5x7.h"
#include "decode/Inks.h"

namespace {
constexpr int kFontScale = 2;
constexpr int kSwatch = 7 * kFontScale;
constexpr int kLegendPad = 6;

// Writes through `body` into a temporary file beside `path`, then renames it over `path`.
bool WriteAtomically(const std::string& path, std::string& error, const std::function<bool(FILE*)>& body)
{
    std::string tmp = path + ".XXXXXX";
    const int fd = mkstemp(tmp.data());
    if (fd < 0) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    fchmod(fd, 0644);  // mkstemp makes the file private; pictures are ordinary user files
    FILE* f = fdopen(fd, "wb");
    if (!f) {
        error = path + ": " + std::strerror(errno);
        close(fd);
        unlink(tmp.c_str());
        return false;
    }
    bool ok = body(f);
    ok = (std::fflush(f) == 0) && ok;
    const int savedErrno = errno;
    ok = (std::fclose(f) == 0) && ok;
    if (ok && std::rename(tmp.c_str(), path.c_str()) != 0) ok = false;
    if (!ok) {
        error = path + ": " + std::strerror(errno ? errno : savedErrno);
        unlink(tmp.c_str());
    }
    return ok;
}

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
    const int32_t srcW = std::max(page.Width(), 1), srcH = std::max(page.Height(), 1);
    const double dpiX = std::max(page.dpiX, 1), dpiY = std::max(page.dpiY, 1);
    // Output pixels per inch: square pixels, never more pixels than the source has.
    double ppi = std::min(dpiX, dpiY);
    if (srcW * ppi / dpiX > maxWidth) ppi = maxWidth * dpiX / srcW;
    const int outW = std::max(1, static_cast<int>(srcW * ppi / dpiX + 0.5));
    const int outH = std::max(1, static_cast<int>(srcH * ppi / dpiY + 0.5));

    const std::vector<const InkPlane*> inks = InksInDisplayOrder(page);
    std::vector<double> acc(static_cast<size_t>(outW) * outH * 3, 0.0);
    std::vector<uint32_t> count(static_cast<size_t>(outW) * outH, 0);
    std::vector<uint8_t> values(static_cast<size_t>(srcW));
    std::vector<double> pixel(static_cast<size_t>(srcW) * 3);
    for (int32_t y = 0; y < srcH; ++y) {
        std::fill(pixel.begin(), pixel.end(), 1.0);
        for (const InkPlane* ink : inks) {
            ink->CopyRow(y, srcW, values.data());
            const InkInfo info = LookupInk(ink->Ink());
            const uint8_t* c = info.rgb;
            const double full = ink->BitsPerPixel() == 1 ? 1.0 : 3.0;
            for (int32_t x = 0; x < srcW; ++x) {
                if (!values[x]) continue;
                const double a = std::min(values[x] / full, 1.0);
                for (int k = 0; k < 3; ++k) pixel[x * 3 + k] *= 1.0 - a * (1.0 - c[k] / 255.0);
            }
        }
        const size_t oy = static_cast<size_t>(static_cast<int64_t>(y) * outH / srcH);
        for (int32_t x = 0; x < srcW; ++x) {
            const size_t o = oy * outW + static_cast<size_t>(static_cast<int64_t>(x) * outW / srcW);
            for (int k = 0; k < 3; ++k) acc[o * 3 + k] += pixel[x * 3 + k];
            ++count[o];
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
            if (!count[o]) continue;
            for (int k = 0; k < 3; ++k)
                im.rgb[(static_cast<size_t>(y) * im.width + x) * 3 + k] =
                    static_cast<uint8_t>(acc[o * 3 + k] / count[o] * 255.0 + 0.5);
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

bool WritePng(const RgbImage& image, const std::string& path, std::string& error)
{
    return WriteAtomically(path, error, [&](FILE* f) {
        png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
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
        return true;
    });
}

bool WritePlanePgm(const DecodedPage& page, const InkPlane& plane, const std::string& path, std::string& error)
{
    const int32_t w = page.Width(), h = page.Height();
    return WriteAtomically(path, error, [&](FILE* f) {
        if (std::fprintf(f, "P5\n%d %d\n3\n", w, h) < 0) return false;
        std::vector<uint8_t> row(static_cast<size_t>(w));
        for (int32_t y = 0; y < h; ++y) {
            plane.CopyRow(y, w, row.data());
            if (w && std::fwrite(row.data(), 1, row.size(), f) != row.size()) return false;
        }
        return true;
    });
}

#include "rip/PictureSource.h"

#include <lcms2.h>
#include <vips/vips8>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

namespace rip {
namespace {
using vips::VImage;
using vips::VError;

constexpr uint64_t kDefaultPixelLimit = 400ull * 1000 * 1000;

void InitVips()
{
    static std::once_flag once;
    std::call_once(once, [] {
        if (VIPS_INIT("rphoto")) throw std::runtime_error("libvips did not start");
        // Damage is reported once, as the load's error; libvips' own warnings would repeat it.
        g_log_set_handler("VIPS", G_LOG_LEVEL_WARNING, [](const gchar*, GLogLevelFlags, const gchar*, gpointer) {}, nullptr);
        vips_cache_set_max(0);  // nothing is reused between jobs; keep memory down
        std::atexit([] { vips_shutdown(); });
    });
}

// libvips' message, first line only.
std::string VipsMessage(const std::string& text)
{
    std::string line = text.substr(0, text.find('\n'));
    vips_error_clear();
    return line.empty() ? "cannot be read" : line;
}

bool IsPdfLoader(const std::string& loader) { return loader.find("Pdf") != std::string::npos; }

// How much a JPEG may shrink while it decodes: the most (of 2, 4, 8) that still leaves the
// picture at least twice its placed size, so the Lanczos resampling does the rest.
int JpegShrink(const PictureInfo& info, const Placement& place)
{
    if (info.loader.find("Jpeg") == std::string::npos || place.width <= 0 || place.height <= 0) return 1;
    const int w = place.rotate ? info.height : info.width, h = place.rotate ? info.width : info.height;
    int shrink = 1;
    while (shrink < 8 && w / (2 * shrink) >= 2 * place.width && h / (2 * shrink) >= 2 * place.height) shrink *= 2;
    return shrink;
}

struct Converter {
    cmsHTRANSFORM transform = nullptr;
    ~Converter()
    {
        if (transform) cmsDeleteTransform(transform);
    }
};
}  // namespace

struct PictureSource::Impl {
    std::string name;
    std::string path;    // empty: from memory
    std::string bytes;   // the file when from memory
    int page = 1;
    PictureInfo info;
    uint64_t pixelLimit = kDefaultPixelLimit;

    // `shrink` (JPEG only, 1, 2, 4 or 8) decodes at that fraction of the size.
    VImage Load(bool sequential, double pdfDpi, int shrink = 1) const
    {
        auto options = VImage::option()
                           ->set("access", sequential ? VIPS_ACCESS_SEQUENTIAL : VIPS_ACCESS_RANDOM)
                           ->set("fail_on", VIPS_FAIL_ON_TRUNCATED);
        if (info.pdf) options->set("page", page - 1)->set("dpi", pdfDpi);
        if (shrink > 1) options->set("shrink", shrink);
        if (path.empty()) return VImage::new_from_buffer(bytes.data(), bytes.size(), "", options);
        return VImage::new_from_file(path.c_str(), options);
    }
};

PictureSource::PictureSource() : m(std::make_unique<Impl>()) {}
PictureSource::~PictureSource() = default;
const PictureInfo& PictureSource::Info() const { return m->info; }
void PictureSource::SetPixelLimit(uint64_t pixels) { m->pixelLimit = pixels; }

namespace {
// Keeps the loader's name and reads the header; null with the reason in *error.
std::unique_ptr<PictureSource> ReadHeader(std::unique_ptr<PictureSource> s, PictureSource::Impl& m, const char* loader,
                                          std::string* error)
{
    if (!loader) {
        vips_error_clear();
        *error = m.name + ": neither a picture (JPEG, PNG, TIFF, WebP, PDF) nor a halftoned plane";
        return nullptr;
    }
    m.info.loader = loader;
    m.info.pdf = IsPdfLoader(loader);
    try {
        VImage header = m.Load(true, 72);
        m.info.width = header.width();
        m.info.height = header.height();
        m.info.dpiX = m.info.pdf ? 72 : header.xres() * 25.4;
        m.info.dpiY = m.info.pdf ? 72 : header.yres() * 25.4;
        if (m.info.dpiX < 1 || m.info.dpiY < 1) m.info.dpiX = m.info.dpiY = 72;
    } catch (const VError& e) {
        *error = m.name + ": " + VipsMessage(e.what());
        return nullptr;
    }
    return s;
}
}  // namespace

std::unique_ptr<PictureSource> PictureSource::Open(const std::string& path, int page, std::string* error)
{
    InitVips();
    std::unique_ptr<PictureSource> s(new PictureSource());
    Impl& m = *s->m;
    m.name = m.path = path;
    m.page = page;
    if (FILE* f = std::fopen(path.c_str(), "rb"))
        std::fclose(f);
    else {
        *error = path + ": cannot be read: " + std::strerror(errno);
        return nullptr;
    }
    return ReadHeader(std::move(s), m, vips_foreign_find_load(path.c_str()), error);
}

std::unique_ptr<PictureSource> PictureSource::OpenMemory(const void* data, size_t size, const std::string& name,
                                                         std::string* error)
{
    InitVips();
    std::unique_ptr<PictureSource> s(new PictureSource());
    Impl& m = *s->m;
    m.name = name;
    m.bytes.assign(static_cast<const char*>(data), size);
    return ReadHeader(std::move(s), m, vips_foreign_find_load_buffer(m.bytes.data(), m.bytes.size()), error);
}

namespace {
// The picture as 8 or 16-bit grey, RGB or CMYK without alpha; its profile stays attached.
VImage Normalise(VImage image, bool* dropProfile)
{
    const VipsInterpretation kind = image.interpretation();
    const bool cmyk = kind == VIPS_INTERPRETATION_CMYK && image.bands() >= 4;
    const int colourBands = cmyk ? 4 : image.bands() >= 3 ? 3 : 1;
    const VipsBandFormat format = image.format();
    if (image.bands() > colourBands) {
        const double white = format == VIPS_FORMAT_USHORT ? 65535 : 255;
        if (cmyk)
            image = image.extract_band(0, VImage::option()->set("n", 4));  // CMYK alpha: ignored
        else
            image = image.flatten(VImage::option()
                                      ->set("background", std::vector<double>(static_cast<size_t>(colourBands), white))
                                      ->set("max_alpha", white));
    }
    if (cmyk && !image.get_typeof(VIPS_META_ICC_NAME)) {
        // CMYK without a profile: libvips' own CMYK profile.
        image = image.icc_transform("srgb", VImage::option()->set("input_profile", "cmyk")->set("depth", 16));
        *dropProfile = true;
    }
    if (image.format() != VIPS_FORMAT_UCHAR && image.format() != VIPS_FORMAT_USHORT) {
        image = image.colourspace(VIPS_INTERPRETATION_RGB16).cast(VIPS_FORMAT_USHORT);
        *dropProfile = true;
    }
    return image;
}

cmsUInt32Number LcmsFormat(int bands, bool sixteen)
{
    if (bands == 1) return sixteen ? TYPE_GRAY_16 : TYPE_GRAY_8;
    if (bands == 4) return sixteen ? TYPE_CMYK_16 : TYPE_CMYK_8;
    return sixteen ? TYPE_RGB_16 : TYPE_RGB_8;
}

struct SinkState {
    const RowConsumer* consumer;
    cmsHTRANSFORM transform;
    int bands;
    bool sixteen;
    std::vector<uint16_t> rgb;
    bool stopped = false;
};

// Converts one strip to working-space RGB and hands it on.
int WriteStrip(VipsRegion* region, VipsRect* area, void* user)
{
    SinkState& s = *static_cast<SinkState*>(user);
    const size_t w = static_cast<size_t>(area->width);
    s.rgb.resize(w * 3);
    for (int y = 0; y < area->height; ++y) {
        const VipsPel* src = VIPS_REGION_ADDR(region, area->left, area->top + y);
        if (s.transform) {
            cmsDoTransform(s.transform, src, s.rgb.data(), static_cast<cmsUInt32Number>(w));
        } else if (s.bands == 3 && !s.sixteen) {
            // The common case (8-bit sRGB without a profile) in one straight loop.
            for (size_t i = 0; i < w * 3; ++i) s.rgb[i] = static_cast<uint16_t>(src[i] * 257);
        } else {
            for (size_t x = 0; x < w; ++x)
                for (int c = 0; c < 3; ++c) {
                    const size_t i = x * static_cast<size_t>(s.bands) + static_cast<size_t>(s.bands == 1 ? 0 : c);
                    s.rgb[x * 3 + static_cast<size_t>(c)] =
                        s.sixteen ? reinterpret_cast<const uint16_t*>(src)[i] : static_cast<uint16_t>(src[i] * 257);
                }
        }
        if (!(*s.consumer)(s.rgb.data(), 1, w * 3)) {
            s.stopped = true;
            vips_error("rphoto", "%s", "stopped");
            return -1;
        }
    }
    return 0;
}
}  // namespace

bool PictureSource::Stream(const Placement& place, int areaWidth, int areaHeight, double dpiX, double dpiY,
                           Intent intent, const RowConsumer& consumer, std::string* error)
{
    const uint64_t pixels = static_cast<uint64_t>(m->info.width) * static_cast<uint64_t>(m->info.height);
    if (!m->info.pdf && pixels > m->pixelLimit) {
        *error = m->name + ": " + std::to_string(m->info.width) + " x " + std::to_string(m->info.height) +
                 " pixels is more than this printer path takes";
        return false;
    }
    cmsHPROFILE in = nullptr, out = nullptr;
    Converter converter;
    SinkState state{&consumer, nullptr, 3, false, {}, false};
    try {
        // A PDF page is rendered at the resolution that makes it the placed size.
        VImage image = m->Load(!place.rotate, 72 * (place.rotate ? place.scaleY : place.scaleX), JpegShrink(m->info, place));
        bool dropProfile = false;
        image = Normalise(image, &dropProfile);
        if (place.rotate) image = image.rot270();  // a quarter turn anticlockwise: the top goes left
        const double sx = static_cast<double>(place.width) / image.width();
        const double sy = static_cast<double>(place.height) / image.height();
        if (image.width() != place.width || image.height() != place.height)
            image = image.resize(sx, VImage::option()->set("vscale", sy)->set("kernel", VIPS_KERNEL_LANCZOS3));
        const double white = image.format() == VIPS_FORMAT_USHORT ? 65535 : 255;
        const bool cmyk = image.bands() == 4;
        image = image.embed(place.left, place.top, areaWidth, areaHeight,
                            VImage::option()
                                ->set("extend", VIPS_EXTEND_BACKGROUND)
                                ->set("background", std::vector<double>(static_cast<size_t>(image.bands()), cmyk ? 0 : white)));
        state.bands = image.bands();
        state.sixteen = image.format() == VIPS_FORMAT_USHORT;
        size_t iccLength = 0;
        const void* icc = nullptr;
        if (!dropProfile && image.get_typeof(VIPS_META_ICC_NAME)) icc = image.get_blob(VIPS_META_ICC_NAME, &iccLength);
        if (icc) in = cmsOpenProfileFromMem(icc, static_cast<cmsUInt32Number>(iccLength));
        const cmsColorSpaceSignature want = state.bands == 1 ? cmsSigGrayData : state.bands == 4 ? cmsSigCmykData : cmsSigRgbData;
        if (in && cmsGetColorSpace(in) != want) {
            cmsCloseProfile(in);
            in = nullptr;
        }
        if (!in && state.bands == 4) {
            *error = m->name + ": a CMYK picture whose profile cannot be used";
            return false;
        }
        if (in) {
            out = cmsCreate_sRGBProfile();
            const cmsUInt32Number flags = intent == Intent::kRelative ? cmsFLAGS_BLACKPOINTCOMPENSATION : 0;
            converter.transform = cmsCreateTransform(in, LcmsFormat(state.bands, state.sixteen), out, TYPE_RGB_16,
                                                     intent == Intent::kRelative ? INTENT_RELATIVE_COLORIMETRIC
                                                                                 : INTENT_PERCEPTUAL,
                                                     flags);
            cmsCloseProfile(in);
            cmsCloseProfile(out);
            if (!converter.transform) {
                *error = m->name + ": its colour profile cannot be used";
                return false;
            }
        }
        state.transform = converter.transform;
        if (vips_sink_disc(image.get_image(), WriteStrip, &state) != 0) {
            const std::string why = VipsMessage(vips_error_buffer());
            if (state.stopped) {
                *error = m->name + ": printing stopped";
                return false;
            }
            *error = m->name + ": " + why;
            return false;
        }
    } catch (const VError& e) {
        *error = m->name + ": " + VipsMessage(e.what());
        return false;
    }
    return true;
}

}  // namespace rip

// The benchmark's pages: a smooth picture per ink, halftoned by ordered dither or error
// diffusion, and a mostly empty page.
#include "bench/BenchPages.h"

#include <cmath>
#include <map>
#include <tuple>

namespace {
constexpr int kInks = 8;
constexpr int kHostColors[kInks] = {0, 1, 2, 3, 8, 9, 7, 10};  // the R3000's inks
constexpr int kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

// Ink density 0..1 of ink c at (u, v) in page units 0..1: rings, gradients and soft blobs,
// with light inks denser than dark ones, as in a separated photograph.
double Density(int c, double u, double v)
{
    const double r = std::hypot(u - 0.3 - 0.05 * c, (v - 0.4) * 1.4);
    const double blob = std::exp(-((u - 0.7) * (u - 0.7) + (v - 0.6) * (v - 0.6)) * 20.0);
    double d = 0.35 + 0.3 * std::sin(r * (18 + c)) * (1 - v) + 0.15 * (u - 0.5) + 0.3 * blob * (c % 3 == 0 ? 1 : -1);
    if (c == 0) d *= 0.5;  // black only in the shadows
    return d < 0 ? 0 : (d > 1 ? 1 : d);
}

// Densities of row y, one value per kStep pixels (finer than any dot at 1440 dpi, and a
// fraction of the time to build the page).
constexpr int kStep = 4;
std::vector<double> RowDensity(const JobPlane& p, int c, int y)
{
    std::vector<double> d(static_cast<size_t>(p.width / kStep) + 1);
    for (size_t i = 0; i < d.size(); ++i)
        d[i] = Density(c, static_cast<double>(i * kStep) / p.width, static_cast<double>(y) / p.height);
    return d;
}

void Put(JobPlane& p, int x, int y, int level)
{
    uint8_t& b = p.packed[static_cast<size_t>(y) * p.rowBytes + (x >> 2)];
    b = static_cast<uint8_t>(b | (level << (6 - 2 * (x & 3))));
}

// Levels 0..3 with serpentine Floyd-Steinberg on integer densities (0..3 x 256).
void Diffuse(JobPlane& p, int c)
{
    std::vector<int> err(static_cast<size_t>(p.width) + 2, 0), next(err.size(), 0);
    for (int y = 0; y < p.height; ++y) {
        const bool rtl = y & 1;
        const std::vector<double> d = RowDensity(p, c, y);
        for (int i = 0; i < p.width; ++i) {
            const int x = rtl ? p.width - 1 - i : i;
            const int dir = rtl ? -1 : 1;
            const int want = static_cast<int>(d[x / kStep] * 768) + err[x + 1];
            int level = (want + 128) / 256;
            level = level < 0 ? 0 : (level > 3 ? 3 : level);
            const int e = want - level * 256;
            err[x + 1 + dir] += e * 7 / 16;
            next[x + 1 - dir] += e * 3 / 16;
            next[x + 1] += e * 5 / 16;
            next[x + 1 + dir] += e / 16;
            if (level) Put(p, x, y, level);
        }
        err.swap(next);
        std::fill(next.begin(), next.end(), 0);
    }
}

void Dither(JobPlane& p, int c, bool sparse)
{
    for (int y = 0; y < p.height; ++y) {
        const double v = static_cast<double>(y) / p.height;
        const std::vector<double> d = RowDensity(p, c, y);
        for (int x = 0; x < p.width; ++x) {
            const double u = static_cast<double>(x) / p.width;
            if (sparse) {
                // Two pictures and a column of text-like lines; the rest stays empty.
                const bool picture = (u > 0.1 && u < 0.45 && v > 0.08 && v < 0.3) || (u > 0.55 && u < 0.9 && v > 0.62 && v < 0.8);
                const bool text = c == 0 && u > 0.1 && u < 0.9 && v > 0.35 && v < 0.55 && (y / 6) % 4 == 0 && (x / 5) % 7 != 0;
                if (!picture && !text) continue;
            }
            const double level = d[x / kStep] * 3;
            const int base = static_cast<int>(level);
            const int lvl = base + ((level - base) * 16 > kBayer[y & 3][x & 3] ? 1 : 0);
            if (lvl) Put(p, x, y, lvl > 3 ? 3 : lvl);
        }
    }
}
}  // namespace

const std::vector<JobPlane>& BenchPage(PageContent content, double resX, double resY, double widthMm, double heightMm)
{
    static std::map<std::tuple<int, double, double, double, double>, std::vector<JobPlane>> pages;
    auto& out = pages[{static_cast<int>(content), resX, resY, widthMm, heightMm}];
    if (!out.empty()) return out;
    out.resize(kInks);
    for (int c = 0; c < kInks; ++c) {
        JobPlane& p = out[c];
        p.color = kHostColors[c];
        p.width = static_cast<int>(widthMm / 25.4 * resX);
        p.height = static_cast<int>(heightMm / 25.4 * resY);
        p.rowBytes = (p.width * 2 + 7) / 8;
        p.packed.assign(static_cast<size_t>(p.rowBytes) * p.height, 0);
        if (content == PageContent::Diffusion)
            Diffuse(p, c);
        else
            Dither(p, c, content == PageContent::Sparse);
    }
    return out;
}

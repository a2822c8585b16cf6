// Halftone quality report: tone reproduction of grey and single-ink ramps, texture of flat
// patches (radially averaged power spectrum against a white-noise threshold halftone), and
// determinism. Usage: rphoto_halftone_quality [REPORT.md] (default: stdout).
#include <cmath>
#include <complex>
#include <cstdio>
#include <string>
#include <vector>

#include "rip/Halftone.h"
#include "rip/Separation.h"

namespace {
constexpr int kPatch = 256;
const float kDrops[4] = {0, 0.22f, 0.5f, 1.0f};

using Method = rip::HalftoneMethod;
const char* Name(Method m) { return m == Method::kMask ? "mask" : "diffusion"; }

// Halftones a flat patch of `amount` (0..65535); drop ink of each pixel, 0..1.
std::vector<double> Patch(Method method, uint16_t amount, uint32_t seed, int rows = kPatch)
{
    const rip::DropLevels levels = rip::MakeDropLevels(kDrops, 2, 3, false);
    rip::InkHalftoner ht(method, levels, kPatch, 1, seed);
    const std::vector<uint16_t> amounts(kPatch, amount);
    std::vector<uint8_t> out(kPatch);
    std::vector<double> ink;
    // Rows before the patch let the error settle, as inside a picture.
    for (int y = 0; y < rows + 64; ++y) {
        ht.Row(y, amounts.data(), out.data());
        if (y >= 64)
            for (uint8_t v : out) ink.push_back(kDrops[v]);
    }
    return ink;
}

void Fft(std::vector<std::complex<double>>& a)
{
    const size_t n = a.size();
    for (size_t i = 1, j = 0; i < n; ++i) {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) j ^= bit;
        j ^= bit;
        if (i < j) std::swap(a[i], a[j]);
    }
    for (size_t len = 2; len <= n; len <<= 1) {
        const std::complex<double> w = std::polar(1.0, -2 * M_PI / static_cast<double>(len));
        for (size_t i = 0; i < n; i += len) {
            std::complex<double> wk = 1;
            for (size_t k = 0; k < len / 2; ++k, wk *= w) {
                const std::complex<double> u = a[i + k], v = a[i + k + len / 2] * wk;
                a[i + k] = u + v, a[i + k + len / 2] = u - v;
            }
        }
    }
}

// Power spectrum of a kPatch x kPatch field (mean removed).
std::vector<double> Spectrum(const std::vector<double>& f)
{
    double mean = 0;
    for (double v : f) mean += v;
    mean /= static_cast<double>(f.size());
    std::vector<std::complex<double>> a(f.size());
    for (size_t i = 0; i < f.size(); ++i) a[i] = f[i] - mean;
    std::vector<std::complex<double>> line(kPatch);
    for (int pass = 0; pass < 2; ++pass)
        for (int i = 0; i < kPatch; ++i) {
            for (int k = 0; k < kPatch; ++k) line[static_cast<size_t>(k)] = pass ? a[static_cast<size_t>(k * kPatch + i)] : a[static_cast<size_t>(i * kPatch + k)];
            Fft(line);
            for (int k = 0; k < kPatch; ++k) (pass ? a[static_cast<size_t>(k * kPatch + i)] : a[static_cast<size_t>(i * kPatch + k)]) = line[static_cast<size_t>(k)];
        }
    std::vector<double> p(f.size());
    for (size_t i = 0; i < f.size(); ++i) p[i] = std::norm(a[i]) / static_cast<double>(f.size());
    return p;
}

struct Texture {
    double lowShare;   // energy below the principal frequency, against white noise's
    double anisotropy; // largest deviation of an angular sector's energy from the ring mean
};

Texture Analyse(const std::vector<double>& ink, const std::vector<double>& white, double minority)
{
    const std::vector<double> p = Spectrum(ink), w = Spectrum(white);
    // Principal frequency of a blue-noise pattern whose minority level covers `minority` of
    // the pixels (cycles per pixel).
    const double fg = std::sqrt(minority);
    double low = 0, lowWhite = 0;
    std::vector<double> sector(8, 0.0);
    for (int v = 0; v < kPatch; ++v)
        for (int u = 0; u < kPatch; ++u) {
            const double fu = (u < kPatch / 2 ? u : u - kPatch) / double(kPatch);
            const double fv = (v < kPatch / 2 ? v : v - kPatch) / double(kPatch);
            const double f = std::hypot(fu, fv);
            if (f == 0) continue;
            const size_t i = static_cast<size_t>(v * kPatch + u);
            if (f < fg * 0.7) low += p[i], lowWhite += w[i];
            if (f > fg * 0.5 && f < 0.5) sector[static_cast<size_t>(std::fmod(std::atan2(fv, fu) + M_PI, M_PI) / M_PI * 8) % 8] += p[i];
        }
    double mean = 0, worst = 0;
    for (double s : sector) mean += s / 8;
    for (double s : sector) worst = std::max(worst, std::fabs(s - mean) / mean);
    return {lowWhite > 0 ? low / lowWhite : 0, worst};
}
}  // namespace

int main(int argc, char** argv)
{
    FILE* out = argc > 1 ? std::fopen(argv[1], "w") : stdout;
    if (!out) return 1;
    bool ok = true;
    std::fprintf(out, "# Halftone quality\n\n## Tone reproduction\n\n"
                      "Flat patches of 256 x 192 pixels at each step of a ramp; each ink's halftoned amount against the "
                      "separation's target, in %% of full ink; monotonic: the darkness (inks weighted by strength) never falls.\n\n| Ramp | Method | Steps | Worst error | Monotonic |\n|---|---|---|---|---|\n");
    for (int model : {1, 2}) {
        const rip::InkModel& m = rip::InkModelFor(model);
        const rip::SeparationTable table(m, {"Premium Glossy Photo Paper", false});
        for (Method method : {Method::kDiffusion, Method::kMask}) {
            // Grey: every ink of the separation of each grey, summed; single inks: each plane alone.
            for (int ink = -1; ink < table.Inks(); ++ink) {
                double worst = 0, last = -1;
                bool monotonic = true;
                const int steps = 21;
                for (int s = 0; s < steps; ++s) {
                    const uint16_t v = static_cast<uint16_t>(65535 - s * 65535 / (steps - 1));
                    double dark = 0;
                    std::vector<uint16_t> amounts(static_cast<size_t>(table.Inks()));
                    const uint16_t rgb[3] = {v, v, v};
                    if (ink < 0) table.Apply(rgb, 1, amounts.data(), 1);
                    for (int i = 0; i < table.Inks(); ++i) {
                        const uint16_t a = ink < 0 ? amounts[static_cast<size_t>(i)] : (i == ink ? static_cast<uint16_t>(s * 65535 / (steps - 1)) : 0);
                        if (!a) continue;
                        double sum = 0;
                        for (double d : Patch(method, a, 11u + static_cast<uint32_t>(i), 192)) sum += d;
                        sum /= kPatch * 192;
                        // Each ink against its own target; the ramp's darkness weighs light inks less.
                        worst = std::max(worst, std::fabs(sum - a / 65535.0) * 100);
                        dark += sum * m.strength[static_cast<size_t>(i)];
                    }
                    if (dark < last - 1e-4) monotonic = false;
                    last = dark;
                }
                ok = ok && worst <= 1.0 && monotonic;
                std::fprintf(out, "| %s %s | %s | 21 | %.3f %% | %s |\n", model == 1 ? "R2000" : "R3000",
                             ink < 0 ? "grey" : m.names[static_cast<size_t>(ink)], Name(method), worst, monotonic ? "yes" : "NO");
            }
        }
    }
    std::fprintf(out, "\n## Texture\n\nRadially averaged power spectrum of 256 x 256 flat patches: energy below 0.7 of "
                      "the principal frequency as a share of a white-noise threshold halftone's at the same coverage, "
                      "and the largest deviation of one of eight angular sectors from their mean above half the "
                      "principal frequency (directional artefacts).\n\n| Coverage | Method | Low-frequency share | Directional deviation |\n|---|---|---|---|\n");
    for (double g : {0.05, 0.25, 0.5, 0.75}) {
        // White noise with the same drops and mean: each pixel one drop level chosen at random.
        const uint16_t a = static_cast<uint16_t>(g * 65535);
        std::vector<double> white;
        uint32_t state = 12345;
        int lo = 0;
        while (lo + 1 < 3 && g > kDrops[lo + 1]) ++lo;
        for (int i = 0; i < kPatch * kPatch; ++i) {
            state = state * 1664525u + 1013904223u;
            const double r = (state >> 8) / double(1 << 24);
            white.push_back(r < (g - kDrops[lo]) / (kDrops[lo + 1] - kDrops[lo]) ? kDrops[lo + 1] : kDrops[lo]);
        }
        for (Method method : {Method::kDiffusion, Method::kMask}) {
            const double frac = (g - kDrops[lo]) / (kDrops[lo + 1] - kDrops[lo]);
            if (std::min(frac, 1 - frac) < 1e-3) {
                std::fprintf(out, "| %.0f %% | %s | flat: every pixel one drop size | - |\n", g * 100, Name(method));
                continue;
            }
            const Texture t = Analyse(Patch(method, a, 3), white, std::min(frac, 1 - frac));
            std::fprintf(out, "| %.0f %% | %s | %.3f | %.2f |\n", g * 100, Name(method), t.lowShare, t.anisotropy);
        }
    }
    bool same = true;
    for (Method method : {Method::kDiffusion, Method::kMask})
        same = same && Patch(method, 20000, 5) == Patch(method, 20000, 5);
    std::fprintf(out, "\n## Determinism\n\nThe same patch twice with the same seed: %s.\n", same ? "identical" : "DIFFERENT");
    std::fprintf(out, "\nTone reproduction within 1 %% and monotonic everywhere: %s\n", ok ? "yes" : "NO");
    if (out != stdout) std::fclose(out);
    return ok && same ? 0 : 1;
}

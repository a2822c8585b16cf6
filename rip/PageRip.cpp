// The page stage: input rows are gathered into bands; each band is separated (rows in
// parallel) and halftoned (whole hues dealt to the threads by their work in the band, the
// inks of a thread scanned together pixel by pixel), then its rows go to the sink in order.
//
// The sink is called from one thread at a time, in row order, but not always from the
// caller's: a band goes to the sink on its own thread while the next band is halftoned.
//
// Memory, whatever the page's length: one band of input (kBandRows rows of 16-bit RGB at
// the input width), its ink amounts (2 bytes per ink and input pixel), two bands of packed
// output rows, two error rows per ink and one row of values per ink. For A3+
// (329 mm, 74,900 pixels across at 5760 dpi, 720 dpi input, stepY 2) with 8 inks that is
// 1.8 + 4.8 + 19.2 + 4.8 + 0.6 = about 31 MB; libvips adds its strips of the input.
#include "rip/PageRip.h"

#include <algorithm>
#include <ctime>
#include <cstring>
#include <future>
#include <thread>

#include "host/PrintEnv.h"
#include "host/CString.h"
#include "host/Platform.h"
#include "rip/Halftone.h"
#include "rip/Parallel.h"
#include "rip/Separation.h"

namespace rip {
namespace {
constexpr int kBandRows = 32;  // input rows per band
constexpr int kSingleDotField = 7;

// CPU time of the calling thread, for the stage figures.
double ThreadCpu()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + ts.tv_nsec * 1e-9;
}

// A set of planes halftoned together on one thread: whole hues, each darkest first.
struct InkGroup {
    std::vector<int> planes;
    std::vector<int> hues;  // hue of each plane
};

// The model's hues, each darkest first: its chains, then the other inks alone.
std::vector<std::vector<int>> ModelHues(const InkModel& model)
{
    std::vector<std::vector<int>> hues;
    std::vector<bool> used(model.colors.size(), false);
    for (const InkChain* chain : {&model.black, &model.cyan, &model.magenta}) {
        std::vector<int> g;
        for (int p = kMaxChain - 1; p >= 0; --p)
            if (chain->planes[p] >= 0) g.push_back(chain->planes[p]), used[static_cast<size_t>(chain->planes[p])] = true;
        if (!g.empty()) hues.push_back(g);
    }
    for (size_t i = 0; i < used.size(); ++i)
        if (!used[i]) hues.push_back({static_cast<int>(i)});
    return hues;
}

// Deals the hues to `count` groups by their work in this band, largest first to the least
// loaded group, so the threads finish a band together. Which group halftones a hue does not
// change its dots: hues are independent.
void BalanceGroups(const std::vector<std::vector<int>>& hues, const std::vector<uint64_t>& work, size_t count,
                   std::vector<InkGroup>& groups)
{
    count = std::max<size_t>(1, std::min(count, hues.size()));
    std::vector<size_t> order(hues.size());
    for (size_t h = 0; h < order.size(); ++h) order[h] = h;
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return work[a] > work[b]; });
    std::vector<uint64_t> load(count, 0);
    std::vector<std::vector<size_t>> dealt(count);
    for (size_t h : order) {
        const size_t g = static_cast<size_t>(std::min_element(load.begin(), load.end()) - load.begin());
        load[g] += work[h];
        dealt[g].push_back(h);
    }
    groups.assign(count, InkGroup{});
    for (size_t g = 0; g < count; ++g) {
        std::sort(dealt[g].begin(), dealt[g].end());
        for (size_t h : dealt[g])
            for (int p : hues[h]) groups[g].planes.push_back(p), groups[g].hues.push_back(static_cast<int>(h));
    }
}
}  // namespace

PageSettings PageSettingsFromStore(const CPrintEnv& store, int modelId, double resX, double resY, int width,
                                   int height)
{
    PageSettings s;
    s.modelId = modelId;
    s.resX = resX, s.resY = resY;
    s.width = width, s.height = height;
    // Model 2's device parameters write both from the print method when the driver is created.
    s.bits = store.GetInt(PrEnv_BitsPerPixel.pszKey, 2) <= 1 ? 1 : 2;
    s.inkLevels = store.GetInt(PrEnv_InkLevels.pszKey, 3);
    CStringList fields;
    const CString method = store.GetString(PrEnv_PrintMethod);
    Split(store.GetString((CString("$Parms$") + method).GetString(), ""), ",", &fields, 1);
    s.singleDotSize = fields.GetCount() >= kSingleDotField && Atoi(fields.GetAt(kSingleDotField - 1)) != 0;
    const char* prefix = modelId == 1 ? "DP1_" : "DP2_";
    s.blackInkMode = store.GetInt((std::string(prefix) + "inkMode").c_str(), 0);
    s.media = store.GetString((std::string(prefix) + "strPaperTyp").c_str(), "").str();
    s.glossOptimizer = modelId == 1 && store.GetInt("GlossOptimizer", 0) != 0;
    return s;
}

std::vector<int> ModelInks(int modelId) { return InkModelFor(modelId).colors; }

struct PageRip::Impl {
    Impl(const PageSettings& s, RowSink& sink)
        : settings(s), sink(sink), model(InkModelFor(s.modelId)), table(model, SeparationOptions{s.media, s.glossOptimizer}),
          inks(table.Inks()), inWidth((s.width + s.stepX - 1) / s.stepX), rowBytes((s.width * s.bits + 7) / 8),
          hues(ModelHues(model)),
          threads(s.threads > 0 ? s.threads : std::max(1, static_cast<int>(std::thread::hardware_concurrency())))
    {
        const DropLevels levels = MakeDropLevels(model.drops, s.bits, s.inkLevels, s.singleDotSize);
        for (int i = 0; i < inks; ++i)
            halftoners.emplace_back(s.halftone, levels, s.width, s.stepX, s.seed * 0x9e3779b9U + static_cast<uint32_t>(i) * 7919U);
        rgb.resize(static_cast<size_t>(kBandRows) * static_cast<size_t>(inWidth) * 3);
        amounts.resize(static_cast<size_t>(inks) * kBandRows * static_cast<size_t>(inWidth));
        const size_t outRows = static_cast<size_t>(kBandRows) * static_cast<size_t>(s.stepY);
        values.resize(static_cast<size_t>(inks) * static_cast<size_t>(s.width));
        for (int b = 0; b < 2; ++b) {
            packed[b].resize(static_cast<size_t>(inks) * outRows * static_cast<size_t>(rowBytes));
            inked[b].resize(static_cast<size_t>(inks) * outRows);
        }
    }

    bool ProcessBand();
    bool Emit(int buffer, int rows, int firstRow);
    bool WaitForEmission();

    PageSettings settings;
    RowSink& sink;
    const InkModel& model;
    SeparationTable table;
    int inks, inWidth, rowBytes;
    std::vector<std::vector<int>> hues;
    std::vector<InkGroup> groups;              // this band's hues per thread
    int threads;
    std::vector<InkHalftoner> halftoners;
    std::vector<uint16_t> rgb;                 // band input, 16-bit RGB
    std::vector<uint16_t> amounts;             // [ink][row][x]
    std::vector<uint8_t> values;               // one row of values per plane
    // Two bands of output: one goes to the sink while the next is halftoned.
    std::vector<uint8_t> packed[2];            // [ink][printer row][byte]
    std::vector<uint8_t> inked[2];             // [ink][printer row of the band]: any dot
    int current = 0;                           // the buffer being filled
    std::future<bool> emitting;
    int bandInputRows = 0;                     // input rows in the band
    int inputRows = 0;                         // input rows taken
    int rowsOut = 0;                           // printer rows halftoned
    bool failed = false;
    std::string error;
    double sepSeconds = 0, htSeconds = 0;
};

bool PageRip::Impl::ProcessBand()
{
    const PageSettings& s = settings;
    const int n = bandInputRows;
    bandInputRows = 0;
    const int outRows = std::min(n * s.stepY, s.height - rowsOut);
    if (outRows <= 0) return true;
    const size_t plane = static_cast<size_t>(kBandRows) * static_cast<size_t>(inWidth);
    // Stage times are CPU time, summed over the threads that ran them.
    std::vector<double> spent(std::max<size_t>(static_cast<size_t>(n), hues.size()), 0.0);
    ParallelFor(n, threads, [&](int r) {
        const double t0 = ThreadCpu();
        table.Apply(rgb.data() + static_cast<size_t>(r) * static_cast<size_t>(inWidth) * 3, inWidth,
                    amounts.data() + static_cast<size_t>(r) * static_cast<size_t>(inWidth), plane);
        spent[static_cast<size_t>(r)] = ThreadCpu() - t0;
    });
    for (double& v : spent) sepSeconds += v, v = 0;
    // A hue's work: its inks' pixels (every fourth is enough to judge), those with ink
    // counting four times those without.
    std::vector<uint64_t> work(hues.size(), 0);
    const size_t samples = static_cast<size_t>(n) * static_cast<size_t>(inWidth);
    for (size_t h = 0; h < hues.size(); ++h)
        for (int p : hues[h]) {
            const uint16_t* a = amounts.data() + static_cast<size_t>(p) * plane;
            uint64_t inked = 0;
            for (size_t i = 0; i < samples; i += 4) inked += a[i] != 0;
            work[h] += 4 * inked + (samples / 4 - inked);
        }
    BalanceGroups(hues, work, static_cast<size_t>(threads), groups);
    const size_t planeBytes = static_cast<size_t>(kBandRows) * static_cast<size_t>(s.stepY) * static_cast<size_t>(rowBytes);
    ParallelFor(static_cast<int>(groups.size()), threads, [&](int g) {
        const double t0 = ThreadCpu();
        const InkGroup& group = groups[static_cast<size_t>(g)];
        const size_t n = group.planes.size();
        InkHalftoner* inkHalftoners[kMaxInks];
        const uint16_t* in[kMaxInks];
        uint8_t* out[kMaxInks];
        for (size_t k = 0; k < n; ++k) {
            inkHalftoners[k] = &halftoners[static_cast<size_t>(group.planes[k])];
            out[k] = values.data() + static_cast<size_t>(group.planes[k]) * static_cast<size_t>(s.width);
        }
        for (int r = 0; r < outRows; ++r) {
            const size_t inRow = static_cast<size_t>(r / s.stepY);
            for (size_t k = 0; k < n; ++k)
                in[k] = amounts.data() + static_cast<size_t>(group.planes[k]) * plane + inRow * static_cast<size_t>(inWidth);
            const uint32_t blank = HalftoneInks(inkHalftoners, group.hues.data(), static_cast<int>(n), rowsOut + r, in, out);
            for (size_t k = 0; k < n; ++k) {
                const size_t ink = static_cast<size_t>(group.planes[k]);
                uint8_t* dst = packed[current].data() + ink * planeBytes + static_cast<size_t>(r) * static_cast<size_t>(rowBytes);
                const bool none = (blank >> k) & 1;
                if (none) std::memset(dst, 0, static_cast<size_t>(rowBytes));
                inked[current][ink * kBandRows * static_cast<size_t>(s.stepY) + static_cast<size_t>(r)] =
                    !none && PackRow(out[k], s.width, s.bits, dst);
            }
        }
        spent[static_cast<size_t>(g)] = ThreadCpu() - t0;
    });
    for (double v : spent) htSeconds += v;
    const int buffer = current, first = rowsOut;
    current ^= 1;
    rowsOut += outRows;
    if (!WaitForEmission()) return false;
    if (threads == 1) {
        if (!Emit(buffer, outRows, first)) failed = true;
        return !failed;
    }
    emitting = std::async(std::launch::async, [this, buffer, outRows, first] { return Emit(buffer, outRows, first); });
    return true;
}

bool PageRip::Impl::WaitForEmission()
{
    if (!emitting.valid()) return !failed;
    if (!emitting.get()) failed = true;
    return !failed;
}

// Hands a halftoned band to the sink, row by row.
bool PageRip::Impl::Emit(int buffer, int outRows, int firstRow)
{
    const size_t planeBytes = static_cast<size_t>(kBandRows) * static_cast<size_t>(settings.stepY) * static_cast<size_t>(rowBytes);
    std::vector<const uint8_t*> rows(static_cast<size_t>(inks));
    for (int r = 0; r < outRows; ++r) {
        bool any = false, ok;
        for (int i = 0; i < inks; ++i)
            any = any || inked[buffer][static_cast<size_t>(i) * kBandRows * static_cast<size_t>(settings.stepY) + static_cast<size_t>(r)];
        if (any) {
            for (int i = 0; i < inks; ++i)
                rows[static_cast<size_t>(i)] = packed[buffer].data() + static_cast<size_t>(i) * planeBytes + static_cast<size_t>(r) * static_cast<size_t>(rowBytes);
            ok = sink.DataRow(rows.data());
        } else {
            ok = sink.EmptyRows(1);
        }
        if (!ok) {
            error = "the printer output refused row " + std::to_string(firstRow + r + 1);
            return false;
        }
    }
    return true;
}

PageRip::PageRip(const PageSettings& settings, RowSink& sink) : m(std::make_unique<Impl>(settings, sink)) {}
PageRip::~PageRip()
{
    if (m->emitting.valid()) m->emitting.wait();
}
const PageSettings& PageRip::Settings() const { return m->settings; }
const std::vector<int>& PageRip::Colors() const { return m->model.colors; }
const std::string& PageRip::Error() const { return m->error; }
double PageRip::SeparationSeconds() const { return m->sepSeconds; }
double PageRip::HalftoneSeconds() const { return m->htSeconds; }

bool PageRip::PushRows(const uint8_t* pixels, int rows, PixelFormat format, size_t stride)
{
    if (m->failed) return false;
    const int w = m->inWidth;
    const size_t bpp = format == PixelFormat::kRgb8 ? 3 : format == PixelFormat::kGrey8 ? 1 : 6;
    if (!stride) stride = bpp * static_cast<size_t>(w);
    const int inputRows = (m->settings.height + m->settings.stepY - 1) / m->settings.stepY;
    for (int r = 0; r < rows; ++r) {
        if (m->inputRows++ >= inputRows) {
            m->failed = true;
            m->error = "more rows than the page's " + std::to_string(inputRows);
            return false;
        }
        const uint8_t* src = pixels + static_cast<size_t>(r) * stride;
        uint16_t* dst = m->rgb.data() + static_cast<size_t>(m->bandInputRows) * static_cast<size_t>(w) * 3;
        if (format == PixelFormat::kRgb8) {
            for (size_t i = 0; i < static_cast<size_t>(w) * 3; ++i) dst[i] = static_cast<uint16_t>(src[i] * 257);
        } else if (format == PixelFormat::kGrey8) {
            for (int x = 0; x < w; ++x) dst[3 * x] = dst[3 * x + 1] = dst[3 * x + 2] = static_cast<uint16_t>(src[x] * 257);
        } else {
            std::memcpy(dst, src, static_cast<size_t>(w) * 6);
        }
        if (++m->bandInputRows == kBandRows && !m->ProcessBand()) return false;
    }
    return true;
}

bool PageRip::Finish()
{
    if (m->failed) return false;
    if (m->bandInputRows && !m->ProcessBand()) return false;
    if (!m->WaitForEmission()) return false;
    const int rest = m->settings.height - m->rowsOut;
    if (rest > 0 && !m->sink.EmptyRows(rest)) {
        m->failed = true;
        m->error = "the printer output refused the page's last rows";
        return false;
    }
    m->rowsOut = m->settings.height;
    return true;
}

}  // namespace rip

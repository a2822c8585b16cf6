// Dot-by-dot comparison of a decoded page with the input planes.
#include "decode/Verify.h"

#include <algorithm>
#include <cstring>
#include <cstdio>
#include <iterator>

#include "decode/Inks.h"
#include "decode/PackedDots.h"
#include "decode/StreamDecoder.h"

namespace {
std::string InkLabel(uint8_t ink)
{
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%02X", ink);
    return InkName(ink) + " " + hex;
}

void Sample(InkVerdict& v, size_t max, int32_t row, int32_t col, const VerifyPlane* in, const std::string& what)
{
    if (v.samples.size() >= max) return;
    std::string s = "row " + std::to_string(row) + ", column " + std::to_string(col);
    if (in) {
        const int32_t x = col - in->pageColumn, y = row - in->pageRow;
        if (x >= 0 && y >= 0 && x < in->width && y < in->height)
            s += " (input " + std::to_string(x) + ", " + std::to_string(y) + ")";
    }
    v.samples.push_back(s + ": " + what);
}

std::string CheckPlane(const VerifyPlane& p)
{
    const size_t cells = static_cast<size_t>(std::max(p.width, 0)) * static_cast<size_t>(std::max(p.height, 0));
    const bool packedRows = p.values.empty() && p.packed && (p.bits == 1 || p.bits == 2) &&
                            p.rowBytes >= (static_cast<size_t>(std::max(p.width, 0)) * p.bits + 7) / 8;
    if (p.width < 0 || p.height < 0 || (p.values.size() != cells && !packedRows))
        return "plane of ink " + InkLabel(p.ink) + ": " + std::to_string(p.values.size()) + " values for " +
               std::to_string(p.width) + " x " + std::to_string(p.height) + " pixels";
    if (!p.expectMissing.empty() && p.expectMissing.size() != cells)
        return "plane of ink " + InkLabel(p.ink) + ": the expected-missing marks do not cover its " +
               std::to_string(p.width) + " x " + std::to_string(p.height) + " pixels";
    if (p.pageRow < 0 || p.pageColumn < 0)
        return "plane of ink " + InkLabel(p.ink) + ": negative page position";
    return {};
}

// Input pixel (x, y) as given: 0..3, or anything in a plane of values.
uint8_t InputValue(const VerifyPlane& p, int32_t x, int32_t y)
{
    if (!p.values.empty())
        return p.values[static_cast<size_t>(y) * static_cast<size_t>(p.width) + static_cast<size_t>(x)];
    const uint8_t* row = p.packed + static_cast<size_t>(y) * p.rowBytes;
    const int perByte = 8 / p.bits;
    return static_cast<uint8_t>((row[x / perByte] >> (8 - p.bits * (x % perByte + 1))) & ((1 << p.bits) - 1));
}

// One position: got is the decoded value, hits the times it was laid.
void Judge(InkVerdict& v, const VerifyOptions& o, const VerifyPlane* in, int32_t row, int32_t col, uint8_t got,
           unsigned hits, uint8_t want, bool marked)
{
    if (got) {
        ++v.found;
        if (hits > 1) {
            ++v.multiple;
            Sample(v, o.maxSamples, row, col, in, "printed " + std::to_string(hits) + " times");
        }
    }
    if (want && marked) {
        if (got) {
            ++v.markedPresent;
            Sample(v, o.maxSamples, row, col, in, "printed though expected missing");
        } else {
            ++v.markedMissing;
        }
    } else if (want) {
        ++v.expected;
        if (!got) {
            ++v.missing;
            Sample(v, o.maxSamples, row, col, in, "missing, want " + std::to_string(want));
        } else if (got != want) {
            ++v.wrongValue;
            Sample(v, o.maxSamples, row, col, in, "value " + std::to_string(got) + ", want " + std::to_string(want));
        }
    } else if (got) {
        ++v.extra;
        Sample(v, o.maxSamples, row, col, in, "extra dot of value " + std::to_string(got));
    }
}

// Byte tables from host bytes to the decoded layout: 1-bit pixels as value 1, and 2-bit pixels
// as value 1 when one dot size is expected.
struct Widened {
    uint16_t oneBit[256];
    uint8_t singleSize[256];
    Widened()
    {
        for (unsigned b = 0; b < 256; ++b) {
            oneBit[b] = 0;
            for (int k = 0; k < 8; ++k)
                if (b & (0x80 >> k)) oneBit[b] = static_cast<uint16_t>(oneBit[b] | (1u << (14 - 2 * k)));
            singleSize[b] = static_cast<uint8_t>(packed::Occupied(b) & 0x55);
        }
    }
};

// The wanted values of input row y laid out as a decoded row from column 0, in `want` (zeroed);
// without `whole`, only the pixels after the input's whole bytes. False when the plane holds
// values beyond 3, which only the position-by-position walk reports.
bool WantRow(const VerifyPlane& in, int32_t y, bool singleDotSize, uint8_t* want, bool whole = true)
{
    static const Widened kWiden;
    int32_t x = 0;
    uint8_t* out = want + in.pageColumn / 4;
    if (in.values.empty() && in.pageColumn % 4 == 0) {
        // Whole host bytes at once; the pixels of a last, partial byte one by one below.
        const uint8_t* row = in.packed + static_cast<size_t>(y) * in.rowBytes;
        const int32_t wholeBytes = in.width / (8 / in.bits);
        if (whole && in.bits == 1) {
            for (int32_t j = 0; j < wholeBytes; ++j) {
                out[2 * j] = static_cast<uint8_t>(kWiden.oneBit[row[j]] >> 8);
                out[2 * j + 1] = static_cast<uint8_t>(kWiden.oneBit[row[j]]);
            }
        } else if (whole && singleDotSize) {
            for (int32_t j = 0; j < wholeBytes; ++j) out[j] = kWiden.singleSize[row[j]];
        } else if (whole) {
            std::memcpy(out, row, static_cast<size_t>(wholeBytes));
        }
        x = wholeBytes * (8 / in.bits);
    }
    for (; x < in.width; ++x) {
        const uint8_t v = InputValue(in, x, y);
        if (v > 3) return false;
        packed::SetValue(want, static_cast<size_t>(in.pageColumn + x), singleDotSize ? v != 0 : v);
    }
    return true;
}

// The decoded row, position by position against the input as given.
void WalkRow(InkVerdict& v, const VerifyOptions& o, const VerifyPlane* in, int32_t row, const PlaneRow& got,
             int32_t cols)
{
    const int32_t y = in ? row - in->pageRow : -1;
    const bool inside = in && y >= 0 && y < in->height;
    const uint8_t* marks = inside && !in->expectMissing.empty()
                               ? in->expectMissing.data() + static_cast<size_t>(y) * static_cast<size_t>(in->width)
                               : nullptr;
    for (int32_t col = 0; col < cols; ++col) {
        uint8_t g = 0;
        unsigned hits = 0;
        if (got.values && col >= got.first && col < got.first + got.columns) {
            const size_t at = static_cast<size_t>(col - got.first);
            g = packed::ValueAt(got.values, at);
            hits = g ? (got.hits && got.hits[at] ? got.hits[at] : 1) : 0;
        }
        uint8_t want = 0;
        bool marked = false;
        const int32_t x = col - (in ? in->pageColumn : 0);
        if (inside && x >= 0 && x < in->width) {
            want = InputValue(*in, x, y);
            if (o.singleDotSize) want = want != 0;
            marked = marks && marks[x] != 0;
        }
        Judge(v, o, in, row, col, g, hits, want, marked);
    }
}

// Judges the four positions of byte k of a row where the decoded and wanted bytes differ.
void JudgeByte(InkVerdict& v, const VerifyOptions& o, const VerifyPlane* in, int32_t row, size_t k, uint8_t got,
               uint8_t want, int32_t cols)
{
    for (int i = 0; i < 4; ++i) {
        const int32_t col = static_cast<int32_t>(k * 4) + i;
        if (col >= cols) break;
        const uint8_t g = packed::ValueAt(&got, static_cast<size_t>(i));
        const uint8_t w = packed::ValueAt(&want, static_cast<size_t>(i));
        if (g != w) Judge(v, o, in, row, col, g, g ? 1 : 0, w, false);
    }
}

// Bytes [from, to) of a row: `got` and `want` point at byte `from` (null: all zero there).
// Equal stretches are passed by memcmp; only differing bytes are judged.
void CompareBytes(InkVerdict& v, const VerifyOptions& o, const VerifyPlane* in, int32_t row, const uint8_t* got,
                  const uint8_t* want, size_t from, size_t to, int32_t cols)
{
    constexpr size_t kChunk = 256;
    for (size_t k = from; k < to;) {
        const size_t n = std::min(kChunk, to - k);
        const uint8_t* g = got ? got + (k - from) : nullptr;
        const uint8_t* w = want + (k - from);
        size_t i = 0;
        if (g ? std::memcmp(g, w, n) == 0 : packed::FirstNonZero(w, n) == n) i = n;
        for (; i < n; ++i) {
            const uint8_t gb = g ? g[i] : 0;
            if (gb != w[i]) JudgeByte(v, o, in, row, k + i, gb, w[i], cols);
        }
        k += n;
    }
}

// Judges the rows of one ink in page order, as they become final: decoded and wanted values
// compared a packed byte at a time, positions judged one by one only where they differ.
class InkJudge {
public:
    InkJudge(uint8_t ink, const VerifyPlane* in, const VerifyOptions& o) : m_in(in), m_o(o) { m_v.ink = ink; }

    uint8_t Ink() const { return m_v.ink; }

    // Rows [next, end) of `out` (null: the stream laid no dot of this ink).
    void Rows(const InkPlane* out, int32_t end)
    {
        int32_t rows = out ? out->Height() : 0;
        if (m_in) rows = std::max(rows, m_in->pageRow + m_in->height);
        for (int32_t row = m_next; row < std::min(end, rows); ++row) Row(out ? out->Row(row) : PlaneRow{}, row);
        m_next = std::max(m_next, end);
    }

    // After the last row: positions never judged hold the same dot in both, each a dot found
    // and a dot expected.
    InkVerdict Done(const InkPlane* out)
    {
        const uint64_t positions = out ? out->Positions() : 0;
        m_v.expected += positions - m_v.found;
        m_v.found = positions;
        return m_v;
    }

private:
    void Row(const PlaneRow& got, int32_t row)
    {
        const VerifyPlane* in = m_in;
        int32_t cols = got.values ? got.first + got.columns : 0;
        if (in) cols = std::max(cols, in->pageColumn + in->width);
        const size_t bytes = (static_cast<size_t>(cols) + 3) / 4;
        const int32_t y = in ? row - in->pageRow : -1;
        const bool inside = in && y >= 0 && y < in->height;
        // 2-bit input rows already have the decoded layout: their whole bytes are compared in place.
        const bool direct = inside && in->values.empty() && in->bits == 2 && !m_o.singleDotSize &&
                            in->pageColumn % 4 == 0;
        if (m_want.size() < bytes + 1) m_want.resize(bytes + 1);
        // Zeroed where WantRow does not copy whole bytes of the input row.
        const size_t copied = inside && in->values.empty() && in->pageColumn % 4 == 0
                                  ? static_cast<size_t>(in->width / (8 / in->bits) * (in->bits == 1 ? 2 : 1))
                                  : 0;
        const size_t from = static_cast<size_t>(in ? in->pageColumn / 4 : 0);
        std::memset(m_want.data(), 0, copied ? from : bytes + 1);
        if (copied) std::memset(m_want.data() + from + copied, 0, bytes + 1 - from - copied);
        // Marked positions, positions laid more than once and values beyond 3: judged one by one.
        if ((inside && !in->expectMissing.empty()) || got.hits ||
            (inside && !WantRow(*in, y, m_o.singleDotSize, m_want.data(), !direct))) {
            WalkRow(m_v, m_o, in, row, got, cols);
            return;
        }
        const size_t g0 = std::min(static_cast<size_t>(got.first / 4), bytes);
        const size_t g1 = got.values ? std::min(static_cast<size_t>(got.first + got.columns) / 4, bytes) : g0;
        const size_t w0 = direct ? from : 0, w1 = direct ? from + copied : 0;
        const uint8_t* input = direct ? in->packed + static_cast<size_t>(y) * in->rowBytes : nullptr;
        size_t cuts[] = {0, g0, g1, w0, w1, bytes};
        std::sort(std::begin(cuts), std::end(cuts));
        for (size_t i = 0; i + 1 < std::size(cuts); ++i) {
            const size_t a = cuts[i], b = cuts[i + 1];
            if (a == b) continue;
            const uint8_t* g = a >= g0 && a < g1 ? got.values + (a - g0) : nullptr;
            const uint8_t* w = a >= w0 && a < w1 ? input + (a - w0) : m_want.data() + a;
            CompareBytes(m_v, m_o, in, row, g, w, a, b, cols);
        }
    }

    InkVerdict m_v;
    const VerifyPlane* m_in;
    const VerifyOptions& m_o;
    std::vector<uint8_t> m_want;
    int32_t m_next = 0;  // rows above it are judged
};

InkVerdict Compare(uint8_t ink, const VerifyPlane* in, const InkPlane* out, const VerifyOptions& o)
{
    InkJudge judge(ink, in, o);
    judge.Rows(out, INT32_MAX);
    return judge.Done(out);
}
}  // namespace

VerifyPlane PlaneFromPacked(uint8_t ink, int32_t width, int32_t height, const uint8_t* packed, size_t rowBytes,
                            int bits, int32_t pageRow)
{
    VerifyPlane p;
    p.ink = ink;
    p.width = std::max(width, 0);
    p.height = std::max(height, 0);
    p.pageRow = pageRow;
    p.packed = packed;
    p.rowBytes = rowBytes;
    p.bits = bits;
    return p;
}

bool VerifyReport::Ok() const
{
    if (!error.empty()) return false;
    return std::all_of(inks.begin(), inks.end(), [](const InkVerdict& v) { return v.Ok(); });
}

const InkVerdict* VerifyReport::Ink(uint8_t ink) const
{
    for (const InkVerdict& v : inks)
        if (v.ink == ink) return &v;
    return nullptr;
}

namespace {
// The first fault of the input planes: a plane inconsistent in itself, or two of one ink.
std::string CheckPlanes(const std::vector<VerifyPlane>& planes)
{
    for (size_t i = 0; i < planes.size(); ++i) {
        std::string error = CheckPlane(planes[i]);
        if (!error.empty()) return error;
        for (size_t j = 0; j < i; ++j)
            if (planes[j].ink == planes[i].ink) return "two input planes are printed with ink " + InkLabel(planes[i].ink);
    }
    return {};
}

// A stream without raster data has no page: every input dot is then missing.
std::string CheckPage(const DecodeResult& decoded, const VerifyOptions& options)
{
    if (options.page > 0 && options.page >= decoded.pages.size())
        return "the stream has " + std::to_string(decoded.pages.size()) + " pages, no page " +
               std::to_string(options.page + 1);
    return {};
}

const InkPlane* PlaneOf(const DecodedPage* page, uint8_t ink) { return page ? page->Plane(ink) : nullptr; }

// Judges the rows of the compared page as the decoder finishes them: the input planes' inks
// first, then the inks only the stream has, in their order on the page.
class WindowJudge final : public RowWatcher {
public:
    WindowJudge(const std::vector<VerifyPlane>& planes, const VerifyOptions& o) : m_o(o)
    {
        for (const VerifyPlane& p : planes) m_judges.emplace_back(p.ink, &p, o);
    }

    void RowsFinal(size_t page, const DecodedPage& p, int32_t end) override
    {
        if (page != m_o.page) return;
        for (InkJudge& j : m_judges) j.Rows(p.Plane(j.Ink()), end);
        for (const InkPlane& out : p.planes) {
            if (std::any_of(m_judges.begin(), m_judges.end(), [&](const InkJudge& j) { return j.Ink() == out.Ink(); }))
                continue;
            m_judges.emplace_back(out.Ink(), nullptr, m_o);
            m_judges.back().Rows(&out, end);
        }
    }

    void Report(const DecodeResult& decoded, VerifyReport& report)
    {
        const DecodedPage* page = m_o.page < decoded.pages.size() ? &decoded.pages[m_o.page] : nullptr;
        for (InkJudge& j : m_judges) {
            j.Rows(PlaneOf(page, j.Ink()), INT32_MAX);  // a page that never came: every input dot missing
            report.inks.push_back(j.Done(PlaneOf(page, j.Ink())));
        }
    }

private:
    const VerifyOptions& m_o;
    std::vector<InkJudge> m_judges;
};
}  // namespace

VerifyReport VerifyDots(const DecodeResult& decoded, const std::vector<VerifyPlane>& planes,
                        const VerifyOptions& options)
{
    VerifyReport report;
    if (decoded.error) {
        report.error = "the stream does not decode: " + decoded.error->Text();
        return report;
    }
    report.error = CheckPlanes(planes);
    if (report.error.empty()) report.error = CheckPage(decoded, options);
    if (!report.error.empty()) return report;
    const DecodedPage* page = options.page < decoded.pages.size() ? &decoded.pages[options.page] : nullptr;
    for (const VerifyPlane& p : planes) report.inks.push_back(Compare(p.ink, &p, PlaneOf(page, p.ink), options));
    if (page)
        for (const InkPlane& out : page->planes)
            if (!report.Ink(out.Ink())) report.inks.push_back(Compare(out.Ink(), nullptr, &out, options));
    return report;
}

VerifyReport VerifyStream(const uint8_t* data, size_t n, const std::vector<VerifyPlane>& planes,
                          const VerifyOptions& options, const DecodeOptions& decodeOptions, DecodeResult* decoded)
{
    DecodeResult own;
    DecodeResult& d = decoded ? *decoded : own;
    VerifyReport report;
    const std::string planesError = CheckPlanes(planes);
    // Planes that are not what they say are never read: the window then only decodes.
    const std::vector<VerifyPlane> none;
    WindowJudge judge(planesError.empty() ? planes : none, options);
    try {
        DecodeWatched(data, n, decodeOptions, d, &judge);
    } catch (const RowsReopened&) {
        d = Decode(data, n, decodeOptions);
        return VerifyDots(d, planes, options);
    }
    if (d.error) {
        report.error = "the stream does not decode: " + d.error->Text();
        return report;
    }
    report.error = planesError.empty() ? CheckPage(d, options) : planesError;
    if (report.error.empty()) judge.Report(d, report);
    return report;
}

std::string FormatVerifyReport(const VerifyReport& report)
{
    if (!report.error.empty()) return "verify: " + report.error + "\n";
    std::string out;
    char line[200];
    std::snprintf(line, sizeof line, "%-9s %12s %12s %9s %9s %9s %9s %15s\n", "ink", "expected", "found", "missing",
                  "extra", "wrong", "multiple", "marked missing");
    out += line;
    for (const InkVerdict& v : report.inks) {
        const std::string marked = std::to_string(v.markedMissing) + "/" + std::to_string(v.markedMissing + v.markedPresent);
        std::snprintf(line, sizeof line, "%-9s %12llu %12llu %9llu %9llu %9llu %9llu %15s\n", InkLabel(v.ink).c_str(),
                      static_cast<unsigned long long>(v.expected), static_cast<unsigned long long>(v.found),
                      static_cast<unsigned long long>(v.missing), static_cast<unsigned long long>(v.extra),
                      static_cast<unsigned long long>(v.wrongValue), static_cast<unsigned long long>(v.multiple),
                      marked.c_str());
        out += line;
    }
    out += report.Ok() ? "every dot printed exactly once\n" : "FAILED: not every dot printed exactly once\n";
    for (const InkVerdict& v : report.inks)
        for (const std::string& s : v.samples) out += "  " + InkLabel(v.ink) + ": " + s + "\n";
    return out;
}

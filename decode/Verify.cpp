// Dot-by-dot comparison of a decoded page with the input planes.
#include "decode/Verify.h"

#include <algorithm>
#include <cstring>
#include <cstdio>

#include "decode/Inks.h"

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
    if (p.width < 0 || p.height < 0 || p.values.size() != cells)
        return "plane of ink " + InkLabel(p.ink) + ": " + std::to_string(p.values.size()) + " values for " +
               std::to_string(p.width) + " x " + std::to_string(p.height) + " pixels";
    if (!p.expectMissing.empty() && p.expectMissing.size() != cells)
        return "plane of ink " + InkLabel(p.ink) + ": the expected-missing marks do not cover its " +
               std::to_string(p.width) + " x " + std::to_string(p.height) + " pixels";
    if (p.pageRow < 0 || p.pageColumn < 0)
        return "plane of ink " + InkLabel(p.ink) + ": negative page position";
    return {};
}

// One position: got is the decoded cell (value in bits 0-1, times printed in bits 2-7).
void Judge(InkVerdict& v, const VerifyOptions& o, const VerifyPlane* in, int32_t row, int32_t col, uint8_t cell,
           uint8_t want, bool marked)
{
    const uint8_t got = cell & 3;
    if (got) {
        ++v.found;
        const uint8_t hits = cell >> 2;
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

// A row where every position holds the cell a single printing of its wanted value leaves:
// compared eight cells at a time, only differing positions judged one by one.
void CompareRow(InkVerdict& v, const VerifyOptions& o, const VerifyPlane* in, int32_t row, const uint8_t* got,
                const uint8_t* expect, int32_t cols)
{
    constexpr uint64_t kPrinted = 0x0404040404040404ull;  // the once-printed bit of eight cells
    int32_t col = 0;
    for (; col + 8 <= cols; col += 8) {
        uint64_t a, e;
        std::memcpy(&a, got + col, 8);
        std::memcpy(&e, expect + col, 8);
        if (a == e) {
            // The printed bits summed by a multiply: the count lands in the top byte.
            const uint64_t n = (((e & kPrinted) >> 2) * 0x0101010101010101ull) >> 56;
            v.found += n;
            v.expected += n;
            continue;
        }
        for (int32_t c = col; c < col + 8; ++c) Judge(v, o, in, row, c, got[c], expect[c] & 3, false);
    }
    for (; col < cols; ++col) Judge(v, o, in, row, col, got[col], expect[col] & 3, false);
}

// Walks every position that the input or the decoded plane covers.
InkVerdict Compare(uint8_t ink, const VerifyPlane* in, const InkPlane* out, const VerifyOptions& o)
{
    InkVerdict v;
    v.ink = ink;
    int32_t rows = out ? out->Height() : 0, cols = out ? out->Width() : 0;
    if (in) {
        rows = std::max(rows, in->pageRow + in->height);
        cols = std::max(cols, in->pageColumn + in->width);
    }
    const size_t width = static_cast<size_t>(cols);
    std::vector<uint8_t> got(width), want(width);
    for (int32_t row = 0; row < rows; ++row) {
        std::fill(got.begin(), got.end(), 0);
        int32_t first = 0;
        size_t n = 0;
        const uint8_t* cells = out ? out->RowCells(row, &first, &n) : nullptr;
        if (cells) {
            const int64_t to = std::min<int64_t>(first + static_cast<int64_t>(n), cols);
            if (to > first) std::memcpy(got.data() + first, cells, static_cast<size_t>(to - first));
        }
        std::fill(want.begin(), want.end(), 0);
        const int32_t y = in ? row - in->pageRow : -1;
        const uint8_t* marks = nullptr;
        uint8_t any = 0;
        if (in && y >= 0 && y < in->height) {
            const size_t at = static_cast<size_t>(y) * static_cast<size_t>(in->width);
            const uint8_t* src = in->values.data() + at;
            uint8_t* dst = want.data() + in->pageColumn;
            // The cell a single printing of each value leaves; the value itself for the plain walk.
            uint8_t cellOf[4] = {0, 5, 6, 7};
            if (o.singleDotSize) cellOf[2] = cellOf[3] = 5;
            for (int32_t x = 0; x < in->width; ++x) any |= src[x];
            if (!in->expectMissing.empty() || any > 3)
                for (int32_t x = 0; x < in->width; ++x) dst[x] = o.singleDotSize ? src[x] != 0 : src[x];
            else
                for (int32_t x = 0; x < in->width; ++x) dst[x] = cellOf[src[x]];
            if (!in->expectMissing.empty()) marks = in->expectMissing.data() + at;
        }
        if (marks || any > 3) {
            // Marked or out-of-range values: the plain walk, position by position.
            for (int32_t col = 0; col < cols; ++col) {
                const int32_t x = col - (in ? in->pageColumn : 0);
                const bool marked = marks && x >= 0 && x < in->width && marks[x] != 0;
                Judge(v, o, in, row, col, got[static_cast<size_t>(col)], want[static_cast<size_t>(col)], marked);
            }
            continue;
        }
        CompareRow(v, o, in, row, got.data(), want.data(), cols);
    }
    return v;
}
// Whole bytes a pixel group at a time, then the pixels of the last, partial byte.
template <int Bits>
void UnpackRow(const uint8_t* row, int32_t width, uint8_t* out)
{
    constexpr int kPerByte = 8 / Bits;
    constexpr unsigned kMask = (1u << Bits) - 1;
    const int32_t whole = width / kPerByte;
    for (int32_t j = 0; j < whole; ++j, out += kPerByte)
        for (int k = 0; k < kPerByte; ++k) out[k] = static_cast<uint8_t>((row[j] >> (8 - Bits * (k + 1))) & kMask);
    for (int k = 0; k < width % kPerByte; ++k)
        out[k] = static_cast<uint8_t>((row[whole] >> (8 - Bits * (k + 1))) & kMask);
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
    p.values.assign(static_cast<size_t>(p.width) * static_cast<size_t>(p.height), 0);
    for (int32_t y = 0; y < p.height; ++y) {
        uint8_t* out = p.values.data() + static_cast<size_t>(y) * static_cast<size_t>(p.width);
        const uint8_t* row = packed + static_cast<size_t>(y) * rowBytes;
        if (bits == 1) UnpackRow<1>(row, p.width, out);
        else UnpackRow<2>(row, p.width, out);
    }
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

VerifyReport VerifyDots(const DecodeResult& decoded, const std::vector<VerifyPlane>& planes,
                        const VerifyOptions& options)
{
    VerifyReport report;
    if (decoded.error) {
        report.error = "the stream does not decode: " + decoded.error->Text();
        return report;
    }
    for (size_t i = 0; i < planes.size(); ++i) {
        report.error = CheckPlane(planes[i]);
        if (!report.error.empty()) return report;
        for (size_t j = 0; j < i; ++j)
            if (planes[j].ink == planes[i].ink) {
                report.error = "two input planes are printed with ink " + InkLabel(planes[i].ink);
                return report;
            }
    }
    // A stream without raster data has no page: every input dot is then missing.
    if (options.page > 0 && options.page >= decoded.pages.size()) {
        report.error = "the stream has " + std::to_string(decoded.pages.size()) + " pages, no page " +
                       std::to_string(options.page + 1);
        return report;
    }
    const DecodedPage* page = options.page < decoded.pages.size() ? &decoded.pages[options.page] : nullptr;
    for (const VerifyPlane& p : planes)
        report.inks.push_back(Compare(p.ink, &p, page ? page->Plane(p.ink) : nullptr, options));
    if (page)
        for (const InkPlane& out : page->planes)
            if (!report.Ink(out.Ink())) report.inks.push_back(Compare(out.Ink(), nullptr, &out, options));
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

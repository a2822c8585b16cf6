// Dot-by-dot comparison of a decoded page with the input planes.
#include "decode/Verify.h"

#include <algorithm>
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
    std::vector<uint8_t> line(static_cast<size_t>(cols), 0);
    for (int32_t row = 0; row < rows; ++row) {
        if (out) out->CopyRow(row, cols, line.data());
        const int32_t y = in ? row - in->pageRow : -1;
        const bool inRow = in && y >= 0 && y < in->height;
        for (int32_t col = 0; col < cols; ++col) {
            const uint8_t got = line[static_cast<size_t>(col)];
            const int32_t x = in ? col - in->pageColumn : -1;
            uint8_t want = 0;
            bool marked = false;
            if (inRow && x >= 0 && x < in->width) {
                const size_t at = static_cast<size_t>(y) * static_cast<size_t>(in->width) + static_cast<size_t>(x);
                want = in->values[at];
                marked = !in->expectMissing.empty() && in->expectMissing[at] != 0;
                if (want && o.singleDotSize) want = 1;
            }
            if (got) {
                ++v.found;
                const uint8_t hits = out->Hits(row, col);
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
                    Sample(v, o.maxSamples, row, col, in,
                           "value " + std::to_string(got) + ", want " + std::to_string(want));
                }
            } else if (got) {
                ++v.extra;
                Sample(v, o.maxSamples, row, col, in, "extra dot of value " + std::to_string(got));
            }
        }
    }
    return v;
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
    const int perByte = bits == 1 ? 8 : 4;
    const int shiftBits = bits == 1 ? 1 : 2;
    const uint8_t mask = bits == 1 ? 1 : 3;
    for (int32_t y = 0; y < p.height; ++y) {
        const uint8_t* row = packed + static_cast<size_t>(y) * rowBytes;
        for (int32_t x = 0; x < p.width; ++x)
            p.values[static_cast<size_t>(y) * static_cast<size_t>(p.width) + static_cast<size_t>(x)] =
                static_cast<uint8_t>((row[x / perByte] >> (8 - (x % perByte + 1) * shiftBits)) & mask);
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

// ESC i raster blocks: header, raw or PackBits data, and the dots they lay on the page.
#include <algorithm>
#include <cstdio>

#include "decode/Hex.h"
#include "decode/Inks.h"
#include "decode/PackBits.h"
#include "decode/StreamDecoder.h"

namespace {
std::string Num(int64_t v) { return std::to_string(v); }

std::string Ordinal(int64_t v)
{
    if (v == 1) return "every";
    const char* suffix = (v % 100 >= 11 && v % 100 <= 13) ? "th"
                         : v % 10 == 1                   ? "st"
                         : v % 10 == 2                   ? "nd"
                         : v % 10 == 3                   ? "rd"
                                                         : "th";
    return "every " + Num(v) + suffix;
}
}  // namespace

// Page rows between the raster lines of a block: the nozzle pitch in vertical units.
int32_t StreamDecoder::RowStep() const
{
    if (m_s.microWeave) return 1;
    const int64_t num = int64_t{m_s.nozzlePitch} * m_s.unitBase;
    const int64_t den = int64_t{m_s.resBase} * m_s.vertUnit;
    if (num % den != 0 || num / den < 1)
        Fail("the nozzle pitch (" + Num(m_s.nozzlePitch) + "/" + Num(m_s.resBase) +
             " inch) is not a whole number of vertical units");
    return static_cast<int32_t>(num / den);
}

// Page columns between the pixels of a raster line: the dot pitch in horizontal units.
int32_t StreamDecoder::ColumnStep() const
{
    const int64_t num = int64_t{m_s.dotPitch} * m_s.unitBase;
    const int64_t den = int64_t{m_s.resBase} * m_s.horizUnit;
    if (num % den != 0 || num / den < 1)
        Fail("the dot pitch (" + Num(m_s.dotPitch) + "/" + Num(m_s.resBase) +
             " inch) is not a whole number of horizontal units");
    return static_cast<int32_t>(num / den);
}

DecodedPage& StreamDecoder::PageForBlock()
{
    if (m_page < 0) {
        m_listingBytes += 2 * sizeof(DecodedPage);
        m_r.pages.emplace_back();
        m_page = static_cast<int>(m_r.pages.size()) - 1;
        DecodedPage& page = m_r.pages.back();
        page.dpiX = static_cast<int32_t>(m_s.unitBase / m_s.horizUnit);
        page.dpiY = static_cast<int32_t>(m_s.unitBase / m_s.vertUnit);
        page.feeds = m_pendingFeeds;
        page.feedLines = m_pendingFeedLines;
        if (m_s.paperWidth > 0)
            page.paperColumns = static_cast<int32_t>(
                std::min<int64_t>(m_s.paperWidth * m_s.pageUnit / m_s.horizUnit, INT32_MAX));
        if (m_s.paperLength > 0)
            page.paperRows = static_cast<int32_t>(
                std::min<int64_t>(m_s.paperLength * m_s.pageUnit / m_s.vertUnit, INT32_MAX));
    }
    DecodedPage& page = m_r.pages[m_page];
    if (page.dpiX != static_cast<int32_t>(m_s.unitBase / m_s.horizUnit) ||
        page.dpiY != static_cast<int32_t>(m_s.unitBase / m_s.vertUnit))
        Warn("the units changed within the page");
    return page;
}

// A head pass is one sweep: blocks at one vertical position, each ink at most once.
uint32_t StreamDecoder::PassForBlock(uint8_t ink)
{
    const bool sameSweep = m_passOpen && m_passRow == m_s.row &&
                           std::find(m_passInks.begin(), m_passInks.end(), ink) == m_passInks.end();
    if (!sameSweep) {
        m_passOpen = true;
        m_passRow = m_s.row;
        m_passInks.clear();
        ++m_passes;
        ++m_r.pages[m_page].passes;
    }
    m_passInks.push_back(ink);
    return m_passes - 1;
}

InkPlane& StreamDecoder::PlaneFor(DecodedPage& page, uint8_t ink)
{
    for (InkPlane& p : page.planes)
        if (p.Ink() == ink) return p;
    m_listingBytes += 2 * sizeof(InkPlane);
    page.planes.emplace_back(ink, m_opt.trackOrigins, m_arena);
    return page.planes.back();
}

void StreamDecoder::Raster()
{
    m_cmdName = "ESC i";
    Need(9, "ESC i header");
    const uint8_t* h = m_d + m_pos;
    RasterBlock b;
    b.ink = h[2];
    b.compression = h[3];
    b.bitsPerPixel = h[4];
    b.bytesPerLine = h[5] | (h[6] << 8);
    b.lines = h[7] | (h[8] << 8);
    if (b.compression > 1) Fail("compression mode " + Num(b.compression) + " is not supported");
    if (b.bitsPerPixel != 1 && b.bitsPerPixel != 2)
        Fail("bits per pixel must be 1 or 2, not " + Num(b.bitsPerPixel));
    if (!m_s.unitsSet) Fail("raster data before ESC ( U set the units");
    if (!m_s.resolutionSet) Fail("raster data before ESC ( D set the raster resolution");

    const size_t want = static_cast<size_t>(b.bytesPerLine) * b.lines;
    const size_t dataAt = m_pos + 9;
    const size_t left = m_n - dataAt;
    const uint8_t* data = m_d + dataAt;
    if (b.compression == 0) {
        if (left < want)
            Fail("truncated: raster data needs " + Num(static_cast<int64_t>(want)) + " bytes, " +
                 Num(static_cast<int64_t>(left)) + " left");
        b.dataBytes = want;
    } else {
        if (want > m_opt.maxBlockBytes)
            Fail("the block unpacks to " + Num(static_cast<int64_t>(want)) + " bytes, more than the " +
                 Num(static_cast<int64_t>(m_opt.maxBlockBytes)) + " the decoder takes");
        const UnpackResult u = UnpackBits(data, left, want, m_unpacked);
        char where[40];
        std::snprintf(where, sizeof where, " (count byte at offset 0x%06zx)", dataAt + u.consumed);
        switch (u.status) {
        case UnpackStatus::Ok: break;
        case UnpackStatus::Truncated:
            Fail("truncated: PackBits data ends after " + Num(static_cast<int64_t>(m_unpacked.size())) + " of " +
                 Num(static_cast<int64_t>(want)) + " bytes");
        case UnpackStatus::Overflow: Fail(std::string("PackBits run overflows the block") + where);
        case UnpackStatus::Count80: Fail(std::string("PackBits count byte 0x80 is not allowed") + where);
        }
        b.dataBytes = u.consumed;
        data = m_unpacked.data();
    }
    b.rowStep = RowStep();
    b.columnStep = ColumnStep();
    b.row = static_cast<int32_t>(m_s.row);
    b.column = static_cast<int32_t>(m_s.column);
    m_pos = dataAt + b.dataBytes;

    if (b.lines > 180) Warn("block of " + Num(b.lines) + " lines is taller than the 180-nozzle head");
    DecodedPage& page = PageForBlock();
    b.page = m_page;
    b.pass = PassForBlock(b.ink);
    const int pixelsPerLine = b.bytesPerLine * 8 / b.bitsPerPixel;
    LayBlock(b, data);
    InkPlane& plane = PlaneFor(page, b.ink);
    plane.SetBitsPerPixel(b.bitsPerPixel);
    // The head ends up past the block; the carriage return that follows brings it back.
    m_s.column = std::min<int64_t>(m_s.column + int64_t{pixelsPerLine} * b.columnStep, m_opt.maxColumns - 1);

    b.command = Emit("ESC i", "ink " + InkName(b.ink) + " " + Hex2(b.ink) + ", " +
                                  (b.compression ? "PackBits" : "raw") + ", " + Num(b.bitsPerPixel) + " bpp, " +
                                  Num(b.bytesPerLine) + " bytes x " + Num(b.lines) + " lines (" +
                                  Num(static_cast<int64_t>(b.dataBytes)) + " data bytes) at row " + Num(b.row) +
                                  ", column " + Num(b.column) + ", " + Ordinal(b.rowStep) + " row, " +
                                  Ordinal(b.columnStep) + " column, pass " + Num(b.pass) + ", " +
                                  Num(static_cast<int64_t>(b.dots)) + " dots");
    m_listingBytes += 2 * sizeof(RasterBlock);
    m_r.blocks.push_back(b);
}

void StreamDecoder::LayBlock(RasterBlock& b, const uint8_t* data)
{
    const int bpp = b.bitsPerPixel;
    // First pass: the extent of the dots, so that a block outside the limits lays nothing.
    int64_t maxRow = -1, maxCol = -1;
    m_spans.resize(static_cast<size_t>(b.lines));
    for (int r = 0; r < b.lines; ++r) {
        const uint8_t* line = data + static_cast<size_t>(r) * b.bytesPerLine;
        const PixelSpan s = m_spans[r] = LineSpan(line, b.bytesPerLine, bpp);
        if (s.first < 0) continue;
        maxRow = b.row + int64_t{r} * b.rowStep;
        maxCol = std::max(maxCol, b.column + int64_t{s.last} * b.columnStep);
    }
    if (maxRow < 0) return;
    if (maxRow >= m_opt.maxRows || maxCol >= m_opt.maxColumns)
        Fail("dot at row " + Num(maxRow) + ", column " + Num(maxCol) + " is outside the page limits (" +
             Num(m_opt.maxRows) + " rows, " + Num(m_opt.maxColumns) + " columns)");
    DecodedPage& page = m_r.pages[m_page];
    const int64_t widest = static_cast<int64_t>(m_opt.maxPaperWidthMm * page.dpiX / 25.4 + 0.5);
    const int64_t longest = static_cast<int64_t>(m_opt.maxPaperLengthMm * page.dpiY / 25.4 + 0.5);
    if (maxCol >= widest)
        Fail("dot at column " + Num(maxCol) + " is beyond the widest medium the printer takes (" +
             Num(widest) + " columns at " + Num(page.dpiX) + " dpi)");
    if (maxRow >= longest)
        Fail("dot at row " + Num(maxRow) + " is beyond the longest page the printer takes (" + Num(longest) +
             " rows at " + Num(page.dpiY) + " dpi)");
    if (page.paperColumns > 0 && maxCol >= page.paperColumns)
        Warn("dots beyond the paper width (column " + Num(maxCol) + " of " + Num(page.paperColumns) + ")");
    if (m_s.formatSet) {
        const int64_t rows = (m_s.formatBottom - m_s.formatTop) * m_s.pageUnit / m_s.vertUnit;
        if (maxRow >= rows) Warn("dots below the bottom margin (row " + Num(maxRow) + " of " + Num(rows) + ")");
    }

    InkPlane& plane = PlaneFor(page, b.ink);
    // Rows never grow past the widest medium: no dot may lie beyond it.
    const int32_t rowLimit = static_cast<int32_t>(std::min<int64_t>(widest, m_opt.maxColumns));
    // Each line's row span grows once, to its leftmost and then its rightmost dot.
    for (int r = 0; r < b.lines; ++r) {
        const uint8_t* line = data + static_cast<size_t>(r) * b.bytesPerLine;
        const PixelSpan s = m_spans[r];
        if (s.first < 0) continue;
        const int32_t row = static_cast<int32_t>(b.row + int64_t{r} * b.rowStep);
        for (const int pixel : {s.first, s.last}) {
            const int32_t col = static_cast<int32_t>(b.column + int64_t{pixel} * b.columnStep);
            const uint64_t cost = plane.GrowthCost(row, col, rowLimit);
            if (!cost) continue;
            ChargePlaneBytes(cost);
            const uint64_t moved = plane.Reserve(row, col, rowLimit);
            // With a watcher the page is a window of rows: what it gives back is free again.
            if (m_watcher) m_planeBytes -= moved;
        }
        const LaidLine laid = plane.LayLine(row, static_cast<int32_t>(b.column), b.columnStep, line, bpp, s,
                                            DotOrigin{b.pass, static_cast<uint16_t>(r)});
        b.dots += laid.dots;
        // A first double printing in a row adds its times-laid record: at most one row over the bound.
        if (laid.grownBytes) ChargePlaneBytes(laid.grownBytes);
    }
}

void StreamDecoder::ChargePlaneBytes(uint64_t bytes)
{
    if (m_planeBytes + bytes > m_opt.maxPlaneBytes)
        Fail("the page planes would need more than " + Num(static_cast<int64_t>(m_opt.maxPlaneBytes)) + " bytes");
    m_planeBytes += bytes;
}

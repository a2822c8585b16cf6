// Storage of one ink's dots: rows allocated on demand, each spanning only the columns between
// its leftmost and rightmost dots (with room to grow).
#include "decode/InkPlane.h"

#include <algorithm>
#include <cstring>

uint8_t InkPlane::Cell(int32_t row, int32_t col) const
{
    if (row < 0 || col < 0 || static_cast<size_t>(row) >= m_rows.size()) return 0;
    const Row& r = m_rows[row];
    return col >= r.first && static_cast<size_t>(col - r.first) < r.cells.size() ? r.cells[col - r.first] : 0;
}

std::optional<DotOrigin> InkPlane::Origin(int32_t row, int32_t col) const
{
    if (!m_trackOrigins || Hits(row, col) == 0) return std::nullopt;
    return m_rows[row].origins[col - m_rows[row].first];
}

const uint8_t* InkPlane::RowCells(int32_t row, int32_t* first, size_t* n) const
{
    *first = 0;
    *n = 0;
    if (row < 0 || static_cast<size_t>(row) >= m_rows.size() || m_rows[row].cells.empty()) return nullptr;
    *first = m_rows[row].first;
    *n = m_rows[row].cells.size();
    return m_rows[row].cells.data();
}

std::vector<uint8_t> InkPlane::Values(int32_t width, int32_t height) const
{
    std::vector<uint8_t> out(static_cast<size_t>(std::max(width, 0)) * std::max(height, 0));
    for (int32_t y = 0; y < height; ++y) CopyRow(y, width, out.data() + static_cast<size_t>(y) * width);
    return out;
}

void InkPlane::CopyRow(int32_t row, int32_t firstColumn, int32_t width, uint8_t* out) const
{
    std::memset(out, 0, static_cast<size_t>(std::max(width, 0)));
    int32_t first = 0;
    size_t n = 0;
    const uint8_t* cells = RowCells(row, &first, &n);
    const int64_t from = std::max<int64_t>(firstColumn, first);
    const int64_t to = std::min<int64_t>(int64_t{firstColumn} + std::max(width, 0), first + static_cast<int64_t>(n));
    for (int64_t x = from; x < to; ++x) out[x - firstColumn] = cells[x - first] & 3;
}

// Rows grow geometrically, to either side, so that a row filled in any order costs amortised
// constant time per dot; a row holds the columns [first, end).
InkPlane::Span InkPlane::Grown(const Row& r, int32_t col, int32_t maxColumns) const
{
    const int64_t have = static_cast<int64_t>(r.cells.size());
    const int64_t limit = std::max(maxColumns, col + 1);
    if (have == 0) return {col, static_cast<int32_t>(std::min<int64_t>(int64_t{col} + kFirstSpan, limit))};
    Span s{r.first, static_cast<int32_t>(r.first + have)};
    if (col >= s.end) s.end = static_cast<int32_t>(std::min<int64_t>(std::max<int64_t>(col + 1, r.first + 2 * have), limit));
    if (col < s.first) s.first = static_cast<int32_t>(std::max<int64_t>(0, std::min<int64_t>(col, r.first - have)));
    return s;
}

uint64_t InkPlane::GrowthCost(int32_t row, int32_t col, int32_t maxColumns) const
{
    const size_t rows = m_rows.size();
    if (static_cast<size_t>(row) >= rows) {
        const Span s = Grown(Row{}, col, maxColumns);
        return (static_cast<uint64_t>(row) + 1 - rows) * sizeof(Row) + static_cast<uint64_t>(s.end - s.first) * CellBytes();
    }
    const Row& r = m_rows[row];
    const Span s = Grown(r, col, maxColumns);
    return static_cast<uint64_t>(int64_t{s.end} - s.first - static_cast<int64_t>(r.cells.size())) * CellBytes();
}

uint64_t InkPlane::Reserve(int32_t row, int32_t col, int32_t maxColumns)
{
    const uint64_t cost = GrowthCost(row, col, maxColumns);
    if (cost == 0) return 0;
    if (static_cast<size_t>(row) >= m_rows.size()) m_rows.resize(static_cast<size_t>(row) + 1);
    Row& r = m_rows[row];
    const Span s = Grown(r, col, maxColumns);
    const size_t before = r.cells.empty() ? 0 : static_cast<size_t>(r.first - s.first);
    const size_t width = static_cast<size_t>(s.end - s.first);
    r.cells.reserve(width);
    r.cells.insert(r.cells.begin(), before, 0);
    r.cells.resize(width, 0);
    if (m_trackOrigins) {
        r.origins.reserve(width);
        r.origins.insert(r.origins.begin(), before, DotOrigin{});
        r.origins.resize(width);
    }
    r.first = s.first;
    return cost;
}

// One tight loop per line: the cells of a row are contiguous, so pixel i of the line is cell
// at + i * step. Counters stay in registers and are stored once.
template <int Bpp>
uint64_t InkPlane::LayPixels(Row& r, int64_t at, int32_t step, const uint8_t* line, int bytes, DotOrigin origin,
                             int64_t& lo, int64_t& hi)
{
    constexpr int kPerByte = 8 / Bpp;
    constexpr unsigned kMask = (1u << Bpp) - 1;
    uint8_t* cells = r.cells.data();
    DotOrigin* origins = m_trackOrigins ? r.origins.data() : nullptr;
    uint64_t dots[4] = {0, 0, 0, 0}, positions = 0, multiply = 0;
    for (int j = 0; j < bytes; ++j, at += int64_t{kPerByte} * step) {
        // Blank stretches, common in sparse pages, are passed eight bytes at a time.
        uint64_t word;
        while (j + 8 <= bytes && (std::memcpy(&word, line + j, 8), word == 0)) {
            j += 8;
            at += int64_t{8 * kPerByte} * step;
        }
        if (j >= bytes) break;
        const unsigned byte = line[j];
        if (!byte) continue;
        for (int k = 0; k < kPerByte; ++k) {
            const unsigned v = (byte >> (8 - Bpp * (k + 1))) & kMask;
            if (!v) continue;
            const size_t i = static_cast<size_t>(at + int64_t{k} * step);
            const unsigned cell = cells[i];
            const unsigned hits = cell >> 2;
            positions += hits == 0;
            multiply += hits == 1;
            cells[i] = static_cast<uint8_t>(((hits + (hits < 63)) << 2) | std::max(cell & 3, v));
            if (origins) origins[i] = origin;
            ++dots[v];
            if (lo < 0) lo = static_cast<int64_t>(i);
            hi = static_cast<int64_t>(i);
        }
    }
    for (int v = 1; v < 4; ++v) m_dots[v] += dots[v];
    m_positions += positions;
    m_multiply += multiply;
    return dots[1] + dots[2] + dots[3];
}

uint64_t InkPlane::LayLine(int32_t row, int32_t col, int32_t step, const uint8_t* line, int bytes, int bpp,
                           DotOrigin origin)
{
    if (row < 0 || static_cast<size_t>(row) >= m_rows.size()) return 0;
    Row& r = m_rows[row];
    int64_t lo = -1, hi = -1;
    const int64_t at = int64_t{col} - r.first;
    const uint64_t laid = bpp == 1 ? LayPixels<1>(r, at, step, line, bytes, origin, lo, hi)
                                   : LayPixels<2>(r, at, step, line, bytes, origin, lo, hi);
    if (laid == 0) return 0;
    m_width = std::max(m_width, static_cast<int32_t>(r.first + hi + 1));
    m_height = std::max(m_height, row + 1);
    m_left = std::min(m_left, static_cast<int32_t>(r.first + lo));
    m_top = std::min(m_top, row);
    return laid;
}

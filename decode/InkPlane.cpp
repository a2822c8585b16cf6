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

void InkPlane::Lay(int32_t row, int32_t col, uint8_t value, DotOrigin origin)
{
    Row& r = m_rows[row];
    uint8_t& cell = r.cells[col - r.first];
    const uint8_t hits = cell >> 2;
    if (hits == 0) ++m_positions;
    if (hits == 1) ++m_multiply;
    const uint8_t v = std::max<uint8_t>(cell & 3, value);
    cell = static_cast<uint8_t>((std::min<int>(hits + 1, 63) << 2) | v);
    if (m_trackOrigins) r.origins[col - r.first] = origin;
    ++m_dots[value & 3];
    m_width = std::max(m_width, col + 1);
    m_height = std::max(m_height, row + 1);
    m_left = std::min(m_left, col);
    m_top = std::min(m_top, row);
}

// Storage of one ink's dots: rows allocated on demand, each as wide as its rightmost dot needs.
#include "decode/InkPlane.h"

#include <algorithm>
#include <cstring>

uint8_t InkPlane::Cell(int32_t row, int32_t col) const
{
    if (row < 0 || col < 0 || static_cast<size_t>(row) >= m_rows.size()) return 0;
    const Row& r = m_rows[row];
    return static_cast<size_t>(col) < r.cells.size() ? r.cells[col] : 0;
}

std::optional<DotOrigin> InkPlane::Origin(int32_t row, int32_t col) const
{
    if (!m_trackOrigins || Hits(row, col) == 0) return std::nullopt;
    return m_rows[row].origins[col];
}

std::vector<uint8_t> InkPlane::Values(int32_t width, int32_t height) const
{
    std::vector<uint8_t> out(static_cast<size_t>(std::max(width, 0)) * std::max(height, 0));
    for (int32_t y = 0; y < height; ++y) CopyRow(y, width, out.data() + static_cast<size_t>(y) * width);
    return out;
}

void InkPlane::CopyRow(int32_t row, int32_t width, uint8_t* out) const
{
    std::memset(out, 0, static_cast<size_t>(std::max(width, 0)));
    if (row < 0 || static_cast<size_t>(row) >= m_rows.size()) return;
    const Row& r = m_rows[row];
    const size_t n = std::min(r.cells.size(), static_cast<size_t>(std::max(width, 0)));
    for (size_t x = 0; x < n; ++x) out[x] = r.cells[x] & 3;
}

// Rows widen geometrically so that a row filled left to right costs amortised constant time.
int32_t InkPlane::GrownWidth(const Row& r, int32_t col, int32_t maxColumns) const
{
    const int64_t have = static_cast<int64_t>(r.cells.size());
    if (col < have) return static_cast<int32_t>(have);
    int64_t want = std::max<int64_t>({int64_t{col} + 1, have * 2, 64});
    return static_cast<int32_t>(std::min<int64_t>(want, std::max(maxColumns, col + 1)));
}

uint64_t InkPlane::GrowthCost(int32_t row, int32_t col, int32_t maxColumns) const
{
    uint64_t cost = 0;
    size_t rows = m_rows.size();
    if (static_cast<size_t>(row) >= rows) {
        cost += (static_cast<uint64_t>(row) + 1 - rows) * sizeof(Row);
        cost += static_cast<uint64_t>(GrownWidth(Row{}, col, maxColumns)) * CellBytes();
        return cost;
    }
    const Row& r = m_rows[row];
    return static_cast<uint64_t>(GrownWidth(r, col, maxColumns) - static_cast<int64_t>(r.cells.size())) *
           CellBytes();
}

uint64_t InkPlane::Reserve(int32_t row, int32_t col, int32_t maxColumns)
{
    const uint64_t cost = GrowthCost(row, col, maxColumns);
    if (cost == 0) return 0;
    if (static_cast<size_t>(row) >= m_rows.size()) m_rows.resize(static_cast<size_t>(row) + 1);
    Row& r = m_rows[row];
    const int32_t width = GrownWidth(r, col, maxColumns);
    r.cells.reserve(width);
    r.cells.resize(width, 0);
    if (m_trackOrigins) {
        r.origins.reserve(width);
        r.origins.resize(width);
    }
    return cost;
}

void InkPlane::Lay(int32_t row, int32_t col, uint8_t value, DotOrigin origin)
{
    Row& r = m_rows[row];
    uint8_t& cell = r.cells[col];
    const uint8_t hits = cell >> 2;
    if (hits == 0) ++m_positions;
    if (hits == 1) ++m_multiply;
    const uint8_t v = std::max<uint8_t>(cell & 3, value);
    cell = static_cast<uint8_t>((std::min<int>(hits + 1, 63) << 2) | v);
    if (m_trackOrigins) r.origins[col] = origin;
    ++m_dots[value & 3];
    m_width = std::max(m_width, col + 1);
    m_height = std::max(m_height, row + 1);
}

// Storage of one ink's dots: rows allocated on demand, each spanning only the columns between
// its leftmost and rightmost dots (with room to grow), 2 bits a position.
#include "decode/InkPlane.h"

#include <algorithm>
#include <cstring>

#include "decode/PackedDots.h"

namespace {
int64_t AlignDown(int64_t col) { return col / InkPlane::kRowAlign * InkPlane::kRowAlign; }
int64_t AlignUp(int64_t col) { return AlignDown(col + InkPlane::kRowAlign - 1); }
}  // namespace

const InkPlane::Stored* InkPlane::Find(int32_t row, int32_t col, size_t* at) const
{
    if (row < 0 || col < 0 || static_cast<size_t>(row) >= m_rows.size()) return nullptr;
    const Stored& r = m_rows[row];
    if (col < r.first || static_cast<size_t>(col - r.first) >= static_cast<size_t>(r.bytes) * 4) return nullptr;
    *at = static_cast<size_t>(col - r.first);
    return &r;
}

uint8_t InkPlane::Value(int32_t row, int32_t col) const
{
    size_t at = 0;
    const Stored* r = Find(row, col, &at);
    return r ? packed::ValueAt(r->values, at) : 0;
}

uint8_t InkPlane::Hits(int32_t row, int32_t col) const
{
    size_t at = 0;
    const Stored* r = Find(row, col, &at);
    if (!r || !packed::ValueAt(r->values, at)) return 0;
    return r->hits.empty() || r->hits[at] == 0 ? 1 : r->hits[at];
}

std::optional<DotOrigin> InkPlane::Origin(int32_t row, int32_t col) const
{
    size_t at = 0;
    const Stored* r = Find(row, col, &at);
    if (!m_trackOrigins || !r || !packed::ValueAt(r->values, at)) return std::nullopt;
    return r->origins[at];
}

PlaneRow InkPlane::Row(int32_t row) const
{
    if (row < 0 || static_cast<size_t>(row) >= m_rows.size() || !m_rows[row].values) return {};
    const Stored& r = m_rows[row];
    return {r.first, static_cast<int32_t>(static_cast<size_t>(r.bytes) * 4), r.values,
            r.hits.empty() ? nullptr : r.hits.data()};
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
    const PlaneRow r = Row(row);
    const int64_t from = std::max<int64_t>(firstColumn, r.first);
    const int64_t to = std::min<int64_t>(int64_t{firstColumn} + std::max(width, 0), int64_t{r.first} + r.columns);
    for (int64_t x = from; x < to; ++x)
        out[x - firstColumn] = packed::ValueAt(r.values, static_cast<size_t>(x - r.first));
}

// Bytes of `columns` stored positions of a row: the values, and the origins when tracked.
uint64_t InkPlane::ColumnBytes(int64_t columns) const
{
    const uint64_t n = static_cast<uint64_t>(columns);
    return n / 4 + (m_trackOrigins ? n * sizeof(DotOrigin) : 0);
}

// Rows grow by half their width, to either side, so that a row filled in any order costs
// amortised constant time per dot while a row that is one column short does not double.
InkPlane::Span InkPlane::Grown(const Stored& r, int32_t col, int32_t maxColumns) const
{
    const int64_t have = int64_t{r.bytes} * 4;
    const int64_t limit = AlignUp(std::max(maxColumns, col + 1));
    if (have == 0) return {static_cast<int32_t>(AlignDown(col)), static_cast<int32_t>(AlignUp(int64_t{col} + 1))};
    Span s{r.first, static_cast<int32_t>(r.first + have)};
    if (col >= s.end)
        s.end = static_cast<int32_t>(std::min(AlignUp(std::max<int64_t>(col + 1, s.end + have / 2)), limit));
    if (col < s.first)
        s.first = static_cast<int32_t>(std::max<int64_t>(0, AlignDown(std::min<int64_t>(col, r.first - have / 2))));
    return s;
}

uint64_t InkPlane::GrowthCost(int32_t row, int32_t col, int32_t maxColumns) const
{
    const size_t rows = m_rows.size();
    if (static_cast<size_t>(row) >= rows) {
        const Span s = Grown(Stored{}, col, maxColumns);
        return (static_cast<uint64_t>(row) + 1 - rows) * sizeof(Stored) + ColumnBytes(s.end - s.first);
    }
    const Stored& r = m_rows[row];
    const Span s = Grown(r, col, maxColumns);
    const int64_t columns = int64_t{s.end} - s.first, added = columns - int64_t{r.bytes} * 4;
    if (added == 0) return 0;
    // The values move to a new place in the arena; the old place is not used again.
    return static_cast<uint64_t>(columns) / 4 + ColumnBytes(added) - static_cast<uint64_t>(added) / 4 +
           (r.hits.empty() ? 0 : static_cast<uint64_t>(added));
}

namespace {
// Puts `before` default elements in front of v and makes it `size` long, in one allocation.
template <typename T>
void Widen(std::vector<T>& v, size_t before, size_t size)
{
    v.reserve(size);
    v.insert(v.begin(), before, T{});
    v.resize(size);
}
}  // namespace

uint64_t InkPlane::Reserve(int32_t row, int32_t col, int32_t maxColumns)
{
    const uint64_t cost = GrowthCost(row, col, maxColumns);
    if (cost == 0) return 0;
    if (static_cast<size_t>(row) >= m_rows.size()) m_rows.resize(static_cast<size_t>(row) + 1);
    Stored& r = m_rows[row];
    const Span s = Grown(r, col, maxColumns);
    const size_t before = r.values ? static_cast<size_t>(r.first - s.first) : 0;
    const size_t columns = static_cast<size_t>(s.end - s.first);
    uint8_t* values = m_arena->Take(columns / 4);
    const uint64_t moved = r.values ? r.bytes : 0;
    if (r.values) {
        std::memcpy(values + before / 4, r.values, r.bytes);
        m_arena->Give(r.values, r.bytes);
    }
    r.values = values;
    r.bytes = static_cast<uint32_t>(columns / 4);
    if (!r.hits.empty()) Widen(r.hits, before, columns);
    if (m_trackOrigins) Widen(r.origins, before, columns);
    r.first = s.first;
    return moved;
}

uint64_t InkPlane::Release(int32_t from, int32_t to)
{
    uint64_t freed = 0;
    const int32_t end = static_cast<int32_t>(std::min<int64_t>(to, static_cast<int64_t>(m_rows.size())));
    for (int32_t row = std::max(from, 0); row < end; ++row) {
        Stored& r = m_rows[static_cast<size_t>(row)];
        if (!r.values) continue;
        m_arena->Give(r.values, r.bytes);
        freed += r.bytes + r.hits.size() + r.origins.size() * sizeof(DotOrigin);
        r = Stored{};
    }
    return freed;
}

// One ink's dots on a decoded page: dot value, times printed and the pass and nozzle that printed it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

// Which head pass (index over the whole job) and which nozzle row of its block laid a dot.
struct DotOrigin {
    uint32_t pass = 0;
    uint16_t nozzle = 0;
};

// Page rows are vertical units, page columns horizontal units; rows grow on demand.
class InkPlane {
public:
    InkPlane(uint8_t ink, bool trackOrigins) : m_ink(ink), m_trackOrigins(trackOrigins) {}

    uint8_t Ink() const { return m_ink; }
    bool TracksOrigins() const { return m_trackOrigins; }
    // 1 + the lowest row / rightmost column holding a dot; 0 when the plane is empty.
    int32_t Height() const { return m_height; }
    int32_t Width() const { return m_width; }
    // The topmost row / leftmost column holding a dot; INT32_MAX when the plane is empty.
    int32_t Top() const { return m_top; }
    int32_t Left() const { return m_left; }
    // The stored cells of a row (value in bits 0-1): *n of them from column *first; null when none.
    const uint8_t* RowCells(int32_t row, int32_t* first, size_t* n) const;

    // Dot value 0..3 at a position (0 outside the stored area). Double printing keeps the larger value.
    uint8_t Value(int32_t row, int32_t col) const { return Cell(row, col) & 3; }
    // How many times a dot was laid at a position (saturates at 63).
    uint8_t Hits(int32_t row, int32_t col) const { return Cell(row, col) >> 2; }
    // The pass and nozzle of the last dot laid at a position; empty without a dot or tracking.
    std::optional<DotOrigin> Origin(int32_t row, int32_t col) const;

    // Dots laid with value v (1..3), every laying counted.
    uint64_t Dots(uint8_t v) const { return v < 4 ? m_dots[v] : 0; }
    uint64_t TotalDots() const { return m_dots[1] + m_dots[2] + m_dots[3]; }
    // Positions holding a dot, and those printed more than once.
    uint64_t Positions() const { return m_positions; }
    uint64_t MultiplyPrinted() const { return m_multiply; }

    // Bits per pixel of the raster blocks of this ink (1 or 2; the last seen).
    int BitsPerPixel() const { return m_bitsPerPixel; }
    void SetBitsPerPixel(int bpp) { m_bitsPerPixel = bpp; }

    // Row-major copy of the dot values of rows [0, height) and columns [0, width).
    std::vector<uint8_t> Values(int32_t width, int32_t height) const;
    // The dot values of one row from firstColumn on (zeros outside the stored part), width entries.
    void CopyRow(int32_t row, int32_t firstColumn, int32_t width, uint8_t* out) const;
    void CopyRow(int32_t row, int32_t width, uint8_t* out) const { CopyRow(row, 0, width, out); }

    // Storage bytes that making (row, col) addressable would add; 0 when it already is.
    uint64_t GrowthCost(int32_t row, int32_t col, int32_t maxColumns) const;
    // Makes (row, col) addressable; returns the bytes added (as GrowthCost said).
    uint64_t Reserve(int32_t row, int32_t col, int32_t maxColumns);
    // Lays the dots of one raster line packed at bpp (1 or 2) bits per pixel, most significant
    // first: pixel i at column col + i * step. Its leftmost and rightmost dots must be addressable.
    // Returns the dots laid.
    uint64_t LayLine(int32_t row, int32_t col, int32_t step, const uint8_t* line, int bytes, int bpp,
                     DotOrigin origin);

private:
    static constexpr int32_t kFirstSpan = 64;  // columns a row starts with
    struct Row {
        int32_t first = 0;           // column of cells[0]
        std::vector<uint8_t> cells;  // value in bits 0-1, hits in bits 2-7
        std::vector<DotOrigin> origins;
    };
    uint8_t Cell(int32_t row, int32_t col) const;
    template <int Bpp>
    uint64_t LayPixels(Row& r, int64_t at, int32_t step, const uint8_t* line, int bytes, DotOrigin origin,
                       int64_t& lo, int64_t& hi);
    struct Span {
        int32_t first, end;
    };
    Span Grown(const Row& r, int32_t col, int32_t maxColumns) const;
    size_t CellBytes() const { return 1 + (m_trackOrigins ? sizeof(DotOrigin) : 0); }

    uint8_t m_ink;
    bool m_trackOrigins;
    int m_bitsPerPixel = 2;
    std::vector<Row> m_rows;
    int32_t m_width = 0;
    int32_t m_height = 0;
    int32_t m_top = INT32_MAX;
    int32_t m_left = INT32_MAX;
    uint64_t m_dots[4] = {0, 0, 0, 0};
    uint64_t m_positions = 0;
    uint64_t m_multiply = 0;
};

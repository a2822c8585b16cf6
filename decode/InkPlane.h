// One ink's dots on a decoded page: dot value, times printed and the pass and nozzle that printed it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "decode/DotArena.h"

// Which head pass (index over the whole job) and which nozzle row of its block laid a dot.
struct DotOrigin {
    uint32_t pass = 0;
    uint16_t nozzle = 0;
};

// One stored row: the dot values of columns [first, first + columns), packed as decode/PackedDots.h
// says. Both are multiples of kRowAlign, so the bytes of a row line up with a host row's bytes.
struct PlaneRow {
    int32_t first = 0;
    int32_t columns = 0;
    const uint8_t* values = nullptr;  // null when the row stores nothing
    const uint8_t* hits = nullptr;    // times laid per position, once one of the row's positions was
                                      // laid twice (0: as its value says); null while each was laid once
};

// The first and last pixels of a raster line that hold a dot.
struct PixelSpan {
    int first = -1, last = -1;  // first is -1 for a blank line
};
PixelSpan LineSpan(const uint8_t* line, int bytes, int bpp);

struct LaidLine {
    uint64_t dots = 0;         // dots laid
    uint64_t grownBytes = 0;   // storage the laying added (a times-laid record on a first double printing)
};

// Page rows are vertical units, page columns horizontal units; rows grow on demand.
class InkPlane {
public:
    static constexpr int32_t kRowAlign = 32;  // columns: a 64-bit word of values

    // Rows are taken from `arena`, which the planes of one stream share.
    InkPlane(uint8_t ink, bool trackOrigins, std::shared_ptr<DotArena> arena)
        : m_ink(ink), m_trackOrigins(trackOrigins), m_arena(std::move(arena))
    {
    }

    uint8_t Ink() const { return m_ink; }
    bool TracksOrigins() const { return m_trackOrigins; }
    // 1 + the lowest row / rightmost column holding a dot; 0 when the plane is empty.
    int32_t Height() const { return m_height; }
    int32_t Width() const { return m_width; }
    // The topmost row / leftmost column holding a dot; INT32_MAX when the plane is empty.
    int32_t Top() const { return m_top; }
    int32_t Left() const { return m_left; }
    PlaneRow Row(int32_t row) const;

    // Dot value 0..3 at a position (0 outside the stored area). Double printing keeps the larger value.
    uint8_t Value(int32_t row, int32_t col) const;
    // How many times a dot was laid at a position (saturates at 63).
    uint8_t Hits(int32_t row, int32_t col) const;
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
    // Makes (row, col) addressable, adding the bytes GrowthCost said. A row that moves gives its
    // old place back to the arena; returns that place's bytes.
    uint64_t Reserve(int32_t row, int32_t col, int32_t maxColumns);
    // Gives the storage of rows [from, to) back to the arena: they read as empty afterwards,
    // while the plane's counts and extent keep their dots. Returns the bytes given back.
    uint64_t Release(int32_t from, int32_t to);
    // Lays the dots of one raster line packed at bpp (1 or 2) bits per pixel, most significant
    // first: pixel i at column col + i * step. `dots` is the line's span (not blank); the columns
    // of its first and last pixels must be addressable.
    LaidLine LayLine(int32_t row, int32_t col, int32_t step, const uint8_t* line, int bpp, PixelSpan dots,
                     DotOrigin origin);

private:
    struct Stored {
        int32_t first = 0;               // column of the first position
        uint8_t* values = nullptr;       // 4 positions a byte, from the arena
        uint32_t bytes = 0;              // of values
        std::vector<uint8_t> hits;       // empty until a position is laid twice
        std::vector<DotOrigin> origins;  // with tracking only
    };
    struct Span {
        int32_t first, end;
    };
    struct Counts {
        uint64_t dots[4] = {0, 0, 0, 0};
        uint64_t positions = 0, multiply = 0, grownBytes = 0;
    };
    const Stored* Find(int32_t row, int32_t col, size_t* at) const;
    Span Grown(const Stored& r, int32_t col, int32_t maxColumns) const;
    uint64_t ColumnBytes(int64_t columns) const;
    // One dot at position `at` of a row, whatever was there before.
    void LayDot(Stored& r, size_t at, unsigned v, Counts& c);
    void LayWords(Stored& r, int64_t at, int32_t step, const uint8_t* line, int bpp, PixelSpan dots, Counts& c);
    void LayPixels(Stored& r, int64_t at, int32_t step, const uint8_t* line, int bpp, PixelSpan dots,
                   DotOrigin origin, Counts& c);

    uint8_t m_ink;
    bool m_trackOrigins;
    std::shared_ptr<DotArena> m_arena;
    int m_bitsPerPixel = 2;
    std::vector<Stored> m_rows;
    int32_t m_width = 0;
    int32_t m_height = 0;
    int32_t m_top = INT32_MAX;
    int32_t m_left = INT32_MAX;
    uint64_t m_dots[4] = {0, 0, 0, 0};
    uint64_t m_positions = 0;
    uint64_t m_multiply = 0;
};

// The page stage delivers every row in order across band boundaries, whatever the threads.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "rip/PageRip.h"

namespace {
// Keeps each row: all planes' bytes, or "" for an empty row.
class Rows : public rip::RowSink {
public:
    explicit Rows(size_t planeBytes, size_t planes) : m_bytes(planeBytes), m_planes(planes) {}
    bool DataRow(const uint8_t* const* p) override
    {
        std::string row;
        for (size_t i = 0; i < m_planes; ++i) row.append(reinterpret_cast<const char*>(p[i]), m_bytes);
        rows.push_back(row);
        return true;
    }
    bool EmptyRows(int n) override
    {
        rows.insert(rows.end(), static_cast<size_t>(n), std::string());
        return true;
    }
    std::vector<std::string> rows;

private:
    size_t m_bytes, m_planes;
};

rip::PageSettings Page(int model, int width, int height, int stepY, int threads)
{
    rip::PageSettings s;
    s.modelId = model;
    s.width = width;
    s.height = height;
    s.stepY = stepY;
    s.threads = threads;
    s.media = "Premium Glossy Photo Paper";
    return s;
}

std::vector<std::string> RunPage(const rip::PageSettings& s, const std::vector<uint8_t>& rgb, int inputRows)
{
    Rows sink(static_cast<size_t>((s.width * s.bits + 7) / 8), rip::ModelInks(s.modelId).size());
    rip::PageRip page(s, sink);
    EXPECT_TRUE(page.PushRows(rgb.data(), inputRows, rip::PixelFormat::kRgb8)) << page.Error();
    EXPECT_TRUE(page.Finish()) << page.Error();
    return sink.rows;
}

TEST(PageRip, EveryRowArrivesInPlaceAcrossBands)
{
    // Input rows alternate in an irregular pattern of dark grey and white, so a lost, doubled
    // or moved row changes which printer rows carry ink.
    struct Case { int height, stepY, given; };
    for (const Case c : {Case{95, 1, 95}, Case{64, 1, 64}, Case{130, 2, 65}, Case{101, 2, 50}, Case{200, 1, 70}}) {
        const int width = 40;
        std::vector<uint8_t> rgb(static_cast<size_t>(width) * 3 * static_cast<size_t>(c.given));
        auto dark = [](int row) { return row % 7 == 2 || row % 5 == 0; };
        for (int y = 0; y < c.given; ++y)
            std::fill_n(rgb.begin() + y * width * 3, width * 3, dark(y) ? 40 : 255);
        const std::vector<std::string> rows = RunPage(Page(2, width, c.height, c.stepY, 2), rgb, c.given);
        ASSERT_EQ(rows.size(), static_cast<size_t>(c.height));
        for (int y = 0; y < c.height; ++y) {
            const int in = y / c.stepY;
            EXPECT_EQ(!rows[static_cast<size_t>(y)].empty(), in < c.given && dark(in))
                << "row " << y << " of " << c.height << ", step " << c.stepY;
        }
    }
}

TEST(PageRip, OutputDoesNotDependOnTheThreadCount)
{
    const int width = 300, height = 90;
    std::vector<uint8_t> rgb(static_cast<size_t>(width) * 3 * height);
    for (size_t i = 0; i < rgb.size(); ++i) rgb[i] = static_cast<uint8_t>((i * 2654435761u) >> 13);
    for (int model : {1, 2})
        for (rip::HalftoneMethod method : {rip::HalftoneMethod::kDiffusion, rip::HalftoneMethod::kMask}) {
            std::vector<std::string> first;
            for (int threads : {1, 2, 5}) {
                rip::PageSettings s = Page(model, width, height, 1, threads);
                s.halftone = method;
                const std::vector<std::string> rows = RunPage(s, rgb, height);
                if (threads == 1) first = rows;
                else EXPECT_EQ(rows, first) << "model " << model << ", " << threads << " threads";
            }
        }
}
}  // namespace

// Every input dot is laid down exactly once, at its own page position, with its own value:
// over both models, every print method, both bit depths, the weave on and off, the weave
// ratios, compression on and off, and pages with empty runs and widths that do not divide
// into the horizontal passes. A covering sample runs by default; RPHOTO_FULL_GRID=1 runs all.
#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>

#include "conservation_support.h"

namespace {
using namespace conservation;

const int kWidths[] = {37, 61, 22};  // 22 pixels: a multiple of 2 horizontal passes, not of 4 or 8

// A ratio equal to the interleave can lose the lines after an empty run that overflows the
// band, and is left out.
bool RatioInMatrix(int ratio, const Method& m) { return ratio != m.vp; }

std::vector<JobConfig> FullGrid()
{
    std::vector<JobConfig> out;
    uint32_t seed = 1;
    for (int model : {1, 2})
        for (int method = 0; method < static_cast<int>(Methods().size()); ++method)
            for (int bits : {1, 2})
                for (bool weave : {false, true})
                    for (int ratio : Ratios()) {
                        if (!RatioInMatrix(ratio, Methods()[static_cast<size_t>(method)])) continue;
                        for (bool compress : {false, true})
                            for (Content content : {Content::Random, Content::Lines, Content::Gradient})
                                for (bool longGap : {false, true}) {
                                    JobConfig c;
                                    c.model = model, c.method = method, c.bits = bits, c.weave = weave;
                                    c.ratio = ratio, c.compress = compress, c.content = content, c.longGap = longGap;
                                    c.width = kWidths[seed % 3];
                                    c.seed = seed++;
                                    out.push_back(c);
                                }
                    }
    return out;
}

// Three configurations for every (method, ratio, weave): 7 methods x 7 ratios x 2 = 98 triples.
// The other dimensions cycle with the running index, so that each of their values appears with
// every method and ratio.
std::vector<JobConfig> CiSample()
{
    std::vector<JobConfig> out;
    uint32_t j = 0;
    for (int method = 0; method < static_cast<int>(Methods().size()); ++method)
        for (int ratio : Ratios()) {
            if (!RatioInMatrix(ratio, Methods()[static_cast<size_t>(method)])) continue;
            for (bool weave : {false, true})
                for (int k = 0; k < 3; ++k, ++j) {
                    JobConfig c;
                    c.method = method, c.ratio = ratio, c.weave = weave;
                    c.model = 1 + static_cast<int>(j % 2);
                    c.bits = 1 + static_cast<int>((j / 2) % 2);
                    c.compress = (j / 4) % 2 == 0;
                    c.content = static_cast<Content>(j % 3);
                    c.longGap = (j / 3) % 2 == 1;
                    c.width = kWidths[(j / 6) % 3];
                    c.seed = 1000 + j;
                    out.push_back(c);
                }
        }
    return out;
}

bool FullGridRequested()
{
    const char* v = std::getenv("RPHOTO_FULL_GRID");
    return v && std::string(v) == "1";
}

TEST(ConservationGrid, EveryDotPrintedExactlyOnce)
{
    const bool full = FullGridRequested();
    const std::vector<JobConfig> configs = full ? FullGrid() : CiSample();
    std::cout << "[ conservation ] " << configs.size() << " configurations (" << (full ? "full grid" : "CI sample")
              << ")\n";
    std::vector<std::string> failed;
    for (const JobConfig& c : configs) {
        const std::string why = CheckConservation(c);
        if (why.empty()) continue;
        if (failed.size() < 10) ADD_FAILURE() << why;
        failed.push_back(c.Name());
    }
    EXPECT_TRUE(failed.empty()) << failed.size() << " of " << configs.size() << " configurations failed";
    for (const std::string& f : failed) std::cout << "[ failed ] " << f << "\n";
}

// With the single-dot-size flag every set pixel, whatever its level, prints as value 1.
TEST(ConservationGrid, SingleDotSizePrintsEveryDotAsValueOne)
{
    for (int method = 0; method < static_cast<int>(Methods().size()); ++method) {
        JobConfig c;
        c.method = method;
        c.model = 1 + method % 2;
        c.bits = 2;
        c.ratio = 12;
        c.singleDotSize = true;
        c.content = static_cast<Content>(method % 3);
        c.seed = 77 + static_cast<uint32_t>(method);
        EXPECT_EQ(CheckConservation(c), "");
    }
}

// Rows wide enough for the wide steps of row loading (128 source bytes and more), at every
// method and both bit depths, at 2 bits with and without the single-dot-size flag.
TEST(ConservationGrid, WideRowsKeepEveryDot)
{
    for (int method = 0; method < static_cast<int>(Methods().size()); ++method)
        for (int bits : {1, 2})
            for (bool singleDot : {false, true}) {
                if (singleDot && bits == 1) continue;
                JobConfig c;
                c.method = method;
                c.model = 1 + method % 2;
                c.bits = bits;
                c.width = 601;
                c.singleDotSize = singleDot;
                c.content = static_cast<Content>((method + bits + singleDot) % 3);
                c.seed = 300 + static_cast<uint32_t>(4 * method + 2 * bits + singleDot);
                EXPECT_EQ(CheckConservation(c), "") << c.Name();
            }
}

}  // namespace

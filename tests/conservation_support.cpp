// The conservation suite's rig: page content, the host's job sequence, decoding and checks.
#include "conservation_support.h"
#include "support/TestSupport.h"

#include <sstream>

namespace conservation {
namespace {
// A well-mixed 32-bit hash of a few integers, so that page content is a pure function of
// the configuration.
uint32_t Mix(uint32_t a, uint32_t b, uint32_t c, uint32_t d)
{
    uint32_t h = a * 0x9E3779B1u ^ (b + 0x7F4A7C15u) * 0x85EBCA77u ^ (c + 0x165667B1u) * 0xC2B2AE3Du ^ d * 0x27D4EB2Fu;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return h;
}

// Dot value (0..3) of plane p at (x, y) inside a data stretch of the page.
uint8_t Dot(const JobConfig& c, int p, int x, int y, int height)
{
    const uint32_t h = Mix(c.seed, static_cast<uint32_t>(p), static_cast<uint32_t>(x), static_cast<uint32_t>(y));
    uint8_t v = 0;
    switch (c.content) {
    case Content::Random:
        // About a tenth of the rows stay empty in one plane, the rest are 3/4 full.
        if (Mix(c.seed, static_cast<uint32_t>(p), 7777u, static_cast<uint32_t>(y)) % 10 == 0) return 0;
        v = (h & 3) ? static_cast<uint8_t>(1 + (h >> 2) % 3) : 0;
        break;
    case Content::Lines: {
        // Horizontal lines, vertical lines in every other stretch of 50 rows, one diagonal:
        // the rows between them are empty in every plane.
        const bool horizontal = y % (5 + p) == 0;
        const bool vertical = (y / 50) % 2 == 0 && x % 9 == p;
        const bool diagonal = x == y % c.width;
        if (horizontal || vertical || diagonal) v = static_cast<uint8_t>(1 + (x + y + p) % 3);
        break;
    }
    case Content::Gradient:
        // Density rising from left to right, value rising from top to bottom.
        if (static_cast<int>(h % static_cast<uint32_t>(c.width)) < x + 1 && y % 17 != 3)
            v = static_cast<uint8_t>(1 + (3 * y) / height);
        if (v > 3) v = 3;
        break;
    }
    if (v && c.bits == 1) v = 1;
    return v;
}

// Argument of a decoded "ESC ( x nL nH arg" command, read straight from the stream bytes.
int64_t ParenArgument(const std::string& s, const StreamCommand& cmd, bool* ok)
{
    const size_t n = cmd.offset + 5 <= s.size() ? test_support::Le(s, cmd.offset + 3, 2) : 0;
    if ((n != 2 && n != 4) || cmd.offset + 5 + n > s.size()) {
        *ok = false;
        return 0;
    }
    return test_support::Le(s, cmd.offset + 5, static_cast<int>(n));
}

}  // namespace

const char* ContentName(Content c)
{
    switch (c) {
    case Content::Random: return "random";
    case Content::Lines: return "lines";
    case Content::Gradient: return "gradient";
    }
    return "?";
}

std::string JobConfig::Name() const
{
    std::ostringstream o;
    o << "model " << model << ", " << M().name << ", " << bits << " bit, weave " << (weave ? "on" : "off")
      << ", WeaveRatio " << ratio << ", " << (compress ? "PackBits" : "raw") << ", " << ContentName(content) << ", "
      << (longGap ? "long" : "short") << " gap, width " << width << ", seed " << seed;
    if (singleDotSize) o << ", single dot size";
    if (!brokenNozzles.empty()) {
        o << ", nozzles marked";
        for (int n : brokenNozzles) o << " " << n;
        o << (simulateBroken ? " (simulated)" : " (not simulated)");
    }
    return o.str();
}

bool Page::RowEmpty(int y) const
{
    for (const auto& plane : px)
        for (int x = 0; x < width; ++x)
            if (plane[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)]) return false;
    return true;
}

// Three inks: black, cyan and light cyan. The page starts with an empty run of 0 to 7 rows
// below the top offset (the first data lines meet the weave's first feeds), holds data for
// four bands, an empty run (short or longer than a band) and data again, and ends empty.
Page MakePage(const JobConfig& c)
{
    Page page;
    const int bandLines = 180 * c.M().vp;
    const int lead = static_cast<int>(c.seed % 8);
    const int gap = c.longGap ? bandLines + 37 : 5 + static_cast<int>(c.seed % 11);
    const int firstData = 2 * bandLines + 13;
    const int secondData = 2 * bandLines + 29;
    const int tail = 9;
    page.width = c.width;
    page.height = lead + firstData + gap + secondData + tail;
    page.hostColors = {0, 1, 6};
    // Black is 0x40 on model 1 with photo black ink (the rig's setting), 0x00 on model 2.
    page.inks = {static_cast<uint8_t>(c.model == 1 ? 0x40 : 0x00), 0x02, 0x08};
    page.px.assign(3, std::vector<uint8_t>(static_cast<size_t>(page.width) * static_cast<size_t>(page.height), 0));
    for (int y = 0; y < page.height; ++y) {
        const bool data = (y >= lead && y < lead + firstData) ||
                          (y >= lead + firstData + gap && y < lead + firstData + gap + secondData);
        if (!data) continue;
        for (int p = 0; p < 3; ++p)
            for (int x = 0; x < page.width; ++x)
                page.px[static_cast<size_t>(p)][static_cast<size_t>(y) * static_cast<size_t>(page.width) +
                                                 static_cast<size_t>(x)] = Dot(c, p, x, y, page.height);
    }
    return page;
}

JobRun RunJob(const JobConfig& c, const Page& page)
{
    const Method& m = c.M();
    CPrintEnv env = test_support::JobStore({c.model, m.name, c.ratio, c.weave, c.simulateBroken, c.brokenNozzles,
                                            c.singleDotSize});
    env.PutInt(c.model == 1 ? "DP1_inkMode" : "DP2_inkMode", 0);

    JobRun run;
    DriverPtr created(Create(&env));  // the host releases the driver and its device parameters
    auto* driver = dynamic_cast<CEpsonRPhotoBase*>(created.get());
    if (!driver) return run;

    std::vector<test_support::MemoryPlane> planes(page.px.size());
    std::vector<CRasterPixelBuffer*> buffers;
    for (size_t p = 0; p < page.px.size(); ++p) {
        for (int y = 0; y < page.height; ++y) {
            const auto row = page.px[p].begin() + static_cast<ptrdiff_t>(y) * page.width;
            planes[p].rows.push_back(test_support::PackRow(std::vector<uint8_t>(row, row + page.width), c.bits));
        }
        buffers.push_back(&planes[p]);
    }
    JobSetup setup;
    setup.dResX = m.resX;
    setup.dResY = m.resY;
    setup.nPixelBits = c.bits;
    setup.nJobPixelWidth = page.width;
    setup.nJobPixelLength = page.height;
    setup.colors = page.hostColors;
    setup.nCompression = c.compress ? 1 : 0;
    setup.jobName = "conservation";
    MemorySink sink;
    driver->SetupJob(setup, buffers);
    driver->SetOutputSink(&sink);
    CJobPrintAttach attach(210, 297, CDRc{3, 3, 3, 3}, 0);
    driver->SetJobPrintAttach(&attach);
    CPrintJobOpenContext ctx(CString("conservation"));

    // The host's sequence: rows without ink in any plane go as runs of empty rows.
    driver->JobOpen(&ctx);
    run.started = driver->m_pDevParms->OutputStartString(driver);
    driver->OutputInit(0, 0);
    int empty = 0;
    for (int y = 0; y < page.height; ++y) {
        if (page.RowEmpty(y)) {
            ++empty;
            for (test_support::MemoryPlane& p : planes) ++p.next;
            continue;
        }
        if (empty) driver->OutputEmptyRows(empty);
        empty = 0;
        driver->OutputDataRow();
    }
    if (empty) driver->OutputEmptyRows(empty);
    run.exitResult = driver->OutputExit();
    run.advancedRows = driver->m_nAdvancedRows;
    run.hPasses = driver->m_nHPasses;
    run.vPasses = driver->m_nVPasses;
    run.weaveRatio = driver->m_nWeaveRatio;
    run.ended = driver->m_pDevParms->OutputEndString(driver);
    driver->JobClose();
    driver->SetJobPrintAttach(nullptr);
    driver->SetOutputSink(nullptr);
    run.bytes = sink.bytes;
    return run;
}

DecodeResult DecodeRun(const JobRun& run, bool trackOrigins)
{
    DecodeOptions o;
    o.trackOrigins = trackOrigins;
    return Decode(reinterpret_cast<const uint8_t*>(run.bytes.data()), run.bytes.size(), o);
}

std::vector<VerifyPlane> VerifyPlanes(const JobConfig& c, const Page& page)
{
    std::vector<VerifyPlane> out;
    for (size_t p = 0; p < page.px.size(); ++p) {
        VerifyPlane v;
        v.ink = page.inks[p];
        v.width = page.width;
        v.height = page.height;
        v.values = page.px[p];
        v.pageRow = c.M().topOffset;
        v.pageColumn = 0;
        out.push_back(std::move(v));
    }
    return out;
}

// The stream's vertical moves are forward and add up to the driver's advanced rows; every
// raster block fits the head and starts at the column of the last horizontal position sent
// since the carriage return; the decoder has nothing to warn about.
std::string CheckBookkeeping(const JobConfig& c, const JobRun& run, const DecodeResult& d)
{
    const Method& m = c.M();
    if (run.hPasses != m.hp || run.vPasses != m.vp)
        return "the driver ran " + std::to_string(run.hPasses) + " x " + std::to_string(run.vPasses) + " passes";
    int64_t moved = 0, column = 0;
    std::vector<int64_t> blockColumn(d.commands.size(), -1);
    bool ok = true;
    for (size_t i = 0; i < d.commands.size(); ++i) {
        const StreamCommand& cmd = d.commands[i];
        if (cmd.name == "ESC ( v") {
            const int64_t lines = ParenArgument(run.bytes, cmd, &ok);
            if (ok && lines < 1) return "a vertical move of " + std::to_string(lines) + " lines";
            moved += lines;
        }
        else if (cmd.name == "ESC ( $") column = ParenArgument(run.bytes, cmd, &ok);
        else if (cmd.name == "CR") column = 0;
        else if (cmd.name == "ESC i") blockColumn[i] = column;
        if (!ok) return "unreadable " + cmd.name + " at offset " + std::to_string(cmd.offset);
    }
    if (moved != run.advancedRows)
        return "vertical moves add up to " + std::to_string(moved) + " lines, the driver counted " +
               std::to_string(run.advancedRows);
    int64_t pageLines = 0;
    for (const DecodedPage& p : d.pages) pageLines += p.feedLines;
    if (!d.pages.empty() && pageLines != moved)
        return "the decoder counted " + std::to_string(pageLines) + " lines of moves, the stream holds " +
               std::to_string(moved);
    if (!d.warnings.empty()) return "the decoder warns: " + d.warnings.front().Text();
    const int perByte = 8 / c.bits;
    for (const RasterBlock& b : d.blocks) {
        if (b.lines < 1 || b.lines > 180)
            return "a block of " + std::to_string(b.lines) + " lines for a head of 180 nozzles";
        if (b.column != blockColumn[b.command])
            return "block at offset " + std::to_string(d.commands[b.command].offset) + " read at column " +
                   std::to_string(b.column) + ", sent at " + std::to_string(blockColumn[b.command]);
        // A pass's trimmed data starts on a whole byte of its own pixels.
        if (b.columnStep != m.hp || b.rowStep != m.vp || b.column % (m.hp * perByte) >= m.hp)
            return "block at offset " + std::to_string(d.commands[b.command].offset) + " at column " +
                   std::to_string(b.column) + ", steps " + std::to_string(b.columnStep) + " x " +
                   std::to_string(b.rowStep);
    }
    return {};
}

std::string CheckConservation(const JobConfig& c, int* ratioInUse)
{
    const Page page = MakePage(c);
    const JobRun run = RunJob(c, page);
    if (ratioInUse) *ratioInUse = run.weaveRatio;
    if (!run.started || !run.exitResult || !run.ended) return c.Name() + ": the job did not run through";
    VerifyOptions o;
    o.singleDotSize = c.singleDotSize;
    DecodeOptions decodeOptions;
    decodeOptions.trackOrigins = false;
    DecodeResult d;
    const VerifyReport report = VerifyStream(reinterpret_cast<const uint8_t*>(run.bytes.data()), run.bytes.size(),
                                             VerifyPlanes(c, page), o, decodeOptions, &d);
    if (!report.Ok())
        return c.Name() + " (ratio in use " + std::to_string(run.weaveRatio) + "):\n" + FormatVerifyReport(report);
    const std::string books = CheckBookkeeping(c, run, d);
    if (!books.empty()) return c.Name() + ": " + books;
    return {};
}

}  // namespace conservation

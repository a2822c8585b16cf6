// Broken streams: every cut of a small job, stray bytes, unknown commands, remote-mode faults.
#include <gtest/gtest.h>

#include <random>

#include "decode_support.h"

namespace {
struct Piece {
    const char* bytes;
    bool remote;      // inside remote mode: a cut after it leaves the stream in remote mode
    bool divisible;   // a run of NULs: every cut inside it is between commands too
};

struct Fault {
    std::string bytes, text;
};

std::vector<Fault> Faults(const std::string& where)
{
    std::vector<Fault> out;
    for (const auto& row : test_support::DataTable("decode_faults.tsv"))
        if (row.at(0) == where) out.push_back({row.at(1), row.at(2)});
    EXPECT_FALSE(out.empty());
    return out;
}

// A small job written out command by command.
const Piece kJob[] = {
    {"00 00 00", false, true},
    {"1B 01 '@EJL 1284.4' 0A '@EJL     ' 0A", false, false},
    {"1B 40", false, false},
    {"1B 28 52 08 00 00 'REMOTE1'", true, false},
    {"54 49 08 00 00 07 E5 05 16 05 2C 1B", true, false},
    {"4D 49 04 00 00 01 0B 63", true, false},
    {"4C 44 00 00", true, false},
    {"1B 00 00 00", false, false},
    {"1B 28 47 01 00 01", false, false},
    {"1B 28 55 05 00 08 08 04 80 16", false, false},
    {"1B 55 00", false, false},
    {"1B 19 31", false, false},
    {"1B 28 63 08 00 1C 00 00 00 8E 20 00 00", false, false},
    {"1B 28 44 04 00 80 16 20 08", false, false},
    {"1B 28 76 04 00 09 00 00 00", false, false},
    {"1B 28 24 04 00 03 00 00 00", false, false},
    {"1B 69 02 01 02 02 00 02 00 01 C0 00 FF 40", false, false},
    {"0D", false, false},
    {"1B 69 01 00 01 01 00 02 00 80 01", false, false},
    {"0D", false, false},
    {"0C", false, false},
};

// Cut between commands: a clean partial result with exactly the commands before the cut. Cut inside a
// command: a fault at that command's offset. Cut inside remote mode: a fault at the end of the stream.
TEST(DecodeMalformed, EveryCutOfAJobIsAFaultOrACleanPartialResult)
{
    std::vector<uint8_t> job;
    std::vector<size_t> starts;
    for (const Piece& p : kJob) {
        starts.push_back(job.size());
        const std::vector<uint8_t> b = HexBytes(p.bytes);
        job.insert(job.end(), b.begin(), b.end());
    }
    starts.push_back(job.size());
    ASSERT_TRUE(DecodeBytes(job).Ok());

    for (size_t cut = 0; cut <= job.size(); ++cut) {
        SCOPED_TRACE("cut at " + std::to_string(cut));
        const std::vector<uint8_t> part(job.begin(), job.begin() + cut);
        const DecodeResult r = DecodeBytes(part);
        size_t piece = 0;  // the piece the cut falls in or ends
        while (starts[piece + 1] < cut) ++piece;
        const bool atEnd = starts[piece + 1] == cut;
        const bool between = cut == 0 || atEnd || kJob[piece].divisible;
        const bool inRemote = cut > 0 && atEnd && kJob[piece].remote;
        if (between && !inRemote) {
            EXPECT_TRUE(r.Ok()) << r.error->Text();
            EXPECT_EQ(r.commands.size(), cut == 0 ? 0 : piece + 1);
        } else if (inRemote) {
            ASSERT_FALSE(r.Ok());
            EXPECT_EQ(r.error->offset, cut);
            EXPECT_EQ(r.error->command, "remote mode");
            EXPECT_EQ(r.error->message, "the stream ends in remote mode (no ESC 00 00 00)");
            EXPECT_EQ(r.commands.size(), piece + 1);
        } else {
            ASSERT_FALSE(r.Ok());
            EXPECT_EQ(r.error->offset, starts[piece]);
            EXPECT_FALSE(r.error->message.empty());
            EXPECT_EQ(r.commands.size(), piece);
        }
    }
}

TEST(DecodeMalformed, UnknownOneLetterCommandsAndStrayBytesAreFaults)
{
    const auto cases = Faults("top");
    for (const auto& c : cases) {
        const DecodeResult r = DecodeBytes(HexBytes(c.bytes));
        ASSERT_FALSE(r.Ok()) << c.bytes;
        EXPECT_EQ(r.error->Text(), c.text);
    }
}

TEST(DecodeMalformed, RemoteModeFaults)
{
    const char* const enter = "1B 28 52 08 00 00 'REMOTE1'";
    const auto cases = Faults("remote");
    for (const auto& c : cases) {
        const DecodeResult r = DecodeBytes(Concat({enter, c.bytes}));
        ASSERT_FALSE(r.Ok()) << c.bytes;
        EXPECT_EQ(r.error->Text(), c.text);
        EXPECT_EQ(r.commands.size(), 1u);  // ESC ( R was read
    }
}

// Random bytes, and random damage to a valid job, never crash or hang; when decoding fails
// the fault lies inside the stream.
TEST(DecodeMalformed, RandomAndDamagedStreamsEndCleanly)
{
    std::mt19937 rng(11);
    DecodeOptions o;
    o.maxPlaneBytes = 1 << 24;
    std::vector<uint8_t> job;
    for (const Piece& p : kJob) {
        const std::vector<uint8_t> b = HexBytes(p.bytes);
        job.insert(job.end(), b.begin(), b.end());
    }
    for (int i = 0; i < 3000; ++i) {
        std::vector<uint8_t> s;
        if (i % 2) {
            s = job;
            for (int k = 0; k < 1 + static_cast<int>(rng() % 4); ++k) s[rng() % s.size()] = static_cast<uint8_t>(rng());
        } else {
            s.resize(rng() % 64);
            for (uint8_t& b : s) b = static_cast<uint8_t>(rng() % 4 ? rng() : 0x1B);
        }
        const DecodeResult r = DecodeBytes(s, o);
        if (r.error) {
            EXPECT_LE(r.error->offset, s.size());
        }
        for (const StreamCommand& c : r.commands) EXPECT_LE(c.offset + c.length, s.size());
    }
}
}  // namespace

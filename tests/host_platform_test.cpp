// Platform services: the C runtime generator, atoi, splitting, clocks and folders (the tick
// count's wrap is checked where the driver times a job).
#include <gtest/gtest.h>

#include "support/TestSupport.h"

#include <cstdlib>
#include <filesystem>

#include "host/CString.h"
#include "host/Platform.h"

namespace {

struct RandCase {
    uint32_t seed;
    int values[5];
};

// Values worked out from state = state * 214013 + 2531011, result = (state >> 16) & 0x7FFF.
TEST(MsvcRand, SequencesAfterSeeding)
{
    const RandCase cases[] = {
        {0u, {38, 7719, 21238, 2437, 8855}},
        {1u, {41, 18467, 6334, 26500, 19169}},
        {12345u, {7584, 19164, 25795, 22125, 5828}},
        {0xFFFFFFFFu, {35, 29739, 3374, 11141, 31308}},
    };
    for (const RandCase& c : cases) {
        msvc_srand(c.seed);
        for (int v : c.values) EXPECT_EQ(msvc_rand(), v) << "seed " << c.seed;
        EXPECT_EQ(msvc_first_rand(c.seed), c.values[0]) << "seed " << c.seed;
    }
}

TEST(Atoi, FollowsTheRuntime)
{
    EXPECT_EQ(Atoi("42"), 42);
    EXPECT_EQ(Atoi("  -17xyz"), -17);
    EXPECT_EQ(Atoi("+5"), 5);
    EXPECT_EQ(Atoi("abc"), 0);
    EXPECT_EQ(Atoi(""), 0);
    EXPECT_EQ(Atoi(nullptr), 0);
    EXPECT_EQ(Atoi("2147483647"), 2147483647);
    EXPECT_EQ(Atoi("99999999999"), 2147483647);
    EXPECT_EQ(Atoi("-99999999999"), -2147483647 - 1);
}

TEST(Split, KeepsFieldPositions)
{
    CStringList list;
    Split("1,2,,4,x7", ",", &list, 1);
    ASSERT_EQ(list.GetCount(), 5);
    EXPECT_EQ(list.GetAt(2), "");
    EXPECT_EQ(list.GetAt(4), "x7");

    CStringList none;
    Split("", ",", &none, 1);
    EXPECT_EQ(none.GetCount(), 0);

    CStringList trailing;
    Split("a,b,", ",", &trailing, 1);
    EXPECT_EQ(trailing.GetCount(), 3);
}

TEST(CStringBytes, HoldsZeroBytes)
{
    CString s("\x1b\x00\x00\x00", 4);
    EXPECT_EQ(s.GetLength(), 4);
    s += CString("\x00", 1);
    EXPECT_EQ(s.GetLength(), 5);
    EXPECT_EQ(s.bytes()[4], 0);
}

TEST(Clock, CtimeTextAndPinnedPrinterClock)
{
    const std::string t = CtimeText(0);
    EXPECT_EQ(t.size(), 25u);
    EXPECT_EQ(t.back(), '\n');

    setenv("SOURCE_DATE_EPOCH", "1621662267", 1);  // 2021-05-22 05:44:27 UTC
    const PrinterClock c = PrinterClockNow();
    unsetenv("SOURCE_DATE_EPOCH");
    EXPECT_EQ(c.year, 2021);
    EXPECT_EQ(c.month, 5);
    EXPECT_EQ(c.day, 22);
    EXPECT_EQ(c.hour, 5);
    EXPECT_EQ(c.minute, 44);
    EXPECT_EQ(c.second, 27);
}

TEST(UserData, BackslashIsAFolderSeparatorAndFoldersAreMade)
{
    const test_support::TempDir tmp;
    const std::filesystem::path dir = tmp.path() / "data";
    setenv("XDG_DATA_HOME", dir.c_str(), 1);
    const CString path = BuildUserDataPathName("Nvlogging\\job.txt");
    unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(std::string(path.GetString()), (dir / "rphoto" / "Nvlogging" / "job.txt").string());
    EXPECT_TRUE(std::filesystem::is_directory(dir / "rphoto" / "Nvlogging"));
}

}  // namespace

// The settings file survives what users and concurrent commands do to it: values that could not
// be read back, links, modes and FIFOs, writers racing each other, device options out of range.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <tuple>

#include "host/PrintEnv.h"
#include "support/TestSupport.h"

namespace fs = std::filesystem;

namespace {

class SettingsSafety : public ::testing::Test {
protected:
    static CPrintEnv Loaded(const fs::path& p)
    {
        CPrintEnv env;
        std::string error;
        EXPECT_TRUE(env.LoadFile(p.string(), &error)) << error;
        return env;
    }
    // The command line of `rphoto COMMAND ARGS` on this settings file.
    std::string Rphoto(const std::string& commandAndArgs) const
    {
        const size_t end = commandAndArgs.find(' ');
        return "timeout 20 '" + test_support::RphotoCommand() + "' " + commandAndArgs.substr(0, end) + " --settings '" +
               path + "'" + commandAndArgs.substr(end) + " >/dev/null 2>&1";
    }

    const test_support::TempDir tmp;
    const fs::path dir = tmp.path();
    const std::string path = tmp / "settings.ini";
};

TEST_F(SettingsSafety, WhatIsSavedReadsBackOrIsRefusedBeforeWriting)
{
    const std::tuple<std::string, std::string, bool> cases[] = {
        {"long", std::string(1000, 'v'), true},  // beyond inih's usual 200-character lines
        {"k", "a;b, c#d", true},                 {"longest", std::string(70000, 'v'), false},
        {"k3", "v ; comment?", false},           {"  ", "1", false},
        {" k", "1", false},                      {"#k", "1", false},
        {"k", "x\ny = 2", false},
    };
    CPrintEnv before;
    before.PutString("a", "1");
    for (const auto& [key, value, storable] : cases) {
        ASSERT_TRUE(before.SaveFile(path, nullptr));
        CPrintEnv env;
        env.PutString(key.c_str(), value.c_str());
        EXPECT_EQ(env.SaveFile(path, nullptr), storable) << key;
        EXPECT_EQ(Loaded(path).Values(), (storable ? env : before).Values()) << key;
    }
    std::ofstream(path) << "a = " << std::string(1000, 'x') << "\n\nnot a setting\n";
    std::string error;
    EXPECT_FALSE(CPrintEnv().LoadFile(path, &error));
    EXPECT_NE(error.find(path + ":3: "), std::string::npos) << error;
}

TEST_F(SettingsSafety, SavingKeepsLinksModesAndFifos)
{
    const fs::path target = dir / "real.ini", link = dir / "link.ini", fifo = dir / "fifo.ini";
    std::ofstream(target) << "a = 1\n";
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write);
    fs::create_symlink("real.ini", link);
    CPrintEnv env;
    env.PutString("b", "2");
    ASSERT_TRUE(env.SaveFile(link.string(), nullptr));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(Loaded(target).Values(), env.Values());

    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);  // so that the save need not wait
    EXPECT_TRUE(env.SaveFile(fifo.string(), nullptr));
    char received[256];
    const ssize_t n = ::read(reader, received, sizeof received);
    ::close(reader);
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_NE(std::string(received, n > 0 ? n : 0).find("b = 2\n"), std::string::npos);
}

TEST_F(SettingsSafety, ConcurrentWritersLoseNothingAndWriteOnlyWhatTheyChange)
{
    const std::string loops = "for i in $(seq 20); do " + Rphoto("settings set a$i=$i") + "; done & " +
                              "for i in $(seq 20); do " + Rphoto("settings set b$i=$i") + "; done & " +
                              "for i in $(seq 12); do " + Rphoto("options --model r2000 --set nPlateGap=$i") +
                              "; done; wait";
    ASSERT_EQ(std::system(loops.c_str()), 0);
    const CPrintEnv env = Loaded(path);
    for (int i = 1; i <= 20; ++i) {
        EXPECT_EQ(env.GetInt(("a" + std::to_string(i)).c_str(), 0), i);
        EXPECT_EQ(env.GetInt(("b" + std::to_string(i)).c_str(), 0), i);
    }
    EXPECT_EQ(env.GetInt("DP1_nPlateGap", 0), 12);
    EXPECT_EQ(env.Values().size(), 41u) << "options --set writes only the option it changes";
}

TEST_F(SettingsSafety, DeviceOptionsOutOfRangeAreNotStored)
{
    std::ofstream(path) << "DP2_nDryTimeScan = 100\n";
    for (const char* args : {"settings set DP2_nDryTimeScan=-50", "settings set DP2_nDryTimeScan=100000",
                             "settings set DP1_nPlatGap=1", "options --model r3000 --set nPaperTyp=999",
                             "options --model r3000 --set nPlateGap=5", "pages --model r2000 --method bogus"})
        EXPECT_NE(std::system(Rphoto(args).c_str()), 0) << args;
    EXPECT_EQ(Loaded(path).Values(), (std::map<std::string, std::string>{{"DP2_nDryTimeScan", "100"}}));
    EXPECT_EQ(std::system(Rphoto("options --model r3000 --set 'strPaperTyp=premium glossy photo paper'").c_str()), 0);
    EXPECT_EQ(Loaded(path).GetString("DP2_strPaperTyp", ""), "Premium Glossy Photo Paper");
}

}  // namespace

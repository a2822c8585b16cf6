// The settings file survives what users and concurrent commands do to it: values that could not
// be read back, links, modes and FIFOs, writers racing each other, device options out of range.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "host/PrintEnv.h"

namespace fs = std::filesystem;

namespace {

const std::string kRphoto = std::string(RPHOTO_BIN_DIR) + "/rphoto";

std::string Read(const fs::path& p)
{
    std::ifstream f(p);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

class SettingsSafety : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = fs::temp_directory_path() / ("rphoto-settings-safety-" + std::to_string(::getpid()));
        fs::create_directories(dir);
        path = (dir / "settings.ini").string();
    }
    void TearDown() override { fs::remove_all(dir); }
    int Rphoto(const std::string& args) const
    {
        return std::system(("timeout 20 '" + kRphoto + "' " + args + " --settings '" + path + "' >/dev/null 2>&1").c_str());
    }

    fs::path dir;
    std::string path;
};

TEST_F(SettingsSafety, WhatIsSavedReadsBackOrIsRefusedBeforeWriting)
{
    const struct {
        std::string key, value;
        bool storable;
    } cases[] = {
        {"long", std::string(1000, 'v'), true},  // beyond inih's usual 200-character lines
        {"k", "a;b, c#d", true},
        {"longest", std::string(70000, 'v'), false},
        {"k3", "v ; comment?", false},
        {"  ", "1", false},
        {" k", "1", false},
        {"#k", "1", false},
        {"k", "x\ny = 2", false},
    };
    CPrintEnv before;
    before.PutString("a", "1");
    for (const auto& c : cases) {
        std::ofstream(path) << "a = 1\n";
        CPrintEnv env, back;
        env.PutString(c.key.c_str(), c.value.c_str());
        std::string error;
        EXPECT_EQ(env.SaveFile(path, &error), c.storable) << c.key << ": " << error;
        ASSERT_TRUE(back.LoadFile(path, &error)) << error;
        const CPrintEnv& expected = c.storable ? env : before;
        EXPECT_EQ(back.Values(), expected.Values()) << c.key;
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
    CPrintEnv env, back;
    env.PutString("b", "2");
    std::string error;
    ASSERT_TRUE(env.SaveFile(link.string(), &error)) << error;
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_TRUE(back.LoadFile(target.string(), &error)) << error;
    EXPECT_EQ(back.Values(), env.Values());

    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);  // so that the save need not wait
    EXPECT_TRUE(env.SaveFile(fifo.string(), &error)) << error;
    char received[256];
    const ssize_t n = ::read(reader, received, sizeof received);
    ::close(reader);
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_NE(std::string(received, n > 0 ? n : 0).find("b = 2\n"), std::string::npos);
}

TEST_F(SettingsSafety, ConcurrentWritersLoseNothing)
{
    constexpr int kRuns = 20;
    const std::string set = "'" + kRphoto + "' settings --settings '" + path + "' set ";
    const std::string options = "'" + kRphoto + "' options --model r2000 --settings '" + path + "' --set ";
    const std::string loops = "for i in $(seq " + std::to_string(kRuns) + "); do " + set + "a$i=$i; done & " +
                              "for i in $(seq " + std::to_string(kRuns) + "); do " + set + "b$i=$i; done & " +
                              "for i in $(seq 12); do " + options + "nPlateGap=$i >/dev/null; done; wait";
    ASSERT_EQ(std::system(("(" + loops + ") 2>&1").c_str()), 0);
    CPrintEnv env;
    std::string error;
    ASSERT_TRUE(env.LoadFile(path, &error)) << error;
    for (int i = 1; i <= kRuns; ++i) {
        EXPECT_EQ(env.GetInt(("a" + std::to_string(i)).c_str(), 0), i);
        EXPECT_EQ(env.GetInt(("b" + std::to_string(i)).c_str(), 0), i);
    }
    EXPECT_EQ(env.Values().size(), 2u * kRuns + 1) << "options --set writes only the option it changes";
    EXPECT_EQ(env.GetInt("DP1_nPlateGap", 0), 12);
}

TEST_F(SettingsSafety, DeviceOptionsOutOfRangeAreNotStored)
{
    std::ofstream(path) << "DP2_nDryTimeScan = 100\n";
    for (const char* args : {"settings set DP2_nDryTimeScan=-50", "settings set DP2_nDryTimeScan=100000",
                             "settings set DP1_nPlatGap=1", "options --model r3000 --set nPaperTyp=999",
                             "options --model r3000 --set nPlateGap=5", "pages --model r2000 --method bogus"})
        EXPECT_NE(Rphoto(args), 0) << args;
    EXPECT_EQ(Read(path), "DP2_nDryTimeScan = 100\n");
    EXPECT_EQ(Rphoto("options --model r3000 --set 'strPaperTyp=premium glossy photo paper'"), 0);
    CPrintEnv env;
    ASSERT_TRUE(env.LoadFile(path, nullptr));
    EXPECT_EQ(env.GetString("DP2_strPaperTyp", ""), "Premium Glossy Photo Paper");
}

}  // namespace

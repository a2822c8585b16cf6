// The driver module as the host sees it: its exported symbols and how the host loads it.
#include <gtest/gtest.h>

#include <string>

#include "support/TestSupport.h"

namespace {

std::string RunShell(const std::string& cmd, int* status)
{
    const test_support::ShellRun run = test_support::RunShell(cmd + " 2>&1");
    *status = run.status;
    return run.out;
}

const std::string kModule = std::string(RPHOTO_LIB_DIR) + "/rphoto_driver.so";
const std::string kRphoto = test_support::RphotoCommand();

TEST(DriverModule, ExportsCreateAndNothingElse)
{
    int status = 0;
    const std::string out = RunShell("nm -D --defined-only '" + kModule + "'", &status);
    ASSERT_EQ(status, 0) << out;
    std::string names;
    for (size_t pos = 0; pos < out.size();) {
        const size_t eol = out.find('\n', pos);
        const std::string line = out.substr(pos, eol - pos);
        pos = eol == std::string::npos ? out.size() : eol + 1;
        const size_t sp = line.rfind(' ');
        if (sp != std::string::npos) names += line.substr(sp + 1) + " ";
    }
    EXPECT_EQ(names, "Create ");
}

TEST(DriverModule, HostRefusesWhatIsNotADriverModule)
{
    int status = 0;
    std::string out = RunShell("'" + kRphoto + "' info --module /nonexistent/module.so", &status);
    EXPECT_NE(status, 0);
    EXPECT_NE(out.find("cannot load driver module"), std::string::npos) << out;

    // The host library is a shared library without Create.
    out = RunShell("'" + kRphoto + "' info --module '" + RPHOTO_LIB_DIR + "/librphoto_host.so'", &status);
    EXPECT_NE(status, 0);
    EXPECT_NE(out.find("no Create function"), std::string::npos) << out;
}

}  // namespace

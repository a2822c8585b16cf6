// Golden jobs: the bundled sample printed for both models with the printer clock pinned must give
// the bytes and the decoded listing kept in ref/ (rewritten only by scripts/update-refs.sh, after
// reading the diff).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/TestSupport.h"

namespace fs = std::filesystem;

namespace {

using test_support::ReadFile;

int Shell(const std::string& cmd) { return std::system(cmd.c_str()); }

TEST(GoldenJobs, SampleJobsMatchTheirReferences)
{
    const std::string src = RPHOTO_SOURCE_DIR;
    const std::string build = fs::path(RPHOTO_BIN_DIR).parent_path().string();
    const test_support::TempDir tmp;
    const fs::path& dir = tmp.path();
    ASSERT_EQ(Shell("SOURCE_DATE_EPOCH=0 '" + src + "/scripts/print-sample.sh' '" + build + "' '" + dir.string() +
                    "' > /dev/null"),
              0);
    for (const std::string model : {"r2000", "r3000"}) {
        const std::string job = (dir / ("sample-" + model + ".prn")).string();
        const std::string list = job + ".list";
        ASSERT_EQ(Shell("'" + std::string(RPHOTO_BIN_DIR) + "/rphoto' decode '" + job + "' --list > '" + list + "'"), 0);
        EXPECT_EQ(ReadFile(list), ReadFile(src + "/ref/sample-" + model + ".list"))
            << "the decoded " << model << " sample differs from ref/: diff " << list << " against the reference";
        const std::string sum = (dir / "sum").string();
        ASSERT_EQ(Shell("cd '" + dir.string() + "' && sha256sum 'sample-" + model + ".prn' > '" + sum + "'"), 0);
        EXPECT_EQ(ReadFile(sum), ReadFile(src + "/ref/sample-" + model + ".sha256")) << "the " << model << " sample's bytes changed";
    }
}

}  // namespace

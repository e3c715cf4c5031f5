// The generator is deterministic: run again on the same sources it writes the same bytes as
// the build put into the program folder.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/content/content_files.h"
#include "tests/support/run_program.h"

namespace content_test {
namespace {

TEST(Generator, SameSourcesGiveByteIdenticalFiles) {
    const std::filesystem::path out =
        std::filesystem::temp_directory_path() / ("content_test_regenerated." + std::to_string(::getpid()));
    std::filesystem::remove_all(out);
    const testsupport::ProgramRun run =
        testsupport::RunProgram(ProgramDir() + "/contentgen", {"--assets", EL_ASSETS_DIR, "--out", out});
    ASSERT_EQ(run.status, 0) << run.err;
    int files = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(out)) {
        if (!entry.is_regular_file()) continue;
        ++files;
        std::string relative = std::filesystem::relative(entry.path(), out).string();
        SCOPED_TRACE(relative);
        EXPECT_EQ(ReadBytes(entry.path().string()), ReadBytes(ProgramDir() + "/" + relative));
    }
    EXPECT_EQ(files, 22);  // eighteen pictures and four stage files
    std::filesystem::remove_all(out);
}

}  // namespace
}  // namespace content_test

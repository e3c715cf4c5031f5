// eltool's picture-pack commands: building a pack from a folder, listing it, unpacking an entry,
// and their exit codes.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "platform/bmp.h"
#include "tests/support/run_program.h"
#include "tests/support/write_failures.h"

#ifdef EL_ELTOOL_PATH
namespace {

class PackToolTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = std::filesystem::temp_directory_path() / ("el_pack_tool_" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir / "pics");
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::string Path(const std::string& name) const { return (dir / name).string(); }

    // Runs eltool; the exit code, with standard output kept in `out`.
    int Run(const std::vector<std::string>& arguments) {
        const testsupport::ProgramRun run = testsupport::RunProgram(EL_ELTOOL_PATH, arguments);
        out = run.out;
        err = run.err;
        return run.status;
    }
    std::vector<uint8_t> Bytes(const std::string& name) const {
        std::ifstream in(dir / name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    void Picture(const std::string& name, int w, int h, const std::vector<uint32_t>& pixels) {
        platform::Picture p;
        p.width = w;
        p.height = h;
        p.pixels = pixels;
        ASSERT_TRUE(platform::SaveBmp24(Path(name).c_str(), p));
    }

    std::filesystem::path dir;
    std::string out, err;
};

TEST_F(PackToolTest, PacksAFolderListsItAndUnpacksAnEntry) {
    Picture("pics/b_two.bmp", 2, 1, {0xFFFFFF, 0x070707});
    Picture("pics/A_one.BMP", 1, 2, {0x000000, 0x88FF10});
    std::ofstream(dir / "pics" / "readme.txt") << "not a picture";
    ASSERT_EQ(Run({"pack-pictures", Path("p.pak"), Path("pics")}), 0);
    // Entries in order of their upper-cased names; pixels as 15-bit values, dark non-black keeps blue 1.
    const std::vector<uint8_t> expected = {1,   0,   2,   0, 'A',  '_',  'O',  'N',  'E', '.',
                                           'B', 'M', 'P', 0, 0x00, 0x00, 0xE2, 0x47,  // 17, 31, 2: 0x47E2
                                           2,   0,   1,   0, 'B',  '_',  'T',  'W',  'O', '.',
                                           'B', 'M', 'P', 0, 0xFF, 0x7F, 0x01, 0x00};
    EXPECT_EQ(Bytes("p.pak"), expected);

    ASSERT_EQ(Run({"list-picture-pack", Path("p.pak")}), 0);
    EXPECT_EQ(out, "A_ONE.BMP 1 2\nB_TWO.BMP 2 1\n");

    // Appending adds the same entries again; --fresh starts over.
    ASSERT_EQ(Run({"pack-pictures", Path("p.pak"), Path("pics")}), 0);
    EXPECT_EQ(Bytes("p.pak").size(), 2 * expected.size());
    ASSERT_EQ(Run({"pack-pictures", "--fresh", Path("p.pak"), Path("pics")}), 0);
    EXPECT_EQ(Bytes("p.pak"), expected);

    // Each 5-bit channel widened by 8.
    ASSERT_EQ(Run({"unpack-picture", Path("p.pak"), "b_Two.bmp", Path("out.bmp")}), 0);
    platform::Picture back;
    ASSERT_TRUE(platform::LoadBmpFile(Path("out.bmp").c_str(), back));
    EXPECT_EQ(back.width, 2);
    EXPECT_EQ(back.pixels, (std::vector<uint32_t>{0xF8F8F8, 0x000008}));
}

TEST_F(PackToolTest, ExitCodesTellWrongArgumentsFromRefusedInput) {
    EXPECT_EQ(Run({"pack-pictures", Path("p.pak")}), 2);
    EXPECT_EQ(Run({"list-picture-pack"}), 2);
    EXPECT_EQ(Run({"unpack-picture", Path("p.pak"), "X.BMP"}), 2);
    EXPECT_EQ(Run({"list-picture-pack", Path("missing.pak")}), 1);
    EXPECT_EQ(Run({"pack-pictures", Path("p.pak"), Path("no_such_folder")}), 1);
    EXPECT_FALSE(std::filesystem::exists(dir / "p.pak"));

    // A picture the decoder refuses gets no entry; the others are packed and the run fails.
    Picture("pics/good.bmp", 1, 1, {0x102030});
    std::ofstream(dir / "pics" / "bad.bmp") << "BM broken";
    EXPECT_EQ(Run({"pack-pictures", Path("p.pak"), Path("pics")}), 1);
    ASSERT_EQ(Run({"list-picture-pack", Path("p.pak")}), 0);
    EXPECT_EQ(out, "GOOD.BMP 1 1\n");
    EXPECT_EQ(Run({"unpack-picture", Path("p.pak"), "BAD.BMP", Path("x.bmp")}), 1);
    EXPECT_FALSE(std::filesystem::exists(dir / "x.bmp"));

    // A pack cut off inside its second entry lists the first and fails.
    std::vector<uint8_t> cut = Bytes("p.pak");
    cut.insert(cut.end(), {4, 0, 4, 0, 'Z', 0, 1, 2});
    std::ofstream(dir / "cut.pak", std::ios::binary)
        .write(reinterpret_cast<const char*>(cut.data()), cut.size());
    EXPECT_EQ(Run({"list-picture-pack", Path("cut.pak")}), 1);
    EXPECT_EQ(out, "GOOD.BMP 1 1\n");
}

// pack-pictures replaces a pack only by a whole new one: on a full disk (a file-size limit) or in a
// folder that takes no file the old pack stays byte for byte with nothing beside it, the failure is
// said and the exit code is 1.
TEST_F(PackToolTest, APackThatCannotBeWrittenStaysAsItWas) {
    Picture("pics/a.bmp", 1, 1, {0x123456});
    std::filesystem::create_directories(dir / "out");
    ASSERT_EQ(Run({"pack-pictures", Path("out/p.pak"), Path("pics")}), 0);
    const std::vector<uint8_t> old = Bytes("out/p.pak");
    std::filesystem::create_directories(dir / "big");
    Picture("big/b.bmp", 200, 200, std::vector<uint32_t>(200 * 200, 0x808080));
    for (const char* fresh : {"", "--fresh"}) {
        std::vector<std::string> arguments = {"pack-pictures", Path("out/p.pak"), Path("big")};
        if (fresh[0] != '\0') arguments.push_back(fresh);
        EXPECT_EQ(testsupport::WithFileSizeLimit(64 * 1024, [&] { return Run(arguments); }), 1) << fresh;
        EXPECT_EQ(err, "eltool pack-pictures: " + Path("out/p.pak") +
                           ": cannot write (cannot write it whole (" + std::strerror(EFBIG) + "))\n");
        EXPECT_TRUE(Bytes("out/p.pak") == old) << fresh;
        EXPECT_EQ(testsupport::FolderNames(dir / "out"), std::set<std::string>{"p.pak"});
    }
    const int refused = testsupport::InReadOnlyFolder(dir / "out", [&] {
        const int status = Run({"pack-pictures", Path("out/p.pak"), Path("big")});
        return status == 1 && err.find("cannot create a file in its folder") != std::string::npos ? 0 : 1;
    });
    if (refused == testsupport::kCannotMakeReadOnly) GTEST_SKIP() << "no folder could be made read-only";
    EXPECT_EQ(refused, 0);
    EXPECT_TRUE(Bytes("out/p.pak") == old);
    EXPECT_EQ(testsupport::FolderNames(dir / "out"), std::set<std::string>{"p.pak"});
}

}  // namespace
#endif

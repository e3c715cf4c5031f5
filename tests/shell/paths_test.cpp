// Program-folder paths, the settings folder moved by a pointer file, settings files and version codes.
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "platform/files.h"
#include "tests/shell/shell_fixture.h"
#include "tests/support/write_failures.h"

namespace {

class PathsTest : public ShellTest {
  protected:
    void SetUp() override {
        ShellTest::SetUp();
        Paths = PathState{};
        root = std::filesystem::temp_directory_path() / ("el_paths_test_" + std::to_string(::getpid()));
        std::filesystem::remove_all(root);
        std::filesystem::create_directories(root / "config");
        setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);
    }
    void TearDown() override {
        platform::SetModuleFileNameForTesting("");
        unsetenv("XDG_CONFIG_HOME");
        std::error_code ignored;
        std::filesystem::remove_all(root, ignored);
        ShellTest::TearDown();
    }
    void WritePointerFile(const std::string& content) {
        std::ofstream(root / "config" / "pointer.txt", std::ios::binary) << content;
    }
    std::filesystem::path root;
};

TEST_F(PathsTest, ModulePathIsTheProgramFolderWithItsBackslash) {
    platform::SetModuleFileNameForTesting("C:\\a\\b\\run.exe");
    EXPECT_STREQ(ModulePath(0), "C:\\a\\b\\");
    EXPECT_STREQ(ModulePath(1), "C:\\a\\b\\");  // no settings folder set
    EXPECT_STREQ(DataPath("BMP\\x.bmp"), "C:\\a\\b\\BMP\\x.bmp");
}

TEST_F(PathsTest, TheSettingsFolderTakesTheProgramFoldersOwnName) {
    platform::SetModuleFileNameForTesting("C:\\Games\\Foo\\run.exe");
    WritePointerFile("D:\\Save\\\n");
    LoadAltBaseDir("pointer.txt");
    EXPECT_STREQ(Paths.AltBaseDir, "D:\\Save");
    EXPECT_STREQ(ModulePath(1), "D:\\Save\\Foo\\");
    EXPECT_STREQ(ModulePath(0), "C:\\Games\\Foo\\");
}

TEST_F(PathsTest, PointerFileLinesLoseOneLineFeedThenOneBackslash) {
    WritePointerFile("/home/me/save");
    LoadAltBaseDir("pointer.txt");
    EXPECT_STREQ(Paths.AltBaseDir, "/home/me/save");
    WritePointerFile("first\nsecond\n");
    LoadAltBaseDir("pointer.txt");
    EXPECT_STREQ(Paths.AltBaseDir, "first");
    WritePointerFile(std::string(400, 'z'));  // longer than a line: cut at 255 characters
    LoadAltBaseDir("pointer.txt");
    EXPECT_EQ(std::string(Paths.AltBaseDir), std::string(255, 'z'));
    // Lines ended by CR LF lose both, as a text-mode read gives them.
    WritePointerFile("D:\\Save\\\r\n");
    LoadAltBaseDir("pointer.txt");
    EXPECT_STREQ(Paths.AltBaseDir, "D:\\Save");
    WritePointerFile("first\r\nsecond\r\n");
    LoadAltBaseDir("pointer.txt");
    EXPECT_STREQ(Paths.AltBaseDir, "first");
    std::filesystem::remove(root / "config" / "pointer.txt");
    LoadAltBaseDir("pointer.txt");
    EXPECT_STREQ(Paths.AltBaseDir, "");
}

TEST_F(PathsTest, LongSettingsFoldersAreCutNeverOverrun) {
    platform::SetModuleFileNameForTesting("C:\\Games\\Foo\\run.exe");
    WritePointerFile(std::string(250, 'q'));
    LoadAltBaseDir("pointer.txt");
    const char* path = ModulePath(1);
    EXPECT_EQ(std::strlen(path), 255u);
    EXPECT_EQ(std::string(path).substr(0, 250), std::string(250, 'q'));
}

TEST_F(PathsTest, IntegerSettingsRoundTripInTheSettingsFolder) {
    // Settings live beside the program unless a pointer file moves them.
    std::string program = (root / "prog" / "run").string();
    std::filesystem::create_directories(root / "prog");
    std::string backslashed = program;
    for (char& c : backslashed)
        if (c == '/') c = '\\';
    platform::SetModuleFileNameForTesting(backslashed.c_str());
    WriteIntSetting("SCORE.DAT", -42);
    EXPECT_TRUE(std::filesystem::exists(root / "prog" / "SCORE.DAT"));
    EXPECT_EQ(ReadIntSetting("score.dat"), -42);  // names match in any case
    EXPECT_EQ(ReadIntSetting("missing.dat"), 0);

    std::string save = (root / "save").string();
    for (char& c : save)
        if (c == '/') c = '\\';
    WritePointerFile(save + "\n");
    LoadAltBaseDir("pointer.txt");
    std::filesystem::create_directories(root / "save" / "prog");
    WriteIntSetting("SCORE.DAT", 7);
    EXPECT_TRUE(std::filesystem::exists(root / "save" / "prog" / "SCORE.DAT"));
    EXPECT_EQ(ReadIntSetting("SCORE.DAT"), 7);
}

TEST_F(PathsTest, VersionCodesFollowTheTable) {
    EXPECT_EQ(OsVersionCode(0, 3, 10), 310);
    EXPECT_EQ(OsVersionCode(1, 4, 0), 950);
    EXPECT_EQ(OsVersionCode(1, 4, 10), 980);
    EXPECT_EQ(OsVersionCode(1, 5, 2), 502);
    EXPECT_EQ(OsVersionCode(2, 5, 1), 2000);
    EXPECT_EQ(OsVersionCode(2, 6, 1), 6010);
    EXPECT_EQ(OsVersionCode(3, 1, 0), -1);
    EXPECT_GT(GetOsVersion(), 2000);  // this system reports its kernel version on the modern row
}

TEST_F(PathsTest, CommandLinesAreKeptAndCutToTheirBuffer) {
    StoreCommandLine("-x --y");
    EXPECT_STREQ(CommandLineText(), "-x --y");
    std::string huge(5000, 'c');
    StoreCommandLine(huge.c_str());
    EXPECT_EQ(std::strlen(CommandLineText()), static_cast<size_t>(kCommandLineSize - 1));
}

TEST_F(PathsTest, NamesResolveWithoutRegardToCase) {
    std::filesystem::create_directories(root / "Prog" / "BMP");
    std::ofstream(root / "Prog" / "BMP" / "Waku.bmp") << "x";
    std::string name = (root / "prog" / "bmp").string() + "\\WAKU.BMP";
    EXPECT_EQ(platform::ResolvePath(name.c_str()), (root / "Prog" / "BMP" / "Waku.bmp").string());
    FILE* file = platform::OpenFile(name.c_str(), "rt");
    ASSERT_NE(file, nullptr);
    std::fclose(file);
}

// Folders the file system names outside ASCII (the program folder, the settings pointer folder, the
// folder a pointer file names, the current directory) keep their own bytes; the names the engine
// joins to them are Shift-JIS.
TEST_F(PathsTest, FoldersNamedOutsideAsciiJoinShiftJisNames) {
    const std::filesystem::path program = root / std::filesystem::path(u8"Jürgen ゲーム");
    const std::filesystem::path config = root / std::filesystem::path(u8"設定ü");
    std::filesystem::create_directories(program / std::filesystem::path(u8"表ソ"));
    std::filesystem::create_directories(config);
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    std::string backslashed = (program / "run").string();
    for (char& c : backslashed)
        if (c == '/') c = '\\';
    platform::SetModuleFileNameForTesting(backslashed.c_str());

    WriteIntSetting("表ソ\\得点ポ.dat", 12);
    EXPECT_TRUE(std::filesystem::exists(program / std::filesystem::path(u8"表ソ/得点ポ.dat")));
    EXPECT_EQ(ReadIntSetting("表ソ\\得点ポ.DAT"), 12);
    EXPECT_EQ(platform::ResolvePath(DataPath("表ソ")), (program / std::filesystem::path(u8"表ソ")).string());

    // The pointer file lies in the settings pointer folder and names a folder of the file system.
    const std::filesystem::path save = root / std::filesystem::path(u8"セーブü");
    std::filesystem::create_directories(save / std::filesystem::path(u8"Jürgen ゲーム"));
    std::string line = save.string();
    for (char& c : line)
        if (c == '/') c = '\\';
    std::ofstream(config / std::filesystem::path(u8"ポインタ.txt"), std::ios::binary) << line << "\n";
    LoadAltBaseDir("ポインタ.txt");
    EXPECT_STREQ(Paths.AltBaseDir, line.c_str());
    WriteIntSetting("得点.dat", 34);
    const std::filesystem::path moved = save / std::filesystem::path(u8"Jürgen ゲーム/得点.dat");
    EXPECT_TRUE(std::filesystem::exists(moved));
    EXPECT_EQ(ReadIntSetting("得点.dat"), 34);

    // Relative names stay below the current directory, whatever it is named.
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(program);
    DebugLog("%s", "記録");
    std::filesystem::current_path(before);
    std::ifstream log(program / "DEBUG.TXT", std::ios::binary);
    std::string logged((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
    EXPECT_EQ(logged, "記録\n");

    // A name whose Shift-JIS is cut inside a character names no file.
    EXPECT_EQ(platform::ResolvePath((std::string(ModulePath(0)) + "\x95").c_str()), "");
    EXPECT_EQ(platform::OpenFile((std::string(ModulePath(0)) + "\x95").c_str(), "wb"), nullptr);
    EXPECT_EQ(platform::OpenFile(nullptr, "rb"), nullptr);
}

// Every file the engine reads is a regular file: a FIFO that nobody writes, a device that never
// ends and a folder are refused at once, and nothing is written into a FIFO.
TEST_F(PathsTest, TheEngineOpensOnlyRegularFilesAndNeverWaitsOnAFifo) {
    std::string program = (root / "run").string();
    for (char& c : program)
        if (c == '/') c = '\\';
    platform::SetModuleFileNameForTesting(program.c_str());
    const std::string folder = ModulePath(0);
    ASSERT_EQ(::mkfifo((root / "pipe.txt").c_str(), 0600), 0);
    std::filesystem::create_symlink("/dev/zero", root / "zero.bmp");
    std::filesystem::create_directories(root / "pictures.bmp");
    std::ofstream(root / "plain.txt") << "1 2 3\n";
    for (const char* name : {"pipe.txt", "zero.bmp", "pictures.bmp"}) {
        EXPECT_EQ(platform::OpenFile((folder + name).c_str(), "rb"), nullptr) << name;
        EXPECT_EQ(platform::OpenFile((folder + name).c_str(), "rt"), nullptr) << name;
    }
    EXPECT_EQ(platform::OpenFile((folder + "pipe.txt").c_str(), "wb"), nullptr);
    EXPECT_EQ(platform::OpenFile((folder + "pipe.txt").c_str(), "at"), nullptr);
    FILE* plain = platform::OpenFile((folder + "plain.txt").c_str(), "rt");
    ASSERT_NE(plain, nullptr);
    int first = 0;
    EXPECT_EQ(std::fscanf(plain, "%d", &first), 1);
    EXPECT_EQ(first, 1);
    std::fclose(plain);
}

// A file is replaced whole or not at all: a full disk (a file-size limit stands in for one here), a
// device or a folder leaves the old file as it was and no partial file beside it.
TEST_F(PathsTest, WholeFilesAreWrittenCompletelyOrNotAtAll) {
    const std::filesystem::path target = root / "shot.bmp";
    std::ofstream(target, std::ios::binary) << "old picture";
    std::filesystem::permissions(target, std::filesystem::perms(0640));
    const std::string big(1 << 20, 'x');
    std::string reason;

    struct rlimit before {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &before), 0);
    void (*previous)(int) = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = before;
    small.rlim_cur = 64 * 1024;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = platform::WriteWholeFile(target.string(), big.data(), big.size(), &reason);
    ::setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, previous);
    EXPECT_FALSE(written);
    EXPECT_EQ(reason.rfind("cannot write it whole", 0), 0u) << reason;
    std::ifstream old(target, std::ios::binary);
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(old)), std::istreambuf_iterator<char>()),
              "old picture");
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(root)) files += entry.is_regular_file();
    EXPECT_EQ(files, 1) << "a partial file was left";

    EXPECT_FALSE(platform::WriteWholeFile("/dev/full", big.data(), 10, &reason));
    EXPECT_EQ(reason.rfind("not a regular file", 0), 0u) << reason;
    EXPECT_FALSE(platform::WriteWholeFile(root.string(), big.data(), 10, &reason));
    EXPECT_FALSE(
        platform::WriteWholeFile((root / "no such folder" / "a.bmp").string(), big.data(), 10, &reason));

    ASSERT_TRUE(platform::WriteWholeFile(target.string(), big.data(), big.size(), &reason)) << reason;
    EXPECT_EQ(std::filesystem::file_size(target), big.size());
    EXPECT_EQ(std::filesystem::status(target).permissions(), std::filesystem::perms(0640));
}

// Records are appended to a copy beside the file, which takes its place only when committed: one
// not committed is removed and leaves the old bytes; through a link the linked file is replaced
// and the link stays.
TEST_F(PathsTest, AReplacementTakesThePlaceOfTheLinkedFileOnlyWhenCommitted) {
    const std::filesystem::path real = root / "real.pak", link = root / "link.pak";
    std::ofstream(real, std::ios::binary) << "old|";
    std::filesystem::create_symlink(real, link);
    auto bytes = [](const std::filesystem::path& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    };
    {
        platform::FileReplacement abandoned;
        ASSERT_TRUE(abandoned.Begin(link.string(), true));
        EXPECT_EQ(std::filesystem::path(abandoned.temporaryPath()).parent_path(), root);
        std::fputs("lost", abandoned.file());
    }
    EXPECT_EQ(bytes(real), "old|");
    platform::FileReplacement appended;
    ASSERT_TRUE(appended.Begin(link.string(), true));
    EXPECT_TRUE(appended.Check(std::fputs("new", appended.file()) >= 0));
    std::string reason;
    ASSERT_TRUE(appended.Commit(&reason)) << reason;
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(bytes(link), "old|new");
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(root)) names.insert(entry.path().filename());
    EXPECT_EQ(names,
              (std::set<std::string>{"config", "real.pak", "link.pak"}));  // the fixture makes "config"

    // A write that failed fails the commit, even when later ones did not.
    platform::FileReplacement failed;
    ASSERT_TRUE(failed.Begin(real.string(), false));
    errno = ENOSPC;
    failed.Check(false);
    failed.Check(true);
    EXPECT_FALSE(failed.Commit(&reason));
    EXPECT_EQ(reason, std::string("cannot write it whole (") + std::strerror(ENOSPC) + ")");
    EXPECT_EQ(bytes(real), "old|new");
    // Without overwriting, a taken name stays as it is.
    platform::FileReplacement beside;
    ASSERT_TRUE(beside.Begin(real.string(), false));
    EXPECT_FALSE(beside.Commit(&reason, false));
    EXPECT_EQ(errno, EEXIST);
    EXPECT_EQ(bytes(real), "old|new");
}

TEST_F(PathsTest, OperationsGivenNoPointerRefuseLikeAnEmptyName) {
    std::string program = (root / "prog" / "run").string();
    std::filesystem::create_directories(root / "prog");
    for (char& c : program)
        if (c == '/') c = '\\';
    platform::SetModuleFileNameForTesting(program.c_str());
    EXPECT_STREQ(DataPath(nullptr), ModulePath(0));
    WriteIntSetting(nullptr, 5);  // the program folder itself: nothing is written
    EXPECT_EQ(ReadIntSetting(nullptr), 0);
    LoadAltBaseDir(nullptr);
    EXPECT_STREQ(Paths.AltBaseDir, "");
    GetDateText(nullptr, nullptr, nullptr, nullptr);
    int32_t month = 0, minute = -1;
    GetDateText(nullptr, &month, nullptr, nullptr);
    GetTimeOfDay(nullptr, &minute, nullptr);
    EXPECT_GE(month, 1);
    EXPECT_LE(month, 12);
    EXPECT_GE(minute, 0);
    EXPECT_LE(minute, 59);
    EXPECT_EQ(ReportError(nullptr, nullptr), 0);
    EXPECT_EQ(HasError(), 1);
    PollKey('A', nullptr);
    EXPECT_EQ(WaitForRelease(static_cast<const int*>(nullptr)), 0);
}

}  // namespace

TEST_F(PathsTest, ASettingThatCannotBeWrittenKeepsTheValueSavedBefore) {
    std::string program = (root / "prog" / "run").string();
    std::filesystem::create_directories(root / "prog");
    for (char& c : program)
        if (c == '/') c = '\\';
    platform::SetModuleFileNameForTesting(program.c_str());
    WriteIntSetting("SCORE.DAT", -42);
    ASSERT_EQ(ReadIntSetting("SCORE.DAT"), -42);

    // A full disk: the three bytes of "-42" fit, the seven of "1234567" do not.
    const std::string said = testsupport::StandardErrorOf(
        [] { testsupport::WithFileSizeLimit(4, [] { WriteIntSetting("SCORE.DAT", 1234567); }); });
    EXPECT_EQ(ReadIntSetting("SCORE.DAT"), -42);
    EXPECT_EQ(said.rfind("WriteIntSetting: SCORE.DAT: ", 0), 0u) << said;
    EXPECT_EQ(testsupport::FolderNames(root / "prog"), std::set<std::string>{"SCORE.DAT"});

    WriteIntSetting("SCORE.DAT", 1234567);
    EXPECT_EQ(ReadIntSetting("SCORE.DAT"), 1234567);
}

// The layers keep their boundaries: shell above game above engine above platform, SDL only in the
// SDL backend, FreeType, fontconfig and FluidSynth only in the portable platform code.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::vector<std::string> Offenders(const std::vector<std::string>& folders, const std::regex& include,
                                   const std::string& allowedFolder) {
    std::vector<std::string> found;
    for (const std::string& folder : folders) {
        fs::path root = fs::path(EL_SOURCE_DIR) / folder;
        for (const auto& entry : fs::recursive_directory_iterator(root)) {
            if (!entry.is_regular_file()) continue;
            const std::string path = entry.path().string();
            if (!allowedFolder.empty() && path.find(allowedFolder) != std::string::npos) continue;
            std::ifstream file(entry.path());
            std::string line;
            while (std::getline(file, line))
                if (std::regex_search(line, include)) found.push_back(path + ": " + line);
        }
    }
    return found;
}

TEST(Layering, TheEngineIncludesNeitherTheShellNorTheGame) {
    std::regex upward(R"(#\s*include\s*"(shell|game)/)");
    EXPECT_EQ(Offenders({"engine", "platform"}, upward, ""), std::vector<std::string>{});
}

TEST(Layering, TheGameDoesNotIncludeTheShell) {
    std::regex shell(R"(#\s*include\s*"shell/)");
    EXPECT_EQ(Offenders({"game"}, shell, ""), std::vector<std::string>{});
}

TEST(Layering, OnlyTheSdlBackendIncludesSdl) {
    std::regex sdl(R"(#\s*include\s*[<"]SDL)");
    EXPECT_EQ(Offenders({"engine", "game", "shell", "platform"}, sdl, "/platform/sdl/"),
              std::vector<std::string>{});
}

TEST(Layering, OnlyPortablePlatformCodeIncludesTheTextAndSynthLibraries) {
    std::regex libraries(R"(#\s*include\s*[<"](ft2build|freetype|fontconfig|fluidsynth))");
    EXPECT_EQ(Offenders({"engine", "game", "shell", "platform"}, libraries, "/platform/soft/"),
              std::vector<std::string>{});
}

}  // namespace

// audiogen: writes the demo's sounds from the text sources in assets/audio: every
// effects/NAME.txt as NAME.wav, theme.txt as theme.mid, and music.txt as music.wav with its loop
// point in music.loop.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/audiogen/generate.h"

namespace fs = std::filesystem;

int main(int argc, char** argv) {
    std::string assets, out;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--assets"))
            assets = argv[i + 1];
        else if (!std::strcmp(argv[i], "--out"))
            out = argv[i + 1];
    }
    if (assets.empty() || out.empty() || argc != 5) {
        std::fprintf(stderr, "usage: audiogen --assets ASSETS/audio --out DIR\n");
        return 2;
    }
    try {
        fs::create_directories(out);
        std::vector<fs::path> effects;
        for (const auto& entry : fs::directory_iterator(fs::path(assets) / "effects"))
            if (entry.path().extension() == ".txt") effects.push_back(entry.path());
        std::sort(effects.begin(), effects.end());
        for (const fs::path& e : effects)
            audiogen::WriteEffect(e.string(), (fs::path(out) / e.stem()).string() + ".wav");
        audiogen::WriteMidi((fs::path(assets) / "theme.txt").string(),
                            (fs::path(out) / "theme.mid").string());
        audiogen::WriteMusic((fs::path(assets) / "music.txt").string(),
                             (fs::path(out) / "music.wav").string(), (fs::path(out) / "music.loop").string());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "audiogen: %s\n", e.what());
        return 1;
    }
    return 0;
}

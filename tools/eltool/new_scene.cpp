// eltool new-scene DIR NAME: writes a new scene project that builds against the installed engine:
// CMakeLists.txt, main.cpp, a small picture and a small sound, all made here.
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "commands.h"
#include "platform/bmp.h"
#include "platform/files.h"
#include "wave_output.h"

namespace eltool {
namespace {

constexpr const char* kCMakeLists =
    R"(# @NAME@: a scene program on the engine. Build it against the installed SDK:
#   cmake -S . -B build -DCMAKE_PREFIX_PATH=<the SDK's prefix> && cmake --build build && build/@NAME@
cmake_minimum_required(VERSION 3.20)
project(@NAME@ LANGUAGES CXX)

find_package(ElEngine CONFIG REQUIRED)

add_executable(@NAME@ main.cpp)
target_link_libraries(@NAME@ PRIVATE El::Desktop)

# The program's folder is the executable's: its picture and sound go beside it.
configure_file(picture.bmp ${CMAKE_CURRENT_BINARY_DIR}/picture.bmp COPYONLY)
configure_file(sound.wav ${CMAKE_CURRENT_BINARY_DIR}/sound.wav COPYONLY)
)";

// UTF-8 whatever the execution character set: the file written is UTF-8 source.
constexpr const char8_t* kMain =
    u8R"(// @NAME@: a picture moved by the arrow keys, a sound on Space, Esc ends it.
#include <el/el.h>

static ObjectNo picture;
static SoundNo sound;
static int x = 384, y = 284;

static void Frame() {
    static KeyState left, right, up, down, space;  // PollKey moves each record on a step
    PollKey(elKey::Left, &left);
    PollKey(elKey::Right, &right);
    PollKey(elKey::Up, &up);
    PollKey(elKey::Down, &down);
    PollKey(elKey::Space, &space);
    x += 4 * ((right & 1) - (left & 1));  // Pressed (1) and Held (3) are odd: the key is down
    y += 4 * ((down & 1) - (up & 1));
    if (space == elKeyState::Pressed) elSound::Play(sound, 0);

    ClearScreen();
    BltObject(x, y, picture, 0, 0, 32, 32);
    SetFont(elFace::Gothic, 24, 0, 0, 0, 0);
    SetTextColors(0xFFFFFF, 0, 1);
    PutText(10, 10, el::Sjis(u8"矢印キーで動かす、スペースで音"));
    ReleaseFont();
    Refresh();
}

static void Startup() {
    elDraw::Screen(800, 600, 1);
    SetLoadKeyColor(0);  // black pixels of the pictures loaded next are see-through
    picture = elDraw::LoadObject("picture.bmp", elMemory::System);
    sound = elSound::LoadObject("sound.wav", 1);
    RegisterScene(1, Frame);
    SetScene(1);
}

int main(int argc, char** argv) { return elSystem::RunScene(argc, argv, "@NAME@", Startup); }
)";

// Every "@NAME@" of the text replaced by the project's name.
std::string WithName(const char* text, const std::string& name) {
    std::string out = text;
    for (size_t at = out.find("@NAME@"); at != std::string::npos; at = out.find("@NAME@", at + name.size()))
        out.replace(at, 6, name);
    return out;
}

// A name fit for a CMake project, a target and a file: letters, digits and _, not led by a digit.
bool IsIdentifier(const std::string& name) {
    if (name.empty() || name.size() > 64 || (name[0] >= '0' && name[0] <= '9')) return false;
    for (char c : name) {
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (!letter && !(c >= '0' && c <= '9') && c != '_') return false;
    }
    return true;
}

// A 32 x 32 ball: a shaded disc on black, the colour the engine keys out by default.
std::vector<uint8_t> BallPicture() {
    constexpr int kSize = 32;
    std::vector<uint32_t> pixels(kSize * kSize, 0);
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const int dx = 2 * x + 1 - kSize, dy = 2 * y + 1 - kSize;
            const int r2 = dx * dx + dy * dy;
            if (r2 >= kSize * kSize) continue;
            const uint32_t light = static_cast<uint32_t>(255 - r2 * 160 / (kSize * kSize));
            pixels[y * kSize + x] = (light << 16) | ((light * 3 / 4) << 8) | 0x40;
        }
    }
    return platform::EncodeBmp24(pixels.data(), kSize, kSize, kSize);
}

// A fifth of a second of a falling tone, 22050 Hz mono, fading out.
std::vector<int16_t> BeepSamples() {
    constexpr int kRate = 22050, kCount = kRate / 5;
    std::vector<int16_t> samples(kCount);
    double phase = 0;
    for (int i = 0; i < kCount; ++i) {
        const double t = static_cast<double>(i) / kCount;
        phase += 2 * 3.141592653589793 * (880 - 440 * t) / kRate;
        samples[i] = static_cast<int16_t>(std::lround(9000 * (1 - t) * std::sin(phase)));
    }
    return samples;
}

bool WriteText(const std::filesystem::path& path, const std::string& text) {
    std::string reason;
    if (platform::WriteWholeFile(path.string(), text.data(), text.size(), &reason)) return true;
    std::fprintf(stderr, "eltool new-scene: %s: %s\n", path.c_str(), reason.c_str());
    return false;
}

}  // namespace

int NewScene(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: eltool new-scene DIR NAME\n");
        return kExitUsage;
    }
    const std::filesystem::path dir = argv[0];
    const std::string name = argv[1];
    if (!IsIdentifier(name)) {
        std::fprintf(
            stderr,
            "eltool new-scene: '%s' is not a valid name: letters, digits and _ only, not starting with a "
            "digit, at most 64 characters\n",
            name.c_str());
        return kExitFailed;
    }
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(dir, error);
    if (std::filesystem::exists(status)) {
        if (!std::filesystem::is_directory(status)) {
            std::fprintf(stderr, "eltool new-scene: %s exists and is not a folder\n", dir.c_str());
            return kExitFailed;
        }
        if (!std::filesystem::is_empty(dir, error) || error) {
            std::fprintf(stderr, "eltool new-scene: %s is not empty; give a new or empty folder\n",
                         dir.c_str());
            return kExitFailed;
        }
    } else if (!std::filesystem::create_directories(dir, error)) {
        std::fprintf(stderr, "eltool new-scene: %s: %s\n", dir.c_str(), error.message().c_str());
        return kExitFailed;
    }

    const std::vector<uint8_t> picture = BallPicture();
    std::string reason;
    if (!WriteText(dir / "CMakeLists.txt", WithName(kCMakeLists, name)) ||
        !WriteText(dir / "main.cpp", WithName(reinterpret_cast<const char*>(kMain), name)))
        return kExitFailed;
    if (!platform::WriteWholeFile((dir / "picture.bmp").string(), picture.data(), picture.size(), &reason)) {
        std::fprintf(stderr, "eltool new-scene: %s: %s\n", (dir / "picture.bmp").c_str(), reason.c_str());
        return kExitFailed;
    }
    if (!WriteWave16((dir / "sound.wav").c_str(), 1, 22050, BeepSamples())) {
        std::fprintf(stderr, "eltool new-scene: %s: cannot be written\n", (dir / "sound.wav").c_str());
        return kExitFailed;
    }
    std::printf(
        "%s: a new scene project; build it with\n"
        "  cmake -S %s -B %s/build -DCMAKE_PREFIX_PATH=<the SDK's prefix> && cmake --build %s/build\n",
        name.c_str(), dir.c_str(), dir.c_str(), dir.c_str());
    return kExitOk;
}

}  // namespace eltool

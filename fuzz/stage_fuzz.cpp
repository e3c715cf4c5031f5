// libFuzzer target: the stage files through the game's own loaders. The input is split at NUL bytes
// into the start-room file and the chip, attribute and placement layers (a missing part is a missing
// file); reading them and placing what they name must stay inside the game's tables.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "game/actors/companions.h"
#include "game/actors/princess.h"
#include "game/actors/standing_enemies.h"
#include "game/actors/walkers.h"
#include "game/world/items.h"
#include "game/world/stage.h"
#include "platform/files.h"
#include "platform/headless/headless.h"

namespace {

constexpr const char* kFiles[] = {"stagedata.txt", "map01_data.txt", "map01_zk.txt", "map01_teki.txt"};

// The files live in a private folder (in memory where there is one), made once. The loaders read
// from the current folder, so each run enters it and goes back to where libFuzzer keeps its corpus.
struct Folder {
    std::string stage;
    std::string home;
};

const Folder& TheFolder() {
    // Never destroyed: the clean-up at exit still reads it.
    static const Folder& folder = *new Folder([] {
        Folder f;
        std::string pattern =
            access("/dev/shm", W_OK) == 0 ? "/dev/shm/el_stage_fuzz_XXXXXX" : "/tmp/el_stage_fuzz_XXXXXX";
        char here[4096];
        if (mkdtemp(pattern.data()) == nullptr || getcwd(here, sizeof here) == nullptr) std::abort();
        f.stage = pattern;
        f.home = here;
        // The folder goes when the run ends (a run stopped by a finding leaves it for a look).
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(TheFolder().stage, ignored);
        });
        // Every file the loaders open asks for the program's path, which never changes: it is read
        // once here and handed back as it is, sparing a system call per file and run.
        char program[4096];
        const size_t length = platform::GetModuleFileName(program, sizeof program);
        if (length == 0 || length + 1 >= sizeof program) std::abort();
        platform::SetModuleFileNameForTesting(program);
        return f;
    }());
    return folder;
}

// What each file holds since the last run that wrote it (nothing written yet: no file). A part
// the mutation left alone is not written again; the loaders find the same bytes either way.
struct Part {
    bool exists = false;
    std::string bytes;
};
Part written[4];

void WritePart(int part, const std::string_view bytes) {
    Part& kept = written[part];
    if (kept.exists && kept.bytes == bytes) return;
    FILE* file = std::fopen(kFiles[part], "wb");
    if (file == nullptr) std::abort();
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) std::abort();
    if (std::fclose(file) != 0) std::abort();
    kept.exists = true;
    kept.bytes.assign(bytes);
}

void RemovePart(int part) {
    if (!written[part].exists) return;
    if (std::remove(kFiles[part]) != 0) std::abort();
    written[part].exists = false;
}

void WriteParts(const uint8_t* data, size_t size) {
    size_t start = 0;
    int part = 0;
    for (; part < 4 && start <= size; ++part) {
        size_t end = start;
        while (end < size && data[end] != 0) ++end;
        WritePart(part, std::string_view(reinterpret_cast<const char*>(data) + start, end - start));
        start = end + 1;
    }
    for (; part < 4; ++part) RemovePart(part);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const Folder& folder = TheFolder();
    if (chdir(folder.stage.c_str()) != 0) std::abort();
    WriteParts(data, size);
    platform::headless::Reset();
    // Fresh states copied from constants: a temporary of the stage's size on every run costs more
    // than the loaders themselves.
    static const StageState freshStage{};
    static const PrincessState freshPrincess{};
    static const CompanionState freshCompanions{};
    static const WalkerState freshWalkers{};
    static const StandingState freshStanding{};
    static const ItemState freshItems{};
    Stage = freshStage;
    Princess = freshPrincess;
    Companions = freshCompanions;
    Walkers = freshWalkers;
    Standing = freshStanding;
    Items = freshItems;
    if (!LoadStage() || !LoadMap()) std::abort();  // the first reads always happen
    if (Stage.RoomColumn < 0 || Stage.RoomColumn >= kRoomsAcross || Stage.RoomRow < 0 ||
        Stage.RoomRow >= kRoomsDown)
        std::abort();
    // A second read of the map is a no-op.
    if (LoadMap()) std::abort();
    if (chdir(folder.home.c_str()) != 0) std::abort();
    return 0;
}

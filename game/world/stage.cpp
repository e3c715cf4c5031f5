// Reading the stage files: start room, chip, attribute and placement layers, and the placement pass.
#include "game/world/stage.h"

#include <cstdint>
#include <cstdio>
#include <string>

#include "game/actors/companions.h"
#include "game/actors/princess.h"
#include "game/actors/standing_enemies.h"
#include "game/actors/walkers.h"
#include "platform/files.h"

StageState Stage;

namespace {

// Reads values the way "%d" conversions read them one after the other, from the whole file taken
// in at once: white space is skipped, then an optional sign and at least one digit. When the file
// ends or holds something that is not a number, the value read last is handed out again; before
// the first value that is 0. Numbers too large for 32 bits keep their low 32 bits, and numbers too
// large even for 64 bits stand at the 64-bit limit first, as the C library's conversion does.
class ValueReader {
  public:
    explicit ValueReader(FILE* file) {
        char chunk[16384];
        size_t got;
        while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) text_.append(chunk, got);
    }
    int32_t Next() {
        if (failed_) return last_;
        const size_t size = text_.size();
        while (at_ < size && IsSpace(text_[at_])) ++at_;
        bool negative = false;
        if (at_ < size && (text_[at_] == '-' || text_[at_] == '+')) negative = text_[at_++] == '-';
        if (at_ >= size || !IsDigit(text_[at_])) {
            failed_ = true;
            return last_;
        }
        uint64_t magnitude = 0;
        bool tooLarge = false;
        for (; at_ < size && IsDigit(text_[at_]); ++at_) {
            const uint64_t digit = static_cast<uint64_t>(text_[at_] - '0');
            if (magnitude > (UINT64_MAX - digit) / 10u) tooLarge = true;
            magnitude = magnitude * 10u + digit;
        }
        // The 64-bit conversion saturates at its limits; the 32-bit result keeps the low bits.
        const uint64_t limit = negative ? (uint64_t{1} << 63) : (uint64_t{1} << 63) - 1u;
        if (tooLarge || magnitude > limit) magnitude = limit;
        const uint64_t bits = negative ? 0u - magnitude : magnitude;
        last_ = static_cast<int32_t>(static_cast<uint32_t>(bits));
        return last_;
    }

  private:
    static bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
    static bool IsDigit(char c) { return c >= '0' && c <= '9'; }

    std::string text_;
    size_t at_ = 0;
    int32_t last_ = 0;
    bool failed_ = false;
};

int32_t ClampRoom(int32_t v, int32_t count) {
    if (v < 0) return 0;
    if (v > count - 1) return count - 1;
    return v;
}

bool ReadLayer(const char* name, int32_t (&layer)[kMapRows][kMapColumns]) {
    FILE* file = platform::OpenFile(name, "rt");
    if (!file) return false;
    ValueReader reader(file);
    for (auto& row : layer) {
        for (int32_t& cell : row) cell = reader.Next();
    }
    std::fclose(file);
    return true;
}

// Acts on one placement code at cell (column, row). counts[] numbers the enemies of each code.
void Place(int32_t code, int32_t column, int32_t row, int32_t (&counts)[4]) {
    const int32_t wx = column * kCellSize;
    const int32_t wy = row * kCellSize;
    switch (code) {
        case kPlacePrincess:
            SpawnPrincess(wx - 24, wy - 24);
            return;
        case kPlaceCompanion0:
        case kPlaceCompanion1:
        case kPlaceCompanion2:
            SpawnCompanion(code - kPlaceCompanion0, wx, wy);
            return;
        case kPlaceStriker:
        case kPlaceArcher:
        case kPlaceChaser:
        case kPlaceShield:
            break;
        default:
            return;
    }
    int32_t& i = counts[code - kPlaceStriker];
    // A pool holds 100 enemies of a kind; further placements of that kind are left out.
    if (i >= kEnemyPoolSize) return;
    switch (code) {
        case kPlaceStriker:
            SpawnStriker(i, wx, wy);
            break;
        case kPlaceArcher:
            SpawnArcher(i, wx, wy);
            break;
        case kPlaceChaser:
            SpawnChaser(i, wx, wy);
            break;
        case kPlaceShield:
            SpawnShield(i, wx, wy);
            break;
    }
    ++i;
}

}  // namespace

bool LoadStage() {
    if (Stage.stageLoaded) return false;
    Stage.stageLoaded = 1;
    int32_t values[2] = {0, 0};
    if (FILE* file = platform::OpenFile("stagedata.txt", "rt")) {
        ValueReader reader(file);
        values[0] = reader.Next();
        values[1] = reader.Next();
        std::fclose(file);
    }
    // The map has rooms 0 to 2 each way; a start room outside is brought to the nearest one.
    Stage.RoomColumn = ClampRoom(values[0], kRoomsAcross);
    Stage.RoomRow = ClampRoom(values[1], kRoomsDown);
    return true;
}

bool LoadMap() {
    if (Stage.mapLoaded) return false;
    Stage.mapLoaded = 1;
    ReadLayer("map01_data.txt", Stage.ChipLayer);
    ReadLayer("map01_zk.txt", Stage.AttributeLayer);
    if (FILE* file = platform::OpenFile("map01_teki.txt", "rt")) {
        ValueReader reader(file);
        int32_t counts[4] = {0, 0, 0, 0};
        for (int32_t row = 0; row < kMapRows; ++row) {
            for (int32_t column = 0; column < kMapColumns; ++column) {
                const int32_t code = reader.Next();
                Stage.PlacementLayer[row][column] = code;
                Place(code, column, row, counts);
            }
        }
        std::fclose(file);
    }
    return true;
}

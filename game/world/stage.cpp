// Reading the stage files: start room, chip, attribute and placement layers, and the placement pass.
#include "game/world/stage.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <iterator>

#include "game/actors/companions.h"
#include "game/actors/princess.h"
#include "game/actors/standing_enemies.h"
#include "game/actors/walkers.h"
#include "game/world/value_reader.h"
#include "platform/files.h"

StageState Stage;

namespace {

int32_t ClampRoom(int32_t v, int32_t count) {
    if (v < 0) return 0;
    if (v > count - 1) return count - 1;
    return v;
}

bool ReadLayer(const char* name, int32_t (&layer)[kMapRows][kMapColumns]) {
    FILE* file = platform::OpenFile(name, "rt");
    if (!file) return false;
    ValueReader reader(file);
    int32_t row = 0;
    for (; row < kMapRows && !reader.Exhausted(); ++row) reader.Fill(layer[row], kMapColumns);
    // Past the row where the text ran out every cell holds the value read last: the first such row
    // is filled with it and the others are copies of that row.
    if (row < kMapRows) {
        reader.Fill(layer[row], kMapColumns);
        for (int32_t copy = row + 1; copy < kMapRows; ++copy)
            std::copy(std::begin(layer[row]), std::end(layer[row]), layer[copy]);
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
    if (ReadLayer("map01_teki.txt", Stage.PlacementLayer)) {
        int32_t counts[4] = {0, 0, 0, 0};
        for (int32_t row = 0; row < kMapRows; ++row) {
            for (int32_t column = 0; column < kMapColumns; ++column) {
                // Most cells hold no placement code: they are passed over without a call.
                const int32_t code = Stage.PlacementLayer[row][column];
                if (code >= kPlacePrincess && code <= kPlaceShield) Place(code, column, row, counts);
            }
        }
    }
    return true;
}

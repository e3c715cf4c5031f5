// The stage: nine rooms of chips and blocking cells, and where the characters start.
#pragma once
#include <array>
#include <string>
#include <vector>

#include "tools/contentgen/chips.h"
#include "tools/contentgen/sources.h"

namespace contentgen {

constexpr int kRoomCols = 96, kRoomRows = 72;  // cells of one room
constexpr int kMapCols = 288, kMapRows = 216;  // cells of the map (3 x 3 rooms)
constexpr int kCell = 8;                       // pixels of a cell

// Placement codes of the placement layer.
enum PlacementCode : int {
    kNobody = 0,
    kPrincess = 1,
    kCompanion0 = 2,
    kCompanion1 = 3,
    kCompanion2 = 4,
    kStriker = 5,
    kArcher = 6,
    kChaser = 7,
    kShield = 8,
};

struct Stage {
    int startColumn = 0, startRow = 0;  // start room
    std::vector<int> chips;             // kMapRows x kMapCols, row-major
    std::vector<int> blocking;          // 0 free, 1 blocks
    std::vector<int> placements;        // placement codes
    int At(const std::vector<int>& layer, int col, int row) const { return layer[row * kMapCols + col]; }
};

// Reads assets/stage/ (legend, rooms, placements); asks the chip set for the chips it needs,
// composing new ones where a room needs them.
Stage BuildStage(const std::string& stageDir, ChipSet& chips);

// Text of the four stage files.
std::string StageDataText(const Stage& stage);
std::string LayerText(const std::vector<int>& layer);

}  // namespace contentgen

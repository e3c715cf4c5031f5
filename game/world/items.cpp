// The item pool: drop rolls, placing, drawing and pick-up.
#include "game/world/items.h"

#include <cstdlib>

#include "engine/draw/eldraw.h"
#include "game/actors/actor_common.h"
#include "game/actors/princess.h"
#include "game/game_startup.h"
#include "game/world/rooms.h"

ItemState Items;

// Row 0 gives kind 0, row 1 kind 0 in half its columns, row 2 kind 1 in half; -1 is no drop.
const int32_t kItemDropTable[10][10] = {
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0},           {0, 0, 0, 0, 0, -1, -1, -1, -1, -1},
    {1, 1, 1, 1, 1, -1, -1, -1, -1, -1},      {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1},
    {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1}, {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1},
    {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1}, {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1},
    {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1}, {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1},
};

namespace {
constexpr int kCell = 48;
constexpr float kPickUpReach = 72.0f;
}  // namespace

bool DropItem(double x, double y) {
    const int r = std::rand() % 10;
    const int c = std::rand() % 10;
    const int32_t kind = kItemDropTable[r][c];
    if (kind == -1) return false;
    for (Item& record : Items.ItemPool) {
        if (PlaceItem(record, x, y, kind)) break;
    }
    return true;
}

int PlaceItem(Item& record, double x, double y, int32_t kind) {
    if (record.active) return 0;
    record.x = x;
    record.y = y;
    record.kind = kind;
    record.active = 1;
    return 1;
}

void UpdateItems() {
    for (Item& item : Items.ItemPool) {
        if (!item.active) continue;
        const int sx = static_cast<int>(static_cast<float>(static_cast<int>(item.x)) - Rooms.CameraX);
        const int sy = static_cast<int>(static_cast<float>(static_cast<int>(item.y)) - Rooms.CameraY);
        BltObject(sx, sy, GameObjects.itemSheet, kCell * item.kind, 0, kCell * item.kind + kCell, kCell);
        const float dx = (Princess.x + 48.0f) - ((static_cast<float>(item.x) - Rooms.CameraX) + 24.0f);
        const float dy = (Princess.y + 48.0f) - ((static_cast<float>(item.y) - Rooms.CameraY) + 24.0f);
        if (SqrtF(dx * dx + dy * dy) < kPickUpReach) {
            item.active = 0;
            if (item.kind == 0) {
                Princess.hitPoints += 3;
            } else if (item.kind == 1) {
                Princess.hitPoints += 5;
            }
        }
    }
}

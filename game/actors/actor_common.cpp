// Shared actor helpers: float maths, facing and blink rules, tables, layer sampling, strike and contact
// tests.
#include "game/actors/actor_common.h"

#include <cmath>

#include "game/actors/companions.h"
#include "game/actors/standing_enemies.h"
#include "game/actors/walkers.h"
#include "game/world/rooms.h"
#include "game/world/stage.h"

float SqrtF(float v) {
    return static_cast<float>(std::sqrt(static_cast<double>(v)));
}
float AbsF(float v) {
    return static_cast<float>(std::fabs(static_cast<double>(v)));
}
float AtanF(float v) {
    return static_cast<float>(std::atan(static_cast<double>(v)));
}
float CosF(float v) {
    return static_cast<float>(std::cos(static_cast<double>(v)));
}
float SinF(float v) {
    return static_cast<float>(std::sin(static_cast<double>(v)));
}

float DegreesToRadians(float degrees) {
    return degrees * kPi / 180.0f;
}

float AngleTo(float dx, float dy) {
    if (dx == 0.0f) dx = 1e-8f;
    float a = AtanF(dy / dx);
    if (dx < 0.0f) a += kPi;
    return a;
}

namespace {

enum Side { kNone = -1, kRight, kDown, kLeft, kUp };

Side SideFromAngle(float a) {
    Side side = kNone;
    if (a >= -1.0f && a <= 0.5f) side = kRight;
    if (a >= 0.5f && a <= 2.0f) side = kDown;
    if (a >= 2.0f && a <= 4.0f) side = kLeft;
    if (a >= 4.0f || a <= -1.0f) side = kUp;
    return side;
}

}  // namespace

int32_t EnemyFacingFromAngle(float angle, int32_t current) {
    switch (SideFromAngle(angle)) {
        case kRight:
            return kEnemyRight;
        case kDown:
            return kEnemyDown;
        case kLeft:
            return kEnemyLeft;
        case kUp:
            return kEnemyUp;
        default:
            return current;
    }
}

int32_t HeroFacingFromAngle(float angle, int32_t current) {
    switch (SideFromAngle(angle)) {
        case kRight:
            return kHeroRight;
        case kDown:
            return kHeroDown;
        case kLeft:
            return kHeroLeft;
        case kUp:
            return kHeroUp;
        default:
            return current;
    }
}

int32_t BlinkPhase(float t) {
    return static_cast<int32_t>(t * 10.0f) % 2;
}

const int32_t kWanderTable[100] = {
    1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,  // 0-11
    2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2,  // 12-23
    3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3,  // 24-35
    4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4,  // 36-47
    5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5,  // 48-59
    6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6,  // 60-71
    7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7,  // 72-83
    8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8,  // 84-95
    0, 0, 0, 0,                          // 96-99
};
const int32_t kWalkerColumns[8] = {0, 1, 2, 1, 3, 4, 5, 6};
const int32_t kShakeTable[2] = {2, -2};

bool SampleBlock(float x, float y, int32_t ox, int32_t oy) {
    const int32_t row = (static_cast<int32_t>(y + Rooms.CameraY - 12.0f) + oy) / 8;
    const int32_t column = (static_cast<int32_t>(x + Rooms.CameraX - 16.0f) + ox) / 8;
    // Outside the map there is nothing to stand on: such cells block.
    if (row < 0 || row >= kMapRows || column < 0 || column >= kMapColumns) return true;
    return Stage.AttributeLayer[row][column] != 0;
}

BlockFlags ReadBlockFlags(float x, float y, const SampleOffset (&top)[6], const SampleOffset (&bottom)[6],
                          const SampleOffset (&left)[3], const SampleOffset (&right)[3]) {
    BlockFlags flags;
    for (const SampleOffset& s : top) flags.top = SampleBlock(x, y, s.ox, s.oy) || flags.top;
    for (const SampleOffset& s : bottom) flags.bottom = SampleBlock(x, y, s.ox, s.oy) || flags.bottom;
    for (const SampleOffset& s : left) flags.left = SampleBlock(x, y, s.ox, s.oy) || flags.left;
    for (const SampleOffset& s : right) flags.right = SampleBlock(x, y, s.ox, s.oy) || flags.right;
    return flags;
}

bool CompanionStrikeTest(int k, float ex, float ey) {
    Companion& c = Companions.records[k];
    float extra;
    if (k == 0) {
        extra = c.powered ? 8.0f : 4.0f;
    } else {
        extra = 24.0f;
        c.strikeDx = 0;
        c.strikeDy = 0;
    }
    if (Companions.CompanionMode[k] != kModeFlying) return false;
    const float dx = (c.x + 28.0f + static_cast<float>(c.strikeDx)) - (ex + 24.0f);
    const float dy = (c.y + 28.0f + static_cast<float>(c.strikeDy)) - (ey + 24.0f);
    if (!(SqrtF(dx * dx + dy * dy) < 24.0f + extra)) return false;
    if (k != 0) {
        Companions.CompanionMode[k] = kModeLanded;
        c.restTime = 0.0f;
    }
    return true;
}

namespace {

template <typename Record>
bool ContactInPool(const Record (&pool)[kEnemyPoolSize], float cx, float cy) {
    for (const Record& e : pool) {
        if (e.state == 0) continue;
        const float dx = cx - (e.x - Rooms.CameraX + 24.0f);
        const float dy = cy - (e.y - Rooms.CameraY + 24.0f);
        if (SqrtF(dx * dx + dy * dy) < 39.0f) return true;
    }
    return false;
}

}  // namespace

bool EnemyContact(EnemyKind kind, int k, float px, float py) {
    if (Companions.CompanionMode[k] == kModeAbsent) return false;
    const float cx = px + 28.0f;
    const float cy = py + 28.0f;
    switch (kind) {
        case EnemyKind::Striker:
            return ContactInPool(Walkers.StrikerPool, cx, cy);
        case EnemyKind::Chaser:
            return ContactInPool(Walkers.ChaserPool, cx, cy);
        case EnemyKind::Archer:
            return ContactInPool(Standing.ArcherPool, cx, cy);
        case EnemyKind::Shield:
            return ContactInPool(Standing.ShieldPool, cx, cy);
    }
    return false;
}

void DrawEnemyCell(float x, float y, ObjectNo sheet, int32_t column, int32_t row) {
    constexpr int kCell = 48;
    BltObject(static_cast<int>(x - Rooms.CameraX), static_cast<int>(y - Rooms.CameraY), sheet, column * kCell,
              row * kCell, column * kCell + kCell, row * kCell + kCell);
}

// Striker and Chaser: wandering, sensing and chasing, the Striker's blow, shock, dying; and the rules all
// enemy kinds share.
#include "game/actors/walkers.h"

#include <cmath>
#include <cstdlib>

#include "engine/draw/eldraw.h"
#include "engine/text/text_output.h"
#include "game/actors/companions.h"
#include "game/actors/princess.h"
#include "game/game_startup.h"
#include "game/world/items.h"
#include "game/world/rooms.h"
#include "engine/system/frame_pacing.h"

WalkerState Walkers;

namespace {

constexpr float kAnimStep = 0.5f;
constexpr float kWanderSpeed = 50.0f;
constexpr float kChaseSpeed = 50.0f;
constexpr float kSenseRange = 150.0f;
constexpr float kStrikeReach = 24.0f;
constexpr float kDeathTime = 2.0f;

// Blow of the Striker by facing: box offset, picture size, vertical picture, angle of the blow.
struct Blow {
    int32_t dx, dy, w, h;
    bool vertical;
    float angle;
};
constexpr Blow kBlows[4] = {
    {0, 24, 48, 32, true, 4.712388f},   // down
    {-8, 0, 32, 48, false, 0.0f},       // left
    {24, 0, 32, 48, false, 3.141592f},  // right
    {0, -8, 48, 32, true, 1.570796f},   // up
};

struct Kind {
    bool striker;
    ObjectNo sheet;
    int32_t textY;      // row of the direction label; "act=" is 20 below
    float senseOffset;  // added to a target's position when sensing
};

const char* DirectionLabel(int32_t code) {
    switch (code) {
        case 1:
            return "上";
        case 10:
            return "右";
        case 11:
            return "右上";
        case 100:
            return "下";
        case 110:
            return "右下";
        case 1000:
            return "左";
        case 1001:
            return "左上";
        case 1100:
            return "左下";
        default:
            return "静止";
    }
}

// View position of sensing target t: 0 the princess, 1-3 companions 0-2.
void TargetPosition(int t, float* tx, float* ty) {
    if (t == 0) {
        *tx = Princess.x;
        *ty = Princess.y;
    } else {
        *tx = Companions.records[t - 1].x;
        *ty = Companions.records[t - 1].y;
    }
}

void Blit(const WalkerRecord& e, ObjectNo sheet, int32_t column, int32_t row) {
    DrawEnemyCell(e.x, e.y, sheet, column, row);
}

void Wander(WalkerRecord& e) {
    e.wanderTime += FrameStep;
    if (e.rolled == 0) {
        e.rolled = 1;
        e.wanderRoll = std::rand() % 100;
        e.wanderChoice = kWanderTable[e.wanderRoll];
    }
    if (e.wanderTime >= 2.0f) e.wanderChoice = 0;
    if (e.wanderTime >= 3.0f) {
        e.wanderTime = 0.0f;
        e.rolled = 0;
    }
    // The bounds compare the world position itself.
    const bool canRight = e.x < 740.0f;
    const bool canLeft = e.x > 0.0f;
    const bool canUp = e.y > 0.0f;
    const bool canDown = e.y < 540.0f;
    switch (e.wanderChoice) {
        case 1:
            if (canRight) e.directionCode += 10;
            break;
        case 2:
            if (canLeft) e.directionCode += 1000;
            break;
        case 3:
            if (canUp) e.directionCode += 1;
            break;
        case 4:
            if (canDown) e.directionCode += 100;
            break;
        case 5:
            if (canRight && canUp) e.directionCode += 11;
            break;
        case 6:
            if (canRight && canDown) e.directionCode += 110;
            break;
        case 7:
            if (canUp && canLeft) e.directionCode += 1001;
            break;
        case 8:
            if (canDown && canLeft) e.directionCode += 1100;
            break;
        default:
            break;
    }
    // Direction codes and the angle and facing each one walks with; other codes leave the facing.
    struct Heading {
        int32_t code;
        float angle;
        int32_t facing;
    };
    static constexpr Heading kHeadings[] = {
        {1, 270.0f, kEnemyUp},      {10, 0.0f, kEnemyRight},   {11, 315.0f, kEnemyRight},
        {100, 90.0f, kEnemyDown},   {110, 45.0f, kEnemyRight}, {1000, 180.0f, kEnemyLeft},
        {1001, 225.0f, kEnemyLeft}, {1100, 135.0f, kEnemyLeft},
    };
    e.angle = 400.0f;
    for (const Heading& heading : kHeadings) {
        if (heading.code != e.directionCode) continue;
        e.angle = heading.angle;
        e.facing = heading.facing;
        break;
    }
    if (e.directionCode != 0 && e.angle < 400.0f) {
        // The wander step is worked out in double precision and stored back as float.
        const double a = DegreesToRadians(e.angle);
        e.x = static_cast<float>(e.x + std::cos(a) * FrameStep * kWanderSpeed);
        e.y = static_cast<float>(e.y + std::sin(a) * FrameStep * kWanderSpeed);
    }
}

void Chase(WalkerRecord& e, const Kind& kind) {
    int target = -1;
    for (int t = 0; t < 4; ++t) {
        if (e.inRange[t] == 1) {
            target = t;
            break;
        }
    }
    if (target >= 0) {
        if (e.distance[target] >= kStrikeReach && e.animMode != kAnimStrike) {
            e.animMode = kAnimWalk;
            float tx, ty;
            TargetPosition(target, &tx, &ty);
            const float heading = AngleTo((tx + 24.0f) - (e.x - Rooms.CameraX + 12.0f),
                                          (ty + 24.0f) - (e.y - Rooms.CameraY + 12.0f));
            if (target == 0) {
                e.angle = heading;
            } else {
                e.companionAngles[target - 1] = heading;
            }
            e.chaseVx = CosF(heading) * kChaseSpeed;
            e.chaseVy = SinF(heading) * kChaseSpeed;
            e.x += FrameStep * e.chaseVx;
            e.y += FrameStep * e.chaseVy;
            e.facing = EnemyFacingFromAngle(heading, e.facing);
        } else {
            e.animMode = kAnimStrike;
        }
    }
    if (kind.striker && target < 0) {
        e.state = kEnemyNormal;
        e.wanderTime = 0.0f;
        e.rolled = 0;
    }
}

// The dying sequence; true once it has ended and the record is gone.
bool Die(WalkerRecord& e, const Kind& kind) {
    static constexpr int32_t kDyingColumn[4] = {0, 3, 2, 1};
    if (e.facing >= 0 && e.facing <= 3) {
        e.frameIndex = kDyingColumn[e.facing];
        e.facing = kEnemyStunned;
    }
    e.deathTime += FrameStep;
    if (e.deathTime < 0.5f || (e.deathTime > 1.0f && e.deathTime < 1.5f)) {
        Blit(e, kind.sheet, e.frameIndex, kEnemyStunned);
    }
    if (e.deathTime > kDeathTime) {
        e.deathTime = 0.0f;
        e.state = kEnemyGone;
        e.frameIndex = 0;
        e.facing = 0;
        DropItem(e.x, e.y);
        return true;
    }
    return false;
}

void Shock(WalkerRecord& e, const Kind& kind) {
    ArmShock(e.state, e.stunArmed, e.stunDuration, e.stunRange);
    if (e.stunArmed != 1 || e.state == kEnemyDying) return;
    if (e.stunTime == 0.0f) {
        e.stunX = Companions.records[2].x;
        e.stunY = Companions.records[2].y;
    }
    e.stunTime += FrameStep;
    if (e.stunTime < e.stunDuration) {
        e.diffX[4] = (e.x - Rooms.CameraX + 24.0f) - (e.stunX + 24.0f);
        e.diffY[4] = (e.y - Rooms.CameraY + 24.0f) - (e.stunY + 24.0f);
        e.distance[4] = SqrtF(e.diffX[4] * e.diffX[4] + e.diffY[4] * e.diffY[4]);
        if (e.distance[4] < e.stunRange / 2.0f) {
            e.state = kEnemyStunnedState;
            if (e.facing >= 0 && e.facing <= 2) {
                e.animMode = kAnimStunned;
                e.facing = kEnemyStunned;
            } else if (e.facing == 3) {
                e.animMode = kAnimStunnedUp;
                e.facing = kEnemyStunned;
            }
            if (kind.striker) {
                BltObject(static_cast<int>(e.stunX) - 101, static_cast<int>(e.stunY) - 101,
                          GameObjects.shockPicture, 0, 0, 250, 250);
            }
        }
    } else {
        e.stunTime = 0.0f;
        e.stunArmed = 0;
        e.state = kEnemyNormal;
        e.facing = 0;
    }
}

void Animate(WalkerRecord& e, const Kind& kind) {
    if (e.state == kEnemyNormal) e.animMode = e.directionCode != 0 ? kAnimWalk : kAnimIdle;
    e.animTimer += FrameStep;
    if (e.animTimer > kAnimStep) {
        e.animTimer = 0.0f;
        int32_t& f = e.frameIndex;
        switch (e.animMode) {
            case kAnimIdle:
                f += 1;
                if (f > 1) f = 0;
                break;
            case kAnimWalk:
                f += 1;
                if (f > 4) f = 1;
                break;
            case kAnimStrike:
                f += 1;
                if (f <= 4) f = 5;
                if (f > 7) {
                    f = 0;
                    e.animMode = kAnimIdle;
                    for (int32_t& flag : e.inRange) flag = 0;
                }
                break;
            case kAnimStunned:
                f += 2;
                if (f > 2) f = 0;
                break;
            case kAnimStunnedUp:
                f += 1;
                if (f <= 2) f = 3;
                if (f > 4) f = 3;
                break;
            default:
                break;
        }
    }
    const int32_t column = (e.frameIndex >= 0 && e.frameIndex < 8) ? kWalkerColumns[e.frameIndex] : 0;
    Blit(e, kind.sheet, column, e.facing);
}

void Sense(WalkerRecord& e, const Kind& kind) {
    if (e.state == kEnemyGone || e.state == kEnemyStunnedState || e.state == kEnemyDying) return;
    const float cx = e.x - Rooms.CameraX + 24.0f;
    const float cy = e.y - Rooms.CameraY + 24.0f;
    for (int t = 0; t < 4; ++t) {
        float tx, ty;
        TargetPosition(t, &tx, &ty);
        e.diffX[t] = (tx + kind.senseOffset) - cx;
        e.diffY[t] = (ty + kind.senseOffset) - cy;
        e.distance[t] = SqrtF(e.diffX[t] * e.diffX[t] + e.diffY[t] * e.diffY[t]);
        e.inRange[t] = e.distance[t] < kSenseRange ? 1 : 0;
        if (e.inRange[t]) break;  // later targets are not looked at
    }
    const bool any = e.inRange[0] || e.inRange[1] || e.inRange[2] || e.inRange[3];
    if (any) {
        e.state = kEnemyChasing;
    } else if (!kind.striker) {
        e.state = kEnemyNormal;
    }
}

void StrikerBlow(WalkerRecord& e) {
    if (e.animMode != kAnimStrike || (e.frameIndex != 6 && e.frameIndex != 7)) return;
    if (e.facing < 0 || e.facing > 3) return;
    const Blow& b = kBlows[e.facing];
    const float vx = e.x - Rooms.CameraX;
    const float vy = e.y - Rooms.CameraY;
    const float bx = vx + static_cast<float>(b.dx) - 24.0f;
    const float by = vy + static_cast<float>(b.dy) - 24.0f;
    for (int t = 0; t < 4; ++t) {
        float tx, ty;
        TargetPosition(t, &tx, &ty);
        if (!(AbsF(bx - tx) < 48.0f && AbsF(by - ty) < 48.0f)) continue;
        DebugPrint(0, 40, "当たった");
        if (t == 0) {
            StrikePrincess(b.angle);
        } else {
            StrikeCompanion(t - 1, b.angle);
        }
    }
    BltObject(static_cast<int>(vx) + b.dx, static_cast<int>(vy) + b.dy,
              b.vertical ? GameObjects.blowVertical : GameObjects.blowHorizontal, 0, 0, b.w, b.h);
}

void UpdateWalker(WalkerRecord& e, const Kind& kind) {
    // Behaviour.
    e.directionCode = 0;
    if (e.state == kEnemyNormal) {
        Wander(e);
    } else if (e.state == kEnemyChasing) {
        Chase(e, kind);
    }
    if (e.state == kEnemyDying) {
        // A record whose dying sequence has ended is gone for good: nothing more of it this frame.
        if (Die(e, kind)) return;
    } else {
        Shock(e, kind);
        Animate(e, kind);
    }
    if (e.state == kEnemyNormal) {
        DebugPrint(0, kind.textY, "%s", DirectionLabel(e.directionCode));
    } else if (e.state == kEnemyChasing) {
        DebugPrint(0, kind.textY, "%s", "追従");
    }
    DebugPrint(0, kind.textY + 20, "act=%d", e.animMode);

    Sense(e, kind);
    if (kind.striker) StrikerBlow(e);

    if (StruckByCompanion(e.x, e.y)) e.state = kEnemyDying;
}

void UpdatePool(WalkerRecord (&pool)[kEnemyPoolSize], const Kind& kind) {
    for (WalkerRecord& e : pool) {
        if (e.state == kEnemyGone || !EnemyOnScreen(e.x, e.y)) continue;
        UpdateWalker(e, kind);
    }
}

void SpawnWalker(WalkerRecord& e, int32_t wx, int32_t wy) {
    e.directionCode = 0;
    e.frameIndex = 0;
    e.facing = 0;
    e.animMode = 0;
    e.rolled = 0;
    e.animTimer = 0.0f;
    e.deathTime = 0.0f;
    e.wanderTime = 0.0f;
    e.chaseVx = 0.0f;
    e.chaseVy = 0.0f;
    for (int t = 0; t < 4; ++t) {
        e.distance[t] = 0.0f;
        e.inRange[t] = 0;
    }
    e.wanderRoll = 0;
    e.wanderChoice = 0;
    e.x = static_cast<float>(wx);
    e.y = static_cast<float>(wy);
    e.state = kEnemyNormal;
}

}  // namespace

bool EnemyOnScreen(float ex, float ey) {
    const float vx = ex - Rooms.CameraX;
    const float vy = ey - Rooms.CameraY;
    return vx + 48.0f > 0.0f && vx < 800.0f && vy + 48.0f > 0.0f && vy < 600.0f;
}

void ArmShock(int32_t state, int32_t& stunArmed, float& stunDuration, float& stunRange) {
    if (state == kEnemyDying || Companions.CompanionMode[2] != kModeLanded) return;
    stunArmed = 1;
    if (Companions.records[2].powered) {
        stunDuration = 6.0f;
        stunRange = 375.0f;
    } else {
        stunDuration = 4.0f;
        stunRange = 250.0f;
    }
}

bool StruckByCompanion(float ex, float ey) {
    bool struck = false;
    for (int k = 0; k < kCompanionCount; ++k) {
        if (CompanionStrikeTest(k, ex - Rooms.CameraX, ey - Rooms.CameraY)) struck = true;
    }
    return struck;
}

void SpawnStriker(int i, int32_t wx, int32_t wy) {
    if (i < 0 || i >= kEnemyPoolSize) return;
    SpawnWalker(Walkers.StrikerPool[i], wx, wy);
}

void SpawnChaser(int i, int32_t wx, int32_t wy) {
    if (i < 0 || i >= kEnemyPoolSize) return;
    SpawnWalker(Walkers.ChaserPool[i], wx, wy);
}

void UpdateStrikers() {
    UpdatePool(Walkers.StrikerPool, Kind{true, GameObjects.strikerSheet, 0, 24.0f});
}

void UpdateChasers() {
    UpdatePool(Walkers.ChaserPool, Kind{false, GameObjects.chaserSheet, 40, 48.0f});
}

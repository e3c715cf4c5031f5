// Archer and Shield: idling, the Archer's aiming and shots, shaking under a shock, dying.
#include "game/actors/standing_enemies.h"

#include "engine/draw/eldraw.h"
#include "game/actors/companions.h"
#include "game/actors/princess.h"
#include "game/actors/walkers.h"
#include "game/game_startup.h"
#include "game/world/arrows.h"
#include "game/world/items.h"
#include "game/world/rooms.h"
#include "engine/system/frame_pacing.h"

StandingState Standing;

namespace {

constexpr float kArcherStep = 0.5f;
constexpr float kShieldStep = 1.0f;
constexpr float kShakeStep = 0.5f;
constexpr float kArcherRange = 273.0f;

template <typename Record>
void Blit(const Record& e, ObjectNo sheet, int32_t column, int32_t row) {
    DrawEnemyCell(e.x, e.y, sheet, column, row);
}

// The Shield keeps its distance to the stun centre; the Archer's record keeps the one to the princess.
void KeepStunDistance(Shield& e, float dx, float dy, float d) {
    e.dx = dx;
    e.dy = dy;
    e.distance = d;
}
void KeepStunDistance(Archer&, float, float, float) {}

// The shock for the standing kinds: inside the window a stunned enemy shakes 2 px every half second.
template <typename Record>
void ShockWithShaking(Record& e) {
    ArmShock(e.state, e.stunArmed, e.stunDuration, e.stunRange);
    if (e.stunArmed != 1 || e.state == kEnemyDying) return;
    if (e.stunTime == 0.0f) {
        e.stunX = Companions.records[2].x;
        e.stunY = Companions.records[2].y;
    }
    e.stunTime += FrameStep;
    if (e.stunTime < e.stunDuration) {
        const float dx = (e.x - Rooms.CameraX + 24.0f) - (e.stunX + 24.0f);
        const float dy = (e.y - Rooms.CameraY + 24.0f) - (e.stunY + 24.0f);
        const float d = SqrtF(dx * dx + dy * dy);
        KeepStunDistance(e, dx, dy, d);
        if (d < e.stunRange / 2.0f) {
            e.state = kEnemyStunnedState;
            e.facing = kEnemyStunned;
            e.shakeTime += FrameStep;
            if (e.shakeTime > kShakeStep) {
                e.shakeTime = 0.0f;
                e.shakePhase += 1;
                if (e.shakePhase > 1) e.shakePhase = 0;
                e.x += static_cast<float>(kShakeTable[e.shakePhase]);
                e.frame = e.shakePhase;
            }
        }
    } else {
        e.facing = 0;
        e.stunTime = 0.0f;
        e.stunArmed = 0;
        e.state = kEnemyNormal;
    }
}

// The dying sequence shared by both kinds, on their idle-and-dying timer; true once it has ended.
template <typename Record>
bool Die(Record& e, float& timer, ObjectNo sheet) {
    if (e.facing == 0 || e.facing == 1) {
        e.frame = 0;
        e.facing = kEnemyStunned;
    } else if (e.facing == 2 || e.facing == 3) {
        e.frame = 1;
        e.facing = kEnemyStunned;
    }
    timer += FrameStep;
    if (timer < 0.5f || (timer > 1.0f && timer < 1.5f)) Blit(e, sheet, e.frame, kEnemyStunned);
    if (timer > 2.0f) {
        timer = 0.0f;
        e.state = kEnemyGone;
        e.frame = 0;
        e.facing = 0;
        DropItem(e.x, e.y);
        return true;
    }
    return false;
}

void UpdateArcher(Archer& e) {
    const ObjectNo sheet = GameObjects.archerSheet;
    const float vx = e.x - Rooms.CameraX;
    const float vy = e.y - Rooms.CameraY;
    if (e.state == kEnemyNormal) {
        if (e.shooting == 1) {
            e.heading = AngleTo((Princess.x + 24.0f) - (vx + 12.0f), (Princess.y + 24.0f) - (vy + 12.0f));
            e.facing = EnemyFacingFromAngle(e.heading, e.facing);
            e.shotTime += FrameStep;
            if (e.shotTime > kArcherStep) {
                e.shotTime = 0.0f;
                e.frame += 1;
                if (e.frame == 4) FireArrow(vx + 24.0f, vy + 24.0f, e.arrowKind);
                if (e.frame > 4) {
                    e.frame = 0;
                    e.shooting = 0;
                }
            }
        } else {
            e.idleTime += FrameStep;
            if (e.idleTime > kArcherStep) {
                e.idleTime = 0.0f;
                e.frame += 1;
                if (e.frame > 1) e.frame = 0;
            }
        }
    }
    if (e.state != kEnemyDying) Blit(e, sheet, e.frame, e.facing);
    ShockWithShaking(e);
    if (e.state == kEnemyDying && Die(e, e.idleTime, sheet)) return;
    if (e.state != kEnemyGone && e.state != kEnemyStunnedState && e.state != kEnemyDying) {
        e.dx = (Princess.x + 48.0f) - (e.x - Rooms.CameraX + 24.0f);
        e.dy = (Princess.y + 48.0f) - (e.y - Rooms.CameraY + 24.0f);
        e.distance = SqrtF(e.dx * e.dx + e.dy * e.dy);
        if (e.distance < kArcherRange) {
            e.shooting = 1;
            e.idleTime = 0.0f;
        }
    }
    if (StruckByCompanion(e.x, e.y)) {
        e.state = kEnemyDying;
        e.idleTime = 0.0f;
    }
}

void UpdateShield(Shield& e) {
    const ObjectNo sheet = GameObjects.shieldSheet;
    if (e.state == kEnemyNormal) {
        e.timer += FrameStep;
        if (e.timer > kShieldStep) {
            e.timer = 0.0f;
            e.frame += 1;
            if (e.frame > 1) e.frame = 0;
        }
    }
    if (e.state != kEnemyDying) Blit(e, sheet, e.frame, e.facing);
    ShockWithShaking(e);
    if (e.state == kEnemyDying && Die(e, e.timer, sheet)) return;
    if (StruckByCompanion(e.x, e.y)) {
        e.state = kEnemyDying;
        e.timer = 0.0f;
    }
}

}  // namespace

void SpawnArcher(int i, int32_t wx, int32_t wy) {
    if (i < 0 || i >= kEnemyPoolSize) return;
    Archer& e = Standing.ArcherPool[i];
    e.heading = 0.0f;
    e.shooting = 0;
    e.frame = 0;
    e.facing = 0;
    e.dx = 0.0f;
    e.dy = 0.0f;
    e.distance = 0.0f;
    e.idleTime = 0.0f;
    e.shotTime = 0.0f;
    e.arrowKind = kAimedArrow;
    e.x = static_cast<float>(wx);
    e.y = static_cast<float>(wy);
    e.state = kEnemyNormal;
}

void SpawnShield(int i, int32_t wx, int32_t wy) {
    if (i < 0 || i >= kEnemyPoolSize) return;
    Shield& e = Standing.ShieldPool[i];
    e.frame = 0;
    e.facing = 0;
    e.timer = 0.0f;
    e.x = static_cast<float>(wx);
    e.y = static_cast<float>(wy);
    e.state = kEnemyNormal;
}

void UpdateArchers() {
    for (Archer& e : Standing.ArcherPool) {
        if (e.state == kEnemyGone || !EnemyOnScreen(e.x, e.y)) continue;
        UpdateArcher(e);
    }
}

void UpdateShields() {
    for (Shield& e : Standing.ShieldPool) {
        if (e.state == kEnemyGone || !EnemyOnScreen(e.x, e.y)) continue;
        UpdateShield(e);
    }
}

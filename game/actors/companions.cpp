// The companions' frame: contact with enemies, movement against the blocking layer, swing throws and modes.
#include "game/actors/companions.h"

#include "engine/draw/eldraw.h"
#include "engine/system/frame_pacing.h"
#include "engine/text/text_output.h"
#include "game/actors/princess.h"
#include "game/game_startup.h"
#include "game/world/rooms.h"

CompanionState Companions;

const int32_t kSlotOffsets[4][2] = {{0, -72}, {72, 0}, {0, 72}, {-72, 0}};

namespace {

constexpr int kCell = 56;
constexpr int32_t kWalkColumns[4] = {2, 3, 4, 5};
constexpr int32_t kLandedColumn = 8;
constexpr int32_t kHurtFirstColumn = 6;
constexpr int32_t kFlightFirstRow = 4;
constexpr float kAnimStep = 0.3f;
constexpr float kRideAnimStep = 0.6f;
constexpr float kRestTime = 1.0f;
constexpr float kWalkSpeed = 80.0f;
constexpr float kFlightSpeed = 200.0f;
constexpr float kFlightRange = 300.0f;
constexpr float kNearDistance = 76.0f;
constexpr float kCallDistance = 174.0f;

constexpr SampleOffset kTop[6] = {{12, 32}, {20, 32}, {28, 32}, {36, 32}, {44, 32}, {52, 32}};
constexpr SampleOffset kBottom[6] = {{12, 56}, {20, 56}, {28, 56}, {36, 56}, {44, 56}, {52, 56}};
constexpr SampleOffset kLeft[3] = {{8, 12}, {8, 20}, {8, 28}};
constexpr SampleOffset kRight[3] = {{56, 12}, {56, 20}, {56, 28}};

// Throw table by the princess's facing at the swing.
struct Throw {
    int32_t direction, facing, effectDx, effectDy, strikeDx, strikeDy;
};
constexpr Throw kThrows[8] = {
    {2, kHeroDown, -28, 0, 0, 52},       // down
    {0, kHeroRight, 0, -28, 52, 0},      // right
    {6, kHeroUp, -28, -56, 0, -52},      // up
    {4, kHeroLeft, -56, -28, -52, 0},    // left
    {1, kHeroRight, 0, 0, 52, 52},       // down-right
    {7, kHeroRight, 0, -56, 52, -52},    // up-right
    {3, kHeroLeft, -56, 0, -52, 52},     // down-left
    {5, kHeroLeft, -56, -56, -52, -52},  // up-left
};

float DistanceToPrincessCentre(const Companion& c) {
    const float dx = (Princess.x + 48.0f) - (c.x + 28.0f);
    const float dy = (Princess.y + 48.0f) - (c.y + 28.0f);
    return SqrtF(dx * dx + dy * dy);
}

// Steps the animation timer; true when the period has passed (the timer is then back at 0).
bool Tick(float& timer, float period) {
    timer += FrameStep;
    if (timer > period) {
        timer = 0.0f;
        return true;
    }
    return false;
}

void WalkingCell(Companion& c) {
    if (c.walkFrame < 0 || c.walkFrame > 3) c.walkFrame = 0;
    c.frameColumn = kWalkColumns[c.walkFrame];
    c.frameRow = c.facing;
}

// Modes 1 and 8: towards the slot at 80 px/s. Returns the distance to the slot target.
float WalkToSlot(int k) {
    Companion& c = Companions.records[k];
    const int32_t slot = Companions.CompanionSlot[k];
    // Without a slot the target is the princess's centre itself.
    c.slotDx = (slot >= 0 && slot <= 3) ? kSlotOffsets[slot][0] : 0;
    c.slotDy = (slot >= 0 && slot <= 3) ? kSlotOffsets[slot][1] : 0;
    const float dx = Princess.x + 48.0f + static_cast<float>(c.slotDx) - (c.x + 28.0f);
    const float dy = Princess.y + 48.0f + static_cast<float>(c.slotDy) - (c.y + 28.0f);
    c.heading = AngleTo(dx, dy);
    c.vx = CosF(c.heading) * kWalkSpeed;
    c.vy = SinF(c.heading) * kWalkSpeed;
    c.facing = HeroFacingFromAngle(c.heading, c.facing);
    if (Tick(c.animTimer, kAnimStep)) {
        c.walkFrame += 1;
        if (c.walkFrame >= 4) c.walkFrame = 0;
    }
    WalkingCell(c);
    return SqrtF(dx * dx + dy * dy);
}

bool MovingIntoBlock(const Companion& c, const BlockFlags& b) {
    return (c.vx > 0.0f && b.right) || (c.vx < 0.0f && b.left) || (c.vy > 0.0f && b.bottom) ||
           (c.vy < 0.0f && b.top);
}

void Land(int k) {
    Companions.CompanionMode[k] = kModeLanded;
    Companions.records[k].animTimer = 0.0f;
}

void Fly(int k, const BlockFlags& blocked) {
    Companion& c = Companions.records[k];
    const float a = DegreesToRadians(static_cast<float>(c.throwDirection * 45));
    c.vx = CosF(a) * kFlightSpeed;
    c.vy = SinF(a) * kFlightSpeed;
    if (c.powered) {
        c.vx *= 1.5f;
        c.vy *= 1.5f;
        c.flightDistance += FrameStep * 300.0f;
    } else {
        c.flightDistance += FrameStep * kFlightSpeed;
    }
    Companions.CompanionSlot[k] = -1;
    if (Tick(c.animTimer, kAnimStep)) c.flightFrame = c.flightFrame == 0 ? 1 : 0;
    c.frameColumn = c.throwFacing;
    c.frameRow = c.flightFrame + kFlightFirstRow;
    if (k == 0) {
        const int ex = static_cast<int>(c.x) + c.effectDx + 28;
        const int ey = static_cast<int>(c.y) + c.effectDy + 28;
        BltObject(ex, ey, GameObjects.flightEffect, c.throwFacing * kCell, c.flightFrame * kCell,
                  c.throwFacing * kCell + kCell, c.flightFrame * kCell + kCell);
    }
    if (c.flightDistance >= kFlightRange) {
        Land(k);
    } else if (MovingIntoBlock(c, blocked)) {
        Land(k);
    }
}

void WorkModes(int k, const BlockFlags& blocked) {
    Companion& c = Companions.records[k];
    int32_t& mode = Companions.CompanionMode[k];
    const float hx = Princess.x;
    const float hy = Princess.y;
    if (mode == kModeFollowing) WalkToSlot(k);
    if (mode == kModeNear || mode == kModeWaiting) {
        c.vx = 0.0f;
        c.vy = 0.0f;
        Companions.CompanionSlot[k] = -1;
        if (Tick(c.animTimer, kAnimStep)) {
            c.walkFrame += 1;
            if (c.walkFrame > 1) c.walkFrame = 0;
        }
        c.frameColumn = c.walkFrame;
        c.frameRow = c.facing;
    }
    if (mode == kModeFlying) Fly(k, blocked);
    if (mode == kModeLanded) {
        c.vx = 0.0f;
        c.vy = 0.0f;
        Companions.CompanionSlot[k] = -1;
        c.restTime += FrameStep;
        if (c.restTime > kRestTime) {
            mode = kModeWaiting;
            c.restTime = 0.0f;
        }
        c.frameColumn = kLandedColumn;
        c.frameRow = c.facing;
    }
    if (mode == kModeCatchingUp) {
        const float dx = hx + 48.0f - (c.x + 28.0f);
        const float dy = hy + 48.0f - (c.y + 28.0f);
        c.heading = AngleTo(dx, dy);
        c.vx = CosF(c.heading) * c.catchUpVx;
        c.vy = SinF(c.heading) * c.catchUpVy;
        c.facing = HeroFacingFromAngle(c.heading, c.facing);
        if (Tick(c.animTimer, kRideAnimStep)) {
            c.walkFrame += 1;
            if (c.walkFrame >= 4) c.walkFrame = 0;
        }
        WalkingCell(c);
        if ((AbsF(dx) < 8.0f && AbsF(dy) < 8.0f) || Rooms.GatherTime > kGatherTimeLimit) mode = kModeRiding;
    }
    if (mode == kModeRiding) {
        c.x = hx + 24.0f;
        c.y = hy + 24.0f;
        if (Tick(c.animTimer, kRideAnimStep)) {
            c.walkFrame += 1;
            if (c.walkFrame >= 4) c.walkFrame = 0;
        }
        WalkingCell(c);
        if (!Rooms.Scrolling) mode = kModeReturning;
    }
    if (mode == kModeReturning) {
        const float d = WalkToSlot(k);
        if (d < 2.0f || c.blocked == 1) {
            mode = kModeNear;
        } else if (MovingIntoBlock(c, blocked)) {
            mode = kModeNear;
        }
    }
}

void UpdateCompanion(int k) {
    int32_t& mode = Companions.CompanionMode[k];
    if (mode == kModeAbsent) return;
    Companion& c = Companions.records[k];
    const BlockFlags blocked = ReadBlockFlags(c.x, c.y, kTop, kBottom, kLeft, kRight);

    if (c.hurtFrame == 2) {
        if (!c.blocked) {
            if ((c.vx > 0.0f && !blocked.right) || (c.vx < 0.0f && !blocked.left) ||
                mode == kModeCatchingUp) {
                c.x += FrameStep * c.vx;
            }
            if ((c.vy > 0.0f && !blocked.bottom) || (c.vy < 0.0f && !blocked.top) ||
                mode == kModeCatchingUp) {
                c.y += FrameStep * c.vy;
            }
        }
        if (mode <= kModeLanded) {
            bool corrected = false;
            if (c.x < -4.0f) {
                c.x = -4.0f;
                corrected = true;
            }
            if (c.x > 748.0f) {
                c.x = 748.0f;
                corrected = true;
            }
            if (c.y < -4.0f) {
                c.y = -4.0f;
                corrected = true;
            }
            if (c.y > 548.0f) {
                c.y = 548.0f;
                corrected = true;
            }
            if (corrected && mode == kModeFlying) mode = kModeLanded;
        }
        const int ix = static_cast<int>(c.x);
        const int iy = static_cast<int>(c.y);
        const SwingResult swing = SwingTest(ix, iy);
        c.swingResult = swing.result;
        if (swing.result > 0) {
            DebugPrint(ix, iy - 10, "あたった！！");
            c.throwFacing = swing.facing;
            c.walkFrame = 0;
            c.flightDistance = 0.0f;
            mode = kModeFlying;
            if (swing.result == 2) c.powered = 1;
            const Throw& t = kThrows[(swing.facing >= 0 && swing.facing < 8) ? swing.facing : 0];
            c.throwDirection = t.direction;
            c.facing = t.facing;
            c.effectDx = t.effectDx;
            c.effectDy = t.effectDy;
            c.strikeDx = t.strikeDx;
            c.strikeDy = t.strikeDy;
        }
        if (mode != kModeFlying && mode != kModeLanded) c.powered = 0;
        WorkModes(k, blocked);
        if (c.invulnerableTime > 0.0f) {
            c.invulnerableTime -= FrameStep;
            c.blinkOff = BlinkPhase(c.invulnerableTime);
        } else {
            c.blinkOff = 0;
            c.hurt = 0;
        }
    } else {
        if (Tick(c.animTimer, kAnimStep)) c.hurtFrame += 1;
        c.frameColumn = c.hurtFrame + kHurtFirstColumn;
        c.frameRow = HeroFacingFromAngle(c.hurtAngle, c.frameRow);
    }

    if (!(c.blinkOff == 1 && c.hurtFrame == 2)) {
        BltObject(static_cast<int>(c.x), static_cast<int>(c.y), GameObjects.companionSheets[k],
                  c.frameColumn * kCell, c.frameRow * kCell, c.frameColumn * kCell + kCell,
                  c.frameRow * kCell + kCell);
    }
    DebugPrint(k * 50 + 100, 200, "%d=%d", k, mode);
}

void CheckNear(int k) {
    int32_t& mode = Companions.CompanionMode[k];
    if (mode != kModeFollowing && mode != kModeNear && mode != kModeWaiting) return;
    Companion& c = Companions.records[k];
    const float d = DistanceToPrincessCentre(c);
    if (d < kNearDistance) {
        mode = kModeNear;
        c.nearTime = 0.0f;
    } else if (d > kNearDistance && c.nearTime > 0.5f && mode == kModeNear) {
        ChooseSlot(k);
        mode = kModeFollowing;
    } else {
        c.nearTime += FrameStep;
    }
}

}  // namespace

void SpawnCompanion(int k, int32_t wx, int32_t wy) {
    if (k < 0 || k >= kCompanionCount) return;
    Companion& c = Companions.records[k];
    c.x = static_cast<float>(wx) - Rooms.CameraX;
    c.y = static_cast<float>(wy) - Rooms.CameraY;
    Companions.CompanionSlot[k] = -1;
    Companions.CompanionMode[k] = kModeWaiting;
    c.hurtFrame = 2;
}

void UpdateCompanions() {
    for (int k = 0; k < kCompanionCount; ++k) {
        Companion& c = Companions.records[k];
        const int32_t mode = Companions.CompanionMode[k];
        if (mode == kModeCatchingUp || mode == kModeRiding) {
            c.blocked = 0;
        } else {
            const float px = c.x + FrameStep * c.vx;
            const float py = c.y + FrameStep * c.vy;
            const bool contact =
                EnemyContact(EnemyKind::Striker, k, px, py) || EnemyContact(EnemyKind::Archer, k, px, py) ||
                EnemyContact(EnemyKind::Chaser, k, px, py) || EnemyContact(EnemyKind::Shield, k, px, py);
            c.blocked = (contact && !(k == 0 && mode == kModeFlying)) ? 1 : 0;
        }
        UpdateCompanion(k);
        CheckNear(k);
    }
}

void CallCompanions() {
    for (int k = 0; k < kCompanionCount; ++k) {
        int32_t& mode = Companions.CompanionMode[k];
        if (mode != kModeFollowing && mode != kModeWaiting) continue;
        if (DistanceToPrincessCentre(Companions.records[k]) < kCallDistance) {
            mode = kModeFollowing;
            ChooseSlot(k);
        }
    }
}

void ChooseSlot(int k) {
    int32_t exclusions[2] = {-1, -1};
    int n = 0;
    for (int other = 0; other < kCompanionCount; ++other) {
        if (other == k || Companions.CompanionMode[other] == kModeAbsent) continue;
        exclusions[n++] = Companions.CompanionSlot[other];
    }
    Companions.CompanionSlot[k] = NearestSlot(k, exclusions[0], exclusions[1], n);
}

int32_t NearestSlot(int k, int32_t first, int32_t second, int n) {
    const Companion& c = Companions.records[k];
    float best = 800.0f;
    int32_t result = 0;
    for (int32_t slot = 0; slot < 4; ++slot) {
        const float dx = (Princess.x + 48.0f + static_cast<float>(kSlotOffsets[slot][0])) - (c.x + 28.0f);
        const float dy = (Princess.y + 48.0f + static_cast<float>(kSlotOffsets[slot][1])) - (c.y + 28.0f);
        const float d = SqrtF(dx * dx + dy * dy);
        bool allowed = true;
        if (n >= 1 && slot == first) allowed = false;
        if (n >= 2 && slot == second) allowed = false;
        if (d < best && allowed) {
            best = d;
            result = slot;
        }
    }
    return result;
}

void StrikeCompanion(int k, float blowAngle) {
    Companion& c = Companions.records[k];
    if (c.hurt != 0 || Companions.CompanionMode[k] == kModeFlying) return;
    c.hurt = 1;
    c.hurtAngle = blowAngle;
    c.invulnerableTime = 4.0f;
    c.hurtFrame = 0;
    Princess.hitPoints -= 1;
}

// The three companions: formation, near and waiting, flight after a swing hit, landing, room-change ride.
#pragma once
#include <cstdint>

#include "game/actors/actor_common.h"

constexpr int kCompanionCount = 3;

// CompanionMode codes.
enum CompanionModeCode : int32_t {
    kModeAbsent = 0,
    kModeFollowing = 1,
    kModeNear = 2,
    kModeWaiting = 3,
    kModeFlying = 4,
    kModeLanded = 5,
    kModeCatchingUp = 6,
    kModeRiding = 7,
    kModeReturning = 8,
};

struct Companion {
    float x = 0.0f, y = 0.0f;    // view position of the 56 x 56 cell
    float vx = 0.0f, vy = 0.0f;  // px/s
    float heading = 0.0f;        // radians
    int32_t frameColumn = 0, frameRow = 0;
    float animTimer = 0.0f;
    int32_t walkFrame = 0;
    int32_t facing = 0;  // 0 down, 1 right, 2 up, 3 left
    int32_t flightFrame = 0;
    int32_t hurtFrame = 0;  // 2 normally; 0 and 1 while the hurt animation plays
    float restTime = 0.0f;
    int32_t effectDx = 0, effectDy = 0;
    float nearTime = 0.0f;
    int32_t slotDx = 0, slotDy = 0;
    int32_t throwDirection = 0;  // 0-7, steps of 45 degrees
    int32_t throwFacing = 0;     // princess facing at the throw
    int32_t swingResult = 0;
    float flightDistance = 0.0f;
    int32_t strikeDx = 0, strikeDy = 0;
    uint8_t blocked = 0;  // the next step would touch an enemy
    float catchUpVx = 0.0f, catchUpVy = 0.0f;
    uint8_t powered = 0;  // the throw was a full hit
    float hurtAngle = 0.0f;
    uint8_t hurt = 0;
    float invulnerableTime = 0.0f;
    int32_t blinkOff = 0;
};

struct CompanionState {
    Companion records[kCompanionCount];
    int32_t CompanionMode[kCompanionCount] = {};  // behaviour mode, 0 = not on the stage
    int32_t CompanionSlot[kCompanionCount] = {};  // formation slot 0-3, -1 none
};

extern CompanionState Companions;

// Formation slot offsets from the princess's centre: above, right, below, left.
extern const int32_t kSlotOffsets[4][2];

// Places companion k at world position (wx, wy), waiting.
void SpawnCompanion(int k, int32_t wx, int32_t wy);
// One frame of the three companions.
void UpdateCompanions();
// The V key: companions that follow or wait within 174 px take a fresh slot and follow.
void CallCompanions();
// Picks companion k's slot, avoiding the slots of the other companions on the stage.
void ChooseSlot(int k);
// The slot nearest to companion k's centre, leaving out up to n (0-2) excluded slots (-1 excludes nothing).
int32_t NearestSlot(int k, int32_t first, int32_t second, int n);
// A Striker's blow on companion k: when it is not hurt and not flying, starts the hurt animation and
// costs one shared hit point.
void StrikeCompanion(int k, float blowAngle);

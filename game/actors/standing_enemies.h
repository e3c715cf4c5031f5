// The standing enemies: the Archer, which turns to the princess and shoots, and the Shield, which idles.
#pragma once
#include <cstdint>

#include "game/actors/actor_common.h"

// The arrow kind that asks the arrow layer to aim at the princess.
constexpr int32_t kAimedArrow = 401;

struct ArcherRecord {
    float x = 0.0f, y = 0.0f;  // world position of the 48 x 48 cell
    int32_t state = 0;
    float heading = 0.0f;  // radians, towards the princess
    int32_t shooting = 0;  // 1 while a shot sequence plays
    int32_t frame = 0;
    int32_t facing = 0;                           // enemy facing 0-4
    float dx = 0.0f, dy = 0.0f, distance = 0.0f;  // to the princess
    float idleTime = 0.0f;                        // idle animation and dying timer
    float shotTime = 0.0f;
    int32_t arrowKind = 0;
    int32_t stunArmed = 0;
    int32_t shakePhase = 0;
    float shakeTime = 0.0f;
    float stunTime = 0.0f;
    float stunDuration = 0.0f, stunRange = 0.0f;
    float stunX = 0.0f, stunY = 0.0f;
};
using Archer = ArcherRecord;

struct ShieldRecord {
    float x = 0.0f, y = 0.0f;
    int32_t state = 0;
    int32_t frame = 0;
    int32_t facing = 0;
    float timer = 0.0f;                           // idle animation and dying timer
    float dx = 0.0f, dy = 0.0f, distance = 0.0f;  // to the stun centre
    int32_t stunArmed = 0;
    int32_t shakePhase = 0;
    float shakeTime = 0.0f;
    float stunTime = 0.0f;
    float stunDuration = 0.0f, stunRange = 0.0f;
    float stunX = 0.0f, stunY = 0.0f;
};
using Shield = ShieldRecord;

struct StandingState {
    Archer ArcherPool[kEnemyPoolSize];
    Shield ShieldPool[kEnemyPoolSize];
};

extern StandingState Standing;

void SpawnArcher(int i, int32_t wx, int32_t wy);
void SpawnShield(int i, int32_t wx, int32_t wy);
void UpdateArchers();
void UpdateShields();

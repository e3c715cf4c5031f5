// The walking enemies, Striker and Chaser, and the rules every enemy kind shares: on-screen test,
// strikes by flying companions, and companion 2's shock.
#pragma once
#include <cstdint>

#include "game/actors/actor_common.h"

// Enemy states shared by all kinds.
enum EnemyStateCode : int32_t {
    kEnemyGone = 0,
    kEnemyNormal = 1,
    kEnemyChasing = 2,  // Striker and Chaser: a target is in range
    kEnemyStunnedState = 3,
    kEnemyDying = 99,
};

// Striker and Chaser animation modes.
enum WalkerAnim : int32_t {
    kAnimIdle = 0,
    kAnimWalk = 1,
    kAnimStrike = 2,
    kAnimStunned = 3,
    kAnimStunnedUp = 4
};

// Record of a Striker or a Chaser (the two kinds share the layout).
struct WalkerRecord {
    float x = 0.0f, y = 0.0f;  // world position of the 48 x 48 cell
    int32_t state = 0;
    int32_t directionCode = 0;
    int32_t frameIndex = 0;  // index into the walker column table
    int32_t facing = 0;      // enemy facing 0-4
    int32_t animMode = 0;
    int32_t rolled = 0;  // the wander roll of this cycle is made
    float animTimer = 0.0f;
    float deathTime = 0.0f;
    float wanderTime = 0.0f;
    float chaseVx = 0.0f, chaseVy = 0.0f;
    float angle = 0.0f;  // wander angle in degrees, or chase angle in radians
    float companionAngles[3] = {};
    float diffX[5] = {};  // to the princess, companions 0-2, and the stun centre
    float diffY[5] = {};
    float distance[5] = {};
    int32_t inRange[4] = {};  // princess, companions 0-2
    int32_t wanderRoll = 0;
    int32_t wanderChoice = 0;
    int32_t stunArmed = 0;
    float stunTime = 0.0f;
    float stunDuration = 0.0f;
    float stunRange = 0.0f;
    float stunX = 0.0f, stunY = 0.0f;  // view position of the stun centre
};
using Striker = WalkerRecord;
using Chaser = WalkerRecord;

struct WalkerState {
    Striker StrikerPool[kEnemyPoolSize];
    Chaser ChaserPool[kEnemyPoolSize];
};

extern WalkerState Walkers;

void SpawnStriker(int i, int32_t wx, int32_t wy);
void SpawnChaser(int i, int32_t wx, int32_t wy);
void UpdateStrikers();
void UpdateChasers();

// Shared by every enemy kind.
// True while an enemy's 48 x 48 cell at world (ex, ey) overlaps the screen.
bool EnemyOnScreen(float ex, float ey);
// Arms an enemy's shock window while companion 2 lies landed (6 s and 375 px when its throw was a
// full hit, else 4 s and 250 px); a dying enemy is left alone.
void ArmShock(int32_t state, int32_t& stunArmed, float& stunDuration, float& stunRange);
// Asks the three flying companions whether they strike the enemy at world (ex, ey).
bool StruckByCompanion(float ex, float ey);

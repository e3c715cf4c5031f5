// What every actor shares: the constant pi, the float helpers, facing and blink rules, the fixed
// tables, sampling of the blocking layer and the two tests by which companions and enemies meet.
#pragma once
#include <cstdint>

#include "engine/draw/eldraw.h"

// pi as the game uses it everywhere: the float 3.141592.
constexpr float kPi = 3.141592f;

// The enemy pools hold this many records per kind.
constexpr int kEnemyPoolSize = 100;

// Facing codes of the enemies (sprite row).
enum EnemyFacing : int32_t {
    kEnemyDown = 0,
    kEnemyLeft = 1,
    kEnemyRight = 2,
    kEnemyUp = 3,
    kEnemyStunned = 4
};
// Facing codes of the princess and the companions.
enum HeroFacing : int32_t {
    kHeroDown = 0,
    kHeroRight = 1,
    kHeroUp = 2,
    kHeroLeft = 3,
    kHeroDownRight = 4,
    kHeroUpRight = 5,
    kHeroDownLeft = 6,
    kHeroUpLeft = 7
};

// Single-precision helpers: each widens its argument, calls the double routine and rounds back.
float SqrtF(float v);
float AbsF(float v);
float AtanF(float v);
float CosF(float v);
float SinF(float v);

// Degrees to radians the way the game converts them: (degrees x pi) / 180, in float.
float DegreesToRadians(float degrees);

// Angle (radians) of the vector (dx, dy), y downwards; an exact 0 for dx becomes 1e-8.
// The result lies between about -pi/2 and 3pi/2.
float AngleTo(float dx, float dy);

// The side an angle points to: [-1, 0.5] right, [0.5, 2] down, [2, 4] left, >= 4 or <= -1 up, tested
// in this order with the later match winning (0.5 is down, 2 left, 4 and -1 up). Written in the
// facing numbering of the actor concerned; an angle that matches nothing keeps the current facing.
int32_t EnemyFacingFromAngle(float angle, int32_t current);
int32_t HeroFacingFromAngle(float angle, int32_t current);

// 1 on the frames on which a blinking sprite is hidden (10 Hz).
int32_t BlinkPhase(float t);

// Fixed tables.
extern const int32_t kWanderTable[100];
extern const int32_t kWalkerColumns[8];
extern const int32_t kShakeTable[2];

// Blocking flags of one actor, from its samples of the attribute layer.
struct BlockFlags {
    bool top = false;
    bool bottom = false;
    bool left = false;
    bool right = false;
};

struct SampleOffset {
    int32_t ox, oy;
};

// One sample of the attribute layer for an actor at view position (x, y): true when it blocks.
// Cells outside the map block.
bool SampleBlock(float x, float y, int32_t ox, int32_t oy);

// Draws cell (column, row) of a 48 x 48 enemy sheet for an enemy at world position (x, y).
void DrawEnemyCell(float x, float y, ObjectNo sheet, int32_t column, int32_t row);

// Reads the 6 + 6 + 3 + 3 samples (top, bottom, left, right) of an actor.
BlockFlags ReadBlockFlags(float x, float y, const SampleOffset (&top)[6], const SampleOffset (&bottom)[6],
                          const SampleOffset (&left)[3], const SampleOffset (&right)[3]);

// Does flying companion k strike the enemy whose 48 x 48 cell is at view position (ex, ey)?
// Companions 1 and 2 land on a strike; companion 0 flies on.
bool CompanionStrikeTest(int k, float ex, float ey);

enum class EnemyKind { Striker, Archer, Chaser, Shield };
// Would companion k at view position (px, py) touch a living, dying or stunned enemy of the kind?
bool EnemyContact(EnemyKind kind, int k, float px, float py);

// The princess: the player's character, her keys, walking, dash, hammer swing and knock-back.
#pragma once
#include <cstdint>

#include "game/actors/actor_common.h"
#include "engine/system/input.h"

// Virtual keys the princess reads.
constexpr int kKeySwing = 67;  // 'C'
constexpr int kKeyCall = 86;   // 'V'
constexpr int kKeyDash = 66;   // 'B'

// Direction codes: 1 up, 10 right, 100 down, 1000 left, summed.
constexpr int32_t kDirUp = 1;
constexpr int32_t kDirRight = 10;
constexpr int32_t kDirDown = 100;
constexpr int32_t kDirLeft = 1000;
// The angle that marks "no movement".
constexpr float kNoAngle = 400.0f;

struct PrincessState {
    int32_t hitPoints = 0;      // shared life of the princess and her companions
    float x = 0.0f, y = 0.0f;   // view position of the 96 x 96 cell
    float moveAngle = 0.0f;     // degrees, 400 = none
    int32_t directionCode = 0;  // sum of the held arrow keys
    uint8_t swinging = 0;       // 1 while the hammer swing plays
    int32_t animStep = 0;
    int32_t facing = 0;  // 0-7, princess numbering
    float animTimer = 0.0f;
    int32_t stepDirection = 0;  // +1 or -1, walking ping-pong
    int32_t frameColumn = 0;
    int32_t controllable = 0;  // 0 while knocked back
    float knockAngle = 0.0f;   // radians, from the target towards the attacker
    uint8_t hurt = 0;
    float invulnerableTime = 0.0f;
    int32_t blinkOff = 0;
    KeyState keyUp = 0, keyDown = 0, keyRight = 0, keyLeft = 0, keyV = 0, keyC = 0;
    KeyState keyB = 0;  // the dash key, polled in every frame
};

extern PrincessState Princess;

// Places the princess at world position (wx, wy) (her cell's top-left).
void SpawnPrincess(int32_t wx, int32_t wy);
// One frame of the princess: keys, walking, swing, knock-back, drawing.
void UpdatePrincess();

struct SwingResult {
    int32_t result;  // 0 miss, 1 hit, 2 full hit
    int32_t facing;  // the princess's facing at that moment
};
// Does the swing reach a companion cell at whole-pixel view position (cx, cy)?
SwingResult SwingTest(int32_t cx, int32_t cy);

// A Striker's blow: when she is not hurt, knocks her back along knockAngle and costs one hit point.
void StrikePrincess(float blowAngle);

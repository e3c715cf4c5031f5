// Arrows: shot by Archers towards the princess, flying straight in view coordinates until off screen.
#pragma once
#include <cstdint>

constexpr int kArrowPoolSize = 1000;

struct Arrow {
    int32_t active = 0;
    int32_t angle = 0;           // degrees, 0 right, 90 down
    float vx = 0.0f, vy = 0.0f;  // px/s
    float x = 0.0f, y = 0.0f;    // view position of the 12 x 12 cell
};

struct ArrowState {
    Arrow ArrowPool[kArrowPoolSize];
    int32_t ArrowFrame = 0;    // sheet column drawn for every arrow: 0 up, 1 right, 2 down, 3 left
    int32_t lastAimAngle = 0;  // degrees, of the last aimed shot
};

extern ArrowState Arrows;

// A shot from view position (x, y); kind 401 aims at the princess. Sets ArrowFrame in any case.
void FireArrow(double x, double y, int32_t kind);
// Starts the arrow in a free record: 1 when it was free and now flies, else 0.
int LaunchArrow(Arrow& record, double x, double y, int32_t angle);
// Moves and draws every flying arrow; those beyond 40 px off the screen are retired.
void UpdateArrows();

// The arrow pool: aiming, launching, flight and drawing.
#include "game/world/arrows.h"

#include <cmath>

#include "engine/draw/eldraw.h"
#include "engine/system/frame_pacing.h"
#include "game/actors/actor_common.h"
#include "game/actors/princess.h"
#include "game/game_startup.h"

ArrowState Arrows;

namespace {

constexpr int kCell = 12;
constexpr float kArrowSpeed = 100.0f;

int32_t FrameFromAngle(int32_t degrees) {
    if (degrees >= -44 && degrees <= 45) return 1;
    if (degrees >= 46 && degrees <= 135) return 2;
    if (degrees >= 136 && degrees <= 225) return 3;
    return 0;
}

}  // namespace

void FireArrow(double x, double y, int32_t kind) {
    if (kind == 401) {
        double dx = static_cast<double>(Princess.x + 43.0f) - x;
        const double dy = static_cast<double>(Princess.y + 43.0f) - y;
        if (dx == 0.0) dx = static_cast<double>(1e-8f);
        float a = static_cast<float>(std::atan(dy / dx));
        if (dx < 0.0) a = static_cast<float>(static_cast<double>(a) + static_cast<double>(kPi));
        Arrows.lastAimAngle = static_cast<int32_t>(57.29579143313326 * static_cast<double>(a));
        for (Arrow& record : Arrows.ArrowPool) {
            if (LaunchArrow(record, x, y, Arrows.lastAimAngle)) break;
        }
    }
    Arrows.ArrowFrame = FrameFromAngle(Arrows.lastAimAngle);
}

int LaunchArrow(Arrow& record, double x, double y, int32_t angle) {
    if (record.active) return 0;
    record.angle = angle;
    const float radians = DegreesToRadians(static_cast<float>(angle));
    record.vx = CosF(radians) * kArrowSpeed;
    record.vy = SinF(radians) * kArrowSpeed;
    record.x = static_cast<float>(x);
    record.y = static_cast<float>(y);
    record.active = 1;
    return 1;
}

void UpdateArrows() {
    const int column = kCell * Arrows.ArrowFrame;
    for (Arrow& a : Arrows.ArrowPool) {
        if (!a.active) continue;
        if (a.y > 640.0f || a.y < -40.0f || a.x > 840.0f || a.x < -40.0f) a.active = 0;
        a.x += FrameStep * a.vx;
        a.y += FrameStep * a.vy;
        BltObject(static_cast<int>(a.x), static_cast<int>(a.y), GameObjects.arrowSheet, column, 0,
                  column + kCell, kCell);
    }
}

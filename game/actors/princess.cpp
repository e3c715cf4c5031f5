// The princess's frame: key polling, walking and dash against the blocking layer, swing, knock-back.
#include "game/actors/princess.h"

#include "engine/draw/eldraw.h"
#include "game/actors/companions.h"
#include "game/game_startup.h"
#include "game/world/rooms.h"
#include "platform/messages.h"
#include "engine/system/frame_pacing.h"

PrincessState Princess;

namespace {

constexpr int kCell = 96;
constexpr int32_t kWalkColumns[4] = {2, 3, 4, 5};
constexpr int32_t kSwingFirstColumn = 6;
constexpr int32_t kKnockedColumn = 11;
constexpr float kSwingStep = 0.2f;
constexpr float kWalkStep = 0.3f;
constexpr float kKnockTime = 0.5f;
constexpr float kWalkSpeed = 100.0f;

constexpr SampleOffset kTop[6] = {{28, 48}, {36, 48}, {44, 48}, {52, 48}, {60, 48}, {68, 48}};
constexpr SampleOffset kBottom[6] = {{28, 72}, {36, 72}, {44, 72}, {52, 72}, {60, 72}, {68, 72}};
constexpr SampleOffset kLeft[3] = {{24, 52}, {24, 60}, {24, 68}};
constexpr SampleOffset kRight[3] = {{72, 52}, {72, 60}, {72, 68}};

bool Changed(KeyState s) {
    return s == 1 || s == 2;
}

// Moves her along angle a (radians) at speed px/s, side by side as the blocking flags allow.
void MoveAlong(float a, float speed, const BlockFlags& blocked) {
    PrincessState& p = Princess;
    const float c = CosF(a);
    const float s = SinF(a);
    if ((c > 0.0f && !blocked.right) || (c < 0.0f && !blocked.left)) p.x += c * FrameStep * speed;
    if ((s > 0.0f && !blocked.bottom) || (s < 0.0f && !blocked.top)) p.y += s * FrameStep * speed;
}

// Direction code to walking angle (degrees) and facing; false for a code that does not move.
bool LookUpDirection(int32_t code, float* angle, int32_t* facing) {
    switch (code) {
        case kDirUp:
            *angle = 270.0f;
            *facing = kHeroUp;
            return true;
        case kDirRight:
            *angle = 0.0f;
            *facing = kHeroRight;
            return true;
        case kDirUp + kDirRight:
            *angle = 315.0f;
            *facing = kHeroUpRight;
            return true;
        case kDirDown:
            *angle = 90.0f;
            *facing = kHeroDown;
            return true;
        case kDirDown + kDirRight:
            *angle = 45.0f;
            *facing = kHeroDownRight;
            return true;
        case kDirLeft:
            *angle = 180.0f;
            *facing = kHeroLeft;
            return true;
        case kDirLeft + kDirUp:
            *angle = 225.0f;
            *facing = kHeroUpLeft;
            return true;
        case kDirLeft + kDirDown:
            *angle = 135.0f;
            *facing = kHeroDownLeft;
            return true;
        default:
            return false;
    }
}

void Walk(const BlockFlags& blocked) {
    PrincessState& p = Princess;
    p.directionCode = 0;
    if (p.keyRight == 3) p.directionCode += kDirRight;
    if (p.keyLeft == 3) p.directionCode += kDirLeft;
    if (p.keyUp == 3) p.directionCode += kDirUp;
    if (p.keyDown == 3) p.directionCode += kDirDown;
    float angle;
    int32_t facing;
    if (LookUpDirection(p.directionCode, &angle, &facing)) {
        p.moveAngle = angle;
        p.facing = facing;
    } else {
        p.moveAngle = kNoAngle;
    }
    if (p.directionCode != 0 && p.moveAngle < kNoAngle && !Rooms.Scrolling) {
        const float a = DegreesToRadians(p.moveAngle);
        MoveAlong(a, kWalkSpeed, blocked);
        // The dash adds the same step twice over, against the same flags.
        if (p.keyB == 3) MoveAlong(a, kWalkSpeed * 2.0f, blocked);
    }
}

void Animate() {
    PrincessState& p = Princess;
    if (p.swinging) {
        p.frameColumn = p.animStep + kSwingFirstColumn;
        p.animTimer += FrameStep;
        if (p.animTimer > kSwingStep) {
            p.animTimer = 0.0f;
            p.animStep += 1;
            if (p.animStep == 3) {
                p.swinging = 0;
                p.animStep = 0;
            }
        }
    } else if (p.keyUp != 0 || p.keyDown != 0 || p.keyRight != 0 || p.keyLeft != 0) {
        p.animTimer += FrameStep;
        if (p.animTimer > kWalkStep) {
            p.animTimer = 0.0f;
            p.animStep += p.stepDirection;
            if (p.animStep > 2) {
                p.stepDirection = -p.stepDirection;
            } else if (p.animStep < 1) {
                p.stepDirection = -p.stepDirection;
            }
        }
        // A swing that ends while walking backwards can leave the step at -1: show the nearest column.
        const int32_t step = p.animStep < 0 ? 0 : (p.animStep > 3 ? 3 : p.animStep);
        p.frameColumn = kWalkColumns[step];
    } else {
        p.animTimer += FrameStep;
        if (p.animTimer > kWalkStep) {
            p.animTimer = 0.0f;
            p.animStep += 1;
            if (p.animStep > 1) p.animStep = 0;
        }
        p.frameColumn = p.animStep;
    }
}

}  // namespace

void SpawnPrincess(int32_t wx, int32_t wy) {
    PrincessState& p = Princess;
    p.x = static_cast<float>(wx) - Rooms.CameraX;
    p.y = static_cast<float>(wy) - Rooms.CameraY;
    p.animStep = 0;
    p.facing = kHeroDown;
    p.stepDirection = 1;
    p.animTimer = 0.0f;
    p.hitPoints = 18;
    p.controllable = 1;
}

void UpdatePrincess() {
    PrincessState& p = Princess;
    if (!Rooms.Scrolling) {
        PollKey(platform::VK_UP, &p.keyUp);
        PollKey(platform::VK_DOWN, &p.keyDown);
        PollKey(platform::VK_LEFT, &p.keyLeft);
        PollKey(platform::VK_RIGHT, &p.keyRight);
        PollKey(kKeyCall, &p.keyV);
        PollKey(kKeySwing, &p.keyC);
    }
    PollKey(kKeyDash, &p.keyB);

    const BlockFlags blocked = ReadBlockFlags(p.x, p.y, kTop, kBottom, kLeft, kRight);

    if (p.controllable == 1) {
        if (p.keyV == 1) CallCompanions();
        if (p.keyC == 1 && p.swinging == 0) {
            p.swinging = 1;
            p.animTimer = 0.0f;
            p.animStep = 0;
        }
        if (p.swinging == 0) Walk(blocked);
        if (Changed(p.keyUp) || Changed(p.keyDown) || Changed(p.keyRight) || Changed(p.keyLeft)) {
            p.animStep = 0;
            p.stepDirection = 1;
        }
        Animate();
        if (p.invulnerableTime > 0.0f) {
            p.invulnerableTime -= FrameStep;
            p.blinkOff = BlinkPhase(p.invulnerableTime);
        } else {
            p.blinkOff = 0;
            p.hurt = 0;
        }
    } else if (p.controllable == 0) {
        p.animTimer += FrameStep;
        if (p.animTimer > kKnockTime) {
            p.controllable = 1;
            p.animTimer = 0.0f;
        }
        p.frameColumn = kKnockedColumn;
        p.facing = HeroFacingFromAngle(p.knockAngle, p.facing);
        if (p.x > -8.0f && p.x < 712.0f && p.y > -10.0f && p.y < 514.0f) {
            MoveAlong(p.knockAngle + kPi, kWalkSpeed, blocked);
        }
    }

    if (!(p.blinkOff == 1 && p.controllable == 1)) {
        BltObject(static_cast<int>(p.x), static_cast<int>(p.y), GameObjects.princessSheet,
                  p.frameColumn * kCell, p.facing * kCell, p.frameColumn * kCell + kCell,
                  p.facing * kCell + kCell);
    }
}

SwingResult SwingTest(int32_t cx, int32_t cy) {
    const PrincessState& p = Princess;
    SwingResult r{0, p.facing};
    if (p.swinging != 1 || p.animStep != 2) return r;
    const float g = static_cast<float>(cx + 28);
    const float h = static_cast<float>(cy + 28);
    const float px = p.x;
    const float py = p.y;
    // Full-hit centre, as an offset from her corner.
    static constexpr float kFull[8][2] = {{12, 48}, {48, 84}, {84, 48}, {48, 12},
                                          {12, 84}, {84, 84}, {12, 12}, {84, 12}};
    // Hit box: centre offset and half sizes; the diagonal facings have a second box.
    struct Box {
        float ox, oy, hw, hh;
    };
    static constexpr Box kBoxA[8] = {{12, 60, 36, 60}, {60, 84, 60, 36}, {84, 36, 36, 60}, {36, 12, 60, 36},
                                     {12, 72, 36, 48}, {84, 72, 36, 48}, {24, 12, 48, 36}, {72, 12, 48, 36}};
    static constexpr Box kBoxB[8] = {{0, 0, 0, 0},     {0, 0, 0, 0},     {0, 0, 0, 0},     {0, 0, 0, 0},
                                     {36, 84, 36, 36}, {60, 84, 36, 36}, {12, 36, 36, 36}, {84, 36, 36, 36}};
    const int f = p.facing;
    if (f < 0 || f > 7) return r;
    const float fx = g - (px + kFull[f][0]);
    const float fy = h - (py + kFull[f][1]);
    if (SqrtF(fx * fx + fy * fy) < 32.0f) {
        r.result = 2;
        return r;
    }
    auto inside = [&](const Box& b) { return AbsF(g - (px + b.ox)) < b.hw && AbsF(h - (py + b.oy)) < b.hh; };
    if (inside(kBoxA[f]) || (f >= 4 && inside(kBoxB[f]))) r.result = 1;
    return r;
}

void StrikePrincess(float blowAngle) {
    PrincessState& p = Princess;
    if (p.hurt != 0) return;
    p.hurt = 1;
    p.knockAngle = blowAngle;
    p.invulnerableTime = 1.0f;
    p.controllable = 0;
    p.hitPoints -= 1;
}

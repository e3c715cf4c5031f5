// Refresh: the running transition or picture viewer is drawn over the back buffer, which is then
// presented. Also the clip wipes that reveal or hide the frame by moving the clip rectangle.
#include "engine/draw/refresh.h"

#include <cstdlib>

#include "engine/draw/blit.h"
#include "engine/draw/display.h"
#include "engine/draw/objects.h"
#include "platform/blit.h"
#include "platform/present.h"
#include "engine/system/frame_pacing.h"
#include "engine/system/input.h"

namespace {

constexpr int kFadeSteps = 10;

// The random sideways shift of the torn patterns. Past the last strip the range turns negative and
// the remainder keeps the sign of the random number; only an empty range (step N + 1) has no shift.
int TearShift(int strips, int step) {
    int range = 2 * strips - 2 * step + 2;
    return range != 0 ? std::rand() % range + step - strips - 1 : 0;
}

void CopyScreenSprite(int x, int y, int left, int top, int right, int bottom) {
    BltObjectOpaque(x, y, kScreenSprite, left, top, right, bottom);
}

void DrawFadeStep(int k) {
    const int W = Display.ScreenWidth, H = Display.ScreenHeight;
    const int N = Transition.fadeStrips >= 1 ? Transition.fadeStrips : 1;
    const int slide = N - k + 1;
    switch (Transition.fadeType) {
        case 0:
            for (int c = 0; c < 10; ++c)
                for (int r = 0; r < 10; ++r)
                    BltObject(64 * c, 48 * r, Transition.wipePattern, 64 * (k - 1), 0, 64 * k, 48);
            break;
        case 1:
        case 3:
            for (int y = 0; y < H; ++y)
                if (y % k != 0) CopyScreenSprite(Transition.fadeType == 3 ? TearShift(N, k) : 0, y, 0, y, W, y + 1);
            break;
        case 2:
        case 4:
            for (int y = 0; y < H; y += N)
                CopyScreenSprite(Transition.fadeType == 4 ? TearShift(N, k) : 0, y, 0, y, W, y + k + 1);
            break;
        case 5: CopyScreenSprite(0, (-H / N) * slide, 0, 0, W, H); break;
        case 6: CopyScreenSprite(0, (H / N) * slide, 0, 0, W, H); break;
        case 7: CopyScreenSprite((-W / N) * slide, 0, 0, 0, W, H); break;
        case 8: CopyScreenSprite((W / N) * slide, 0, 0, 0, W, H); break;
        case 9:
            CopyScreenSprite(0, (-(H / 2) / N) * slide, 0, 0, W, H / 2);
            CopyScreenSprite(0, H / 2 + ((H / 2) / N) * slide, 0, H / 2, W, H);
            break;
        case 10:
            CopyScreenSprite((-(W / 2) / N) * slide, 0, 0, 0, W / 2, H);
            CopyScreenSprite(W / 2 + ((W / 2) / N) * slide, 0, W / 2, 0, W, H);
            break;
        case 11: CopyScreenSprite(0, 0, 0, 0, (W / N) * k, H); break;
        case 12: CopyScreenSprite((W / N) * slide, 0, (W / N) * slide, 0, W, H); break;
        default: break;
    }
}

void AdvanceFade() {
    DrawFadeStep(Transition.fadeStep);
    Transition.fadeStep += Transition.fadeDirection;
    if ((Transition.fadeDirection == -1 && Transition.fadeStep < 1) ||
        (Transition.fadeDirection == 1 && Transition.fadeStep > kFadeSteps)) {
        Transition.fadeStep = 0;
        Transition.fadeDirection = 0;
    }
}

void ScrollViewer() {
    const float dt = FrameStep;
    switch (Input.ViewerKey) {
        case 38: Viewer.viewerScroll -= dt * 100; break;
        case 37: Viewer.viewerScroll -= dt * 300; break;
        case 40: Viewer.viewerScroll += dt * 100; break;
        case 39: Viewer.viewerScroll += dt * 300; break;
        default: break;
    }
    const float limit = static_cast<float>(Viewer.viewerHeight - (ClipRect.bottom - ClipRect.top));
    if (Viewer.viewerScroll > limit) Viewer.viewerScroll = limit;
    if (Viewer.viewerScroll < 0) Viewer.viewerScroll = 0;
}

void DrawViewer() {
    for (int c = 0; c < 11; ++c)
        for (int r = 0; r < 11; ++r)
            BltObject(64 * c + static_cast<int>(Viewer.backgroundX), 48 * r + static_cast<int>(Viewer.backgroundY),
                      Viewer.viewerBackground, 0, 0, 64, 48);
    Viewer.backgroundX -= FrameStep * 10;
    Viewer.backgroundY -= FrameStep * 10;
    if (Viewer.backgroundX <= -64) Viewer.backgroundX += 64;
    if (Viewer.backgroundY <= -48) Viewer.backgroundY += 48;

    const int s = static_cast<int>(Viewer.viewerScroll);
    BltObject(ClipRect.left, ClipRect.top, Viewer.viewerPicture, 0, s, ClipRect.right - ClipRect.left,
              s + ClipRect.bottom - ClipRect.top);
    ScrollViewer();
}

// Moves an edge towards its limit; true once it has reached or passed it (it then sits on it).
bool MoveOut(int32_t& edge, int step, int32_t limit, bool decreasing) {
    edge += decreasing ? -step : step;
    if (decreasing ? edge <= limit : edge >= limit) {
        edge = limit;
        return true;
    }
    return false;
}

bool OpenVertical(int s) {
    bool topDone = MoveOut(ClipRect.top, s, Wipe.savedTop, true);
    bool bottomDone = MoveOut(ClipRect.bottom, s, Wipe.savedBottom, false);
    if (topDone || bottomDone) {
        ClipRect.top = Wipe.savedTop;
        ClipRect.bottom = Wipe.savedBottom;
        return true;
    }
    return false;
}

bool OpenHorizontal(int s) {
    bool leftDone = MoveOut(ClipRect.left, s, Wipe.savedLeft, true);
    bool rightDone = MoveOut(ClipRect.right, s, Wipe.savedRight, false);
    if (leftDone || rightDone) {
        ClipRect.left = Wipe.savedLeft;
        ClipRect.right = Wipe.savedRight;
        return true;
    }
    return false;
}

bool IsVerticalOpen() { return ClipRect.top == Wipe.savedTop && ClipRect.bottom == Wipe.savedBottom; }
bool IsHorizontalOpen() { return ClipRect.left == Wipe.savedLeft && ClipRect.right == Wipe.savedRight; }

// Moves an edge in by a step; true once it has reached or passed its limit. It stays where the step
// left it: a closed clip need not sit on the limit.
bool MoveIn(int32_t& edge, int step, int32_t limit, bool decreasing) {
    edge += decreasing ? -step : step;
    return decreasing ? edge <= limit : edge >= limit;
}

// Moves a pair of edges towards each other; true once they have met or crossed.
bool ClosePair(int32_t& low, int32_t& high, int s) {
    low += s;
    high -= s;
    return low >= high;
}

// As ClosePair, but a pair that meets or crosses sits on the middle (the four-edge wipe).
bool ClosePairToMiddle(int32_t& low, int32_t& high, int s, int32_t middle) {
    if (!ClosePair(low, high, s)) return false;
    low = high = middle;
    return true;
}

// Moves each edge of a pair in until it has reached its side of a band around the centre.
bool CloseToBand(int32_t& low, int32_t& high, int s, int32_t bandLow, int32_t bandHigh) {
    if (low < bandLow) low += s;
    if (high > bandHigh) high -= s;
    return low >= bandLow && high <= bandHigh;
}

int32_t CentreY() { return Wipe.savedTop + (Wipe.savedBottom - Wipe.savedTop) / 2; }
int32_t CentreX() { return Wipe.savedLeft + (Wipe.savedRight - Wipe.savedLeft) / 2; }

bool StepOpening(int s) {
    switch (Wipe.wipeType) {
        case 1: return MoveOut(ClipRect.top, s, Wipe.savedTop, true);
        case 2: return MoveOut(ClipRect.bottom, s, Wipe.savedBottom, false);
        case 3: return MoveOut(ClipRect.left, s, Wipe.savedLeft, true);
        case 4: return MoveOut(ClipRect.right, s, Wipe.savedRight, false);
        case 5: return OpenVertical(s);
        case 6: return OpenHorizontal(s);
        case 7:
            if (!IsVerticalOpen()) OpenVertical(s);
            if (!IsHorizontalOpen()) OpenHorizontal(s);
            return IsVerticalOpen() && IsHorizontalOpen();
        case 8:
            if (!IsVerticalOpen()) return OpenVertical(s) && false;
            return OpenHorizontal(s);
        case 9:
            if (!IsHorizontalOpen()) return OpenHorizontal(s) && false;
            return OpenVertical(s);
        default: return true;
    }
}

bool StepClosing(int s) {
    const int half = Wipe.wipeBand / 2;
    switch (Wipe.wipeType) {
        case 1:
            return MoveIn(ClipRect.top, s, Wipe.savedBottom, false);
        case 2:
            return MoveIn(ClipRect.bottom, s, Wipe.savedTop, true);
        case 3:
            return MoveIn(ClipRect.left, s, Wipe.savedRight, false);
        case 4:
            return MoveIn(ClipRect.right, s, Wipe.savedLeft, true);
        case 5:
            return ClosePair(ClipRect.top, ClipRect.bottom, s);
        case 6:
            return ClosePair(ClipRect.left, ClipRect.right, s);
        case 7: {
            bool vertical = ClipRect.top == ClipRect.bottom ||
                            ClosePairToMiddle(ClipRect.top, ClipRect.bottom, s, CentreY());
            bool horizontal = ClipRect.left == ClipRect.right ||
                              ClosePairToMiddle(ClipRect.left, ClipRect.right, s, CentreX());
            return vertical && horizontal;
        }
        case 8:
            if (ClipRect.left < CentreX() - half || ClipRect.right > CentreX() + half)
                return CloseToBand(ClipRect.left, ClipRect.right, s, CentreX() - half, CentreX() + half) && false;
            return ClosePair(ClipRect.top, ClipRect.bottom, s);
        case 9:
            if (ClipRect.top < CentreY() - half || ClipRect.bottom > CentreY() + half)
                return CloseToBand(ClipRect.top, ClipRect.bottom, s, CentreY() - half, CentreY() + half) && false;
            return ClosePair(ClipRect.left, ClipRect.right, s);
        default: return true;
    }
}

void CollapseForOpening() {
    const int32_t cy = CentreY(), cx = CentreX(), half = Wipe.wipeBand / 2;
    switch (Wipe.wipeType) {
        case 1: ClipRect.top = Wipe.savedBottom; break;
        case 2: ClipRect.bottom = Wipe.savedTop; break;
        case 3: ClipRect.left = Wipe.savedRight; break;
        case 4: ClipRect.right = Wipe.savedLeft; break;
        case 5: ClipRect.top = ClipRect.bottom = cy; break;
        case 6: ClipRect.left = ClipRect.right = cx; break;
        case 7:
            ClipRect.top = ClipRect.bottom = cy;
            ClipRect.left = ClipRect.right = cx;
            break;
        case 8:
            ClipRect.top = ClipRect.bottom = cy;
            ClipRect.left = cx - half;
            ClipRect.right = cx + half;
            break;
        case 9:
            ClipRect.left = ClipRect.right = cx;
            ClipRect.top = cy - half;
            ClipRect.bottom = cy + half;
            break;
        default: break;
    }
}

void SaveClipRect() {
    Wipe.savedLeft = ClipRect.left;
    Wipe.savedTop = ClipRect.top;
    Wipe.savedRight = ClipRect.right;
    Wipe.savedBottom = ClipRect.bottom;
}

}  // namespace

void Refresh() {
    if (Transition.fadeStep != 0) AdvanceFade();
    if (Viewer.viewerOn) DrawViewer();
    if (Pacing.WaitForVBlank == 1) platform::WaitForVerticalBlank();
    platform::Surface* back = Display.backBuffer.get();
    if (back == nullptr) return;
    if (back->lost) {
        RestoreSurfaces();  // this frame is lost; the next one shows again
        return;
    }
    platform::Present(*back, Display.presentSource);
}

void StartFadeIn() {
    Transition.fadeStep = 1;
    Transition.fadeDirection = 1;
}

void StartFadeOut() {
    Transition.fadeStep = kFadeSteps;
    Transition.fadeDirection = -1;
}

ObjectNo LoadWipePattern(const char* name) {
    SetLoadKeyColor(0);
    Transition.wipePattern = elDraw::LoadObject(name, 2);
    return Transition.wipePattern;
}

void LoadViewer(const char* picture, const char* background, int height) {
    SetLoadKeyColor(0);
    if (Viewer.viewerPicture != 0) {
        elDraw::SwapObject(picture, Viewer.viewerPicture, 2);
        // A background whose first load failed has no object to swap into (0 is the Buffer sprite).
        if (Viewer.viewerBackground != 0)
            elDraw::SwapObject(background, Viewer.viewerBackground, 2);
        else
            Viewer.viewerBackground = elDraw::LoadObject(background, 2);
    } else {
        Viewer.viewerPicture = elDraw::LoadObject(picture, 2);
        Viewer.viewerBackground = elDraw::LoadObject(background, 2);
    }
    Viewer.viewerScroll = 0;
    Viewer.viewerHeight = height;
}

void ToggleViewer() {
    if (Viewer.viewerOn) {
        Viewer.viewerOn = false;
    } else if (Viewer.viewerHeight != 0) {
        Viewer.viewerOn = true;
    }
}

int StartClipWipe(int hide, int type, float speed, int band) {
    if (Wipe.wipeState > 0) return 0;
    if (Wipe.wipeState == -1) SetClipRect(Wipe.savedLeft, Wipe.savedTop, Wipe.savedRight, Wipe.savedBottom);
    SaveClipRect();
    if (type == 0) type = std::rand() % 9 + 1;
    Wipe.wipeOpened = 0;
    Wipe.wipeClosed = 0;
    Wipe.wipeType = type;
    Wipe.wipeSpeed = speed;
    Wipe.wipeBand = band;
    if (hide != 0) {
        Wipe.wipeState = 2;
        return 1;
    }
    Wipe.wipeState = 1;
    CollapseForOpening();
    return 1;
}

void HideAll() {
    SaveClipRect();
    ClipRect.right = ClipRect.left;
    ClipRect.bottom = ClipRect.top;
    Wipe.wipeState = -1;
}

int StepClipWipe() {
    if (Wipe.wipeState <= 0) return 0;
    const int s = static_cast<int>(FrameStep * Wipe.wipeSpeed) + 1;
    if (Wipe.wipeState == 1) {
        if (StepOpening(s)) {
            SetClipRect(Wipe.savedLeft, Wipe.savedTop, Wipe.savedRight, Wipe.savedBottom);
            Wipe.wipeState = 0;
            Wipe.wipeOpened = 1;
        }
    } else if (StepClosing(s)) {
        Wipe.wipeState = -1;
        Wipe.wipeClosed = 1;
    }
    return 1;
}

void InvertArea(int left, int top, int right, int bottom) {
    platform::Surface* back = Display.backBuffer.get();
    if (back == nullptr) return;
    const uint32_t white = Display.format.fullMask;
    for (int y = top < 0 ? 0 : top; y < bottom && y < back->height; ++y)
        for (int x = left < 0 ? 0 : left; x < right && x < back->width; ++x)
            platform::SetRawPixel(*back, x, y, ~platform::GetRawPixel(*back, x, y) & white);
}

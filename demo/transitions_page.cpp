// Page 1, transitions: the thirteen fades between two pictures, the nine clip wipes closing and
// opening the body, the picture viewer and the eight line effects.
#include <el/el.h>

#include <algorithm>

#include "demo/demo.h"

namespace {

constexpr int kFadeStrips = 10;
constexpr float kWipeSpeed = 400.0f;
constexpr int kWipeBand = 40;
constexpr int kLineEffectCount = 8;

const char* const kLineEffectNames[kLineEffectCount] = {"wave rows",   "tile scroll", "wave scroll",
                                                        "wave band",   "mosaic rows", "scanlines",
                                                        "jitter rows", "drum"};

struct TransitionsPageState {
    int slide = 0;           // the picture shown: 0 or 1
    int pendingFade = -1;    // the fade type running towards the other picture, or -1
    bool revealing = false;  // the tile fade uncovering the new picture
    int lineEffect = -1;     // 0 to 7, or -1
    float mosaic = 1.0f;     // the mosaic's block height, growing and wrapping
    bool viewerLoaded = false;
    ObjectNo stretchedEnemies = 0;  // the enemy sheet stretched to the body once, black as its key
};

TransitionsPageState State;

void SetBodyClip() {
    SetClipRect(kBodyLeft, kBodyTop, kBodyRight, kBodyBottom);
}

// Picture 1 is the princess's sheet on green, picture 2 the enemy sheet stretched over the body on
// red, with the shock on top.
void DrawSlide(int slide) {
    // Fills do not follow the clip rectangle as copies do: the backdrop keeps to it by itself.
    int clipLeft = 0, clipTop = 0, clipRight = 0, clipBottom = 0;
    GetClipRect(&clipLeft, &clipTop, &clipRight, &clipBottom);
    const int left = std::max(kBodyLeft, clipLeft), top = std::max(kBodyTop, clipTop);
    const int right = std::min(kBodyRight, clipRight), bottom = std::min(kBodyBottom, clipBottom);
    const uint32_t backdrop = slide == 0 ? 0x204020 : 0x202060;
    if (left < right && top < bottom) DrawRectangle(left, top, right, bottom, backdrop, backdrop, 1);
    if (slide == 0) {
        BltObject(kBodyLeft, kBodyTop, DemoPictures.princess, 0, 0, kBodyRight - kBodyLeft,
                  kBodyBottom - kBodyTop);
    } else {
        BltObject(kBodyLeft, kBodyTop, State.stretchedEnemies, 0, 0, kBodyRight - kBodyLeft,
                  kBodyBottom - kBodyTop);
        BltObject(400 - 125, kBodyTop + 113, DemoPictures.shock, 0, 0, 250, 250);
    }
}

void DrawLineEffect(int effect) {
    const ObjectNo picture = DemoPictures.princess;
    const int top = kBodyTop, height = kBodyBottom - kBodyTop;
    switch (effect) {
        case 0:
            WaveRows(40, top, 24, 2, 240.0f, picture, 0, 0, 720, height, 0);
            break;
        case 1:
            TileScroll(-60.0f, -40.0f, DemoPictures.items, 0, 0, 96, 48);
            break;
        case 2:
            WaveScrollRows(40, top, 16, 1, 180.0f, 90.0f, picture, 0, 0, 720, height);
            break;
        case 3:
            DrawSlide(State.slide);
            WaveBand(top + 180, top + 300, 12, 1, 300.0f, 40.0f, DemoPictures.chips, 0, 0, 640, 56);
            break;
        case 4:
            MosaicRows(40, top, static_cast<int>(State.mosaic), picture, 0, 0, 720, height);
            State.mosaic += 8.0f * GetFrameStep();
            if (State.mosaic >= 24.0f) State.mosaic = 1.0f;
            break;
        case 5:
            ScanlineRows(40, top, 3, picture, 0, 0, 720, height);
            break;
        case 6:
            JitterRows(40, top, 6, picture, 0, 0, 720, height);
            break;
        case 7:
            DrumRows(208, top + 60, 1, 120.0f, DemoPictures.enemies, 0, 0, 384, 240);
            break;
        default:
            break;
    }
}

// The other picture goes into the Screen sprite, title and keys included, for the fade to copy in
// over the picture shown now. The loop runs only the fade until it ends: the vertical blank paces it.
void StartFade(int type) {
    DrawSlide(1 - State.slide);
    SetStatus("fade %d to the other picture", type);
    DrawPageChrome();
    CaptureToObject(kScreenSprite, 0, 0, 800, 600);
    ClearScreen();
    DrawSlide(State.slide);
    SetFadeType(type, kFadeStrips);
    SetNextScene(GetScene());  // the fade ends back on this page
    SetWaitForVBlank(1);
    State.pendingFade = type;
    StartFadeIn();
}

void ShowSlideStatus() {
    SetStatus("picture %d", State.slide + 1);
}

// A fade that ended: the other picture is now the one shown; the tile fade then uncovers it.
void FinishFade() {
    SetWaitForVBlank(0);
    if (State.revealing) {
        State.revealing = false;
        State.pendingFade = -1;
        ShowSlideStatus();
        return;
    }
    State.slide = 1 - State.slide;
    if (State.pendingFade == 0) {
        State.revealing = true;
        StartFadeOut();
        return;
    }
    State.pendingFade = -1;
    ShowSlideStatus();
}

void StartKeyedEffects() {
    for (int type = 0; type <= 12; ++type) {
        if (!KeyPressed(elKey::A + type)) continue;
        State.lineEffect = -1;
        if (GetClipWipeState() != elWipe::Idle) {
            CancelClipWipe();
            SetBodyClip();
        }
        StartFade(type);
        return;
    }
    for (int type = 1; type <= 9; ++type) {
        if (!KeyPressed(elKey::N + type - 1) || GetClipWipeState() > 0) continue;
        const bool hide = GetClipWipeState() == elWipe::Idle;
        StartClipWipe(hide ? 1 : 0, type, kWipeSpeed, kWipeBand);
        SetStatus("clip wipe %d %s", type, hide ? "closing" : "opening");
    }
    if (KeyPressed(elKey::W)) {
        ToggleViewer();
        SetStatus("picture viewer: arrows scroll, W closes");
    }
    for (int effect = 0; effect < kLineEffectCount; ++effect) {
        if (!KeyPressed(elKey::F1 + effect)) continue;
        State.lineEffect = State.lineEffect == effect ? -1 : effect;
        if (State.lineEffect >= 0)
            SetStatus("line effect F%d: %s", effect + 1, kLineEffectNames[effect]);
        else
            ShowSlideStatus();
    }
}

// A stretched copy ignores the clip rectangle, so picture 2 could not follow a clip wipe; stretched
// once into an object, it is copied clipped like the rest. The framework clears the screen after
// a page's enter, so the screen serves as the canvas here.
ObjectNo StretchEnemiesOnce() {
    const int width = kBodyRight - kBodyLeft, height = kBodyBottom - kBodyTop;
    const ObjectNo object = elDraw::CreateObject(width, height, kMemoryMode);
    if (object == 0) return 0;
    ClearScreen();
    StretchObject(0, 0, DemoPictures.enemies, 0, 0, 384, 240, width, height);
    CaptureToObject(object, 0, 0, width, height);
    SetObjectKeyColor(object, 0);
    return object;
}

void Enter() {
    if (State.stretchedEnemies == 0) State.stretchedEnemies = StretchEnemiesOnce();
    SetBodyClip();
    if (!State.viewerLoaded) {
        LoadViewer("BMP\\princess.bmp", "BMP\\m_cp.bmp", 768);
        // The viewer loads with black as the key; this sheet is keyed on its top-left pixel, so
        // that the scrolling background shows around the figures.
        SetObjectKeyTopLeft(GetViewerPicture());
        State.viewerLoaded = true;
    }
    ShowSlideStatus();
}

void Leave() {
    if (IsViewerOn()) ToggleViewer();
    CancelClipWipe();
    State.lineEffect = -1;
    SetClipRect(0, 0, 800, 600);
}

void Frame() {
    if (State.pendingFade >= 0 && !IsFading()) FinishFade();
    if (IsViewerOn()) {
        // The viewer takes every key; W closes it again.
        if (GetViewerKey() == elKey::W) {
            ToggleViewer();
            SwallowKey(elKey::W);
            ShowSlideStatus();
        }
    } else if (State.pendingFade < 0) {
        StartKeyedEffects();
        if (State.pendingFade >= 0) return;  // the fade draws from here on
    }

    StepClipWipe();
    if (TakeClipWipeClosed()) SetStatus("clip wipe %d closed", GetClipWipeType());
    if (TakeClipWipeOpened()) ShowSlideStatus();
    if (State.lineEffect >= 0)
        DrawLineEffect(State.lineEffect);
    else
        DrawSlide(State.slide);
}

const char* const kKeys[] = {
    "A-M  fade types 0-12 to the other picture",
    "N-V  clip wipes 1-9: the first press closes the picture, the next opens it",
    "W    picture viewer on and off (arrows scroll it)",
    "F1-F8  line effects: wave, tile scroll, wave scroll, wave band, mosaic, scanlines, jitter, drum",
    nullptr,
};

}  // namespace

extern const DemoPage TransitionsPage{"Transitions", kKeys, Enter, Frame, nullptr, Leave};

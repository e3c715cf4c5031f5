// Presenting the back buffer, screen transitions, the picture viewer, clip wipes and inversion.
#pragma once
#include <el/refresh.h>

#include <cstdint>

#include "engine/draw/eldraw.h"

struct TransitionState {
    int32_t fadeStep = 0;       // 0 none, else the current step 1 to 10
    int32_t fadeDirection = 0;  // +1, -1 or 0
    int32_t fadeType = 0;       // 0 tile wipe, 1 to 12 strip patterns
    int32_t fadeStrips = 1;
    ObjectNo wipePattern = 0;
};

struct ViewerState {
    bool viewerOn = false;
    ObjectNo viewerPicture = 0;
    ObjectNo viewerBackground = 0;
    int32_t viewerHeight = 0;
    float viewerScroll = 0.0f;
    float backgroundX = 0.0f;
    float backgroundY = 0.0f;
};

struct ClipWipeState {
    int32_t wipeState = 0;  // 0 idle, 1 opening, 2 closing, -1 hidden
    int32_t wipeType = 0;
    float wipeSpeed = 0.0f;
    int32_t wipeBand = 0;
    int32_t savedLeft = 0, savedTop = 0, savedRight = 0, savedBottom = 0;
    int32_t wipeOpened = 0, wipeClosed = 0;
};

extern TransitionState Transition;
extern ViewerState Viewer;
extern ClipWipeState Wipe;

// Scene frames by number: a scene registers the function that runs one of its frames.
#pragma once

#include <el/scenes.h>

struct SceneTable {
    SceneFrame frames[kSceneCount] = {};
};

extern SceneTable Scenes;

// Runs one frame of the scene; numbers without a frame run nothing.
void RunSceneFrame(int scene);

// The scene table.
#include "engine/system/scenes.h"

SceneTable Scenes;

void RegisterScene(int scene, SceneFrame frame) {
    if (scene > 0 && scene < kSceneCount) Scenes.frames[scene] = frame;
}

void RunSceneFrame(int scene) {
    if (scene > 0 && scene < kSceneCount && Scenes.frames[scene] != nullptr) Scenes.frames[scene]();
}

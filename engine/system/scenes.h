// Scene frames by number: a scene registers the function that runs one of its frames.
#pragma once

constexpr int kSceneCount = 64;

using SceneFrame = void (*)();

struct SceneTable {
    SceneFrame frames[kSceneCount] = {};
};

extern SceneTable Scenes;

// Registers the frame of a scene number (1 to 63); a null frame removes it.
void RegisterScene(int scene, SceneFrame frame);
// Runs one frame of the scene; numbers without a frame run nothing.
void RunSceneFrame(int scene);

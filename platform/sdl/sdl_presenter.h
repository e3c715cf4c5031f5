// The SDL backend's presentation, created and destroyed with the window.
#pragma once

namespace platform::sdl {

// Chooses how frames reach the window (a renderer on a graphics card, else the window's own
// surface) and prepares it, so that the first frame shows as soon as it is drawn.
void CreatePresenter();
void DestroyPresenter();
// The window lost what it showed (covered, shown again, resized): the next frame is sent whole.
void RedrawWholeWindow();
// "renderer" or "surface": the path frames take, for the messages of the measuring scripts.
const char* PresentPathName();

}  // namespace platform::sdl

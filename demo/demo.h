// The demo program's page framework: one scene per page, the page table, the key edges of the
// frame, the title and key panel every page shows, and the pictures the pages share.
#pragma once
#include <el/input.h>
#include <el/objects.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

constexpr const char* kDemoCaption = "elDemo";
constexpr int kPageCount = 9;  // pages 1 to 9, one on each number key
constexpr int kStatusSize = 96;
constexpr int kMemoryMode = elMemory::Video;  // as the pages create and load their objects

// The part of the screen a page draws on: below the title band, above the key panel.
constexpr int kBodyLeft = 0, kBodyTop = 28, kBodyRight = 800, kBodyBottom = 504;

// One page: its title, the keys it answers to, and its frame. The framework runs enter when the
// page becomes current, frame every frame, then draws the title and key panel, then runs
// beforePresent (when set) right before the frame is presented, and leave when another page takes
// over. Pages keep their own state in their own file.
struct DemoPage {
    const char* title;
    const char* const* keys;  // one line per entry, ended by a null
    void (*enter)();
    void (*frame)();
    void (*beforePresent)();
    void (*leave)();
};

// The page table: entry n - 1 is page n, null where no page is built. Defined in pages.cpp.
extern const DemoPage* const DemoPages[kPageCount];

// The pictures every page may use, loaded by the start-up from the program folder.
struct DemoPictureTable {
    ObjectNo frame = 0;       // 800 x 600 frame overlay
    ObjectNo princess = 0;    // 1152 x 768 sheet
    ObjectNo enemies = 0;     // 384 x 240 sheet
    ObjectNo companions = 0;  // 504 x 336 sheet
    ObjectNo items = 0;       // 96 x 48
    ObjectNo chips = 0;       // 640 x 56
    ObjectNo shock = 0;       // 250 x 250
    ObjectNo wipe = 0;        // 640 x 48: ten 64 x 48 steps of the tile fade, made at start-up
};

struct DemoState {
    int64_t frames = 0;  // page frames run so far
    int page = 0;        // the current page, 0 before the first frame
    KeyState keys[256] = {};
    KeyState previousKeys[256] = {};  // the states of the frame before
    char status[kStatusSize] = {};    // what the current page is doing, shown in the title band
};

extern DemoPictureTable DemoPictures;
extern DemoState Demo;

// The demo's start-up: the display as the game sets it up, the shared pictures, one scene per
// built page, page 1 first.
void DemoStartup();

// True in the frame in which the key went down, also when it went down again right in the frame
// after it was released (which the four states count as held).
bool KeyPressed(int virtualKey);
// Treats a key as held until it is released, so that it does not count as a new press.
void SwallowKey(int virtualKey);
// Sets the status line of the current page (printf style).
void SetStatus(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Without a sound device: draws, from `y` down, what is missing and how to get sound, and returns
// true; with one it draws nothing and returns false.
bool ExplainMissingSound(int y);
// Draws the title band and key panel of the current page; the framework calls it every frame, a
// page only when it needs the finished screen earlier.
void DrawPageChrome();
// One JSON object: frame, page, status and the errors given, for the replay runner.
void WriteDemoState(FILE* out, const std::vector<std::string>& errors);

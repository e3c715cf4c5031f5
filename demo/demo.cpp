// The demo's start-up and page framework: the display and shared pictures, one scene per built
// page, page switching by the number keys and PageUp/PageDown, the title band and key panel.
#include "demo/demo.h"

#include <algorithm>
#include <array>
#include <cstdarg>
#include <cstring>
#include <utility>

#include "engine/draw/display.h"
#include "engine/draw/objects.h"
#include "engine/draw/primitives.h"
#include "engine/draw/refresh.h"
#include "engine/sound/sound_device.h"
#include "engine/system/engine_state.h"
#include "engine/system/frame_pacing.h"
#include "engine/system/scenes.h"
#include "engine/text/text_output.h"
#include "platform/audio.h"
#include "platform/messages.h"

DemoPictureTable DemoPictures;
DemoState Demo;

namespace {

constexpr int kVkPageUp = 33;
constexpr int kVkPageDown = 34;
constexpr uint32_t kBandColor = 0x503010;  // 0x00BBGGRR
constexpr uint32_t kPanelColor = 0x302010;
constexpr uint32_t kTitleColor = 0xFFFFFF;
constexpr uint32_t kStatusColor = 0x80FFFF;
constexpr uint32_t kKeyColor = 0xE0E0E0;

void PollKeys() {
    for (int key = 1; key < 256; ++key) {
        Demo.previousKeys[key] = Demo.keys[key];
        PollKey(key, &Demo.keys[key]);
    }
}

// The built page a key leads to from page `from`, or 0.
int TargetPage(int from) {
    for (int page = 1; page <= kPageCount; ++page)
        if (KeyPressed('0' + page) && DemoPages[page - 1] != nullptr) return page;
    const int step = KeyPressed(kVkPageDown) ? 1 : KeyPressed(kVkPageUp) ? -1 : 0;
    if (step == 0) return 0;
    for (int page = from + step, tries = 0; tries < kPageCount; page += step, ++tries) {
        if (page < 1) page = kPageCount;
        if (page > kPageCount) page = 1;
        if (DemoPages[page - 1] != nullptr) return page;
    }
    return 0;
}

void RunPage(int number) {
    ++Demo.frames;
    PollKeys();
    const DemoPage& page = *DemoPages[number - 1];
    if (Demo.page != number) {
        Demo.page = number;
        Demo.status[0] = '\0';
        if (page.enter != nullptr) page.enter();
    }
    ClearScreen();
    page.frame();
    DrawPageChrome();
    if (page.beforePresent != nullptr) page.beforePresent();
    Refresh();

    const int target = TargetPage(number);
    if (target != 0 && target != number) {
        if (page.leave != nullptr) page.leave();
        Engine.Scene = target;
    }
}

template <int Page>
void PageScene() {
    RunPage(Page);
}

template <int... Pages>
constexpr std::array<SceneFrame, sizeof...(Pages)> PageScenes(std::integer_sequence<int, Pages...>) {
    return {PageScene<Pages + 1>...};
}

// The tile fade's pattern: step k (1 to 10) covers a centred rectangle k tenths of the tile; black
// is the key, so the picture underneath shows around it.
ObjectNo MakeWipePattern() {
    const ObjectNo pattern = elDraw::CreateObject(640, 48, kMemoryMode);
    if (pattern == 0) return 0;
    ClearScreen();
    for (int k = 1; k <= 10; ++k) {
        const int halfWidth = 32 * k / 10, halfHeight = 24 * k / 10;
        const int x = 64 * (k - 1) + 32;
        DrawRectangle(x - halfWidth, 24 - halfHeight, x + halfWidth, 24 + halfHeight, 0x603018, 0x603018, 1);
    }
    CaptureToObject(pattern, 0, 0, 640, 48);
    SetObjectKeyColor(pattern, 0);
    return pattern;
}

void WriteJsonString(FILE* out, const char* text) {
    std::fputc('"', out);
    for (const char* c = text; *c != '\0'; ++c) {
        const unsigned char u = static_cast<unsigned char>(*c);
        if (u == '"' || u == '\\')
            std::fprintf(out, "\\%c", u);
        else if (u < 0x20)
            std::fprintf(out, "\\u%04x", u);
        else
            std::fputc(u, out);
    }
    std::fputc('"', out);
}

}  // namespace

void DemoStartup() {
    elDraw::Screen(800, 600, 1);
    Demo = DemoState{};
    DemoPictures = DemoPictureTable{};

    SetLoadKeyColor(0);
    DemoPictures.frame = elDraw::LoadObject("BMP\\waku.BMP", kMemoryMode);
    DemoPictures.items = elDraw::LoadObject("BMP\\item.bmp", kMemoryMode);
    DemoPictures.chips = elDraw::LoadObject("BMP\\m_cp.bmp", kMemoryMode);
    DemoPictures.shock = elDraw::LoadObject("BMP\\biribiri.bmp", kMemoryMode);
    SetLoadKeyTopLeft();
    DemoPictures.princess = elDraw::LoadObject("BMP\\princess.bmp", kMemoryMode);
    DemoPictures.enemies = elDraw::LoadObject("BMP\\enemy00_00.bmp", kMemoryMode);
    DemoPictures.companions = elDraw::LoadObject("BMP\\damenzu_00.bmp", kMemoryMode);
    SetLoadKeyColor(0);
    DemoPictures.wipe = MakeWipePattern();
    Transition.wipePattern = DemoPictures.wipe;

    static constexpr auto kScenes = PageScenes(std::make_integer_sequence<int, kPageCount>());
    for (int page = 1; page <= kPageCount; ++page)
        if (DemoPages[page - 1] != nullptr) RegisterScene(page, kScenes[page - 1]);

    SetFrameRate(60);
    Engine.Scene = 1;
    Engine.PreviousScene = 0;
}

bool KeyPressed(int virtualKey) {
    if (virtualKey <= 0 || virtualKey >= 256) return false;
    const KeyState now = Demo.keys[virtualKey];
    return now == 1 || (now == 3 && Demo.previousKeys[virtualKey] == 2);
}

void SwallowKey(int virtualKey) {
    if (virtualKey > 0 && virtualKey < 256) Demo.keys[virtualKey] = Demo.previousKeys[virtualKey] = 3;
}

void SetStatus(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(Demo.status, sizeof Demo.status, format, arguments);
    va_end(arguments);
}

namespace {

// The status in the band right of the title: one line at the title's size when it fits, else
// in the smaller size, wrapped onto the band's two lines if need be, so it never leaves the band.
void DrawStatus() {
    constexpr int kLeft = 330, kRight = 796, kBandBottom = kBodyTop - 4;
    SetFont(1, 16, 0, 1, 0, 0);
    SetTextColors(kStatusColor, kBandColor, 1);
    MeasureTextBox(kLeft, 0, 10000, kBandBottom, Demo.status);
    if (Text.measureRect.right <= kRight && Text.measureRect.bottom - Text.measureRect.top <= 20) {
        PutText(kLeft, 4, Demo.status);
        ReleaseFont();
        return;
    }
    ReleaseFont();
    SetFont(1, 12, 0, 0, 0, 0);
    SetTextColors(kStatusColor, kBandColor, 1);
    MeasureTextBox(kLeft, 0, kRight, kBandBottom, Demo.status);
    const int top = std::max(0, (kBandBottom - (Text.measureRect.bottom - Text.measureRect.top)) / 2);
    DrawTextBox(kLeft, top, kRight, kBandBottom, Demo.status, 0);
    ReleaseFont();
}

}  // namespace

bool ExplainMissingSound(int y) {
    if (SoundDevice.soundAvailable) return false;
    char line[kDebugTextSize];
    DebugText(16, y, "No sound device: sound is off, so this page plays nothing.");
    std::snprintf(line, sizeof line, "Why: %s.", platform::AudioDeviceProblem());
    DebugText(16, y + 20, line);
    DebugText(16, y + 40, "To hear it: connect a sound card or headphones, or start the sound server");
    DebugText(16, y + 60, "(PulseAudio or PipeWire), then start eldemo again.");
    return true;
}

void DrawPageChrome() {
    const int number = Demo.page;
    const DemoPage* page = number >= 1 && number <= kPageCount ? DemoPages[number - 1] : nullptr;
    if (page == nullptr) return;
    DrawRectangle(0, 0, 800, kBodyTop - 4, kBandColor, kBandColor, 1);
    DrawRectangle(0, kBodyBottom, 800, 600, kPanelColor, kPanelColor, 1);

    char pages[2 * kPageCount + 1] = {};
    for (int n = 1; n <= kPageCount; ++n)
        if (DemoPages[n - 1] != nullptr)
            std::snprintf(pages + std::strlen(pages), 3, "%s%d", pages[0] ? " " : "", n);

    char line[160];
    SetFont(1, 16, 0, 1, 0, 0);
    SetTextColors(kTitleColor, kBandColor, 1);
    std::snprintf(line, sizeof line, "%d  %s", number, page->title);
    PutText(8, 4, line);
    ReleaseFont();
    DrawStatus();

    SetFont(1, 14, 0, 0, 0, 0);
    SetTextColors(kKeyColor, kPanelColor, 1);
    std::snprintf(line, sizeof line, "Pages %s: number keys, PageUp/PageDown    Esc: end", pages);
    PutText(8, kBodyBottom + 4, line);
    int y = kBodyBottom + 22;
    for (const char* const* key = page->keys; *key != nullptr && y < 600 - 14; ++key, y += 16)
        PutText(8, y, *key);
    ReleaseFont();
}

void WriteDemoState(FILE* out, const std::vector<std::string>& errors) {
    std::fprintf(out,
                 "{\"frame\":%lld,\"page\":%d,\"scene\":%d,\"status\":", static_cast<long long>(Demo.frames),
                 Demo.page, Engine.Scene);
    WriteJsonString(out, Demo.status);
    std::fputs(",\"errors\":[", out);
    for (size_t i = 0; i < errors.size(); ++i) {
        if (i > 0) std::fputc(',', out);
        WriteJsonString(out, errors[i].c_str());
    }
    std::fputs("]}", out);
}

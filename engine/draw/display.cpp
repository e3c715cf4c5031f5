// Display set-up: the back buffer, the internal sprites, the pixel format and the effect tables,
// then the start values of the other services; the colour-depth check; the release at the end.
#include "engine/draw/display.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/draw/objects.h"
#include "engine/draw/refresh.h"
#include "engine/sound/sound_device.h"
#include "engine/sound/sound_objects.h"
#include "engine/sound/midi.h"
#include "engine/system/engine_state.h"
#include "engine/system/error_report.h"
#include "engine/system/frame_pacing.h"
#include "engine/system/input.h"
#include "engine/system/paths.h"
#include "engine/system/joystick.h"
#include "engine/text/fonts.h"
#include "platform/present.h"

DrawTables Tables;

namespace {

int TrailingZeros(uint32_t mask) {
    if (mask == 0) return 0;
    int shift = 0;
    while ((mask & 1u) == 0) {
        mask >>= 1;
        ++shift;
    }
    return shift;
}

struct InternalSprite {
    ObjectNo object;
    const char* name;
    const char* failure;
};

constexpr InternalSprite kInternalSprites[] = {
    {kBufferSprite, "内部用１", "Bufferスプライトが生成できません"},
    {kScreenSprite, "内部用２", "Screenスプライトが生成できません"},
    {kFontSprite, "内部用３", "Fontスプライトが生成できません"},
    {kFontBufferSprite, "内部用４", "Fontバッファスプライトが生成できません"},
};

bool CreateInternalSprite(const InternalSprite& sprite) {
    ObjectRecord& record = ObjectTable.records[sprite.object];
    record.surface = NewDisplaySurface(Display.ScreenWidth, Display.ScreenHeight);
    if (!record.surface) return false;
    ApplyColorKey(*record.surface, 0);
    std::snprintf(record.name, sizeof record.name, "%s", sprite.name);
    record.fromPack = 0;
    record.memoryMode = 2;
    record.colorKey = 0;
    record.width = static_cast<uint16_t>(Display.ScreenWidth);
    record.height = static_cast<uint16_t>(Display.ScreenHeight);
    return true;
}

// Full screen takes the first preferred depth this system can show, then the second and third.
bool ChooseFullScreenDepth() {
    for (int32_t depth : Display.depthPreferences) {
        if (depth == 16 || depth == 32) {
            Display.depth = depth;
            return true;
        }
        if (depth == 0) return false;
    }
    return false;
}

void FillSineTable() {
    for (int i = 0; i < kSineTableSize; ++i)
        Tables.SineTable[i] = static_cast<int32_t>(std::trunc(std::sin(2.0 * M_PI * i / 360.0) * 360.0));
}

int ReportScreenError(const char* message) {
    return ReportError("elDraw::Screen", message);
}

constexpr const char* kMessageNoBackBuffer = "裏画面が生成できません";

// The sizes a window shows whole at every scale: from 320 x 240 to 1920 x 1080.
constexpr int kSmallestWidth = 320, kSmallestHeight = 240;
constexpr int kLargestWidth = 1920, kLargestHeight = 1080;

bool SizeTaken(int width, int height) {
    return width >= kSmallestWidth && width <= kLargestWidth && height >= kSmallestHeight &&
           height <= kLargestHeight;
}

}  // namespace

PixelFormatInfo DerivePixelFormat(uint32_t redMask, uint32_t greenMask, uint32_t blueMask) {
    PixelFormatInfo info;
    info.redMask = redMask;
    info.greenMask = greenMask;
    info.blueMask = blueMask;
    info.redShift = TrailingZeros(redMask);
    info.greenShift = TrailingZeros(greenMask);
    info.blueShift = TrailingZeros(blueMask);
    info.redSizeMask = redMask >> info.redShift;
    info.greenSizeMask = greenMask >> info.greenShift;
    info.blueSizeMask = blueMask >> info.blueShift;
    info.redPosition5 = info.redShift + (info.redSizeMask == 63 ? 1 : 0);
    info.greenPosition5 = info.greenShift + (info.greenSizeMask == 63 ? 1 : 0);
    info.bluePosition5 = info.blueShift + (info.blueSizeMask == 63 ? 1 : 0);
    info.halfMask = ((info.redSizeMask >> 1) << info.redShift) |
                    ((info.greenSizeMask >> 1) << info.greenShift) |
                    ((info.blueSizeMask >> 1) << info.blueShift);
    info.fullMask = redMask | greenMask | blueMask;
    return info;
}

void BuildSixteenBitTables() {
    const PixelFormatInfo& f = Display.format;
    const int32_t position[3] = {f.redPosition5, f.greenPosition5, f.bluePosition5};

    Tables.SplitTable.assign(65536 * 3, 0);
    for (uint32_t r = 0; r <= f.redSizeMask; ++r)
        for (uint32_t g = 0; g <= f.greenSizeMask; ++g)
            for (uint32_t b = 0; b <= f.blueSizeMask; ++b) {
                uint32_t index = (r << f.redShift) + (g << f.greenShift) + b;
                if (index >= 65536) continue;
                uint8_t* entry = &Tables.SplitTable[index * 3];
                entry[0] = static_cast<uint8_t>(f.redSizeMask == 63 ? r >> 1 : r);
                entry[1] = static_cast<uint8_t>(f.greenSizeMask == 63 ? g >> 1 : g);
                entry[2] = static_cast<uint8_t>(f.blueSizeMask == 63 ? b >> 1 : b);
            }

    Tables.CrossFadeTable.assign(3 * 32 * 32 * 32, 0);
    Tables.FadeAddTable.assign(3 * 32 * 32 * 32, 0);
    for (int ch = 0; ch < 3; ++ch)
        for (int t = 0; t < 32; ++t)
            for (int a = 0; a < 32; ++a)
                for (int b = 0; b < 32; ++b) {
                    size_t index = ((static_cast<size_t>(ch) * 32 + t) * 32 + a) * 32 + b;
                    int cross = std::max(a - t, 0) + std::max(b - (31 - t), 0);
                    int add = std::min(std::max(a - t, 0) + b, 31);
                    Tables.CrossFadeTable[index] = static_cast<uint16_t>(cross << position[ch]);
                    Tables.FadeAddTable[index] = static_cast<uint16_t>(add << position[ch]);
                }

    Tables.SubtractTable.assign(3 * 32 * 32, 0);
    for (int ch = 0; ch < 3; ++ch)
        for (int a = 0; a < 32; ++a)
            for (int b = 0; b < 32; ++b)
                Tables.SubtractTable[(static_cast<size_t>(ch) * 32 + a) * 32 + b] =
                    static_cast<uint16_t>(std::max(a - b, 0) << position[ch]);

    Tables.AverageTable.resize(94);
    for (int s = 0; s < 94; ++s) Tables.AverageTable[s] = static_cast<uint16_t>(s / 3);

    Tables.NoiseTable.resize(kNoiseTableSize);
    for (uint8_t& noise : Tables.NoiseTable) noise = static_cast<uint8_t>(std::rand() % 3);
}

namespace elDraw {

int Screen(int width, int height, int placement) {
    if (width == -1) {
        width = Engine.StartupWidth;
        height = Engine.StartupHeight;
    }
    // A size the window cannot show is refused before anything is released.
    if (!SizeTaken(width, height)) {
        char text[160];
        std::snprintf(text, sizeof text,
                      "%d x %d is outside the sizes the display takes (%d x %d to %d x %d)", width, height,
                      kSmallestWidth, kSmallestHeight, kLargestWidth, kLargestHeight);
        ExplainProblem("elDraw::Screen", text);
        return ReportScreenError(kMessageNoBackBuffer);
    }
    ReleaseDisplay();
    Errors.ErrorFlag = 0;
    Display.ScreenWidth = width;
    Display.ScreenHeight = height;
    SetClipRect(0, 0, width, height);

    // The default device is the only one; it stretches in software.
    Display.hardwareDevice = 0;
    if (Engine.FullScreen) {
        if (!ChooseFullScreenDepth()) return ReportScreenError("解像度が変更できません");
    } else {
        Display.depth = platform::DesktopBitsPerPixel();
    }

    Display.backBuffer = NewDisplaySurface(width, height);
    if (!Display.backBuffer) return ReportScreenError(kMessageNoBackBuffer);
    Display.present = true;

    for (const InternalSprite& sprite : kInternalSprites)
        if (!CreateInternalSprite(sprite)) return ReportScreenError(sprite.failure);

    // The window's client area takes the back buffer's size (the player's scale applies on top).
    platform::SetMainWindowClientSize(width, height);

    Display.stretchSupported = 1;
    Display.format = Display.depth == 32 ? DerivePixelFormat(0xFF0000, 0x00FF00, 0x0000FF)
                                         : DerivePixelFormat(0xF800, 0x07E0, 0x001F);
    FillSineTable();
    // The depth really chosen: full screen may take 16 bits whatever the desktop has.
    if (Display.depth == 16) {
        BuildSixteenBitTables();
    } else {
        Tables = DrawTables{};
        FillSineTable();
    }

    ResetObjectSlots();
    Viewer.viewerPicture = 0;
    Viewer.viewerBackground = 0;

    Display.presentSource = {0, 0, width, height};
    Display.PresentRect = {Input.ClientOriginX, Input.ClientOriginY, Input.ClientOriginX + width,
                           Input.ClientOriginY + height};

    // The sound device, the sound object table and the MIDI state.
    elSound::Init();
    ResetSoundObjects();
    MidiInit();

    ResetWaitTable();
    UnlockInput();
    SetAltKeyMode(0);
    if (Engine.FullScreen) ConfineCursor();

    EnumerateFonts();
    JoyInit();
    if (Engine.ClipCursorMode == 1) ConfineCursor();
    (void)placement;  // every surface lives in system memory here, wherever it was asked for
    return 1;
}

}  // namespace elDraw

void SetScreenDepths(int first, int second, int third) {
    Display.depthPreferences[0] = first;
    Display.depthPreferences[1] = second;
    Display.depthPreferences[2] = third;
}

int CheckColorDepth(const char* settingsName) {
    if (settingsName == nullptr) settingsName = "";
    static const char* const kColourCounts[] = {"16", "256", "65536", "1670万"};
    const int first = Display.depthPreferences[0];
    int code = 0;
    if (first == 8) code = 1;
    if (first == 16) code = 2;
    if (first == 24 || first == 32) code = 3;
    if (code == 0 || Engine.FullScreen) return 1;
    if (platform::DesktopBitsPerPixel() >= first) return 1;

    ShowMessage(
        "　ウィンドウ状態で実行しようとしていますが、画面が%s色以下に設定されています。\n"
        "正しく動作させるには、%s色以上に設定するか、フルスクリーンで実行させて下さい。",
        kColourCounts[code - 1], kColourCounts[code]);

    const bool noQuestion = settingsName[0] == '\0';
    const bool switchOnly = std::strcmp(settingsName, "*") == 0;
    if (!noQuestion) {
        const char* question =
            switchOnly ? "フルスクリーンに切り換えますか？" : "フルスクリーンに設定し直しますか？";
        if (AskYesNo("%s", question)) {
            if (!switchOnly) WriteIntSetting(settingsName, 1);
            Engine.FullScreen = 1;
            return 1;
        }
    }
    ExitProgram();
    return 0;
}

void ReleaseDisplay() {
    if (!Display.present) return;
    ReleaseAllObjects();
    Display.backBuffer.reset();
    Display.present = false;
}

// The font bracket over the back buffer's device context, and the debug-style texts.
#include "engine/text/text_output.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "engine/draw/display.h"
#include "engine/system/error_report.h"
#include "engine/text/font_record.h"
#include "engine/text/fonts.h"
#include "platform/clock.h"

TextState Text;
FrameRateState FrameRate;

namespace {

constexpr const char* kMinchoFace = "標準明朝";
constexpr const char* kGothicFace = "標準ゴシック";
constexpr uint32_t kDebugTextColor = 0xFFFFFF;
constexpr uint32_t kDebugBackgroundColor = 0x800000;

// The record lives from display set-up to the end; outside that a bracket still has one to write.
FontDescription& Record() {
    static FontDescription fallback;
    return FontRecord != nullptr ? *FontRecord : fallback;
}

void SetFaceName(const char* name) { std::snprintf(Record().lfFaceName, sizeof Record().lfFaceName, "%s", name); }

// Fills the record from a selection's arguments, creates the font and lends out the back buffer.
void OpenBracket(int size, int angle, int bold, int italic, int underline, uint8_t charset) {
    FontDescription& record = Record();
    Text.currentFontSize = size;
    record.lfHeight = size;
    record.lfWeight = bold == 0 ? 400 : bold == 1 ? 700 : 0;
    record.lfEscapement = angle * 10;
    record.lfWidth = 0;
    record.lfItalic = static_cast<uint8_t>(italic);
    record.lfUnderline = static_cast<uint8_t>(underline);
    record.lfCharSet = charset;
    OpenBracketOn(Display.backBuffer.get());
}

void DrawDebugLine(int x, int y, const char* text) {
    SetFont(1, 12, 0, 0, 0, 0);
    SetTextColors(kDebugTextColor, kDebugBackgroundColor, 0);
    PutText(x, y, text);
    ReleaseFont();
}

uint32_t BoxFormat(int alignment) {
    using namespace platform;
    switch (alignment) {
        case 0: return DT_WORDBREAK | DT_NOPREFIX;
        case 1: return DT_WORDBREAK | DT_NOPREFIX | DT_CENTER;
        case 2: return DT_WORDBREAK | DT_NOPREFIX | DT_RIGHT;
        default: return 0xFFFFFFFFu;
    }
}

}  // namespace

FontDescription& CurrentFontRecord() {
    return Record();
}

platform::Font* CreateRecordFont() {
    const FontDescription& record = Record();
    platform::FontDescription description;
    description.height = record.lfHeight;
    description.escapement = record.lfEscapement;
    description.weight = record.lfWeight;
    description.italic = record.lfItalic;
    description.underline = record.lfUnderline;
    description.charset = record.lfCharSet;
    std::memcpy(description.faceName, record.lfFaceName, sizeof description.faceName);
    return platform::CreateFont(description);
}

void OpenBracketOn(platform::Surface* surface) {
    Text.font = CreateRecordFont();
    Text.dc = surface != nullptr ? platform::GetDC(*surface) : nullptr;
    Text.previousFont = Text.dc ? platform::SelectFont(Text.dc, Text.font) : nullptr;
}

void SetFont(int face, int size, int angle, int bold, int italic, int underline) {
    if (face == 0) SetFaceName(kMinchoFace);
    if (face == 1) SetFaceName(kGothicFace);
    OpenBracket(size, angle, bold, italic, underline, platform::SHIFTJIS_CHARSET);
}

void SetFontName(const char* faceName, int size, int angle, int bold, int italic, int underline) {
    if (faceName == nullptr) faceName = "";
    SetFaceName(faceName);
    OpenBracket(size, angle, bold, italic, underline, ListedCharset(faceName));
}

void SetTextColors(uint32_t textColor, uint32_t backgroundColor, int transparent) {
    Text.textColor = textColor;
    Text.backgroundColor = backgroundColor;
    Text.transparent = transparent;
    if (Text.dc == nullptr) return;
    platform::SetTextColor(Text.dc, textColor);
    platform::SetBkColor(Text.dc, backgroundColor);
    platform::SetBkMode(Text.dc, transparent != 0 ? platform::TRANSPARENT : platform::OPAQUE);
}

void PutText(int x, int y, const char* text) {
    if (text == nullptr) text = "";
    if (Text.dc != nullptr) platform::TextOut(Text.dc, x, y, text, static_cast<int>(std::strlen(text)));
}

void DrawTextBox(int left, int top, int right, int bottom, const char* text, int alignment) {
    if (text == nullptr) text = "";
    Text.boxRect = {left, top, right, bottom};
    uint32_t format = BoxFormat(alignment);
    if (format == 0xFFFFFFFFu || Text.dc == nullptr) return;
    platform::DrawText(Text.dc, text, -1, Text.boxRect, format);
}

int MeasureTextBox(int left, int top, int right, int bottom, const char* text) {
    if (text == nullptr) text = "";
    Text.measureRect = {left, top, right, bottom};
    if (Text.dc == nullptr) return 0;
    return platform::DrawText(Text.dc, text, -1, Text.measureRect,
                              platform::DT_WORDBREAK | platform::DT_CALCRECT | platform::DT_NOPREFIX);
}

void ReleaseFont() {
    if (Text.dc != nullptr) {
        platform::SelectFont(Text.dc, Text.previousFont);
        platform::ReleaseDC(Text.dc);
    }
    if (Text.font != nullptr) platform::DeleteFont(Text.font);
    Text.font = nullptr;
    Text.previousFont = nullptr;
    Text.dc = nullptr;
}

void DebugPrint(int x, int y, const char* format, ...) {
    char text[kDebugTextSize];
    char wide[2048] = {};
    va_list args;
    va_start(args, format);
    if (format != nullptr) std::vsnprintf(wide, sizeof wide, format, args);
    va_end(args);
    CutSjisText(wide, sizeof text);  // the line keeps its 260-byte bound, cut on a whole character
    std::memcpy(text, wide, std::strlen(wide) + 1);
    DrawDebugLine(x, y, text);
}

void DebugText(int x, int y, const char* text) { DrawDebugLine(x, y, text); }

void DebugFps() {
    if (platform::Ticks() >= FrameRate.nextSampleTime) {
        FrameRate.rate = static_cast<float>(FrameRate.frameCount / 2.0);
        if (FrameRate.maximum < FrameRate.rate) FrameRate.maximum = FrameRate.rate;
        if (FrameRate.rate > 0 && FrameRate.rate < FrameRate.minimum) FrameRate.minimum = FrameRate.rate;
        FrameRate.nextSampleTime = platform::Ticks() + 2000;
        FrameRate.frameCount = 0;
    }
    if (++FrameRate.frameCount > 999) FrameRate.frameCount = 999;
    std::snprintf(FrameRate.line, sizeof FrameRate.line, "%3.1f fps ( max %3.1f / min %3.1f )",
                  static_cast<double>(FrameRate.rate), static_cast<double>(FrameRate.maximum),
                  static_cast<double>(FrameRate.minimum));
    DrawDebugLine(0, 0, FrameRate.line);
}

// Text: the font bracket (SetFont ... ReleaseFont), colours, lines and boxes on the back buffer, the
// debug style, the installed fonts, and blocks of text laid out in a rectangle, plain, smoothed or
// revealed over time. Texts are Shift-JIS (see <el/utf8.h> for UTF-8 sources); colours 0x00BBGGRR.
#pragma once
#include <cstdint>

// Face numbers of SetFont and SetSmoothFont.
namespace elFace {
constexpr int Mincho = 0;  // the standard serif face
constexpr int Gothic = 1;  // the standard sans-serif face
}  // namespace elFace

// Alignment of DrawTextBox.
namespace elAlign {
constexpr int Left = 0;
constexpr int Center = 1;
constexpr int Right = 2;
}  // namespace elAlign

// Kinds of the installed-font list (GetFontKind).
namespace elFontKind {
constexpr int Empty = -1;
constexpr int Japanese = 1;
constexpr int Other = 2;
constexpr int Symbol = 3;
}  // namespace elFontKind

// Effects word of the block renderers: the low byte is extra line spacing in pixels.
enum : uint16_t {
    TEXT_SHADOW = 0x100,  // drop shadow in the background colour
    TEXT_BOLD_X = 0x200,  // drawn again one pixel to the right
    TEXT_BOLD_Y = 0x400,  // drawn again one pixel lower
};

// Opens the font bracket with a standard face (elFace), size in pixels, angle in degrees.
void SetFont(int face, int size, int angle, int bold, int italic, int underline);
// Opens the font bracket with a face by name.
void SetFontName(const char* faceName, int size, int angle, int bold, int italic, int underline);
// Text and background colours inside the bracket; transparent 1 leaves the background as it is.
void SetTextColors(uint32_t textColor, uint32_t backgroundColor, int transparent);
// One line of text at (x, y), inside the bracket.
void PutText(int x, int y, const char* text);
// Text broken into lines inside a rectangle, aligned (elAlign), inside the bracket.
void DrawTextBox(int left, int top, int right, int bottom, const char* text, int alignment);
// The height DrawTextBox would take for the text in that rectangle.
int MeasureTextBox(int left, int top, int right, int bottom, const char* text);
// Closes the font bracket.
void ReleaseFont();

// printf-style text at (x, y) in the debug style: 12 px Gothic, white on dark blue, opaque.
void DebugPrint(int x, int y, const char* format, ...) __attribute__((format(printf, 3, 4)));
// A text at (x, y) in the debug style.
void DebugText(int x, int y, const char* text);
// Once per frame: the frame rate of two-second samples with its maximum and minimum, debug style at (0, 0).
void DebugFps();

// The number of installed fonts listed (at most 200); the list is made by the display set-up.
int GetFontCount();
// The face name of list entry index (0 to count - 1); "" out of range.
const char* GetFontName(int index);
// The kind (elFontKind) of list entry index; elFontKind::Empty out of range.
int GetFontKind(int index);

// Inside a bracket of SetFont / SetFontName and SetTextColors; the bracket stays open.
void DrawTextBlock(int left, int top, int right, int bottom, const char* text, uint16_t effects);
// The same, left in the Font sprite for RevealText.
void LayoutTextBlock(int left, int top, int right, int bottom, const char* text, uint16_t effects);
// Once per frame after a layout: one more character per interval (0: all at once). 1 when all are shown.
int RevealText(float interval);
// The characters of the last layout (a cell each).
int GetTextCharCount();
// How far RevealText has come: the characters shown and the seconds since the last one.
void GetRevealProgress(int* shown, float* timer);
// Sets where RevealText goes on from (a page that lays its text out again keeps its progress).
void SetRevealProgress(int shown, float timer);

// The smooth bracket on the Font buffer sprite: face 0 the standard Mincho, 1 the standard Gothic.
void SetSmoothFont(int face, int size);
// The smooth bracket with a face by name.
void SetSmoothFontName(const char* faceName, int size);
// Closes the smooth bracket.
void ReleaseSmoothFont();
// Inside the smooth bracket: drawn at twice the size and reduced with blended edges.
void DrawSmoothText(int left, int top, int right, int bottom, const char* text, uint16_t effects);
// The same, left in the Font sprite for RevealText.
void LayoutSmoothText(int left, int top, int right, int bottom, const char* text, uint16_t effects);

// Colours as the drawing and text operations take them: 0x00BBGGRR, red in the low byte.
#pragma once
#include <cstdint>

namespace elColor {

// The colour of red, green and blue bytes (each 0 to 255; higher bits are cut off).
constexpr uint32_t Rgb(int red, int green, int blue) {
    return (static_cast<uint32_t>(red) & 0xFFu) | (static_cast<uint32_t>(green) & 0xFFu) << 8 |
           (static_cast<uint32_t>(blue) & 0xFFu) << 16;
}
// The red byte of a colour.
constexpr int RedOf(uint32_t color) {
    return static_cast<int>(color & 0xFFu);
}
// The green byte of a colour.
constexpr int GreenOf(uint32_t color) {
    return static_cast<int>(color >> 8 & 0xFFu);
}
// The blue byte of a colour.
constexpr int BlueOf(uint32_t color) {
    return static_cast<int>(color >> 16 & 0xFFu);
}

constexpr uint32_t Black = Rgb(0, 0, 0);
constexpr uint32_t White = Rgb(255, 255, 255);
constexpr uint32_t Grey = Rgb(128, 128, 128);
constexpr uint32_t Red = Rgb(255, 0, 0);
constexpr uint32_t Green = Rgb(0, 255, 0);
constexpr uint32_t Blue = Rgb(0, 0, 255);
constexpr uint32_t Yellow = Rgb(255, 255, 0);
constexpr uint32_t Cyan = Rgb(0, 255, 255);
constexpr uint32_t Magenta = Rgb(255, 0, 255);

}  // namespace elColor

// Surfaces filled by hand, pixel reads and a device context with one font, for the text tests.
#pragma once
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "platform/text.h"

namespace text_test {

inline platform::Surface MakeSurface(int width, int height, platform::PixelFormat format, uint32_t fill = 0,
                                     int padBytes = 0, int extraRows = 0) {
    platform::Surface surface;
    surface.width = width;
    surface.height = height;
    surface.format = format;
    int bytes = platform::BytesPerPixel(format);
    surface.pitch = width * bytes + padBytes;
    // Row padding and the rows after the last are marked with 0xEE bytes.
    surface.pixels.assign(static_cast<size_t>(surface.pitch) * (height + extraRows), 0xEE);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) memcpy(surface.Row(y) + x * bytes, &fill, static_cast<size_t>(bytes));
    return surface;
}

inline uint32_t PixelAt(const platform::Surface& surface, int x, int y) {
    uint32_t value = 0;
    memcpy(&value, surface.Row(y) + x * platform::BytesPerPixel(surface.format),
           static_cast<size_t>(platform::BytesPerPixel(surface.format)));
    return value;
}

struct Ink {
    int count = 0;
    int left = 1 << 30, top = 1 << 30, right = -(1 << 30), bottom = -(1 << 30);  // right, bottom exclusive
};

// Pixels that differ from the background value.
inline Ink InkOf(const platform::Surface& surface, uint32_t background) {
    Ink ink;
    for (int y = 0; y < surface.height; ++y) {
        for (int x = 0; x < surface.width; ++x) {
            if (PixelAt(surface, x, y) == background) continue;
            ++ink.count;
            ink.left = std::min(ink.left, x);
            ink.top = std::min(ink.top, y);
            ink.right = std::max(ink.right, x + 1);
            ink.bottom = std::max(ink.bottom, y + 1);
        }
    }
    return ink;
}

inline platform::FontDescription Face(const char* name, int height, int weight = 400, int escapement = 0) {
    platform::FontDescription description;
    description.height = height;
    description.weight = weight;
    description.escapement = escapement;
    memcpy(description.faceName, name, std::min(strlen(name), sizeof description.faceName - 1));
    return description;
}

// A borrowed context with one created font selected, all given back at the end of the scope.
class TextContext {
public:
    explicit TextContext(platform::Surface& surface, const platform::FontDescription& font = Face("", 16))
        : dc_(platform::GetDC(surface)) {
        Use(font);
    }
    ~TextContext() {
        platform::SelectFont(dc_, previous_);
        platform::DeleteFont(font_);
        platform::ReleaseDC(dc_);
    }
    TextContext(const TextContext&) = delete;
    TextContext& operator=(const TextContext&) = delete;

    void Use(const platform::FontDescription& description) {
        platform::Font* font = platform::CreateFont(description);
        platform::Font* old = platform::SelectFont(dc_, font);
        if (font_ == nullptr) previous_ = old;
        platform::DeleteFont(font_);
        font_ = font;
    }
    platform::DeviceContext* dc() const { return dc_; }
    void Colors(uint32_t text, uint32_t background, int mode) {
        platform::SetTextColor(dc_, text);
        platform::SetBkColor(dc_, background);
        platform::SetBkMode(dc_, mode);
    }
    void Out(int x, int y, const std::string& text) {
        platform::TextOut(dc_, x, y, text.data(), static_cast<int>(text.size()));
    }
    int Width(const std::string& text) {
        return platform::GetTextExtent(dc_, text.data(), static_cast<int>(text.size())).cx;
    }
    int Height() { return platform::GetTextMetrics(dc_).height; }

private:
    platform::DeviceContext* dc_;
    platform::Font* font_ = nullptr;
    platform::Font* previous_ = nullptr;
};

}  // namespace text_test

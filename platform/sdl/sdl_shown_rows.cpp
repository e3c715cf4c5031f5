// Finding the rows of a frame that differ from what the window holds.
#include "platform/sdl/sdl_shown_rows.h"

#include <cstring>

#include "platform/surface.h"

namespace platform::sdl {

void ShownRows::Add(int row) {
    if (!bands_.empty()) {
        RowBand& last = bands_.back();
        const int gap = row - (last.top + last.count);
        if (gap < kJoinGap || bands_.size() >= static_cast<size_t>(kMostBands)) {
            last.count = row + 1 - last.top;
            return;
        }
    }
    bands_.push_back(RowBand{row, 1});
}

const std::vector<RowBand>& ShownRows::Update(const uint8_t* first, int pitch, PixelFormat format, int width,
                                              int height) {
    bands_.clear();
    if (width <= 0 || height <= 0) return bands_;
    const size_t rowBytes = static_cast<size_t>(width) * BytesPerPixel(format);
    const bool same = known_ && width == width_ && height == height_ && format == format_;
    if (!same) {  // every row goes, even those equal to a stale copy
        copy_.resize(rowBytes * static_cast<size_t>(height));
        width_ = width;
        height_ = height;
        format_ = format;
        known_ = true;
        bands_.assign(1, RowBand{0, height});
    }
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = first + static_cast<size_t>(y) * pitch;
        uint8_t* kept = copy_.data() + static_cast<size_t>(y) * rowBytes;
        if (same && std::memcmp(row, kept, rowBytes) == 0) continue;
        std::memcpy(kept, row, rowBytes);
        if (same) Add(y);
    }
    return bands_;
}

}  // namespace platform::sdl

// A copy of the picture the window last received, so that a frame is sent only where its rows changed.
#pragma once
#include <cstdint>
#include <vector>

#include "platform/surface.h"

namespace platform::sdl {

// Rows top .. top + count - 1 of the picture.
struct RowBand {
    int top = 0, count = 0;
};

// The window keeps what it was last sent until it is covered, resized or shown again. Most frames
// of a quiet scene change a few rows or none, and converting, scaling and sending all of them is
// most of what an idle program costs at 2x: only the bands that changed need to go.
class ShownRows {
  public:
    // Unchanged rows closer together than this are sent with the rows round them: one larger send
    // costs less than two small ones.
    static constexpr int kJoinGap = 16;
    // At most this many bands a frame; the rows past the last one join it.
    static constexpr int kMostBands = 8;

    // The window's contents are no longer known: the next Update returns every row.
    void Forget() { known_ = false; }

    // Compares the picture (width x height pixels of the format, rows pitch bytes apart) with the copy
    // of what the window holds, brings the copy up to date and returns the bands of rows that
    // differ, top to bottom; all rows as one band when the copy was forgotten or the picture's size or
    // format changed; none when nothing changed.
    const std::vector<RowBand>& Update(const uint8_t* first, int pitch, PixelFormat format, int width,
                                       int height);

  private:
    void Add(int row);

    std::vector<uint8_t> copy_;
    std::vector<RowBand> bands_;
    int width_ = 0, height_ = 0;
    PixelFormat format_ = PixelFormat::RGB565;
    bool known_ = false;
};

}  // namespace platform::sdl

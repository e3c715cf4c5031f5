// Headless presentation: the presented frame is kept for tests to read.
#include <cstring>

#include "platform/headless/headless.h"
#include "platform/present.h"

namespace platform {
namespace headless {

PresentedFrames Presented;

}  // namespace headless

void Present(const Surface& backBuffer, const Rect& source) {
    Surface& last = headless::Presented.last;
    int left = source.left < 0 ? 0 : source.left;
    int top = source.top < 0 ? 0 : source.top;
    int right = source.right > backBuffer.width ? backBuffer.width : source.right;
    int bottom = source.bottom > backBuffer.height ? backBuffer.height : source.bottom;
    ++headless::Presented.count;
    if (right <= left || bottom <= top) return;
    const int bytes = BytesPerPixel(backBuffer.format);
    // Reuse the frame's storage: presenting allocates only when the size changes.
    if (last.width != right - left || last.height != bottom - top || last.format != backBuffer.format) {
        last.width = right - left;
        last.height = bottom - top;
        last.format = backBuffer.format;
        last.pitch = last.width * bytes;
        last.pixels.assign(static_cast<size_t>(last.pitch) * last.height, 0);
    }
    for (int y = top; y < bottom; ++y)
        std::memcpy(last.Row(y - top), backBuffer.Row(y) + static_cast<size_t>(left) * bytes,
                    static_cast<size_t>(last.pitch));
}

void WaitForVerticalBlank() { headless::Presented.verticalBlankWaited = true; }

}  // namespace platform

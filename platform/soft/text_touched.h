// The box of pixels that text drawn through a device context has written, for callers that clear
// only what their text drew.
#pragma once
#include "platform/text.h"
#include "platform/window.h"

namespace platform {

// The smallest box holding every pixel that TextOut and DrawText through dc have written since the
// context was taken or the box was last taken (other drawing on the surface is not counted), and
// starts a new one; an empty Rect (0, 0, 0, 0) when nothing was written or dc is null.
Rect TakeTextTouched(DeviceContext* dc);

}  // namespace platform

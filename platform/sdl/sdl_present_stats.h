// Presentation figures on request (MILKANET_PRESENT_STATS=1): when the first frame reached the
// screen and the main thread's processor time per Present.
#pragma once

namespace platform::sdl {

// Called around each Present; cheap and silent unless the figures were asked for.
void PresentStatsBegin();
void PresentStatsEnd(bool presented);

}  // namespace platform::sdl

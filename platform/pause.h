// A pause far shorter than a millisecond, for waits that watch the millisecond clock closely.
#pragma once

namespace platform {

// Gives the processor away until the millisecond clock next moves on (less than a millisecond).
// The headless clock does not move.
void PauseBriefly();

}  // namespace platform

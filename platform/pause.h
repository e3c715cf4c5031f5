// A pause far shorter than a millisecond, for waits that watch the millisecond clock closely.
#pragma once

namespace platform {

// Gives the processor away for about a fifth of a millisecond. The headless clock does not move.
void PauseBriefly();

}  // namespace platform

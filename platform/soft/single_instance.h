// The single-instance lock shared by both backends: a lock file and a local socket by which a
// second copy asks the first to raise its window.
#pragma once

namespace platform::instance {

// True once for each raise request a second copy has sent since the last call.
bool TakeRaiseRequest();

}  // namespace platform::instance

// The row loop of the rotated copies, at the active instruction-set level (platform/blit.h).
#pragma once
#include <cstddef>
#include <cstdint>

namespace platform {

// Writes `count` pixels from `out` on: pixel i takes the source pixel at column
// (fx + i * stepX) >> 16 and row (fy + i * stepY) >> 16 (16.16 fixed point) of the picture at
// `bits` (`pitch` bytes a row), unless that pixel's colour bits are all 0. Every one of those
// positions must lie on the picture; `readable` is how many bytes from `bits` on may be read.
// `wide`: 32-bit pixels (colour bits: the low 24), else 16-bit ones.
void RotateRun(uint8_t* out, int64_t count, int64_t fx, int64_t fy, int64_t stepX, int64_t stepY,
               const uint8_t* bits, ptrdiff_t pitch, size_t readable, bool wide);

}  // namespace platform

// The inner loops of the keyed copy, one table per instruction-set level (internal to the blitter).
#pragma once
#include <cstddef>
#include <cstdint>

#include "platform/blit.h"

namespace platform::blit_detail {

// Copies a w x h block of pixels (already clipped; w, h >= 1) from src to dst, leaving out
// source pixels equal to key. The two blocks must not overlap.
using KeyedKernel = void (*)(uint8_t* dst, ptrdiff_t dstPitch, const uint8_t* src, ptrdiff_t srcPitch, int w,
                             int h, uint32_t key);

// Copies h rows of `bytes` bytes each (bytes >= 2, h >= 1); the blocks must not overlap.
using OpaqueKernel = void (*)(uint8_t* dst, ptrdiff_t dstPitch, const uint8_t* src, ptrdiff_t srcPitch,
                              int bytes, int h);

struct Kernels {
    BlitLevel level;
    KeyedKernel keyed16;  // key: raw RGB565 value
    KeyedKernel keyed32;  // key: raw XRGB8888 value; only the low 24 bits are compared
    OpaqueKernel opaque;  // either format
};

const Kernels& ActiveKernels();
const Kernels& KernelsFor(BlitLevel level);  // any level, also one the processor lacks

}  // namespace platform::blit_detail

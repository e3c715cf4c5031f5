// The smooth-text reduction one pixel at a time (the reference of every vector level) and the
// choice of level.
#include "platform/soft/text_reduce.h"

#include <algorithm>
#include <cstring>

namespace platform {
namespace {

void ReduceReference(const ReduceJob& job, const ReduceFormat& format) {
    const bool wide = format.wide;
    const uint32_t full = wide ? 255 : 31;
    auto read = [wide](const uint8_t* row, int x) -> uint32_t {
        if (!wide) {
            uint16_t v;
            std::memcpy(&v, row + 2 * static_cast<size_t>(x), 2);
            return v;
        }
        uint32_t v;
        std::memcpy(&v, row + 4 * static_cast<size_t>(x), 4);
        return v & 0xFFFFFF;
    };
    for (int j = 0; j < job.height; ++j) {
        const int sy = (job.firstY + j) * 2;
        const uint8_t* underRow = job.under + j * job.underPitch;
        uint8_t* targetRow = job.target + j * job.targetPitch;
        for (int i = 0; i < job.width; ++i) {
            const int sx = (job.firstX + i) * 2;
            uint32_t sum[3] = {};
            int n = 0;
            for (int v = std::max(sy - 1, 0); v <= std::min(sy + 1, job.sourceHeight - 1); ++v) {
                const uint8_t* row = job.source + v * job.sourcePitch;
                for (int u = std::max(sx - 1, 0); u <= std::min(sx + 1, job.sourceWidth - 1); ++u) {
                    const uint32_t pixel = read(row, u);
                    if (pixel == 0) continue;
                    for (int c = 0; c < 3; ++c) sum[c] += pixel >> format.position[c] & full;
                    ++n;
                }
            }
            if (n == 0) continue;
            const uint32_t under = read(underRow, i);
            uint32_t out = 0;
            for (int c = 0; c < 3; ++c) {
                uint32_t value = sum[c] + full;
                if (n < 8) value += static_cast<uint32_t>(8 - n) * (under >> format.position[c] & full);
                out |= std::min(value / 8, full) << format.position[c];
            }
            if (wide) {
                std::memcpy(targetRow + 4 * static_cast<size_t>(i), &out, 4);
            } else {
                const auto narrow = static_cast<uint16_t>(out);
                std::memcpy(targetRow + 2 * static_cast<size_t>(i), &narrow, 2);
            }
        }
    }
}

// The vector loops read channels as whole bytes at 32 bits and as 5-bit fields at 16.
bool VectorsTake(const ReduceFormat& format) {
    int p[3] = {format.position[0], format.position[1], format.position[2]};
    std::sort(p, p + 3);
    if (format.wide) return p[0] == 0 && p[1] == 8 && p[2] == 16;
    return p[0] >= 0 && p[2] <= 11;
}

}  // namespace

ReduceLoop ReduceLoopFor(BlitLevel level, const ReduceFormat& format) {
    if (level == BlitLevel::Scalar) return ReduceReference;
    if (!VectorsTake(format)) return nullptr;
    switch (level) {
        case BlitLevel::SSE2:
            return reduce_detail::Sse2Loop(format.wide);
        case BlitLevel::AVX2:
            return reduce_detail::Avx2Loop(format.wide);
        case BlitLevel::AVX512:
            return reduce_detail::Avx512Loop(format.wide);
        case BlitLevel::Scalar:
            break;
    }
    return ReduceReference;
}

void ReduceText(const ReduceJob& job, const ReduceFormat& format) {
    if (job.width <= 0 || job.height <= 0) return;
    ReduceLoop loop = ReduceLoopFor(ActiveBlitLevel(), format);
    (loop != nullptr ? loop : ReduceReference)(job, format);
}

}  // namespace platform

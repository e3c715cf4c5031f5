// The mixer's voice loops at the baseline level (SSE2 on x86-64), and the table of every level's.
#define EL_MIX_LEVEL 2
#define EL_MIX_FILL_NAME FillSse2Loops
#include "platform/soft/mixer_loops.inc"

namespace platform::soft::mix_detail {

namespace {

MixLoops Filled(BlitLevel level, void (*fill)(MixLoops&)) {
    MixLoops loops{};
    loops.level = level;
    fill(loops);
    return loops;
}

}  // namespace

const MixLoops& MixLoopsFor(BlitLevel level) {
    static const MixLoops baseline = Filled(BlitLevel::SSE2, FillSse2Loops);
#if defined(__x86_64__) || defined(__i386__)
    static const MixLoops avx2 = Filled(BlitLevel::AVX2, FillAvx2Loops);
    static const MixLoops avx512 = Filled(BlitLevel::AVX512, FillAvx512Loops);
    switch (level) {
        case BlitLevel::AVX2:
            return avx2;
        case BlitLevel::AVX512:
            return avx512;
        default:
            break;
    }
#endif
    return baseline;
}

}  // namespace platform::soft::mix_detail

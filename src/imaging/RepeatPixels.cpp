#include "imaging/RepeatPixels.h"

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define DUOPTIC_HAS_AVX512_PATH 1
#endif

namespace duoptic {

namespace {

void repeatPlain(const std::uint32_t* pixels, const std::int32_t* columns, std::uint32_t* out,
                 int n) {
    const std::int32_t first = columns[0];
    for (int i = 0; i < n; ++i) {
        out[i] = pixels[columns[i] - first];
    }
}

#ifdef DUOPTIC_HAS_AVX512_PATH

// Enlarged, sixteen neighbouring destination pixels show at most sixteen neighbouring source
// pixels: one load and one permutation place them all, where a gather would fetch each on its own.
// A group that spans more (shrinking) takes the gather.
__attribute__((target("avx512f"))) void
repeatAvx512(const std::uint32_t* pixels, const std::int32_t* columns, std::uint32_t* out, int n) {
    using Lanes = std::int32_t __attribute__((vector_size(64)));
    const std::int32_t first = columns[0];
    for (int i = 0; i < n; i += 16) {
        const int count = n - i < 16 ? n - i : 16;
        const __mmask16 live = static_cast<__mmask16>((1u << count) - 1);
        const std::int32_t from = columns[i] - first;
        const std::int32_t span = columns[i + count - 1] - columns[i] + 1;
        const Lanes at = Lanes(_mm512_maskz_loadu_epi32(live, columns + i)) - columns[i];
        __m512i got;
        if (span <= 16) {
            const __m512i near =
                _mm512_maskz_loadu_epi32(static_cast<__mmask16>((1u << span) - 1), pixels + from);
            got = _mm512_maskz_permutexvar_epi32(live, __m512i(at), near);
        } else {
            got = _mm512_mask_i32gather_epi32(_mm512_setzero_si512(), live, __m512i(at),
                                              pixels + from, 4);
        }
        _mm512_mask_storeu_epi32(out + i, live, got);
    }
}

#endif

} // namespace

void repeatPixels(const std::uint32_t* pixels, const std::int32_t* columns, std::uint32_t* out,
                  int n) {
#ifdef DUOPTIC_HAS_AVX512_PATH
    static const bool avx512 = __builtin_cpu_supports("avx512f");
    if (avx512) {
        repeatAvx512(pixels, columns, out, n);
        return;
    }
#endif
    repeatPlain(pixels, columns, out, n);
}

} // namespace duoptic

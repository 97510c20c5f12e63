#include "imaging/AnaglyphVnni.h"

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define DUOPTIC_HAS_VNNI_PATH 1
#endif

namespace duoptic {

namespace {

// A byte dot product multiplies a pixel's four unsigned bytes by four signed bytes and adds the
// products to a 32-bit sum. A coefficient has up to 18 bits, so it is split into three signed
// base-256 digits, c = d2 * 2^16 + d1 * 2^8 + d0, and the sum of each digit's products is shifted
// back into place: the total is exactly the 32-bit sum of coefficient times value.
std::int8_t digit(std::int32_t c, int d) {
    for (int k = 0; k < d; ++k) {
        c = (c - static_cast<std::int8_t>(c & 0xFF)) / 256;
    }
    return static_cast<std::int8_t>(c & 0xFF);
}

// The four coefficient bytes of one digit for one eye, in the pixel's byte order: blue, green,
// red, then nothing for the unused top byte.
std::int32_t digitBytes(const AnaglyphMatrix& m, int channel, int eye, int d) {
    const auto& row = m[static_cast<std::size_t>(channel)];
    const auto at = [&](int k) {
        return static_cast<std::uint8_t>(digit(row[static_cast<std::size_t>(3 * eye + k)], d));
    };
    return static_cast<std::int32_t>(at(2) | at(1) << 8 | at(0) << 16);
}

} // namespace

AnaglyphDigits anaglyphDigits(const AnaglyphMatrix& m) {
    AnaglyphDigits t{};
    for (int c = 0; c < 3; ++c) {
        for (int d = 0; d < kAnaglyphDigits; ++d) {
            for (int eye = 0; eye < 2; ++eye) {
                t[static_cast<std::size_t>((c * kAnaglyphDigits + d) * 2 + eye)] =
                    digitBytes(m, c, eye, d);
            }
        }
    }
    return t;
}

#ifdef DUOPTIC_HAS_VNNI_PATH

namespace {

#define DUOPTIC_VNNI_TARGET __attribute__((target("avx512f,avx512bw,avx512vnni")))

using Lanes = std::int32_t __attribute__((vector_size(64)));

struct Digits {
    __m512i of[3][kAnaglyphDigits][2]; // by output channel, digit, eye
};

DUOPTIC_VNNI_TARGET Digits broadcast(const AnaglyphDigits& digits) {
    Digits t;
    for (int c = 0; c < 3; ++c) {
        for (int d = 0; d < kAnaglyphDigits; ++d) {
            for (int eye = 0; eye < 2; ++eye) {
                t.of[c][d][eye] = _mm512_set1_epi32(
                    digits[static_cast<std::size_t>((c * kAnaglyphDigits + d) * 2 + eye)]);
            }
        }
    }
    return t;
}

// One output channel of sixteen pixel pairs, rounded to a level, before clamping.
DUOPTIC_VNNI_TARGET inline __m512i channelOf(const Digits& t, int c, __m512i l, __m512i r) {
    const __m512i zero = _mm512_setzero_si512();
    __m512i sum[kAnaglyphDigits];
    for (int d = 0; d < kAnaglyphDigits; ++d) {
        const __m512i start = d == 0 ? _mm512_set1_epi32(1 << (kAnaglyphShift - 1)) : zero;
        sum[d] =
            _mm512_dpbusd_epi32(_mm512_dpbusd_epi32(start, l, t.of[c][d][0]), r, t.of[c][d][1]);
    }
    // Shifts and sums written as vector arithmetic: the shift intrinsics trip GCC 12's
    // uninitialised-value warning.
    const Lanes total = Lanes(sum[0]) + (Lanes(sum[1]) << 8) + (Lanes(sum[2]) << 16);
    return __m512i(total >> kAnaglyphShift);
}

// Sixteen mixed pixels. The saturating packs clamp each channel to 0 .. 255; they leave each
// 128-bit lane's four pixels as four bytes of blue, then green, red and alpha, which the shuffle
// puts back in pixel order.
DUOPTIC_VNNI_TARGET inline __m512i mix16(const Digits& t, __m512i l, __m512i r) {
    const __m512i blueGreen = _mm512_packs_epi32(channelOf(t, 2, l, r), channelOf(t, 1, l, r));
    const __m512i redAlpha = _mm512_packs_epi32(channelOf(t, 0, l, r), _mm512_set1_epi32(255));
    const __m512i planar = _mm512_packus_epi16(blueGreen, redAlpha);
    // In each lane, bytes 0, 4, 8, 12, then 1, 5, 9, 13, and so on.
    const __m512i toPixels = _mm512_setr4_epi32(0x0C080400, 0x0D090501, 0x0E0A0602, 0x0F0B0703);
    return _mm512_shuffle_epi8(planar, toPixels);
}

} // namespace

bool anaglyphVnniAvailable() {
    static const bool available =
        __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vnni");
    return available;
}

DUOPTIC_VNNI_TARGET void mixAnaglyphVnni(const AnaglyphDigits& digits, const std::uint32_t* left,
                                         const std::uint32_t* right, std::uint32_t* out, int n) {
    const Digits t = broadcast(digits);
    for (int i = 0; i < n; i += 16) {
        // The last, partial group reads and writes only the pixels that are there.
        const __mmask16 live = n - i >= 16 ? __mmask16(0xFFFF) : __mmask16((1u << (n - i)) - 1);
        const __m512i l = _mm512_maskz_loadu_epi32(live, left + i);
        const __m512i r = _mm512_maskz_loadu_epi32(live, right + i);
        _mm512_mask_storeu_epi32(out + i, live, mix16(t, l, r));
    }
}

#else

bool anaglyphVnniAvailable() {
    return false;
}

void mixAnaglyphVnni(const AnaglyphDigits&, const std::uint32_t*, const std::uint32_t*,
                     std::uint32_t*, int) {}

#endif

} // namespace duoptic

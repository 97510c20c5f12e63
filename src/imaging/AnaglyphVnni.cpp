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

namespace {

// Asks for the cache lines of a row's pixels up to a column, as a gather of the row above them
// reaches it: shrinking jumps over rows, which the hardware prefetcher cannot foresee.
class LineAhead {
public:
    LineAhead(const std::uint32_t* row, std::int32_t firstColumn)
        : row_(row), ahead_(row != nullptr ? row + firstColumn : nullptr) {}
    void upTo(std::int32_t column) {
        if (row_ != nullptr) {
            for (; ahead_ <= row_ + column; ahead_ += 16) {
                __builtin_prefetch(ahead_);
            }
        }
    }

private:
    const std::uint32_t* row_;
    const std::uint32_t* ahead_;
};

} // namespace

// Sixteen pixels of a row under sixteen columns. Loaded one by one into the vector: the
// processor's gather instruction is far slower here, and writing them out to read them back as one
// vector waits for the stores.
DUOPTIC_VNNI_TARGET inline __m512i gather16(const std::uint32_t* row, const std::int32_t* c) {
    const auto at = [&](int k) { return static_cast<int>(row[c[k]]); };
    return _mm512_setr_epi32(at(0), at(1), at(2), at(3), at(4), at(5), at(6), at(7), at(8), at(9),
                             at(10), at(11), at(12), at(13), at(14), at(15));
}

// The first `count` of sixteen lanes, none if count <= 0.
inline __mmask16 firstLanes(int count) {
    return count >= 16  ? __mmask16(0xFFFF)
           : count <= 0 ? __mmask16(0)
                        : __mmask16((1u << count) - 1);
}

// The same as gather16 where the sixteen columns lie within 64 neighbouring pixels, as they do
// when a row is shrunk less than fourfold: up to four vector loads of those pixels and two
// permutations that pick from them, instead of sixteen loads.
DUOPTIC_VNNI_TARGET inline __m512i gatherNear16(const std::uint32_t* row, const std::int32_t* c) {
    const std::int32_t first = c[0];
    const int span = c[15] - first + 1;
    if (span > 64) {
        return gather16(row, c);
    }
    const __m512i at = _mm512_sub_epi32(_mm512_loadu_si512(c), _mm512_set1_epi32(first));
    __m512i near[4];
    for (int q = 0; q < 4; ++q) {
        near[q] = span > 16 * q
                      ? _mm512_maskz_loadu_epi32(firstLanes(span - 16 * q), row + first + 16 * q)
                      : _mm512_setzero_si512();
    }
    const __m512i low = _mm512_permutex2var_epi32(near[0], at, near[1]);
    const __m512i high = _mm512_permutex2var_epi32(near[2], at, near[3]);
    return _mm512_mask_blend_epi32(_mm512_cmpge_epi32_mask(at, _mm512_set1_epi32(32)), low, high);
}

DUOPTIC_VNNI_TARGET void mixAnaglyphVnniGathered(const AnaglyphDigits& digits, GatheredEye left,
                                                 GatheredEye right, std::uint32_t* out, int n) {
    const Digits t = broadcast(digits);
    LineAhead leftAhead(left.nextRow, left.columns[0]), rightAhead(right.nextRow, right.columns[0]);
    int i = 0;
    for (; i + 16 <= n; i += 16) {
        const __m512i l = gatherNear16(left.row, left.columns + i);
        const __m512i r = gatherNear16(right.row, right.columns + i);
        leftAhead.upTo(left.columns[i + 15]);
        rightAhead.upTo(right.columns[i + 15]);
        _mm512_storeu_si512(out + i, mix16(t, l, r));
    }
    // The last, partial group, through a buffer.
    if (i < n) {
        alignas(64) std::uint32_t l[16] = {}, r[16] = {};
        for (int k = 0; k < n - i; ++k) {
            l[k] = left.row[left.columns[i + k]];
            r[k] = right.row[right.columns[i + k]];
        }
        const __mmask16 live = static_cast<__mmask16>((1u << (n - i)) - 1);
        _mm512_mask_storeu_epi32(out + i, live,
                                 mix16(t, _mm512_load_si512(l), _mm512_load_si512(r)));
    }
}

#else

void mixAnaglyphVnniGathered(const AnaglyphDigits&, GatheredEye, GatheredEye, std::uint32_t*, int) {
}

bool anaglyphVnniAvailable() {
    return false;
}

void mixAnaglyphVnni(const AnaglyphDigits&, const std::uint32_t*, const std::uint32_t*,
                     std::uint32_t*, int) {}

#endif

} // namespace duoptic

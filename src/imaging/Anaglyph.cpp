#include "imaging/Anaglyph.h"

#include "imaging/AnaglyphVnni.h"

#include <algorithm>
#include <array>

namespace duoptic {

namespace {

// Coefficients in units of 2^-16: small enough that six products of 8-bit values and their sum
// stay far inside 32 bits, fine enough that the result is never a whole level off.
constexpr int kShift = kAnaglyphShift;
constexpr int kHalf = 1 << (kShift - 1);

constexpr std::int32_t fixedPoint(double c) {
    return static_cast<std::int32_t>(c * (1 << kShift) + (c < 0 ? -0.5 : 0.5));
}

// Output red, green and blue, each from the left eye's red, green and blue, then the right's.
using Matrix = std::array<std::array<double, 6>, 3>;

// Eric Dubois' least-squares projections, computed from the spectra of the display's primaries
// and of the glasses' filters, as he published them on his anaglyph pages at the University of
// Ottawa (the method: "A projection method to generate anaglyph stereo images", ICASSP 2001).
// He derives them for linear light. Here they are applied directly to the gamma-encoded sRGB
// values, in 8-bit arithmetic, as most viewers do: no conversion to linear light and back for
// every pixel, and the difference is small in practice.
// The red-cyan matrix is his 2001 one. He later published a revised table that changed the
// red-cyan matrix; the 2001 one is kept because it is the one other anaglyph viewers use, so that
// a pair looks here as it does in them.
constexpr Matrix kRedCyan{{
    {0.4561, 0.500484, 0.176381, -0.0434706, -0.0879388, -0.00155529},
    {-0.0400822, -0.0378246, -0.0157589, 0.378476, 0.73364, -0.0184503},
    {-0.0152161, -0.0205971, -0.00546856, -0.0721527, -0.112961, 1.2264},
}};
constexpr Matrix kGreenMagenta{{
    {-0.062, -0.158, -0.039, 0.529, 0.705, 0.024},
    {0.284, 0.668, 0.143, -0.016, -0.015, -0.065},
    {-0.015, -0.027, 0.021, 0.009, 0.075, 0.937},
}};
constexpr Matrix kAmberBlue{{
    {1.062, -0.205, 0.299, -0.016, -0.123, -0.017},
    {-0.026, 0.908, 0.068, 0.006, 0.062, -0.017},
    {-0.038, -0.173, 0.022, 0.094, 0.185, 0.911},
}};

// Grey is luma with the Rec. 601 weights, the ones of the JPEG files the viewer shows.
constexpr double kLumaRed = 0.299;
constexpr double kLumaGreen = 0.587;
constexpr double kLumaBlue = 0.114;

// Grey red-cyan: red is the left eye's luma, green and blue the right eye's.
constexpr Matrix kRedCyanGrey{{
    {kLumaRed, kLumaGreen, kLumaBlue, 0, 0, 0},
    {0, 0, 0, kLumaRed, kLumaGreen, kLumaBlue},
    {0, 0, 0, kLumaRed, kLumaGreen, kLumaBlue},
}};
// Half-colour red-cyan: red is the left eye's luma, green and blue the right eye's own.
constexpr Matrix kRedCyanHalfColour{{
    {kLumaRed, kLumaGreen, kLumaBlue, 0, 0, 0},
    {0, 0, 0, 0, 1, 0},
    {0, 0, 0, 0, 0, 1},
}};

using FixedMatrix = AnaglyphMatrix;

constexpr FixedMatrix fixedMatrix(const Matrix& m) {
    FixedMatrix f{};
    for (std::size_t c = 0; c < 3; ++c) {
        for (std::size_t k = 0; k < 6; ++k) {
            f[c][k] = fixedPoint(m[c][k]);
        }
    }
    return f;
}

const FixedMatrix& matrixOf(AnaglyphKind kind) {
    static constexpr FixedMatrix redCyan = fixedMatrix(kRedCyan);
    static constexpr FixedMatrix greenMagenta = fixedMatrix(kGreenMagenta);
    static constexpr FixedMatrix amberBlue = fixedMatrix(kAmberBlue);
    static constexpr FixedMatrix grey = fixedMatrix(kRedCyanGrey);
    static constexpr FixedMatrix halfColour = fixedMatrix(kRedCyanHalfColour);
    switch (kind) {
    case AnaglyphKind::RedCyanDubois:
        return redCyan;
    case AnaglyphKind::GreenMagentaDubois:
        return greenMagenta;
    case AnaglyphKind::AmberBlueDubois:
        return amberBlue;
    case AnaglyphKind::RedCyanGrey:
        return grey;
    case AnaglyphKind::RedCyanHalfColour:
        return halfColour;
    }
    return redCyan;
}

constexpr std::size_t kKinds = static_cast<std::size_t>(AnaglyphKind::RedCyanHalfColour) + 1;

inline std::uint32_t channel(std::int32_t sum) {
    return static_cast<std::uint32_t>(std::clamp((sum + kHalf) >> kShift, 0, 255));
}

// Written with plain integer arithmetic on every pixel and no branch, so that the compiler can
// work on several pixels at once; where the processor has wider vectors than the baseline's, a copy
// built for them is chosen when the program loads, several times faster.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
[[gnu::target_clones("arch=x86-64-v4", "arch=x86-64-v3", "default")]]
#endif
void mixMatrix(const FixedMatrix& m, const std::uint32_t* __restrict left,
               const std::uint32_t* __restrict right, std::uint32_t* __restrict out, int n) {
    for (int i = 0; i < n; ++i) {
        const std::int32_t e[6] = {
            std::int32_t(left[i] >> 16 & 0xFF), std::int32_t(left[i] >> 8 & 0xFF),
            std::int32_t(left[i] & 0xFF),       std::int32_t(right[i] >> 16 & 0xFF),
            std::int32_t(right[i] >> 8 & 0xFF), std::int32_t(right[i] & 0xFF)};
        std::int32_t s[3];
        for (std::size_t c = 0; c < 3; ++c) {
            s[c] = m[c][0] * e[0] + m[c][1] * e[1] + m[c][2] * e[2] + m[c][3] * e[3] +
                   m[c][4] * e[4] + m[c][5] * e[5];
        }
        out[i] = 0xFF000000u | channel(s[0]) << 16 | channel(s[1]) << 8 | channel(s[2]);
    }
}

const AnaglyphDigits& digitsOf(AnaglyphKind kind) {
    static const std::array<AnaglyphDigits, kKinds> digits = [] {
        std::array<AnaglyphDigits, kKinds> d{};
        for (std::size_t k = 0; k < kKinds; ++k) {
            d[k] = anaglyphDigits(matrixOf(static_cast<AnaglyphKind>(k)));
        }
        return d;
    }();
    return digits[static_cast<std::size_t>(kind)];
}

} // namespace

void mixAnaglyph(AnaglyphKind kind, const std::uint32_t* left, const std::uint32_t* right,
                 std::uint32_t* out, int n) {
    // The byte dot products give the same values several times faster, whatever the optimisation
    // level the program was built with; without them the compiler's vectors have to do.
    if (anaglyphVnniAvailable()) {
        mixAnaglyphVnni(digitsOf(kind), left, right, out, n);
    } else {
        mixMatrix(matrixOf(kind), left, right, out, n);
    }
}

bool mixAnaglyphGathered(AnaglyphKind kind, GatheredEye left, GatheredEye right, std::uint32_t* out,
                         int n) {
    if (!anaglyphVnniAvailable()) {
        return false;
    }
    mixAnaglyphVnniGathered(digitsOf(kind), left, right, out, n);
    return true;
}

} // namespace duoptic

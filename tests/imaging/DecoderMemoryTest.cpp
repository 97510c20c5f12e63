#include "JpegWriter.h"

#include "imaging/DecoderMemory.h"
#include "imaging/JpegDecoder.h"

#include <gtest/gtest.h>

#include <csetjmp>
#include <cstdio>
#include <ostream>
#include <vector>

#include <jpeglib.h>

namespace duoptic {
namespace {

using testing::JpegKind;

// A small progressive file cut right after its first scan's header, claiming another size.
std::vector<std::uint8_t> progressiveHeader(JpegKind kind, int width, int height) {
    const std::vector<std::uint8_t> pixel(kind == JpegKind::Colour ? 3 : 4, 90);
    auto bytes = testing::writeSolidJpeg({16, 16, kind, 90, true, true}, pixel);
    const long sof = testing::findMarker(bytes, 0xC2);
    const long sos = testing::findMarker(bytes, 0xDA);
    EXPECT_GT(sof, 0);
    EXPECT_GT(sos, sof);
    const auto at = static_cast<std::size_t>(sof);
    bytes[at + 5] = static_cast<std::uint8_t>(height >> 8);
    bytes[at + 6] = static_cast<std::uint8_t>(height);
    bytes[at + 7] = static_cast<std::uint8_t>(width >> 8);
    bytes[at + 8] = static_cast<std::uint8_t>(width);
    const auto scanHeaderEnd =
        static_cast<std::size_t>(sos) + 2 + (bytes[sos + 2] << 8 | bytes[sos + 3]);
    bytes.resize(scanHeaderEnd);
    return bytes;
}

struct Suspend {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

[[noreturn]] void jumpOut(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<Suspend*>(cinfo->err)->jump, 1);
}
void noMessage(j_common_ptr, int) {}
void noAction(j_decompress_ptr) {}
boolean noMoreData(j_decompress_ptr) {
    return FALSE; // suspends: the data "has not arrived yet"
}
void skipNothing(j_decompress_ptr, long) {}

// libjpeg's own accounting, without decoding anything: jpeg_start_decompress allocates the
// whole-picture coefficient buffers of a progressive file (or refuses to, beyond the cap), then
// suspends at the first scan for want of data. The buffers are mapped but never touched.
bool libjpegFitsWithin(const std::vector<std::uint8_t>& header, std::uint64_t cap) {
    jpeg_decompress_struct cinfo{};
    Suspend trap{};
    jpeg_source_mgr source{};
    cinfo.err = jpeg_std_error(&trap.manager);
    trap.manager.error_exit = &jumpOut;
    trap.manager.emit_message = &noMessage;
    bool fits = false;
    if (setjmp(trap.jump) == 0) {
        jpeg_create_decompress(&cinfo);
        source.next_input_byte = header.data();
        source.bytes_in_buffer = header.size();
        source.init_source = &noAction;
        source.fill_input_buffer = &noMoreData;
        source.skip_input_data = &skipNothing;
        source.resync_to_restart = &jpeg_resync_to_restart;
        source.term_source = &noAction;
        cinfo.src = &source;
        if (jpeg_read_header(&cinfo, TRUE) == JPEG_HEADER_OK) {
            cinfo.mem->max_memory_to_use = static_cast<long>(cap);
            jpeg_start_decompress(&cinfo); // suspends once the buffers exist
            fits = true;
        }
    }
    jpeg_destroy_decompress(&cinfo);
    return fits;
}

struct FrameCase {
    const char* name;
    JpegKind kind;
    int width;
    int height;

    friend void PrintTo(const FrameCase& c, std::ostream* os) { *os << c.name; }
};

class LargeProgressiveFrame : public ::testing::TestWithParam<FrameCase> {};

std::uint64_t limitFor(const FrameCase& c) {
    const ComponentSampling full[4] = {{1, 1}, {1, 1}, {1, 1}, {1, 1}};
    const std::size_t components = c.kind == JpegKind::Colour ? 3 : 4;
    return decoderMemoryLimit(static_cast<std::uint32_t>(c.width),
                              static_cast<std::uint32_t>(c.height),
                              std::span<const ComponentSampling>(full, components));
}

TEST_P(LargeProgressiveFrame, FitsWithinTheDerivedCap) {
    const FrameCase& c = GetParam();
    ASSERT_LE(std::uint64_t(c.width) * std::uint64_t(c.height), kMaxPicturePixels);
    EXPECT_TRUE(libjpegFitsWithin(progressiveHeader(c.kind, c.width, c.height), limitFor(c)));
}

TEST_P(LargeProgressiveFrame, StaysBoundedByThePixelBound) {
    // Whatever a header claims within the pixel bound: two bytes a coefficient, four components.
    EXPECT_LE(limitFor(GetParam()), kMaxPicturePixels * 2 * 4 + kDecoderRowAllowance);
}

INSTANTIATE_TEST_SUITE_P(
    Frames, LargeProgressiveFrame,
    ::testing::Values(FrameCase{"Colour444At180Mpixel", JpegKind::Colour, 15000, 12000},
                      FrameCase{"Colour444At200Mpixel", JpegKind::Colour, 16000, 12500},
                      FrameCase{"Colour444OddSizeAtTheBound", JpegKind::Colour, 16383, 16385},
                      FrameCase{"Cmyk444AtTheBound", JpegKind::Cmyk, 16384, 16384}),
    [](const auto& info) { return std::string(info.param.name); });

// The cap that once stood in for all files refused real ones; the check above sees the difference.
TEST(LargeProgressiveFrameBefore, OneGibibyteWasTooLittleFor180Mpixel) {
    EXPECT_FALSE(libjpegFitsWithin(progressiveHeader(JpegKind::Colour, 15000, 12000), 1L << 30));
}

struct SamplingCase {
    const char* name;
    std::uint32_t width;
    std::uint32_t height;
    std::vector<ComponentSampling> components;
    std::uint64_t coefficientBytes; // worked out by hand: blocks padded to whole MCUs x 128

    friend void PrintTo(const SamplingCase& c, std::ostream* os) { *os << c.name; }
};

class CoefficientBytes : public ::testing::TestWithParam<SamplingCase> {};

TEST_P(CoefficientBytes, CountPaddedBlocksOfEveryComponent) {
    const SamplingCase& c = GetParam();
    EXPECT_EQ(decoderMemoryLimit(c.width, c.height, c.components),
              c.coefficientBytes + kDecoderRowAllowance);
}

INSTANTIATE_TEST_SUITE_P(
    Samplings, CoefficientBytes,
    ::testing::Values(
        // 2048 x 1500 blocks, three components.
        SamplingCase{"Full", 16384, 12000, {{1, 1}, {1, 1}, {1, 1}}, 1179648000},
        // Luma 126 x 76 blocks (MCU of 2 x 2 blocks), chroma 63 x 38 each.
        SamplingCase{"Quartered", 1001, 601, {{2, 2}, {1, 1}, {1, 1}}, 1838592},
        // Luma 2 x 1 blocks padded to 2 x 2, chroma 1 x 1 each.
        SamplingCase{"HalvedWidthOneRow", 9, 1, {{2, 2}, {1, 1}, {1, 1}}, 768},
        SamplingCase{"Grey", 17, 9, {{1, 1}}, 768}),
    [](const auto& info) { return std::string(info.param.name); });

struct NeedCase {
    const char* name;
    JpegKind kind;
    bool progressive;
    std::size_t components;
    int coefficientComponents; // 0 for a single-scan file: libjpeg keeps no coefficients then

    friend void PrintTo(const NeedCase& c, std::ostream* os) { *os << c.name; }
};

class DecodeMemory : public ::testing::TestWithParam<NeedCase> {};

// At full resolution every component has a block of 64 two-byte coefficients per 64 pixels.
TEST_P(DecodeMemory, IsThePictureAndTheCoefficientsOfAMultiScanFile) {
    const NeedCase& c = GetParam();
    constexpr int kWidth = 64;
    constexpr int kHeight = 40;
    JpegDecoder decoder;
    decoder.readMemory(testing::writeSolidJpeg({kWidth, kHeight, c.kind, 90, c.progressive, true},
                                               std::vector<std::uint8_t>(c.components, 90)));
    const std::uint64_t need = decoder.decodeMemory();
    const auto picture = decoder.picture();
    EXPECT_EQ(need, std::uint64_t(picture->stride()) * kHeight +
                        std::uint64_t(2) * kWidth * kHeight * c.coefficientComponents);
}

INSTANTIATE_TEST_SUITE_P(Kinds, DecodeMemory,
                         ::testing::Values(NeedCase{"Baseline", JpegKind::Colour, false, 3, 0},
                                           NeedCase{"Progressive", JpegKind::Colour, true, 3, 3},
                                           NeedCase{"ProgressiveGrey", JpegKind::Grey, true, 1, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace duoptic

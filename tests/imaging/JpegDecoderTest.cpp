#include "JpegWriter.h"
#include "support/TestFiles.h"

#include "base/Error.h"
#include "base/Messages.h"
#include "imaging/JpegDecoder.h"
#include "imaging/Raster.h"

#include <gtest/gtest.h>

#include <ostream>

#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

#include <jerror.h>
#include <jpeglib.h>

namespace duoptic {
namespace {

using testing::fileBytes;
using testing::JpegKind;
using testing::JpegOptions;
using testing::testData;

using Bytes = std::vector<std::uint8_t>;

using testing::patternJpeg;

// Expects `action` to throw Error with exactly `message`.
template <typename Action> void expectError(Action action, const std::string& message) {
    try {
        action();
        ADD_FAILURE() << "no error, expected: " << message;
    } catch (const Error& e) {
        EXPECT_EQ(e.what(), message);
    }
}

// --- The shared test files, as libjpeg-turbo's djpeg treats them -------------------------------

enum class Outcome { Decodes, HeaderError, DecodeError };

struct FileCase {
    const char* name;
    const char* file; // below the test data folder
    Outcome outcome;
    int code; // libjpeg message number of the error
    int width;
    int height;

    friend void PrintTo(const FileCase& c, std::ostream* os) { *os << c.name; }
};

class TestDataFile : public ::testing::TestWithParam<FileCase> {};

TEST_P(TestDataFile, GivesWhatLibjpegGives) {
    const FileCase& c = GetParam();
    const std::string path = testData(c.file);
    JpegDecoder decoder;
    if (c.outcome == Outcome::HeaderError) {
        expectError([&] { decoder.readFile(path); }, messages::jpegError(c.code));
        return;
    }
    decoder.readFile(path);
    EXPECT_EQ(decoder.width(), c.width);
    EXPECT_EQ(decoder.height(), c.height);
    if (c.outcome == Outcome::DecodeError) {
        expectError([&] { decoder.picture(); }, messages::jpegError(c.code));
        expectError([&] { decoder.picture(); }, messages::jpegError(c.code));
        return;
    }
    const auto picture = decoder.picture();
    ASSERT_EQ(picture->format(), PixelFormat::Xrgb32);
    EXPECT_EQ(picture->width(), c.width);
    EXPECT_EQ(picture->height(), c.height);
    const Raster raster = Raster::whole(picture);
    for (int y = 0; y < raster.height(); ++y) {
        for (int x = 0; x < raster.width(); ++x) {
            ASSERT_EQ(raster.pixel(x, y) >> 24, 0xFFu) << "pixel " << x << "," << y;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Jpeg, TestDataFile,
    ::testing::Values(
        FileCase{"CorruptHuffmanTable", "jpeg/derive-huffman-codes-overflow.jpg",
                 Outcome::HeaderError, JERR_BAD_HUFF_TABLE, 0, 0},
        FileCase{"Empty", "jpeg/empty.jpg", Outcome::DecodeError, JERR_INPUT_EMPTY, 0, 0},
        FileCase{"ExifOrientation", "jpeg/hopper_orientation_6.jpg", Outcome::Decodes, 0, 128, 128},
        FileCase{"BeyondLibjpegDimension", "jpeg/max_size.jpg", Outcome::HeaderError,
                 JERR_IMAGE_TOO_BIG, 0, 0},
        FileCase{"MissingSos", "jpeg/missing-sos.jpg", Outcome::HeaderError, JERR_SOF_NO_SOS, 0, 0},
        FileCase{"AdobeYcck", "jpeg/pil_sample_cmyk.jpg", Outcome::Decodes, 0, 100, 100},
        FileCase{"Arithmetic", "jpeg/testimgari.jpg", Outcome::Decodes, 0, 227, 149},
        FileCase{"Progressive", "jpeg/testimgp.jpg", Outcome::Decodes, 0, 227, 149},
        FileCase{"Baseline", "jpeg/testorig.jpg", Outcome::Decodes, 0, 227, 149},
        FileCase{"TwelveBit", "jpeg/testorig12.jpg", Outcome::HeaderError, JERR_BAD_PRECISION, 0,
                 0},
        FileCase{"TruncatedProgressive", "jpeg/truncated_jpeg.jpg", Outcome::Decodes, 0, 100, 100}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Stereo, TestDataFile,
    ::testing::Values(FileCase{"Jps", "stereo/02-super-mario.jps", Outcome::Decodes, 0, 1044, 720},
                      FileCase{"AloeLeft", "stereo/aloeL.jpg", Outcome::Decodes, 0, 640, 554},
                      FileCase{"AloeRight", "stereo/aloeR.jpg", Outcome::Decodes, 0, 640, 554},
                      FileCase{"MpoFramesOfDifferentSize", "stereo/frame_size.mpo",
                               Outcome::Decodes, 0, 56, 70},
                      FileCase{"SideBySideProgressiveOddWidth", "stereo/stereograph.left-right.jpg",
                               Outcome::Decodes, 0, 3643, 1574},
                      FileCase{"Mpo", "stereo/sugarshack.mpo", Outcome::Decodes, 0, 640, 480},
                      FileCase{"MpoBadHeader", "stereo/sugarshack_bad_mpo_header.jpg",
                               Outcome::Decodes, 0, 640, 480},
                      FileCase{"MpoOffsetBeyondEnd", "stereo/sugarshack_no_data.mpo",
                               Outcome::Decodes, 0, 640, 480}),
    [](const auto& info) { return std::string(info.param.name); });

// --- Colour handling ----------------------------------------------------------------------------

struct ColourCase {
    const char* name;
    JpegKind kind;
    std::vector<std::uint8_t> stored;
    std::uint32_t expected; // 0xFFRRGGBB

    friend void PrintTo(const ColourCase& c, std::ostream* os) { *os << c.name; }
};

class DecodedColour : public ::testing::TestWithParam<ColourCase> {};

TEST_P(DecodedColour, MatchesTheStoredColour) {
    const ColourCase& c = GetParam();
    JpegDecoder decoder;
    decoder.readMemory(testing::writeSolidJpeg({16, 16, c.kind, 100}, c.stored));
    const Raster raster = Raster::whole(decoder.picture());
    ASSERT_EQ(raster.format(), PixelFormat::Xrgb32);
    const std::uint32_t got = raster.pixel(7, 9);
    EXPECT_EQ(got >> 24, 0xFFu);
    for (int shift : {16, 8, 0}) {
        const int expected = static_cast<int>(c.expected >> shift & 0xFF);
        const int actual = static_cast<int>(got >> shift & 0xFF);
        EXPECT_NEAR(actual, expected, 3) << std::hex << "got " << got;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, DecodedColour,
    ::testing::Values(
        ColourCase{"Red", JpegKind::Colour, {250, 10, 10}, 0xFFFA0A0A},
        ColourCase{"Green", JpegKind::Colour, {10, 250, 10}, 0xFF0AFA0A},
        ColourCase{"Blue", JpegKind::Colour, {10, 10, 250}, 0xFF0A0AFA},
        // Inverted Adobe CMYK: R = C * K / 255 of the stored values.
        ColourCase{"CmykMagenta", JpegKind::Cmyk, {255, 0, 255, 255}, 0xFFFF00FF},
        ColourCase{"CmykHalfBlack", JpegKind::Cmyk, {255, 255, 100, 128}, 0xFF808032},
        ColourCase{"YcckOrange", JpegKind::Ycck, {250, 128, 20, 255}, 0xFFFA8014},
        // Plain CMYK, without an Adobe marker: R = (255 - C) * (255 - K) / 255.
        ColourCase{"PlainCmykMagenta", JpegKind::PlainCmyk, {0, 255, 0, 0}, 0xFFFF00FF},
        ColourCase{"PlainCmykHalfBlack", JpegKind::PlainCmyk, {0, 0, 155, 127}, 0xFF808032}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GreyPicture, IsIndexedThroughAtMost236GreyLevels) {
    const int width = 37; // odd: rows are padded
    JpegDecoder decoder;
    decoder.readMemory(
        testing::writeJpeg({width, 20, JpegKind::Grey, 100}, [](int, std::uint8_t* row) {
            for (int x = 0; x < width; ++x) {
                row[x] = static_cast<std::uint8_t>(x * 7);
            }
        }));
    const auto picture = decoder.picture();
    ASSERT_EQ(picture->format(), PixelFormat::Indexed8);
    EXPECT_EQ(picture->stride() % 4, 0);
    std::set<std::uint8_t> used;
    const Raster raster = Raster::whole(picture);
    for (int y = 0; y < raster.height(); ++y) {
        for (int x = 0; x < raster.width(); ++x) {
            used.insert(picture->row(y)[x]);
            const std::uint32_t p = raster.pixel(x, y);
            EXPECT_EQ(p >> 24, 0xFFu);
            EXPECT_EQ(p >> 16 & 0xFF, p & 0xFF);
            EXPECT_EQ(p >> 8 & 0xFF, p & 0xFF);
            EXPECT_NEAR(static_cast<int>(p & 0xFF), x * 7, 4) << x << "," << y;
        }
    }
    EXPECT_LE(*used.rbegin(), 235);
}

// --- What a fatal error leaves on standard error -------------------------------------------------

struct LogCase {
    const char* name;
    std::vector<std::uint8_t> (*bytes)();
    const char* logged; // empty: nothing

    friend void PrintTo(const LogCase& c, std::ostream* os) { *os << c.name; }
};

class ErrorLog : public ::testing::TestWithParam<LogCase> {};

TEST_P(ErrorLog, GivesLibjpegsTextBesideTheNumberOfAFatalErrorUnlessQuiet) {
    const LogCase& c = GetParam();
    for (const bool quiet : {false, true}) {
        ::testing::internal::CaptureStderr();
        try {
            JpegDecoder decoder;
            decoder.setQuiet(quiet);
            decoder.readMemory(c.bytes());
            decoder.picture();
        } catch (const Error&) {
        }
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), quiet ? "" : c.logged);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, ErrorLog,
    ::testing::Values(
        LogCase{"HeaderError",
                [] { return fileBytes(testData("jpeg/derive-huffman-codes-overflow.jpg")); },
                "JPEG エラー #8: Bogus Huffman table definition\n"},
        LogCase{"DataError", [] { return std::vector<std::uint8_t>(); },
                "JPEG エラー #42: Empty input file\n"},
        LogCase{"LibjpegsBound", [] { return fileBytes(testData("jpeg/max_size.jpg")); },
                "JPEG エラー #41: Maximum supported image dimension is 65500 pixels\n"},
        LogCase{"OurBound",
                [] { return testing::withFrameSize(patternJpeg(16, 16), 20000, 20000); },
                "JPEG エラー #41: more pixels than the viewer decodes\n"},
        LogCase{"WarningOnly", [] { return fileBytes(testData("jpeg/truncated_jpeg.jpg")); }, ""}),
    [](const auto& info) { return std::string(info.param.name); });

// --- Damaged data: decode or a clean error, never a crash ----------------------------------------

struct DamageCase {
    const char* name;
    const char* file;

    friend void PrintTo(const DamageCase& c, std::ostream* os) { *os << c.name; }
};

class DamagedFile : public ::testing::TestWithParam<DamageCase> {
protected:
    // Either gives a picture of the header's size or throws Error.
    static void decodeOrFail(std::vector<std::uint8_t> bytes) {
        JpegDecoder decoder;
        try {
            decoder.readMemory(std::move(bytes));
            const auto picture = decoder.picture();
            EXPECT_EQ(picture->width(), decoder.width());
            EXPECT_EQ(picture->height(), decoder.height());
        } catch (const Error&) {
        }
    }
};

TEST_P(DamagedFile, TruncatedAnywhereFailsCleanly) {
    const auto bytes = fileBytes(testData(GetParam().file));
    ASSERT_FALSE(bytes.empty());
    for (int cut = 0; cut < 10; ++cut) {
        SCOPED_TRACE(cut);
        const auto length = static_cast<std::ptrdiff_t>(bytes.size() * cut / 10);
        decodeOrFail({bytes.begin(), bytes.begin() + length});
    }
}

TEST_P(DamagedFile, FlippedBitsFailCleanly) {
    const auto bytes = fileBytes(testData(GetParam().file));
    ASSERT_FALSE(bytes.empty());
    for (std::size_t offset : {2u, 7u, 20u, 100u, 163u, 300u, 600u, 1500u, 4000u}) {
        for (std::uint8_t mask : {0x01, 0x10, 0x80}) {
            SCOPED_TRACE(std::to_string(offset) + "/" + std::to_string(mask));
            auto damaged = bytes;
            damaged[offset % damaged.size()] ^= mask;
            decodeOrFail(std::move(damaged));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Files, DamagedFile,
                         ::testing::Values(DamageCase{"Baseline", "jpeg/testorig.jpg"},
                                           DamageCase{"Progressive", "jpeg/testimgp.jpg"},
                                           DamageCase{"Arithmetic", "jpeg/testimgari.jpg"},
                                           DamageCase{"AdobeYcck", "jpeg/pil_sample_cmyk.jpg"},
                                           DamageCase{"Mpo", "stereo/frame_size.mpo"}),
                         [](const auto& info) { return std::string(info.param.name); });

// --- Bounds on memory and time ------------------------------------------------------------------

struct SizeCase {
    const char* name;
    int width;
    int height;
    bool accepted;

    friend void PrintTo(const SizeCase& c, std::ostream* os) { *os << c.name; }
};

class ClaimedSize : public ::testing::TestWithParam<SizeCase> {};

TEST_P(ClaimedSize, IsRefusedAtTheHeaderBeyondTheBound) {
    const SizeCase& c = GetParam();
    JpegDecoder decoder;
    const auto bytes = testing::withFrameSize(patternJpeg(16, 16), c.width, c.height);
    if (c.accepted) {
        decoder.readMemory(bytes);
        EXPECT_EQ(decoder.width(), c.width);
    } else {
        expectError([&] { decoder.readMemory(bytes); }, messages::jpegError(JERR_IMAGE_TOO_BIG));
        EXPECT_EQ(decoder.width(), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, ClaimedSize,
                         ::testing::Values(SizeCase{"Huge", 65000, 65000, false},
                                           SizeCase{"OnePixelRowTooMany", 16384, 16385, false},
                                           SizeCase{"AtTheBound", 16384, 16384, true}),
                         [](const auto& info) { return std::string(info.param.name); });

// A progressive file whose last scan repeats: libjpeg only warns about each repetition.
std::vector<std::uint8_t> withRepeatedLastScan(const std::vector<std::uint8_t>& bytes, int times) {
    long last = -1;
    for (long at = testing::findMarker(bytes, 0xDA); at >= 0;
         at = testing::findMarker(bytes, 0xDA, at + 2)) {
        last = at;
    }
    const long end = testing::findMarker(bytes, 0xD9, last);
    EXPECT_GT(last, 0);
    EXPECT_GT(end, last);
    std::vector<std::uint8_t> out(bytes.begin(), bytes.begin() + end);
    for (int i = 0; i < times; ++i) {
        out.insert(out.end(), bytes.begin() + last, bytes.begin() + end);
    }
    out.insert(out.end(), bytes.begin() + end, bytes.end());
    return out;
}

struct ScanCase {
    const char* name;
    int repeats;
    bool decodes;

    friend void PrintTo(const ScanCase& c, std::ostream* os) { *os << c.name; }
};

class RepeatedScans : public ::testing::TestWithParam<ScanCase> {};

TEST_P(RepeatedScans, AreRefusedBeyondTheScanLimit) {
    const ScanCase& c = GetParam();
    JpegDecoder decoder;
    decoder.readMemory(withRepeatedLastScan(patternJpeg(32, 32, true), c.repeats));
    if (c.decodes) {
        EXPECT_EQ(decoder.picture()->width(), 32);
    } else {
        expectError([&] { decoder.picture(); }, messages::jpegError(JERR_BAD_PROGRESSION));
    }
}

INSTANTIATE_TEST_SUITE_P(Counts, RepeatedScans,
                         ::testing::Values(ScanCase{"Some", 50, true},
                                           ScanCase{"Endless", kMaxScans + 10, false}),
                         [](const auto& info) { return std::string(info.param.name); });

// --- Decoder state ------------------------------------------------------------------------------

// Header fine, second scan with an impossible coefficient band: fatal only once decoding starts.
std::vector<std::uint8_t> withBadSecondScan() {
    auto bytes = patternJpeg(32, 32, true);
    const long first = testing::findMarker(bytes, 0xDA);
    const long second = testing::findMarker(bytes, 0xDA, first + 2);
    EXPECT_GT(second, 0);
    const auto at = static_cast<std::size_t>(second);
    const std::size_t ss = at + 5 + 2 * std::size_t{bytes[at + 4]}; // after the component list
    bytes[ss] = 40;                                                 // Ss
    bytes[ss + 1] = 10;                                             // Se < Ss
    return bytes;
}

TEST(DecoderState, FatalDataFailsAtEveryDecodeAndLeavesNoPicture) {
    JpegDecoder decoder;
    decoder.readMemory(withBadSecondScan());
    EXPECT_EQ(decoder.width(), 32);
    expectError([&] { decoder.picture(); }, messages::jpegError(JERR_BAD_PROGRESSION));
    expectError([&] { decoder.picture(); }, messages::jpegError(JERR_BAD_PROGRESSION));
    decoder.readMemory(patternJpeg(32, 32));
    EXPECT_EQ(decoder.picture()->width(), 32);
}

TEST(DecoderState, SharedFileOutlivesItsOtherHolders) {
    const Bytes first = patternJpeg(24, 8);
    const Bytes second = patternJpeg(40, 16);
    auto file = std::make_shared<FileBytes>(first.begin(), first.end());
    file->insert(file->end(), second.begin(), second.end());
    JpegDecoder decoder;
    decoder.readShared(file, {first.size(), second.size() + 1000}); // cut at the file's end
    file.reset();
    EXPECT_EQ(decoder.width(), 40);
    EXPECT_EQ(decoder.picture()->height(), 16);
}

TEST(DecoderState, DecodesOncePerRead) {
    JpegDecoder decoder;
    decoder.readMemory(patternJpeg(24, 8));
    const auto first = decoder.picture();
    EXPECT_EQ(decoder.picture(), first);
    decoder.readMemory(patternJpeg(24, 8));
    EXPECT_NE(decoder.picture(), first);
}

struct ReuseCase {
    const char* name;
    int firstWidth;
    int secondWidth;
    int height;
    bool rasterHoldsFirst;
    bool reused;

    friend void PrintTo(const ReuseCase& c, std::ostream* os) { *os << c.name; }
};

class BufferReuse : public ::testing::TestWithParam<ReuseCase> {};

// Like the panels: each load replaces what is shown only after its decode succeeded, so the
// buffer of the load before last is the one that is free again.
TEST(BufferReuseWhileShown, LoadsAlternateBetweenTwoBuffers) {
    JpegDecoder decoder;
    const auto bytes = patternJpeg(300, 200);
    decoder.readMemory(bytes);
    Raster shown = Raster::whole(decoder.picture());
    std::vector<const std::uint8_t*> buffers;
    for (int load = 0; load < 4; ++load) {
        decoder.readMemory(bytes);
        const auto picture = decoder.picture(); // decoded while the previous one is shown
        buffers.push_back(picture->bits());
        shown = Raster::whole(picture);
    }
    EXPECT_NE(buffers[0], buffers[1]);
    EXPECT_EQ(buffers[2], buffers[0]);
    EXPECT_EQ(buffers[3], buffers[1]);
}

TEST_P(BufferReuse, OnlyWhenNothingShowsThePreviousPicture) {
    const ReuseCase& c = GetParam();
    JpegDecoder decoder;
    decoder.readMemory(patternJpeg(c.firstWidth, c.height));
    Raster shown = Raster::whole(decoder.picture());
    const std::uint8_t* firstBits = decoder.picture()->bits();
    const std::size_t firstCapacity = decoder.picture()->capacity();
    std::vector<std::uint32_t> before;
    for (int x = 0; x < shown.width(); ++x) {
        before.push_back(shown.pixel(x, 5));
    }
    if (!c.rasterHoldsFirst) {
        shown = Raster();
    }
    decoder.readMemory(testing::writeSolidJpeg({c.secondWidth, c.height}, {0, 200, 0}));
    const auto second = decoder.picture();
    // A fresh buffer may land where a freed one was; its capacity tells them apart.
    EXPECT_EQ(second->bits() == firstBits && second->capacity() == firstCapacity, c.reused);
    EXPECT_EQ(second->width(), c.secondWidth);
    for (int x = 0; x < shown.width(); ++x) {
        ASSERT_EQ(shown.pixel(x, 5), before[static_cast<std::size_t>(x)]) << x;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BufferReuse,
    ::testing::Values(ReuseCase{"SameSize", 100, 100, 64, false, true},
                      ReuseCase{"SomewhatSmaller", 100, 80, 64, false, true},
                      ReuseCase{"FarSmaller", 100, 20, 64, false, false},
                      ReuseCase{"Larger", 100, 120, 64, false, false},
                      ReuseCase{"RasterStillShowsIt", 100, 100, 64, true, false},
                      // Buffers of this size are mapped separately.
                      ReuseCase{"LargeSameSize", 1200, 1200, 1000, false, true},
                      ReuseCase{"LargeSomewhatSmaller", 1200, 1000, 1000, false, true},
                      ReuseCase{"LargeRasterStillShowsIt", 1200, 1200, 1000, true, false}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace duoptic

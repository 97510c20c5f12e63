#include "JpegWriter.h"
#include "MpoWriter.h"
#include "support/TempFolder.h"
#include "support/TestFiles.h"

#include "base/Error.h"
#include "base/Messages.h"
#include "imaging/JpegDecoder.h"
#include "imaging/JpegLayout.h"
#include "imaging/MpoViews.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdio>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <variant>

#include <jerror.h>
#include <jpeglib.h>

namespace duoptic {
namespace {

using testing::fileBytes;
using testing::JpegKind;
using testing::kBaselinePrimary;
using testing::kDisparityView;
using testing::kUndefinedType;
using testing::Mpo;
using testing::MpoImage;
using testing::testData;

const std::string kPath = "photos/pair.mpo";

using Bytes = std::vector<std::uint8_t>;

struct DecodedViews {
    int leftWidth = 0;
    int rightWidth = 0;
};

// Decodes both views the way the window does: one file, two decoders sharing it.
DecodedViews decodeViews(const Bytes& bytes, const MpoViews& views) {
    const auto file = std::make_shared<const FileBytes>(bytes.begin(), bytes.end());
    JpegDecoder left;
    JpegDecoder right;
    left.readShared(file, views.left);
    right.readShared(file, views.right);
    return {left.picture()->width(), right.picture()->width()};
}

// Each image of a test MPO has a width of its own, so a decoded view tells which one it is.
Bytes imageOfWidth(int width, bool progressive = false) {
    // Some structure, so that the scan data is long enough to be cut within.
    return testing::writeJpeg({width, 16, JpegKind::Colour, 90, progressive},
                              [width](int y, std::uint8_t* row) {
                                  for (int x = 0; x < 3 * width; ++x) {
                                      row[x] = static_cast<std::uint8_t>(x * 37 + y * 91);
                                  }
                              });
}

// --- Where an image ends ---------------------------------------------------------------------

struct WalkCase {
    const char* name;
    std::function<Bytes()> make;
    JpegEnd end;
    long endFromBack; // endOffset - file size: what follows the image
    bool hasMpf;

    friend void PrintTo(const WalkCase& c, std::ostream* os) { *os << c.name; }
};

class ImageWalk : public ::testing::TestWithParam<WalkCase> {};

TEST_P(ImageWalk, FindsTheEndOfTheFirstImage) {
    const WalkCase& c = GetParam();
    const Bytes bytes = c.make();
    const JpegExtent extent = walkJpeg(bytes, 0, WalkTo::End);
    EXPECT_EQ(extent.end, c.end);
    EXPECT_EQ(static_cast<long>(extent.endOffset) - static_cast<long>(bytes.size()), c.endFromBack);
    EXPECT_EQ(extent.mpfPayload.has_value(), c.hasMpf);
}

Bytes followedBy(Bytes bytes, std::size_t count, std::uint8_t value) {
    bytes.insert(bytes.end(), count, value);
    return bytes;
}

Bytes cut(Bytes bytes, std::size_t count) {
    // Erased rather than resized: GCC's sanitized build cannot see that resize never grows here.
    bytes.erase(bytes.end() - static_cast<std::ptrdiff_t>(std::min(count, bytes.size())),
                bytes.end());
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Images, ImageWalk,
    ::testing::Values(
        WalkCase{"Baseline", [] { return followedBy(imageOfWidth(24), 5, 0xFF); },
                 JpegEnd::Complete, -5, false},
        WalkCase{"ProgressiveEveryScan", [] { return followedBy(imageOfWidth(24, true), 7, 0x00); },
                 JpegEnd::Complete, -7, false},
        // Restart markers every few MCUs, and an APP2 MPF segment.
        WalkCase{"RestartsAndMpf", [] { return fileBytes(testData("stereo/frame_size.mpo")); },
                 JpegEnd::Complete, 4226 - 14574, true},
        // Its EXIF thumbnail (at 694) ends with an EOI of its own, inside the APP1 segment.
        WalkCase{"ThumbnailInside", [] { return fileBytes(testData("stereo/sugarshack.mpo")); },
                 JpegEnd::Complete, 60007 - 120198, true},
        WalkCase{"CutInData", [] { return cut(imageOfWidth(24, true), 10); }, JpegEnd::CutInData, 0,
                 false},
        // 40 bytes: SOI, the JFIF segment, and the start of a quantisation table that does not
        // fit; the walk stops where that segment starts.
        WalkCase{"CutInHeaders", [] { return cut(imageOfWidth(24), imageOfWidth(24).size() - 40); },
                 JpegEnd::CutInHeaders, 20 - 40, false}),
    [](const auto& info) { return std::string(info.param.name); });

// --- The real files ---------------------------------------------------------------------------

struct RealCase {
    const char* name;
    const char* file;
    std::variant<MpoViews, std::string (*)(const std::string&)> expected; // views, or the error
    DecodedViews sizes;

    friend void PrintTo(const RealCase& c, std::ostream* os) { *os << c.name; }
};

class RealMpo : public ::testing::TestWithParam<RealCase> {};

TEST_P(RealMpo, GivesBothViewsOrSaysWhy) {
    const RealCase& c = GetParam();
    const std::string path = testData(c.file);
    const Bytes bytes = fileBytes(path);
    ASSERT_FALSE(bytes.empty());
    if (const auto* message = std::get_if<1>(&c.expected)) {
        try {
            findMpoViews(bytes, path);
            ADD_FAILURE() << "no error";
        } catch (const Error& e) {
            EXPECT_EQ(e.what(), (*message)(path));
        }
        return;
    }
    const MpoViews views = findMpoViews(bytes, path);
    const auto& expected = std::get<MpoViews>(c.expected);
    EXPECT_EQ(views.left, expected.left);
    EXPECT_EQ(views.right, expected.right);
    const DecodedViews decoded = decodeViews(bytes, views);
    EXPECT_EQ(decoded.leftWidth, c.sizes.leftWidth);
    EXPECT_EQ(decoded.rightWidth, c.sizes.rightWidth);
}

// sugarshack: its first image ends with its EOI at 60007 (the index says 59999 bytes); the second
// fills the rest. Its damaged copies must give the same views through the fall-back.
const MpoViews kSugarshack{{0, 60007}, {60008, 60190}};

INSTANTIATE_TEST_SUITE_P(
    Files, RealMpo,
    ::testing::Values(
        RealCase{"ThreeDs", "stereo/sugarshack.mpo", kSugarshack, {640, 640}},
        RealCase{"OffsetBeyondTheEnd", "stereo/sugarshack_no_data.mpo", kSugarshack, {640, 640}},
        RealCase{
            "BrokenByteOrderMark", "stereo/sugarshack_bad_mpo_header.jpg", kSugarshack, {640, 640}},
        // A primary image and an untyped one, 56 x 70 and 349 x 434: no pair.
        RealCase{"PhoneTwoImagesOfTwoSizes", "stereo/frame_size.mpo", &messages::noStereoViews, {}},
        // Its EXIF thumbnail is a JPEG within the first image, not a second image.
        RealCase{"JpsHasNoSecondImage", "stereo/02-super-mario.jps", &messages::noSecondImage, {}}),
    [](const auto& info) { return std::string(info.param.name); });

// --- Made and damaged files ---------------------------------------------------------------------

// Widths of the images in the made files.
constexpr int kFirst = 16;
constexpr int kSecond = 24;
constexpr int kThird = 32;

Mpo twoViews(bool bigEndian = true, std::optional<std::uint32_t> claimedCount = std::nullopt) {
    testing::MpoOptions options;
    options.bigEndian = bigEndian;
    options.claimedCount = claimedCount;
    return testing::writeMpo({{imageOfWidth(kFirst)}, {imageOfWidth(kSecond)}}, options);
}

Mpo primaryAndViews(std::uint32_t viewType, std::optional<std::uint32_t> secondNumber,
                    std::optional<std::uint32_t> thirdNumber) {
    return testing::writeMpo({{imageOfWidth(kFirst), kBaselinePrimary},
                              {imageOfWidth(kSecond), viewType, secondNumber},
                              {imageOfWidth(kThird), viewType, thirdNumber}});
}

// A primary image of width kFirst and a second image of that type and width.
Mpo twoImages(std::uint32_t secondType, int secondWidth) {
    return testing::writeMpo(
        {{imageOfWidth(kFirst), kBaselinePrimary}, {imageOfWidth(secondWidth), secondType}});
}

void cutAfterFirstImage(Mpo& mpo) {
    mpo.bytes.resize(mpo.starts[1]);
}

struct MadeCase {
    const char* name;
    std::function<Mpo()> make;
    std::variant<DecodedViews, std::string> expected; // the views' widths, or the error
    bool rightRunsToTheEnd = false;

    friend void PrintTo(const MadeCase& c, std::ostream* os) { *os << c.name; }
};

class MadeMpo : public ::testing::TestWithParam<MadeCase> {};

TEST_P(MadeMpo, GivesTheViewsOrAClearError) {
    const MadeCase& c = GetParam();
    const Mpo mpo = c.make();
    if (const auto* message = std::get_if<std::string>(&c.expected)) {
        try {
            findMpoViews(mpo.bytes, kPath);
            ADD_FAILURE() << "no error, expected: " << *message;
        } catch (const Error& e) {
            EXPECT_EQ(e.what(), *message);
        }
        return;
    }
    const MpoViews views = findMpoViews(mpo.bytes, kPath);
    for (const ByteRange& view : {views.left, views.right}) {
        ASSERT_LE(view.end(), mpo.bytes.size());
    }
    if (c.rightRunsToTheEnd) {
        EXPECT_EQ(views.right.end(), mpo.bytes.size());
    }
    const DecodedViews decoded = decodeViews(mpo.bytes, views);
    const auto& expected = std::get<DecodedViews>(c.expected);
    EXPECT_EQ(decoded.leftWidth, expected.leftWidth);
    EXPECT_EQ(decoded.rightWidth, expected.rightWidth);
}

std::string broken(const std::string& what) {
    return messages::brokenMpoIndex(kPath, what);
}

// A first image holding an FF D8 FF in a comment, where a broken offset may point.
// Where image `image` (0 = first) is listed in the index.
std::size_t entryOffsetAt(std::size_t image) {
    return testing::kEntriesAt + 16 * image + testing::kEntryOffsetAt;
}

// The second image listed at an FF D8 FF within the first image (in a comment), with or without
// a primary image before the views.
Mpo withJpegStartInFirstImage(bool primaryFirst) {
    Bytes first = imageOfWidth(kFirst);
    const Bytes comment{0xFF, 0xFE, 0x00, 0x07, 0xFF, 0xD8, 0xFF, 0xE0, 0x00};
    first.insert(first.begin() + 2, comment.begin(), comment.end());
    Mpo mpo =
        primaryFirst
            ? testing::writeMpo(
                  {{first, kBaselinePrimary}, {imageOfWidth(kSecond)}, {imageOfWidth(kThird)}})
            : testing::writeMpo({{first}, {imageOfWidth(kSecond)}});
    for (std::size_t at = 2; at + 2 < mpo.starts[1]; ++at) {
        if (mpo.bytes[at] == 0xFF && mpo.bytes[at + 1] == 0xD8) {
            testing::patchIndex(mpo, entryOffsetAt(1),
                                static_cast<std::uint32_t>(at - mpo.tiffStart));
            break;
        }
    }
    return mpo;
}

const DecodedViews kFirstTwo{kFirst, kSecond};

INSTANTIATE_TEST_SUITE_P(
    Index, MadeMpo,
    ::testing::Values(
        MadeCase{"BigEndian", [] { return twoViews(); }, kFirstTwo},
        MadeCase{"LittleEndian", [] { return twoViews(false); }, kFirstTwo},
        MadeCase{"ViewsByIndividualNumber", [] { return primaryAndViews(kDisparityView, 2, 1); },
                 DecodedViews{kThird, kSecond}},
        MadeCase{"ViewsInIndexOrderWithoutNumbers",
                 [] { return primaryAndViews(kDisparityView, std::nullopt, std::nullopt); },
                 DecodedViews{kSecond, kThird}},
        MadeCase{"ViewsInIndexOrderWhereOneHasNoNumber",
                 [] { return primaryAndViews(kDisparityView, 2, std::nullopt); },
                 DecodedViews{kSecond, kThird}},
        MadeCase{"TwoUntypedImagesOfOneSize",
                 [] {
                     // With a JPEG that the index does not list between the two: the index
                     // decides, not the order in the file.
                     Mpo mpo = testing::writeMpo({{imageOfWidth(kFirst), kBaselinePrimary},
                                                  {imageOfWidth(kFirst), kUndefinedType}});
                     const Bytes unlisted = imageOfWidth(kThird);
                     mpo.bytes.insert(mpo.bytes.begin() + long(mpo.starts[1]), unlisted.begin(),
                                      unlisted.end());
                     testing::patchIndex(
                         mpo, entryOffsetAt(1),
                         std::uint32_t(mpo.starts[1] + unlisted.size() - mpo.tiffStart));
                     return mpo;
                 },
                 DecodedViews{kFirst, kFirst}},
        MadeCase{"TwoUntypedImagesOfTwoSizes", [] { return twoImages(kUndefinedType, kSecond); },
                 messages::noStereoViews(kPath)},
        MadeCase{"LargeThumbnailOfOneSize",
                 [] { return twoImages(testing::kLargeThumbnail, kFirst); },
                 messages::noStereoViews(kPath)},
        MadeCase{"MultiAngleOfTwoSizes",
                 [] { return twoImages(testing::kMultiAngleView, kSecond); }, kFirstTwo},
        MadeCase{"ThreeImagesNoViews",
                 [] { return primaryAndViews(kUndefinedType, std::nullopt, std::nullopt); },
                 messages::noStereoViews(kPath)},
        MadeCase{"OneImageListedAnotherFollows",
                 [] {
                     Mpo mpo = testing::writeMpo({{imageOfWidth(kFirst)}});
                     const Bytes next = imageOfWidth(kSecond);
                     mpo.bytes.insert(mpo.bytes.end(), next.begin(), next.end());
                     return mpo;
                 },
                 kFirstTwo},
        MadeCase{"OneImageOnly", [] { return testing::writeMpo({{imageOfWidth(kFirst)}}); },
                 messages::noSecondImage(kPath)}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Damaged, MadeMpo,
    ::testing::Values(
        MadeCase{"ByteOrderMark",
                 [] {
                     Mpo mpo = twoViews();
                     mpo.bytes[mpo.tiffStart] = ' ';
                     return mpo;
                 },
                 kFirstTwo},
        MadeCase{"ByteOrderMarkProgressiveImages",
                 [] {
                     // The search must walk every scan of the first image to its end.
                     Mpo mpo = testing::writeMpo(
                         {{imageOfWidth(kFirst, true)}, {imageOfWidth(kSecond, true)}});
                     mpo.bytes[mpo.tiffStart] = ' ';
                     return mpo;
                 },
                 kFirstTwo},
        MadeCase{"IfdLoop",
                 [] {
                     Mpo mpo = twoViews();
                     testing::patchIndex(mpo, testing::kNextIfdAt, 8);
                     return mpo;
                 },
                 kFirstTwo},
        MadeCase{"CountOf4Billion", [] { return twoViews(true, 0xFFFFFFFF); }, kFirstTwo},
        MadeCase{"OffsetPastTheEnd",
                 [] {
                     Mpo mpo = twoViews();
                     testing::patchIndex(mpo, entryOffsetAt(1), 0x7FFFFFF0);
                     return mpo;
                 },
                 kFirstTwo},
        MadeCase{"OffsetIntoTheFirstImage", [] { return withJpegStartInFirstImage(false); },
                 kFirstTwo},
        MadeCase{"ViewOffsetIntoThePrimaryImage", [] { return withJpegStartInFirstImage(true); },
                 kFirstTwo},
        MadeCase{"OffsetNotOnAJpeg",
                 [] {
                     Mpo mpo = twoViews();
                     testing::patchIndex(
                         mpo, entryOffsetAt(1),
                         static_cast<std::uint32_t>(mpo.starts[1] + 1 - mpo.tiffStart));
                     return mpo;
                 },
                 kFirstTwo},
        MadeCase{"ViewsOverlap",
                 [] {
                     Mpo mpo = primaryAndViews(kDisparityView, std::nullopt, std::nullopt);
                     testing::patchIndex(
                         mpo, testing::kEntriesAt + 16 + testing::kEntrySizeAt,
                         static_cast<std::uint32_t>(mpo.starts[2] - mpo.starts[1] + 100));
                     return mpo;
                 },
                 kFirstTwo},
        MadeCase{"SecondCutInItsData",
                 [] {
                     Mpo mpo = twoViews();
                     mpo.bytes.resize(mpo.bytes.size() - 20);
                     return mpo;
                 },
                 kFirstTwo, true}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(Failing, MadeMpo,
                         ::testing::Values(MadeCase{"IfdLoopNothingFollows",
                                                    [] {
                                                        Mpo mpo = twoViews();
                                                        testing::patchIndex(mpo,
                                                                            testing::kNextIfdAt, 8);
                                                        cutAfterFirstImage(mpo);
                                                        return mpo;
                                                    },
                                                    broken(messages::mpoOffsetLoop())},
                                           MadeCase{"CountOf4BillionNothingFollows",
                                                    [] {
                                                        Mpo mpo = twoViews(true, 0xFFFFFFFF);
                                                        cutAfterFirstImage(mpo);
                                                        return mpo;
                                                    },
                                                    broken(messages::mpoBadImageCount())},
                                           MadeCase{"ByteOrderMarkNothingFollows",
                                                    [] {
                                                        Mpo mpo = twoViews(false);
                                                        mpo.bytes[mpo.tiffStart + 1] = 'M';
                                                        cutAfterFirstImage(mpo);
                                                        return mpo;
                                                    },
                                                    broken(messages::mpoHeaderUnreadable())},
                                           MadeCase{"SecondMissing",
                                                    [] {
                                                        Mpo mpo = twoViews();
                                                        cutAfterFirstImage(mpo);
                                                        return mpo;
                                                    },
                                                    broken(messages::mpoImageOutsideFile(2))},
                                           MadeCase{"SecondCutInItsHeaders",
                                                    [] {
                                                        Mpo mpo = twoViews();
                                                        mpo.bytes.resize(mpo.starts[1] + 30);
                                                        return mpo;
                                                    },
                                                    messages::secondImageCutShort(kPath)},
                                           MadeCase{"NotAJpeg",
                                                    [] {
                                                        return Mpo{Bytes(100, 0x42), {}, 0};
                                                    },
                                                    messages::jpegError(JERR_NO_SOI)}),
                         [](const auto& info) { return std::string(info.param.name); });

// A first image whose index lists 999 disparity views, all at the one image that follows it: a
// JPEG start and `tail` bytes of fill or of empty comment segments, without an end.
Bytes oneImageListedOften(std::size_t tail, bool comments) {
    std::vector<MpoImage> images(1000, MpoImage(Bytes{0xFF, 0xD8}));
    images[0] = MpoImage(imageOfWidth(kFirst));
    Mpo mpo = testing::writeMpo(images);
    const std::size_t after = mpo.starts[1];
    for (std::size_t i = 1; i < images.size(); ++i) {
        testing::patchIndex(mpo, entryOffsetAt(i), std::uint32_t(after - mpo.tiffStart));
        testing::patchIndex(mpo, entryOffsetAt(i) - 4, std::uint32_t(3 + tail));
    }
    mpo.bytes.resize(after);
    mpo.bytes.insert(mpo.bytes.end(), {0xFF, 0xD8, 0xFF});
    for (std::size_t i = 0; i < tail; ++i) {
        mpo.bytes.push_back(comments ? std::array<std::uint8_t, 4>{0xFF, 0xFE, 0, 2}[i % 4] : 0xFF);
    }
    return mpo.bytes;
}

TEST(MpoWalk, WorkStaysWithinAFewPassesOverTheFile) {
    for (const std::size_t tail : {1u << 16, 1u << 19, 1u << 21}) {
        for (const bool comments : {false, true}) {
            const Bytes bytes = oneImageListedOften(tail, comments);
            WalkWatch watch;
            try {
                findMpoViews(bytes, kPath, &watch); // views or an error: only the work counts
            } catch (const Error&) {
            }
            EXPECT_LE(watch.steps, 4 * bytes.size()) << tail << (comments ? " comments" : " fill");
        }
    }
}

TEST(MpoRead, StopsWhenCancelled) {
    testing::TempFolder folder;
    const std::string path = folder.write("x.mpo", oneImageListedOften(1000, false));
    const std::atomic<bool> cancel{true};
    EXPECT_THROW(readMpoFile(path, &cancel), DecodeCancelled);
}

} // namespace
} // namespace duoptic

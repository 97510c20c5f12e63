// Pairs turned upright on load as their first image's EXIF orientation says.
#include "ExifWriter.h"
#include "JpegWriter.h"
#include "MpoWriter.h"
#include "support/TempFolder.h"

#include "ViewFrm/PairLoading.h"

#include <gtest/gtest.h>

namespace duoptic {
namespace {

using namespace testing;
using Bytes = std::vector<std::uint8_t>;

enum Side { Top, Bottom, Left, Right };
// Where the stored row 0 and column 0 lie in the upright picture, as EXIF defines orientations.
constexpr std::pair<Side, Side> kRow0Column0[] = {
    {},          {Top, Left},  {Top, Right},    {Bottom, Right}, {Bottom, Left},
    {Left, Top}, {Right, Top}, {Right, Bottom}, {Left, Bottom}};

// Every stored pixel is found where the definition puts it.
void expectUpright(const Raster& upright, const Raster& stored, int orientation) {
    const auto [row0, column0] = kRow0Column0[orientation];
    const bool rowsStand = row0 == Left || row0 == Right;
    ASSERT_EQ(upright.width(), rowsStand ? stored.height() : stored.width()) << orientation;
    ASSERT_EQ(upright.height(), rowsStand ? stored.width() : stored.height()) << orientation;
    for (int sy = 0; sy < stored.height(); ++sy) {
        for (int sx = 0; sx < stored.width(); ++sx) {
            int x = 0, y = 0;
            for (const auto& [side, distance] : {std::pair{row0, sy}, std::pair{column0, sx}}) {
                (side == Top || side == Bottom ? y : x) = side == Top || side == Left ? distance
                                                          : side == Bottom
                                                              ? upright.height() - 1 - distance
                                                              : upright.width() - 1 - distance;
            }
            ASSERT_EQ(upright.pixel(x, y), stored.pixel(sx, sy)) << orientation << " " << sx;
        }
    }
}

std::shared_ptr<const Picture> decoded(const Bytes& jpeg) {
    JpegDecoder decoder;
    decoder.readMemory(jpeg);
    return decoder.picture();
}

PairRasters load(const PairEntry& entry, bool orientJpegPairs) {
    JpegDecoder a, b;
    PairRasters rasters;
    readPairInto(a, b, pairRequest(entry, ViewerSides::Parallel, orientJpegPairs), rasters);
    return rasters;
}

Bytes otherPattern(int width, int height, JpegKind kind) {
    return writeJpeg({width, height, kind}, [width, kind](int y, std::uint8_t* row) {
        for (int i = 0; i < width * (kind == JpegKind::Grey ? 1 : 3); ++i) {
            row[i] = std::uint8_t(i * 11 + y * 29);
        }
    });
}

// A camera held upside down (or mirrored) took the right eye's view with its left lens.
TEST(PairOrientation, AnMpoIsTurnedAsItsFirstImageSaysAndCarriesItsParallax) {
    TempFolder folder;
    for (const JpegKind kind : {JpegKind::Colour, JpegKind::Grey}) {
        for (int orientation = 1; orientation <= 8; ++orientation) {
            const Bytes first = withExif(otherPattern(20, 12, kind), exifTiff(orientation, 0, 0));
            const Bytes second = withExif(patternJpeg(20, 12), exifTiff(1, -7, 2));
            const std::string path = folder.write("p.mpo", writeMpo({first, second}).bytes);
            const PairRasters rasters = load({folder.file("p"), "p", PairKind::Multi, path}, false);
            const bool exchanged = orientation == 2 || orientation == 3;
            const Raster stored[] = {Raster::whole(decoded(first)), Raster::whole(decoded(second))};
            expectUpright(rasters.left, stored[exchanged ? 1 : 0], orientation);
            expectUpright(rasters.right, stored[exchanged ? 0 : 1], orientation);
            EXPECT_EQ(rasters.cameraParallax, (CameraParallax{ParallaxTag::Fujifilm, -3.5}));
        }
    }
}

// A JPS keeps its two views side by side: each half is turned. The JPEG kinds are turned only
// when the user asks for it.
TEST(PairOrientation, SideBySideFilesAreTurnedHalfByHalf) {
    TempFolder folder;
    const Bytes file = withExif(otherPattern(40, 12, JpegKind::Colour), exifTiff(6, 0, 0));
    const SplitHalves halves = splitSideBySide(decoded(file));
    struct Row {
        const char* name;
        PairKind kind;
        bool orientJpegPairs;
        int expected;
    };
    for (const Row& row : {Row{"p.jps", PairKind::Crossing, false, 6},
                           Row{"p_DUP.jpg", PairKind::Parallel, false, 1},
                           Row{"p_DUP.jpg", PairKind::Parallel, true, 6}}) {
        const std::string path = folder.write(row.name, file);
        const PairRasters rasters =
            load({folder.file("p"), "p", row.kind, path}, row.orientJpegPairs);
        const bool crossing = row.kind == PairKind::Crossing;
        expectUpright(rasters.left, crossing ? halves.right : halves.left, row.expected);
        expectUpright(rasters.right, crossing ? halves.left : halves.right, row.expected);
    }
}

} // namespace
} // namespace duoptic

#include "ViewFrm/logic/CameraDataLines.h"

#include <gtest/gtest.h>

namespace duoptic {
namespace {

using Row = std::pair<std::string, std::string>; // shown, expected

TEST(CameraDataLines, FieldsReadAsPhotographersWriteThem) {
    // clang-format off
    for (const auto& [shown, expected] : {
             Row{fileSizeText(120198), "120 kB"},
             Row{fileSizeText(1270103), "1.3 MB"},
             Row{exposureText({1, 250}), "1/250 s"},
             Row{exposureText({10, 600}), "1/60 s"},
             Row{apertureText({56, 10}), "f/5.6"},
             Row{apertureText({8, 1}), "f/8"},
             Row{cameraNameText("Nintendo", "Nintendo 3DS"), "Nintendo 3DS"},
             Row{cameraNameText("NIKON CORPORATION", "NIKON D750"), "NIKON D750"},
             Row{cameraNameText("Panasonic", "DMC-3D1"), "Panasonic DMC-3D1"},
             Row{takenText("2014:03:02 14:17:39"), "2014-03-02 14:17:39"},
             Row{takenText("0000:00:00 00:00:00"), ""},
             Row{focalLengthText(ExifRational{45, 10}, 30), "4.5 mm (30 mm on 35 mm film)"},
             Row{focalLengthText(ExifRational{686, 100}, {}), "6.9 mm"},
             Row{focalLengthText({}, 30), "30 mm on 35 mm film"},
             Row{rightEyeText(3, -2, 15), "Right eye: 3 px right, 2 px up, turned 0.15° clockwise"},
             Row{rightEyeText(0, 0, 0), "Right eye: not moved"}}) {
        EXPECT_EQ(shown, expected);
    }
    // clang-format on
}

// A field the file lacks gives no line, and no part of one: no label or separator is left.
TEST(CameraDataLines, AFieldTheFileLacksIsLeftOut) {
    EXPECT_EQ(cameraDataLines({}).size(), 2U) << "only the pixel size and the right eye";
    CameraDataFacts apertureOnly;
    apertureOnly.camera.fNumber = ExifRational{4, 1};
    const std::vector<std::string> lines = cameraDataLines(apertureOnly);
    ASSERT_EQ(lines.size(), 3U);
    EXPECT_TRUE(lines[1].ends_with(": f/4")) << lines[1];
}

} // namespace
} // namespace duoptic

#include "TipsFrm/HelpText.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <array>
#include <string_view>

namespace {

using duoptic::tipsHelpText;

// The help text as the user must see it, blanks at either end included.
constexpr std::array<std::string_view, 49> kLines = {
    "",
    "",
    "(1) Required image files",
    "   Prepare a pair of jpeg files taken as stereo photos.",
    "",
    "(2) Naming of image files",
    "   Rename each of them as xxx_DUL.jpg for left eye sight, ",
    "   and xxx_DUR.jpg for right. (xxx is any base name.) ",
    "   Then the base name will appear on the filer list.",
    "",
    "(3) Viewer mode (see figure below.)",
    "   Specify either parallel or crossing mode. ",
    "   You can obtain 3D image with naked eyes if practiced.",
    "   However, my recommendation is to use mirror-in viewer.",
    "",
    "(4) Mouse operation (applicable on images)",
    "  a) Drag with left button",
    "   * to shift image.",
    "   * same effect as sliding bars at left and bottom.",
    "  b) Click right button ",
    "   * to pop-up menu",
    "   [open]",
    "     Open filer form.",
    "   [reverse]",
    "     Exchange the images between left and right.",
    "   [zoom in]",
    "     Enlarge the present view, same as bottom slider.",
    "   [zoom out]",
    "     Reduce the present view, same as bottom slider.",
    "   [center border]",
    "     Adjust the center border width.",
    "   [slide show]",
    "    Display all the images on a folder at preset intervals.",
    "   [next]",
    "    Load the next file.",
    "   [tips]",
    "    Show this form.",
    "",
    "(5) Key operation",
    "  a) cursor keys - to shift image.",
    "  b) + - key     - to zoom in nd out.",
    "  c) space key   - to open next image in the folder.",
    "",
    "(6) Fitting mode of loaded images",
    "  Two ways are available, to fit images on the screen.",
    "  [Image width]",
    "   Fit full width of an image into the present form. ",
    "  [Form size]",
    "   Fit an images to fill whole the present form.",
};

QStringList splitLines() {
    return tipsHelpText().split(QStringLiteral("\r\n"));
}

TEST(HelpText, EndsWithLineBreakAndHasNoOtherSeparators) {
    EXPECT_TRUE(tipsHelpText().endsWith(QStringLiteral("\r\n")));
    const QStringList parts = splitLines();
    ASSERT_EQ(parts.size(), static_cast<qsizetype>(kLines.size() + 1));
    EXPECT_TRUE(parts.last().isEmpty());
    for (const QString& line : parts) {
        EXPECT_FALSE(line.contains(QLatin1Char('\r')) || line.contains(QLatin1Char('\n')))
            << line.toStdString();
    }
}

class HelpTextLine : public ::testing::TestWithParam<std::size_t> {};

TEST_P(HelpTextLine, MatchesExactly) {
    const std::size_t i = GetParam();
    const QStringList parts = splitLines();
    ASSERT_GT(parts.size(), static_cast<qsizetype>(i));
    EXPECT_EQ(parts.at(static_cast<qsizetype>(i)).toStdString(), kLines.at(i));
}

INSTANTIATE_TEST_SUITE_P(AllLines, HelpTextLine, ::testing::Range<std::size_t>(0, kLines.size()),
                         [](const ::testing::TestParamInfo<std::size_t>& info) {
                             return "Line" + std::to_string(info.param + 1);
                         });

} // namespace

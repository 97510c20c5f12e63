#include "FilerFrm/Preview.h"

#include "FilerTestSupport.h"
#include "base/Error.h"
#include "support/TempFolder.h"

#include "support/NamedCase.h"

#include <gtest/gtest.h>

namespace duoptic {
namespace {

using testing::jpegBytes;
using testing::near;
using testing::TempFolder;

TEST(PreviewTest, WholePictureFillsTheSquareWithoutKeepingItsAspect) {
    const TempFolder temp;
    const std::string path = temp.write("wide_DUP.jpg", jpegBytes(Qt::red, Qt::blue, 96, 24));
    const QImage preview = previewImage(path);
    ASSERT_EQ(preview.size(), kPreviewSize);
    // No band of background above or below: the 4:1 picture is squeezed into the square.
    for (const int y : {0, 83, 166}) {
        EXPECT_TRUE(near(preview.pixel(2, y), Qt::red)) << y;
        EXPECT_TRUE(near(preview.pixel(164, y), Qt::blue)) << y;
    }
}

struct BadFileCase {
    const char* name;
    std::string bytes;
};

class PreviewFailureTest : public ::testing::TestWithParam<BadFileCase> {};

TEST_P(PreviewFailureTest, ThrowsTheProgramsError) {
    const TempFolder temp;
    const std::string path = temp.write("x_DUP.jpg", GetParam().bytes);
    EXPECT_THROW(previewImage(path), Error);
}

INSTANTIATE_TEST_SUITE_P(
    Files, PreviewFailureTest,
    ::testing::Values(BadFileCase{"Empty", ""}, BadFileCase{"NotAJpeg", "GIF89a not a jpeg at all"},
                      BadFileCase{"HeaderCut", jpegBytes(Qt::red).substr(0, 40)}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace duoptic

// The camera's fields of the EXIF reader: as exiftool reads real files, and on cut data.
#include "support/TestFiles.h"

#include "imaging/ExifTags.h"
#include "imaging/JpegLayout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <sstream>

namespace duoptic {
namespace {

using testing::fileBytes;
using testing::testData;

// The fields as `exiftool -n -T` prints them: numbers to 10 digits, "-" for a missing one.
std::vector<std::string> asExiftool(const ExifCamera& c) {
    const auto text = [](const std::string& t) { return t.empty() ? std::string("-") : t; };
    const auto count = [](std::optional<std::uint32_t> n) { return n ? std::to_string(*n) : "-"; };
    const auto ratio = [](std::optional<ExifRational> r) {
        char digits[32] = "-";
        if (r) {
            std::snprintf(digits, sizeof digits, "%.10g", double(r->numerator) / r->denominator);
        }
        return std::string(digits);
    };
    return {text(c.make),     text(c.model), text(c.taken),        ratio(c.exposureTime),
            ratio(c.fNumber), count(c.iso),  ratio(c.focalLength), count(c.focalLength35mm)};
}

std::vector<std::string> exiftool(const std::string& path) {
    const std::string tags =
        "-EXIF:Make -EXIF:Model -EXIF:DateTimeOriginal -EXIF:ExposureTime "
        "-EXIF:FNumber -EXIF:ISO -EXIF:FocalLength -EXIF:FocalLengthIn35mmFormat";
    const std::string command = "exiftool -n -T " + tags + " '" + path + "'";
    const std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    char line[1024] = "";
    std::istringstream fields(pipe && std::fgets(line, sizeof line, pipe.get()) ? line : "");
    std::vector<std::string> values;
    for (std::string value; std::getline(fields, value, '\t');) {
        values.push_back(value.substr(0, value.find('\n')));
    }
    return values;
}

TEST(ExifCamera, RealFilesReadAsExiftoolReadsThem) {
    for (const char* file : {"stereo/02-super-mario.jps", "stereo/frame_size.mpo",
                             "stereo/sugarshack.mpo", "stereo/aloeL.jpg"}) {
        const std::vector<std::uint8_t> bytes = fileBytes(testData(file));
        EXPECT_EQ(asExiftool(readExifTags(bytes).camera), exiftool(testData(file))) << file;
    }
}

// Cut anywhere, the data gives each field whole or not at all; the bytes past the cut are
// poisoned, so that a read beyond it would show.
TEST(ExifCamera, CutDataGivesWholeFieldsOrNone) {
    const std::vector<std::uint8_t> file = fileBytes(testData("stereo/02-super-mario.jps"));
    const ByteRange exif = walkJpeg(file, 0, WalkTo::FirstScan).exifPayload.value();
    std::vector<std::uint8_t> tiff(file.begin() + exif.offset, file.begin() + exif.end());
    const std::vector<std::string> whole = asExiftool(readExifTiff(tiff).camera);
    ASSERT_EQ(std::count(whole.begin(), whole.end(), "-"), 0);
    for (std::size_t cut = tiff.size(); cut-- > 0;) {
        tiff[cut] = 0xA5;
        const auto part = asExiftool(readExifTiff(std::span(tiff).first(cut)).camera);
        for (std::size_t i = 0; i < part.size(); ++i) {
            ASSERT_TRUE(part[i] == "-" || part[i] == whole[i]) << "cut at " << cut;
        }
    }
}

} // namespace
} // namespace duoptic

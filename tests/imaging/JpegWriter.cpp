#include "JpegWriter.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include <jpeglib.h>

namespace duoptic::testing {

namespace {

int componentsOf(JpegKind kind) {
    switch (kind) {
    case JpegKind::Colour:
        return 3;
    case JpegKind::Grey:
        return 1;
    case JpegKind::Cmyk:
    case JpegKind::Ycck:
    case JpegKind::PlainCmyk:
        return 4;
    }
    return 0;
}

[[noreturn]] void abortOnError(j_common_ptr cinfo) {
    char text[JMSG_LENGTH_MAX];
    cinfo->err->format_message(cinfo, text);
    std::fprintf(stderr, "test JPEG writer: %s\n", text);
    std::abort();
}

} // namespace

std::vector<std::uint8_t> writeJpeg(const JpegOptions& options, const RowFiller& fill) {
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr err{};
    cinfo.err = jpeg_std_error(&err);
    err.error_exit = &abortOnError;
    jpeg_create_compress(&cinfo);
    unsigned char* out = nullptr;
    unsigned long outSize = 0;
    jpeg_mem_dest(&cinfo, &out, &outSize);
    cinfo.image_width = static_cast<JDIMENSION>(options.width);
    cinfo.image_height = static_cast<JDIMENSION>(options.height);
    cinfo.input_components = componentsOf(options.kind);
    cinfo.in_color_space = options.kind == JpegKind::Colour ? JCS_RGB
                           : options.kind == JpegKind::Grey ? JCS_GRAYSCALE
                                                            : JCS_CMYK;
    jpeg_set_defaults(&cinfo);
    if (options.kind == JpegKind::Ycck) {
        jpeg_set_colorspace(&cinfo, JCS_YCCK);
    }
    if (options.kind == JpegKind::PlainCmyk) {
        cinfo.write_Adobe_marker = FALSE;
    }
    if (options.fullChroma) {
        for (int c = 0; c < cinfo.num_components; ++c) {
            cinfo.comp_info[c].h_samp_factor = 1;
            cinfo.comp_info[c].v_samp_factor = 1;
        }
    }
    jpeg_set_quality(&cinfo, options.quality, TRUE);
    if (options.progressive) {
        jpeg_simple_progression(&cinfo);
    }
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<std::uint8_t> row(static_cast<std::size_t>(options.width) *
                                  static_cast<std::size_t>(cinfo.input_components));
    JSAMPROW rows[1] = {row.data()};
    for (int y = 0; y < options.height; ++y) {
        fill(y, row.data());
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    std::vector<std::uint8_t> bytes(out, out + outSize);
    jpeg_destroy_compress(&cinfo);
    std::free(out);
    return bytes;
}

std::vector<std::uint8_t> writeSolidJpeg(const JpegOptions& options,
                                         const std::vector<std::uint8_t>& pixel) {
    if (static_cast<int>(pixel.size()) != componentsOf(options.kind)) {
        throw std::invalid_argument("pixel does not match the kind");
    }
    return writeJpeg(options, [&](int, std::uint8_t* row) {
        for (int x = 0; x < options.width; ++x) {
            for (std::size_t c = 0; c < pixel.size(); ++c) {
                row[static_cast<std::size_t>(x) * pixel.size() + c] = pixel[c];
            }
        }
    });
}

long findMarker(const std::vector<std::uint8_t>& jpeg, std::uint8_t code, long from) {
    for (auto i = static_cast<std::size_t>(from); i + 1 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && jpeg[i + 1] == code) {
            return static_cast<long>(i);
        }
    }
    return -1;
}

std::vector<std::uint8_t> jpegFailingInItsData(int width, int height) {
    JpegOptions options{width, height};
    options.progressive = true;
    std::vector<std::uint8_t> jpeg = writeSolidJpeg(options, {90, 90, 90});
    const long first = findMarker(jpeg, 0xDA);
    const long second = first < 0 ? -1 : findMarker(jpeg, 0xDA, first + 2);
    if (second > 0) {
        // SOS: marker, length (2), component count, two bytes a component, then Ss.
        const auto at = static_cast<std::size_t>(second);
        jpeg[at + 5 + 2 * jpeg[at + 4]] = 70;
    }
    return jpeg;
}

std::vector<std::uint8_t> patternJpeg(int width, int height, bool progressive) {
    return writeJpeg({width, height, JpegKind::Colour, 90, progressive},
                     [width](int y, std::uint8_t* row) {
                         for (int x = 0; x < width; ++x) {
                             row[3 * x] = static_cast<std::uint8_t>(x * 7 + y);
                             row[3 * x + 1] = static_cast<std::uint8_t>(y * 3);
                             row[3 * x + 2] = static_cast<std::uint8_t>((x ^ y) * 5);
                         }
                     });
}

std::vector<std::uint8_t> withFrameSize(std::vector<std::uint8_t> jpeg, int width, int height) {
    const long sof = std::max(findMarker(jpeg, 0xC0), findMarker(jpeg, 0xC2));
    if (sof < 0) {
        throw std::runtime_error("no SOF0 or SOF2 marker");
    }
    // After the marker: length (2 bytes), precision (1), then height and width, big-endian.
    const auto at = static_cast<std::size_t>(sof);
    jpeg[at + 5] = static_cast<std::uint8_t>(height >> 8);
    jpeg[at + 6] = static_cast<std::uint8_t>(height);
    jpeg[at + 7] = static_cast<std::uint8_t>(width >> 8);
    jpeg[at + 8] = static_cast<std::uint8_t>(width);
    return jpeg;
}

} // namespace duoptic::testing

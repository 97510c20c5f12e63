// Writes one generated photograph, for the scripts that need pictures on disk:
//   bench_make_photo <file> <width> <height> [sbs] [right] [mpo] [progressive] [grey] [tint=R,G,B]
// With mpo, the file is an MPO of the left-eye and the right-eye picture.
#include "MpoWriter.h"
#include "PhotoJpeg.h"

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr,
                     "usage: %s FILE WIDTH HEIGHT [sbs] [right] [mpo] [progressive] [grey] "
                     "[tint=R,G,B]\n",
                     argv[0]);
        return 2;
    }
    duoptic::bench::PhotoOptions options;
    bool mpo = false;
    options.width = std::atoi(argv[2]);
    options.height = std::atoi(argv[3]);
    for (int i = 4; i < argc; ++i) {
        const std::string word = argv[i];
        if (word == "sbs") {
            options.sideBySide = true;
        } else if (word == "mpo") {
            mpo = true;
        } else if (word == "right") {
            options.rightEye = true;
        } else if (word == "progressive") {
            options.progressive = true;
        } else if (word == "grey") {
            options.grey = true;
        } else if (word.rfind("tint=", 0) != 0 ||
                   std::sscanf(word.c_str() + 5, "%lf,%lf,%lf", &options.red, &options.green,
                               &options.blue) != 3) {
            std::fprintf(stderr, "unknown option %s\n", word.c_str());
            return 2;
        }
    }
    if (mpo) {
        options.rightEye = false;
        std::vector<std::uint8_t> left = duoptic::bench::photoJpeg(options);
        options.rightEye = true;
        duoptic::bench::writeFile(
            argv[1],
            duoptic::testing::writeMpo({{std::move(left)}, {duoptic::bench::photoJpeg(options)}})
                .bytes);
        return 0;
    }
    duoptic::bench::writeFile(argv[1], duoptic::bench::photoJpeg(options));
    return 0;
}

#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Photograph stand-ins for the benchmarks: smooth gradients, overlapping discs and fine grain,
// which compress at quality 90 to about 2.5 bits a pixel like real photographs, so that decoding
// them costs what decoding a camera's file costs.
namespace duoptic::bench {

struct PhotoOptions {
    int width = 6000;
    int height = 4000;
    bool sideBySide = false;  // both eyes' views in one picture, the left eye on the left
    bool rightEye = false;    // for a single view: the right eye's (the discs shift by depth)
    bool progressive = false; // libjpeg's standard progression
    bool grey = false;        // one component
    int quality = 90;
    // Multiplies red, green and blue, so that the files of different pairs can be told apart on
    // screen; 1 keeps the scene's colours.
    double red = 1.0, green = 1.0, blue = 1.0;
};

std::vector<std::uint8_t> photoJpeg(const PhotoOptions& options);

// One eye's view as 32-bit 0xFFRRGGBB pixels, row after row: the same scene without the detour
// through a file, for benchmarks that need a decoded picture but not its decoding.
void fillPhotoXrgb(int width, int height, std::uint32_t* pixels, std::ptrdiff_t strideBytes);

// Writes the bytes to path; exits the program with a message when that fails.
void writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

} // namespace duoptic::bench

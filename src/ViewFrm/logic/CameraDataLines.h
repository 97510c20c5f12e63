#pragma once

#include "imaging/ExifTags.h"
#include "imaging/PairFile.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace duoptic {

// What the camera-data overlay tells of the pair on screen.
struct CameraDataFacts {
    std::vector<PairFile> files;
    int leftWidth = 0; // the eyes' pictures as shown, pixels
    int leftHeight = 0;
    int rightWidth = 0;
    int rightHeight = 0;
    ExifCamera camera;      // of the left eye
    int shiftRight = 0;     // the right eye against the left, image pixels
    int shiftDown = 0;      //
    int rollHundredths = 0; // its turn, hundredths of a degree clockwise
};

// The overlay's lines: each file with its size, the pixel size, the camera's fields that the file
// holds (a field it lacks gives no line and no part of one), and the right eye's shift and turn.
std::vector<std::string> cameraDataLines(const CameraDataFacts& facts);

// The texts of single fields, as the lines show them.
std::string fileSizeText(std::int64_t bytes);   // decimal units, as desktop file managers count
std::string exposureText(ExifRational seconds); // up to a quarter second as a fraction 1/N
std::string apertureText(ExifRational fNumber);
// The model alone when it already names the maker, as many cameras' models do.
std::string cameraNameText(const std::string& make, const std::string& model);
// "YYYY-MM-DD HH:MM:SS" from EXIF's "YYYY:MM:DD HH:MM:SS"; empty for a date left blank or zero.
std::string takenText(const std::string& stored);
std::string focalLengthText(std::optional<ExifRational> millimetres,
                            std::optional<std::uint32_t> millimetres35);
std::string rightEyeText(int right, int down, int rollHundredths);

} // namespace duoptic

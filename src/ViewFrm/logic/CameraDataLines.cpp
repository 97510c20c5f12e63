#include "ViewFrm/logic/CameraDataLines.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace duoptic {

namespace {

template <typename... Values> std::string format(const char* pattern, Values... values) {
    char text[96];
    std::snprintf(text, sizeof text, pattern, values...);
    return text;
}

// One decimal, none when it is 0: 5.6, 8, 4.5.
std::string oneDecimal(double value) {
    std::string text = format("%.1f", value);
    if (text.ends_with(".0")) {
        text.resize(text.size() - 2);
    }
    return text;
}

std::string joined(const std::vector<std::string>& parts, const char* separator) {
    std::string text;
    for (const std::string& part : parts) {
        text += (text.empty() ? "" : separator) + part;
    }
    return text;
}

std::string pixelSizeText(const CameraDataFacts& facts) {
    const std::string left = format("%d \u00D7 %d", facts.leftWidth, facts.leftHeight);
    if (facts.rightWidth == facts.leftWidth && facts.rightHeight == facts.leftHeight) {
        return left + " pixels";
    }
    return "left " + left +
           format(", right %d \u00D7 %d pixels", facts.rightWidth, facts.rightHeight);
}

std::string exposureParts(const ExifCamera& camera) {
    std::vector<std::string> parts;
    if (camera.exposureTime) {
        parts.push_back(exposureText(*camera.exposureTime));
    }
    if (camera.fNumber) {
        parts.push_back(apertureText(*camera.fNumber));
    }
    if (camera.iso) {
        parts.push_back(format("ISO %u", unsigned(*camera.iso)));
    }
    return joined(parts, ", ");
}

} // namespace

std::string fileSizeText(std::int64_t bytes) {
    const double value = double(bytes);
    if (bytes < 1000) {
        return format("%lld bytes", static_cast<long long>(bytes));
    }
    if (value < 999.5e3) {
        return format("%.0f kB", value / 1e3);
    }
    if (value < 999.95e6) {
        return format("%.1f MB", value / 1e6);
    }
    return format("%.1f GB", value / 1e9);
}

std::string exposureText(ExifRational seconds) {
    const double value = seconds.value();
    if (value <= 0.25) {
        return format("1/%.0f s", std::nearbyint(1.0 / value));
    }
    return oneDecimal(value) + " s";
}

std::string apertureText(ExifRational fNumber) {
    return "f/" + oneDecimal(fNumber.value());
}

std::string cameraNameText(const std::string& make, const std::string& model) {
    if (make.empty() || model.empty()) {
        return make + model;
    }
    const std::string maker = make.substr(0, make.find(' ')); // "NIKON" of "NIKON CORPORATION"
    return model.starts_with(maker) ? model : make + " " + model;
}

std::string takenText(const std::string& stored) {
    if (stored.find_first_of("123456789") == std::string::npos) {
        return {};
    }
    std::string text = stored;
    if (text.size() >= 10 && text[4] == ':' && text[7] == ':') {
        text[4] = text[7] = '-';
    }
    return text;
}

std::string focalLengthText(std::optional<ExifRational> millimetres,
                            std::optional<std::uint32_t> millimetres35) {
    std::string film =
        millimetres35 ? format("%u mm on 35 mm film", unsigned(*millimetres35)) : std::string();
    if (!millimetres) {
        return film;
    }
    const std::string own = oneDecimal(millimetres->value()) + " mm";
    return film.empty() ? own : own + " (" + film + ")";
}

std::string rightEyeText(int right, int down, int rollHundredths) {
    std::vector<std::string> parts;
    if (right != 0) {
        parts.push_back(format("%d px %s", std::abs(right), right > 0 ? "right" : "left"));
    }
    if (down != 0) {
        parts.push_back(format("%d px %s", std::abs(down), down > 0 ? "down" : "up"));
    }
    if (rollHundredths != 0) {
        parts.push_back(format("turned %.2f\u00B0 %s", std::abs(rollHundredths) / 100.0,
                               rollHundredths > 0 ? "clockwise" : "anticlockwise"));
    }
    return "Right eye: " + (parts.empty() ? std::string("not moved") : joined(parts, ", "));
}

std::vector<std::string> cameraDataLines(const CameraDataFacts& facts) {
    std::vector<std::string> lines;
    for (const PairFile& file : facts.files) {
        lines.push_back(file.name + " (" + fileSizeText(file.bytes) + ")");
    }
    lines.push_back(pixelSizeText(facts));
    const ExifCamera& camera = facts.camera;
    const std::string name = cameraNameText(camera.make, camera.model);
    const std::string taken = takenText(camera.taken);
    const std::string exposure = exposureParts(camera);
    const std::string focal = focalLengthText(camera.focalLength, camera.focalLength35mm);
    for (const auto& [label, text] :
         {std::pair{"Camera: ", name}, std::pair{"Taken: ", taken},
          std::pair{"Exposure: ", exposure}, std::pair{"Focal length: ", focal}}) {
        if (!text.empty()) {
            lines.push_back(label + text);
        }
    }
    lines.push_back(rightEyeText(facts.shiftRight, facts.shiftDown, facts.rollHundredths));
    return lines;
}

} // namespace duoptic

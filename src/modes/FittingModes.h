#pragma once

// How a picture is fitted into its panel at the lowest zoom.
namespace duoptic {

enum class FittingMode : unsigned char {
    ImageWidth, // the image width fits the panel's width
    FormSize,   // the image fills the panel
};

// 0 fits the image width; any other stored value makes the image fill the panel.
constexpr FittingMode fittingMode(int stored) {
    return stored == 0 ? FittingMode::ImageWidth : FittingMode::FormSize;
}

// What the Filer stores for each choice.
constexpr int storedFittingMode(FittingMode mode) {
    return mode == FittingMode::ImageWidth ? 0 : 10;
}

} // namespace duoptic

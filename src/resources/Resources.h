#pragma once

// Resource paths of the pictures compiled into the executable.
namespace duoptic::resources {

inline constexpr const char* kSampleLeft = ":/sample_left.jpg";   // left eye, 623 x 648 JPEG
inline constexpr const char* kSampleRight = ":/sample_right.jpg"; // right eye, 623 x 648 JPEG
inline constexpr const char* kIcon = ":/duoptic.png";             // 32 x 32, transparent
inline constexpr const char* kTipsFigure = ":/tips_figure.png";   // 256 x 164, 24-bit

} // namespace duoptic::resources

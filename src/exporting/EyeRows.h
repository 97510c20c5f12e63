#pragma once

#include "base/Rect.h"
#include "exporting/JpegWrite.h"
#include "imaging/DisplayCompose.h"
#include "imaging/Raster.h"

#include <cstdint>

namespace duoptic {

// The part of an eye's picture that is written.
struct EyePixels {
    const Raster* raster = nullptr;
    Rect rect; // within the raster, wholly inside it
};

// Row y of the eye's rectangle, as 0xFFRRGGBB (a grey picture through its palette).
void eyeRow(const EyePixels& eye, int y, std::uint32_t* out);

// The pictures the formats write, row by row from the eyes' pixels. Both eyes have the same size.
RowSource oneEye(EyePixels eye);
RowSource sideBySide(EyePixels first, EyePixels second); // first on the left
RowSource anaglyph(AnaglyphKind kind, EyePixels left, EyePixels right);
// Each eye squeezed to half its width (side by side) or height (left eye on top), each pixel of
// the squeezed picture the mean of the two it stands for.
RowSource halfSideBySide(EyePixels left, EyePixels right);
RowSource halfTopBottom(EyePixels left, EyePixels right);

} // namespace duoptic

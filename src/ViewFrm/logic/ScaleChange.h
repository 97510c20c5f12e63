#pragma once

#include "ViewFrm/logic/ViewGeometry.h"

namespace duoptic {

// Positions (0..1 each way), also between the scroll bars' steps.
struct ExactPositions {
    double horizontal = 0.5;
    double vertical = 0.5;
};

// The positions at which a drawing with `to` shows the point of the picture that the drawing
// with `from` shows at the centre of the area at that centre, as near as the picture's edges
// allow. An axis on which `to` leaves the picture no room to move keeps the position of `from`.
ExactPositions keepCentre(const ViewInputs& from, const ViewInputs& to);

// The zoom position whose drawing comes nearest in size to the drawing with `in`.
int nearestZoom(const ViewInputs& in);

} // namespace duoptic

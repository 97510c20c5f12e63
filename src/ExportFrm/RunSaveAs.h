#pragma once

#include "ExportFrm/ExportChoices.h"
#include "imaging/DisplayCompose.h"
#include "loading/PairRequest.h"
#include "settings/PairOffsetsText.h"

class QWidget;

namespace duoptic {

// How the pair is on screen when Save As is chosen.
struct ShownPair {
    PairRequest request;
    PairOffset shift;      // the right eye's, as the window shows it
    AnaglyphKind anaglyph; // what an anaglyph is mixed with
};

// The Save As command: asks over `parent` how and where to write the pair (starting from
// `last`, which keeps the answer; at first in the pair's folder), writes it, and asks before
// replacing files that exist.
// Throws Error when the pair cannot be read or its files cannot be written.
void runSaveAs(QWidget* parent, const ShownPair& pair, ExportChoices& last);

} // namespace duoptic

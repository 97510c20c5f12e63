#pragma once

#include "base/PairKey.h"
#include "exporting/ExportFormat.h"
#include "exporting/MemoryGate.h"
#include "imaging/DisplayCompose.h"
#include "imaging/JpegDecoder.h"
#include "loading/PairRequest.h"
#include "settings/PairOffsetsText.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace duoptic {

// How a pair is written.
struct ExportOptions {
    ExportFormat format = ExportFormat::Sbs;
    int quality = 95; // of what is encoded: 1 .. 100
    bool asStored =
        false; // the eyes as the files hold them: no shift, no crop but to a common size
    AnaglyphKind anaglyph = AnaglyphKind::RedCyanDubois;
};

// Where the right eye's shift comes from (see EyeAlignment: the right eye's pixel (x, y) goes
// where its pixel (x + dx, y + dy) would be).
struct ShiftChoice {
    // The shift the window shows for the pair; when set, nothing else is asked.
    std::optional<PairOffset> shown;
    // The shift the user gave the pair, by its key (null: none is kept).
    std::function<std::optional<PairOffset>(const PairKey&)> stored;
    // Without a stored shift, what the pair's measurements say, when sure, as the window takes
    // it: the automatic alignment's vertical offset and roll, the automatic window's shift.
    bool align = false;
    bool window = false;
};

// One file to write: its name (no folder) and its whole content.
struct ExportedFile {
    std::string name;
    std::vector<std::uint8_t> bytes;
};

// The pair of the request (its sides are ignored: the files say which eye is which) as the
// format writes it, under the request's base name, or `baseName` when not empty. The eyes are
// shifted as `shift` says and cut to the rectangle both cover; an eye that needs no change is
// copied without being decoded, one whose cut starts on an iMCU boundary is cut without being
// encoded again. Throws Error with the viewer's message for a pair that cannot be read (as a
// load does), or for eyes that do not overlap; DecodeCancelled when `cancel` is set. The memory
// its decodes and the picture it encodes take is claimed from `gate` (null: none) while they live.
// Decoders that a caller keeps from pair to pair, so that their picture buffers are reused rather
// than asked of the system anew for every pair.
struct ExportDecoders {
    JpegDecoder a;
    JpegDecoder b;
};

struct ExportRun {
    std::string baseName; // empty: the request's
    const std::atomic<bool>* cancel = nullptr;
    MemoryGate* gate = nullptr;
    ExportDecoders* decoders = nullptr; // null: fresh ones for this pair
};
std::vector<ExportedFile> exportPair(const PairRequest& request, const ShiftChoice& shift,
                                     const ExportOptions& options, const ExportRun& run = {});

} // namespace duoptic

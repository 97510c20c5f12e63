#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace duoptic {

// The forms a pair can be written in. The stereo forms are named as the viewer's own naming
// reads them back; the anaglyph and the half-size forms are pictures to look at elsewhere.
enum class ExportFormat {
    Sbs,      // NAME_DUP.jpg: left eye on the left
    Cross,    // NAME_DUC.jpg: right eye on the left
    Jps,      // NAME.jps: as Cross
    Mpo,      // NAME.mpo: left image, then right, with an MP index
    Pair,     // NAME_DUL.jpg and NAME_DUR.jpg
    Anaglyph, // NAME_anaglyph.jpg
    HalfSbs,  // NAME_hsbs.jpg: each eye squeezed into its half, side by side
    HalfTb,   // NAME_htb.jpg: each eye squeezed into its half, left eye on top
};

// All of them, in the order the help and the dialog list them.
std::span<const ExportFormat> exportFormats();

// The name on the command line ("sbs", "half-tb", ...), and back.
std::string_view exportFormatName(ExportFormat format);
std::optional<ExportFormat> exportFormatNamed(std::string_view name);

// What it writes, in a few words for the help and the dialog.
std::string_view exportFormatDescription(ExportFormat format);

// The names of the files the format writes for a pair of that base name, left eye's first.
std::vector<std::string> exportFileNames(ExportFormat format, const std::string& baseName);

} // namespace duoptic

#include "exporting/ExportFormat.h"

#include "catalogue/PairKind.h"

#include <iterator>

namespace duoptic {

namespace {

struct FormatNames {
    ExportFormat format;
    std::string_view name;
    // The endings of its files: the stereo forms end as the viewer's own naming reads them.
    std::string_view first;
    std::string_view second;
};

constexpr FormatNames kFormats[] = {
    {ExportFormat::Sbs, "sbs", openedSuffix(PairSuffix::Parallel), {}},
    {ExportFormat::Cross, "cross", openedSuffix(PairSuffix::Crossing), {}},
    {ExportFormat::Jps, "jps", openedSuffix(PairSuffix::Jps), {}},
    {ExportFormat::Mpo, "mpo", openedSuffix(PairSuffix::Mpo), {}},
    {ExportFormat::Pair, "pair", openedSuffix(PairSuffix::LeftEye),
     openedSuffix(PairSuffix::RightEye)},
    {ExportFormat::Anaglyph, "anaglyph", "_anaglyph.jpg", {}},
    {ExportFormat::HalfSbs, "half-sbs", "_hsbs.jpg", {}},
    {ExportFormat::HalfTb, "half-tb", "_htb.jpg", {}},
};

constexpr ExportFormat kOrder[] = {
    ExportFormat::Sbs,  ExportFormat::Cross,    ExportFormat::Jps,     ExportFormat::Mpo,
    ExportFormat::Pair, ExportFormat::Anaglyph, ExportFormat::HalfSbs, ExportFormat::HalfTb,
};
static_assert(std::size(kOrder) == std::size(kFormats));

const FormatNames& namesOf(ExportFormat format) {
    for (const FormatNames& names : kFormats) {
        if (names.format == format) {
            return names;
        }
    }
    return kFormats[0];
}

} // namespace

std::span<const ExportFormat> exportFormats() {
    return kOrder;
}

std::string_view exportFormatName(ExportFormat format) {
    return namesOf(format).name;
}

std::optional<ExportFormat> exportFormatNamed(std::string_view name) {
    for (const FormatNames& names : kFormats) {
        if (names.name == name) {
            return names.format;
        }
    }
    return std::nullopt;
}

std::string_view exportFormatDescription(ExportFormat format) {
    switch (format) {
    case ExportFormat::Sbs:
        return "side by side, left eye on the left (parallel)";
    case ExportFormat::Cross:
        return "side by side, right eye on the left (crossing)";
    case ExportFormat::Jps:
        return "side by side for crossing, as 3D cameras write it";
    case ExportFormat::Mpo:
        return "both images in one file, as 3D cameras write it";
    case ExportFormat::Pair:
        return "one file for each eye";
    case ExportFormat::Anaglyph:
        return "red-cyan anaglyph";
    case ExportFormat::HalfSbs:
        return "each eye squeezed to half its width, side by side";
    case ExportFormat::HalfTb:
        return "each eye squeezed to half its height, left eye on top";
    }
    return {};
}

std::vector<std::string> exportFileNames(ExportFormat format, const std::string& baseName) {
    const FormatNames& names = namesOf(format);
    std::vector<std::string> files{baseName + std::string(names.first)};
    if (!names.second.empty()) {
        files.push_back(baseName + std::string(names.second));
    }
    return files;
}

} // namespace duoptic

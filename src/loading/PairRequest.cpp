#include "loading/PairRequest.h"

#include "catalogue/AsciiCase.h"
#include "catalogue/OpenPairFile.h"

namespace duoptic {

PairRequest pairRequest(const PairEntry& entry, ViewerSides sides, LoadChoices choices) {
    const bool twoFiles = entry.kind == PairKind::TwoFiles;
    const bool modeDecidesSides = twoFiles || entry.kind == PairKind::Multi;
    std::string file = pairFilePath(entry, Eye::Left);
    const bool cameraFormat = entry.kind == PairKind::Multi ||
                              (entry.kind == PairKind::Crossing &&
                               endsWithIgnoringAsciiCase(file, openedSuffix(PairSuffix::Jps)));
    return {entry.kind,
            std::move(file),
            twoFiles ? pairFilePath(entry, Eye::Right) : std::string(),
            modeDecidesSides ? sides : ViewerSides::Parallel,
            entry.baseName,
            cameraFormat || choices.orientJpegPairs,
            choices.measureAlignment};
}

} // namespace duoptic

#include "ViewFrm/PairRequest.h"

#include "catalogue/OpenPairFile.h"

namespace duoptic {

PairRequest pairRequest(const PairEntry& entry, ViewerSides sides) {
    const bool twoFiles = entry.kind == PairKind::TwoFiles;
    const bool modeDecidesSides = twoFiles || entry.kind == PairKind::Multi;
    return {entry.kind, pairFilePath(entry, Eye::Left),
            twoFiles ? pairFilePath(entry, Eye::Right) : std::string(),
            modeDecidesSides ? sides : ViewerSides::Parallel, entry.baseName};
}

} // namespace duoptic

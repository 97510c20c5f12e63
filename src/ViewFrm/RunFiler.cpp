#include "ViewFrm/RunFiler.h"

#include "FilerFrm/Drives.h"
#include "FilerFrm/FilerForm.h"
#include "modes/FittingModes.h"
#include "modes/ViewerModes.h"

namespace duoptic {

PairNavigator::Listing runFiler(QWidget* parent, ProgramState& state, const PairList& pairs,
                                std::function<void()> showTips) {
    SettingsRecord& settings = state.settings;
    PairNavigator::Listing listing{pairs, std::nullopt};
    TFilerForm form(listing.list, filerDriveMemory(), readDriveRoots(), std::move(showTips),
                    parent);
    form.setViewerCrossing(isCrossing(settings.viewerMode.sides()));
    form.setFolder(settings.latestPath);
    // Listed again even when the folder just changed: the list always follows the folder shown.
    form.buildFilerList();
    form.setSlideInterval(settings.slideInterval);
    form.setFormSize(fittingMode(settings.fittingMode) == FittingMode::FormSize);

    if (form.exec() != QDialog::Accepted) {
        return listing;
    }
    settings.viewerMode = ViewerMode(form.viewerCrossing() ? kCrossing : kParallel);
    settings.fittingMode =
        storedFittingMode(form.formSize() ? FittingMode::FormSize : FittingMode::ImageWidth);
    settings.latestPath = form.folder();
    settings.slideInterval = form.slideInterval();
    // Row r shows entry r + 1 of the list.
    listing.entry = form.selectedRow() + 1;
    return listing;
}

} // namespace duoptic

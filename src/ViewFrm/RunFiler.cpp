#include "ViewFrm/RunFiler.h"

#include "FilerFrm/Drives.h"
#include "FilerFrm/FilerForm.h"
#include "modes/FittingModes.h"
#include "modes/ViewerModes.h"

namespace duoptic {

std::optional<int> runFiler(QWidget* parent, ProgramState& state, std::function<void()> showTips) {
    SettingsRecord& settings = state.settings;
    TFilerForm form(state.pairs.list, filerDriveMemory(), readDriveRoots(), std::move(showTips),
                    parent);
    form.setViewerCrossing(isCrossing(viewerSides(settings.viewerMode)));
    form.setFolder(settings.latestPath);
    // Listed again even when the folder just changed: the list always follows the folder shown.
    form.buildFilerList();
    form.setSlideInterval(settings.slideInterval);
    form.setFormSize(fittingMode(settings.fittingMode) == FittingMode::FormSize);

    if (form.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    settings.viewerMode = form.viewerCrossing() ? kCrossing : kParallel;
    settings.fittingMode =
        storedFittingMode(form.formSize() ? FittingMode::FormSize : FittingMode::ImageWidth);
    settings.latestPath = form.folder();
    settings.slideInterval = form.slideInterval();
    // Row r shows entry r + 1 of the list.
    return form.selectedRow() + 1;
}

} // namespace duoptic

#include "ViewFrm/RunFiler.h"

#include "FilerFrm/Drives.h"
#include "FilerFrm/FilerForm.h"
#include "settings/Modes.h"

namespace duoptic {

int runFiler(QWidget* parent, ProgramState& state, std::string& name,
             std::function<void()> showTips) {
    SettingsRecord& settings = state.settings;
    PairCatalogue& pairs = state.pairs;

    TFilerForm form(pairs.list, filerDriveMemory(), readDriveRoots(), std::move(showTips), parent);
    form.setViewerCrossing(isCrossing(settings.viewerMode));
    form.setFolder(settings.latestPath);
    // Listed again even when the folder just changed: the list always follows the folder shown.
    form.buildFilerList();
    form.setSlideInterval(settings.slideInterval);
    form.setFormSize(!fitsImageWidth(settings.fittingMode));

    const int result = form.exec();
    if (result != QDialog::Accepted) {
        return result;
    }
    settings.viewerMode = form.viewerCrossing() ? kCrossing : kParallel;
    settings.fittingMode = storedFittingMode(form.formSize());
    settings.latestPath = form.folder();
    settings.slideInterval = form.slideInterval();
    const int row = form.selectedRow();
    if (row < 0) {
        name.clear();
        pairs.cursor = 0;
    } else {
        name = form.rowName(row);
        pairs.currentKind = pairs.list.entry(row + 1).kind;
        pairs.cursor = row + 1;
    }
    return result;
}

} // namespace duoptic

#pragma once

#include "ViewFrm/ViewForm.h"
#include "catalogue/Scan.h"
#include "support/ReportRecorder.h"
#include "support/TempFolder.h"
#include "support/TestFiles.h"

#include <QRgb>

#include <memory>
#include <string>
#include <vector>

namespace duoptic::test {

using testing::fileBytes;
using testing::readFile;
using testing::ReportRecorder;
using testing::TempFolder;
using testing::testData;
using testing::writeFile;

// A main window over its own program folder, shown and laid out with the given client size.
struct ShownWindow {
    explicit ShownWindow(const std::string& programFolder, int clientWidth = 553,
                         int clientHeight = 483);
    // The Pair list changed behind the window's back, as the Filer's listing changes it: the
    // cursor stays where it is.
    void listFolder(const std::string& folder);
    // A list of its own, none of its entries current.
    void replaceList(std::vector<PairEntry> entries);
    // Entry `entry` becomes current without being shown.
    void setCursor(int entry);

    ProgramState state;
    PairNavigator navigator;
    std::unique_ptr<TViewForm> form;
};

bool isGrey(QRgb pixel);

} // namespace duoptic::test

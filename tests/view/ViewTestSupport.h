#pragma once

#include "ViewFrm/ViewForm.h"
#include "catalogue/Scan.h"
#include "support/ReportRecorder.h"
#include "support/TempFolder.h"
#include "support/TestFiles.h"

#include <QRgb>

#include <memory>
#include <string>

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
    ProgramState state;
    std::unique_ptr<TViewForm> form;
};

bool isGrey(QRgb pixel);

} // namespace duoptic::test

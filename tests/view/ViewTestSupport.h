#pragma once

#include "ViewFrm/ViewForm.h"
#include "catalogue/Scan.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <string>

namespace duoptic::test {

// A temporary folder removed with everything in it when the object goes.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; } // ends in "/"
    std::string file(const std::string& name) const { return path_ + name; }
    void copyIn(const std::string& source, const std::string& name) const;
    void write(const std::string& name, const std::string& bytes) const;

private:
    std::string path_;
};

std::string testData(const std::string& relative);

// Records error reports instead of showing message boxes.
struct ReportRecorder {
    ReportRecorder();
    ~ReportRecorder();
    static QStringList& reports();
};

// A main window over its own program folder, shown and laid out with the given client size.
struct ShownWindow {
    explicit ShownWindow(const std::string& programFolder, int clientWidth = 553,
                         int clientHeight = 483);
    ProgramState state;
    std::unique_ptr<TViewForm> form;
};

bool isGrey(QRgb pixel);

} // namespace duoptic::test

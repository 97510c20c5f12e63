#include "ViewTestSupport.h"

#include "base/ErrorReport.h"

#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace duoptic::test {

TempFolder::TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "duoptic-view-XXXXXX").string();
    path_ = std::string(::mkdtemp(pattern.data())) + "/";
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

void TempFolder::copyIn(const std::string& source, const std::string& name) const {
    std::filesystem::copy_file(source, path_ + name,
                               std::filesystem::copy_options::overwrite_existing);
}

void TempFolder::write(const std::string& name, const std::string& bytes) const {
    std::ofstream(path_ + name, std::ios::binary) << bytes;
}

std::string testData(const std::string& relative) {
    return std::string(DUOPTIC_TESTDATA) + "/" + relative;
}

namespace {
void record(const QString& text) {
    ReportRecorder::reports().append(text);
}
} // namespace

ReportRecorder::ReportRecorder() {
    reports().clear();
    setErrorReportSink(&record);
}

ReportRecorder::~ReportRecorder() {
    setErrorReportSink(nullptr);
}

QStringList& ReportRecorder::reports() {
    static QStringList list;
    return list;
}

ShownWindow::ShownWindow(const std::string& programFolder, int clientWidth, int clientHeight) {
    state.programFolder = programFolder;
    form = std::make_unique<TViewForm>(state);
    form->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    form->resize(clientWidth, clientHeight);
    QCoreApplication::processEvents();
}

bool isGrey(QRgb pixel) {
    return (pixel & 0xFFFFFFu) == 0xC0C0C0u;
}

} // namespace duoptic::test

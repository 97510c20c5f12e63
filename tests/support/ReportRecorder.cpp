#include "support/ReportRecorder.h"

#include "base/ErrorReport.h"

namespace duoptic::testing {

namespace {

QStringList& recorded() {
    static QStringList texts;
    return texts;
}

void record(const QString& text) {
    recorded().append(text);
}

} // namespace

ReportRecorder::ReportRecorder() {
    recorded().clear();
    setErrorReportSink(&record);
}

ReportRecorder::~ReportRecorder() {
    setErrorReportSink(nullptr);
}

const QStringList& ReportRecorder::shown() {
    return recorded();
}

} // namespace duoptic::testing

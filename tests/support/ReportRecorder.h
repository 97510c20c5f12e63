#pragma once

#include <QStringList>

namespace duoptic::testing {

// Records what the error report would have shown instead of opening a message box, which would
// wait for a click that never comes. One at a time: the report has a single sink.
class ReportRecorder {
public:
    ReportRecorder();
    ~ReportRecorder();
    ReportRecorder(const ReportRecorder&) = delete;
    ReportRecorder& operator=(const ReportRecorder&) = delete;

    // The texts in the order they were reported since the recorder was made.
    static const QStringList& shown();
};

} // namespace duoptic::testing

#pragma once

#include <QString>

#include <exception>
#include <utility>

namespace duoptic {

// The text the error report shows: the message, with "." appended when it is not empty and its
// last character has a higher code than ".".
QString errorReportText(const QString& message);

// Shows the application's error report: critical icon, one OK button, application-modal, the
// application title as caption. Any mouse grab is released first so the box can be used.
void showErrorReport(const QString& message);

// Hook for tests: replaces the message box with a recorder. Pass nullptr to restore the box.
using ErrorReportSink = void (*)(const QString& text);
void setErrorReportSink(ErrorReportSink sink);

// Every event handler and command runs through this guard, so that an error ends only that
// handler: what it changed before the error stays changed, and the event loop goes on.
template <typename Handler> void guarded(Handler&& handler) noexcept {
    try {
        std::forward<Handler>(handler)();
    } catch (const std::exception& error) {
        showErrorReport(QString::fromUtf8(error.what()));
    } catch (...) {
        showErrorReport(QString());
    }
}

} // namespace duoptic

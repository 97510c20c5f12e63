#include "base/ErrorReport.h"

#include "base/AccessibleNames.h"
#include "base/AppTitle.h"

#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QWidget>

namespace duoptic {

namespace {
ErrorReportSink reportSink = nullptr;
} // namespace

QString errorReportText(const QString& message) {
    if (!message.isEmpty() && message.back() > QLatin1Char('.')) {
        return message + QLatin1Char('.');
    }
    return message;
}

void setErrorReportSink(ErrorReportSink sink) {
    reportSink = sink;
}

void showErrorReport(const QString& message) {
    if (QWidget* grabber = QWidget::mouseGrabber()) {
        grabber->releaseMouse();
    }
    const QString text = errorReportText(message);
    if (reportSink != nullptr) {
        reportSink(text);
        return;
    }
    QMessageBox box(QMessageBox::Critical,
                    applicationTitle(QFileInfo(QApplication::applicationFilePath()).fileName()),
                    text, QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    describeMessageBox(box);
    box.exec();
}

} // namespace duoptic

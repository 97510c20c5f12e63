#pragma once

#include "base/ErrorReport.h"

#include <QBuffer>
#include <QColor>
#include <QImage>
#include <QPainter>
#include <QString>

#include <cstdlib>
#include <string>
#include <vector>

namespace duoptic::testing {

// JPEG bytes of a picture whose left and right halves have the given colours.
inline std::string jpegBytes(QColor left, QColor right = {}, int width = 48, int height = 32) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(left);
    if (right.isValid()) {
        QPainter painter(&image);
        painter.fillRect(width / 2, 0, width - width / 2, height, right);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 95);
    return bytes.toStdString();
}

inline bool near(QRgb a, QColor b, int tolerance = 12) {
    return std::abs(qRed(a) - b.red()) <= tolerance &&
           std::abs(qGreen(a) - b.green()) <= tolerance &&
           std::abs(qBlue(a) - b.blue()) <= tolerance;
}

// Records what the error report would have shown, instead of opening a message box.
class ErrorReports {
public:
    ErrorReports() {
        texts().clear();
        setErrorReportSink([](const QString& text) { texts().push_back(text); });
    }
    ~ErrorReports() { setErrorReportSink(nullptr); }
    ErrorReports(const ErrorReports&) = delete;
    ErrorReports& operator=(const ErrorReports&) = delete;

    const std::vector<QString>& shown() const { return texts(); }

private:
    static std::vector<QString>& texts() {
        static std::vector<QString> recorded;
        return recorded;
    }
};

} // namespace duoptic::testing

#pragma once

#include <QBuffer>
#include <QColor>
#include <QImage>
#include <QPainter>

#include <cstdlib>
#include <string>

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

} // namespace duoptic::testing

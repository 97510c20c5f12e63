#include "ViewFrm/panels/TextOverlay.h"

#include "base/ErrorReport.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace duoptic {

namespace {

constexpr int kMargin = 8;  // from the area's corner, logical pixels
constexpr int kPadding = 6; // around the text

} // namespace

TextOverlay::TextOverlay(QWidget* area, Corner corner, std::function<Text()> source)
    : QWidget(area), corner_(corner), source_(std::move(source)) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(area->rect());
    area->installEventFilter(this);
}

bool TextOverlay::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parent() && event->type() == QEvent::Resize) {
        setGeometry(parentWidget()->rect());
    }
    return false;
}

void TextOverlay::paintEvent(QPaintEvent*) {
    guarded([this] {
        const Text text = source_ ? source_() : Text{};
        if (text.lines.empty()) {
            return;
        }
        QPainter painter(this);
        const QFontMetrics metrics(font());
        int width = 0;
        for (const std::string& line : text.lines) {
            width = std::max(width, metrics.horizontalAdvance(QString::fromStdString(line)));
        }
        const int lineHeight = metrics.lineSpacing();
        const int boxHeight = lineHeight * int(text.lines.size()) + 2 * kPadding;
        const int top = corner_ == Corner::TopLeft ? kMargin : height() - kMargin - boxHeight;
        const QRect box(kMargin, top, width + 2 * kPadding, boxHeight);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(text.warning ? QColor(120, 0, 0, 200) : QColor(0, 0, 0, 170));
        painter.drawRoundedRect(box, 4, 4);
        painter.setPen(text.warning ? QColor(255, 225, 160) : QColor(240, 240, 240));
        int y = box.top() + kPadding + metrics.ascent();
        for (const std::string& line : text.lines) {
            painter.drawText(box.left() + kPadding, y, QString::fromStdString(line));
            y += lineHeight;
        }
    });
}

} // namespace duoptic

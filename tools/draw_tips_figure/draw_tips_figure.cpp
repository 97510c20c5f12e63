// Draws the viewing figure of the Tips dialog: two diagrams, parallel and crossing viewing, each
// with a pair of eyes looking at a pair of identical pictures.
//
// Usage: draw_tips_figure OUTPUT.png   (runs on the offscreen platform; needs no display)

#include <QtGui/QGuiApplication>
#include <QtGui/QImage>
#include <QtGui/QPainter>
#include <QtGui/QPainterPath>

#include <cmath>
#include <cstdio>

namespace {

constexpr int kWidth = 256;
constexpr int kHeight = 164;
constexpr int kPanel = kWidth / 2; // each diagram gets one half
// The dialog crops the top row and the two bottom rows, so nothing is drawn near those edges.
constexpr double kEyeY = 27;
constexpr double kArrowTop = 39, kArrowBottom = 77;
constexpr double kPictureTop = 81, kPictureSize = 40;
constexpr double kCaptionTop = 129, kCaptionHeight = 20;
constexpr double kEyeX[2] = {34, 94}; // eye and picture centres within a diagram

const QColor kBackground(0xd8, 0xd8, 0xd8);
const QColor kArrow(0x1e, 0x5a, 0xe6);

void drawEye(QPainter& p, QPointF centre, double irisShift) {
    constexpr double kHalfWidth = 16, kHalfHeight = 9;
    QPainterPath almond(centre - QPointF(kHalfWidth, 0));
    almond.quadTo(centre - QPointF(0, 2 * kHalfHeight), centre + QPointF(kHalfWidth, 0));
    almond.quadTo(centre + QPointF(0, 2 * kHalfHeight), centre - QPointF(kHalfWidth, 0));
    p.setPen(QPen(Qt::black, 1.5));
    p.setBrush(Qt::white);
    p.drawPath(almond);

    const QPointF iris = centre + QPointF(irisShift, 0);
    p.save();
    p.setClipPath(almond); // a turned iris slips under the lid instead of past the outline
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawEllipse(iris, 6.0, 6.0);
    p.setBrush(QColor(0xa0, 0xa0, 0xa0));
    p.drawEllipse(iris + QPointF(-2.2, -2.2), 1.6, 1.6);
    p.restore();
}

void drawPicture(QPainter& p, QPointF topLeft) {
    const QRectF frame(topLeft, QSizeF(kPictureSize, kPictureSize));
    p.setPen(QPen(QColor(0x80, 0x80, 0x80), 1.0));
    p.setBrush(QColor(0xff, 0xe6, 0x3c));
    p.drawRect(frame.adjusted(0.5, 0.5, -0.5, -0.5));

    const double cx = frame.center().x();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xe0, 0x4a, 0x14));
    p.drawRect(QRectF(cx - 2.5, frame.top() + 22, 5, 13));
    p.setBrush(QColor(0x22, 0x9a, 0x2e));
    p.drawEllipse(QPointF(cx, frame.top() + 16), 11.0, 11.0 * 0.85);
}

void drawArrow(QPainter& p, QPointF from, QPointF to) {
    p.setPen(QPen(kArrow, 2.0, Qt::SolidLine, Qt::FlatCap));
    const QPointF along = (to - from) / std::hypot(to.x() - from.x(), to.y() - from.y());
    const QPointF across(-along.y(), along.x());
    constexpr double kHead = 7, kSpread = 3.5;
    p.drawLine(from, to - along * (kHead - 1));
    p.setPen(Qt::NoPen);
    p.setBrush(kArrow);
    const QPointF head[3] = {to, to - along * kHead + across * kSpread,
                             to - along * kHead - across * kSpread};
    p.drawPolygon(head, 3);
}

// crossing: the eyes turn inwards and each looks at the picture on the opposite side.
void drawDiagram(QPainter& p, double left, bool crossing, const QString& caption) {
    const double irisShift = crossing ? 6 : 0;
    for (int i = 0; i < 2; ++i) {
        const double x = left + kEyeX[i];
        drawPicture(p, QPointF(x - kPictureSize / 2, kPictureTop));
        drawEye(p, QPointF(x, kEyeY), i == 0 ? irisShift : -irisShift);
    }
    for (int i = 0; i < 2; ++i) {
        const double fromX = left + kEyeX[i] + (i == 0 ? irisShift : -irisShift);
        const double toX = left + kEyeX[crossing ? 1 - i : i];
        drawArrow(p, QPointF(fromX, kArrowTop), QPointF(toX, kArrowBottom));
    }
    QFont font("DejaVu Sans Mono");
    font.setStyleHint(QFont::Monospace);
    font.setPixelSize(12);
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(QRectF(left, kCaptionTop, kPanel, kCaptionHeight), Qt::AlignCenter, caption);
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: draw_tips_figure OUTPUT.png\n");
        return 2;
    }
    QImage image(kWidth, kHeight, QImage::Format_RGB888);
    image.fill(kBackground);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        drawDiagram(p, 0, false, "Parallel View");
        drawDiagram(p, kPanel, true, "Crossing View");
    }
    if (!image.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}

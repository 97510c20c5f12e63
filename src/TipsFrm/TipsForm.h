#pragma once

#include <QDialog>
#include <QPixmap>
#include <QSize>

class QKeyEvent;
class QShowEvent;

namespace duoptic {

// The help and about box: title, credit lines, help text, viewing figure and version. Nothing is
// read or written; it only opens and closes.
class TTipsForm : public QDialog {
    Q_OBJECT

public:
    explicit TTipsForm(QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildTopPanel();
    void buildFigurePanel();
    void buildButtonAndVersion();
    void growLabelsToText();
};

// Runs the Tips dialog modally over parent and returns its result (Accepted through OK, Rejected
// through the close box).
int showTips(QWidget* parent);

// picture drawn unscaled in the middle of a transparent pixmap of the area's size. The offset is
// halved towards zero, so when the picture overhangs by an odd amount the extra row or column is
// lost at the bottom or right.
QPixmap centredUnscaled(const QPixmap& picture, QSize area);

} // namespace duoptic

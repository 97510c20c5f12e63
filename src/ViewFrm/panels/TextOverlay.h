#pragma once

#include <QWidget>

#include <functional>
#include <string>
#include <vector>

namespace duoptic {

// Lines of text in a translucent dark box in one corner of an image area, drawn over its
// picture. It covers the area and takes no input. It asks its source for the lines at every
// paint, which follows every drawing of the area, so it always tells of the picture under it.
class TextOverlay : public QWidget {
    Q_OBJECT
public:
    struct Text {
        std::vector<std::string> lines; // UTF-8
        bool warning = false;           // the box turns red
    };
    enum class Corner { TopLeft, BottomLeft };

    TextOverlay(QWidget* area, Corner corner, std::function<Text()> source);

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Corner corner_;
    std::function<Text()> source_;
};

} // namespace duoptic

#include "TipsFrm/TipsForm.h"

#include "TipsFrm/HelpText.h"
#include "base/AccessibleNames.h"
#include "base/CentreOnScreen.h"
#include "base/DialogFont.h"
#include "resources/Resources.h"

#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>

namespace duoptic {

namespace {

constexpr QSize kClientSize{335, 391};

// What a screen reader says for the Tips' controls; the labels are read by their text.
constexpr AccessibleText kTipsAccessibleTexts[] = {
    {"Memo1", "Help", "How to view the pairs and use the viewer"},
    {"Image1", "Viewing figure",
     "Parallel view: each eye looks straight at its own picture; crossing view: each eye looks "
     "across at the other side's picture"},
    {"Button1", "OK", "Closes the Tips"},
};

QFrame* addPanel(QWidget* parent, const char* name, const QRect& geometry) {
    auto* panel = new QFrame(parent);
    panel->setObjectName(QLatin1String(name));
    panel->setGeometry(geometry);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setLineWidth(1);
    return panel;
}

QLabel* addLabel(QWidget* parent, const char* name, const QString& text, const QRect& geometry) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(geometry);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

QFont titleFont() {
    QFont font;
    // Arial where it exists; the others share its metrics or come close, so the title still fits.
    font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans"),
                      QStringLiteral("Nimbus Sans"), QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(15);
    font.setBold(true);
    font.setUnderline(true);
    return font;
}

} // namespace

TTipsForm::TTipsForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("TipsForm"));
    setWindowTitle(QStringLiteral("Duoptic - Tips"));
    setFixedSize(kClientSize);
    setFont(dialogFont());
    QPalette pal = palette();
    pal.setColor(QPalette::Window, pal.color(QPalette::Button));
    setPalette(pal);

    buildTopPanel();
    buildFigurePanel();
    buildButtonAndVersion();
    growLabelsToText();
    setAccessibleTexts(*this, kTipsAccessibleTexts);
}

void TTipsForm::growLabelsToText() {
    // The labels size themselves to their text. Their laid-out sizes fit the Windows face; the
    // stand-in face runs wider and taller, and a caption must never be cut off.
    const QList<QLabel*> labels = findChildren<QLabel*>();
    for (QLabel* label : labels) {
        if (!label->text().isEmpty()) {
            label->resize(label->size().expandedTo(label->sizeHint()));
        }
    }
}

void TTipsForm::buildTopPanel() {
    QFrame* panel = addPanel(this, "Panel1", {0, 0, 335, 225});
    QLabel* title = addLabel(panel, "Label1", QStringLiteral("Stereo Photo Viewer - Duoptic"),
                             {61, 8, 213, 18});
    title->setFont(titleFont());
    addLabel(panel, "Label2", QStringLiteral("Programmed by the Duoptic team"), {52, 32, 201, 12});
    addLabel(panel, "Label5", QStringLiteral("Stereo photography for everyone, 2026"),
             {52, 44, 232, 12});

    auto* memo = new QPlainTextEdit(panel);
    memo->setObjectName(QStringLiteral("Memo1"));
    memo->setGeometry(1, 64, 333, 160);
    memo->setReadOnly(true);
    // Read-only, yet the keyboard scrolls it once it has been clicked into.
    memo->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    memo->setFocusPolicy(Qt::ClickFocus);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    QPalette pal = memo->palette();
    pal.setColor(QPalette::Base, pal.color(QPalette::Button));
    memo->setPalette(pal);
    memo->setPlainText(tipsHelpText());
}

void TTipsForm::buildFigurePanel() {
    QFrame* panel = addPanel(this, "Panel2", {0, 228, 261, 163});
    auto* image = new QLabel(panel);
    image->setObjectName(QStringLiteral("Image1"));
    image->setGeometry(1, 1, 259, 161);
    image->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // A build without the figure shows an empty frame rather than failing.
    const QPixmap figure(QString::fromLatin1(resources::kTipsFigure));
    if (!figure.isNull()) {
        image->setPixmap(centredUnscaled(figure, image->size()));
    }
}

void TTipsForm::buildButtonAndVersion() {
    auto* button = new QPushButton(QStringLiteral("OK"), this);
    button->setObjectName(QStringLiteral("Button1"));
    button->setGeometry(272, 316, 57, 25);
    button->setDefault(true);
    button->setFocus();
    connect(button, &QPushButton::clicked, this, &QDialog::accept);

    addLabel(this, "Label3", QStringLiteral("Version"), {280, 352, 39, 12});
    addLabel(this, "Label4", QStringLiteral(DUOPTIC_VERSION), {296, 368, 20, 12});
}

void TTipsForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        centreOnScreen(*this);
    }
}

void TTipsForm::keyPressEvent(QKeyEvent* event) {
    // There is no cancel button, so Escape does nothing; the close box still rejects.
    if (event->matches(QKeySequence::Cancel)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

int showTips(QWidget* parent) {
    TTipsForm form(parent);
    return form.exec();
}

QPixmap centredUnscaled(const QPixmap& picture, QSize area) {
    QPixmap placed(area);
    placed.fill(Qt::transparent);
    QPainter painter(&placed);
    // Integer division truncates towards zero: (161 - 164) / 2 == -1, not -2 as a floor would give.
    painter.drawPixmap((area.width() - picture.width()) / 2, (area.height() - picture.height()) / 2,
                       picture);
    return placed;
}

} // namespace duoptic

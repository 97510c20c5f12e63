#include "FilerFrm/FilerControls.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QMouseEvent>
#include <QProxyStyle>

#include <algorithm>

namespace duoptic {

namespace {

constexpr int kRepeatDelayMs = 400; // a held spin button first repeats after this
constexpr int kRepeatRateMs = 100;  // and then every this often

class SpinRepeatStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        switch (hint) {
        case SH_SpinBox_ClickAutoRepeatThreshold:
            return kRepeatDelayMs;
        case SH_SpinBox_ClickAutoRepeatRate:
            return kRepeatRateMs;
        case SH_SpinBox_StepModifier:
            return Qt::NoModifier; // Ctrl would make a step of 10

        default:
            return QProxyStyle::styleHint(hint, option, widget, returnData);
        }
    }
};

bool isEnter(const QKeyEvent* event) {
    return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
}

// A key that types a character rather than commanding the control.
bool typesText(const QKeyEvent* event) {
    const QString text = event->text();
    return !text.isEmpty() && text.front().isPrint() &&
           !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
}

} // namespace

FixedRowDelegate::FixedRowDelegate(int rowHeight, int indentPerLevel, QObject* parent)
    : QStyledItemDelegate(parent), rowHeight_(rowHeight), indentPerLevel_(indentPerLevel) {}

int FixedRowDelegate::indentOf(const QModelIndex& index) const {
    return indentPerLevel_ * index.data(kLevelRole).toInt();
}

void FixedRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    QStyleOptionViewItem indented(option);
    indented.rect.setLeft(indented.rect.left() + indentOf(index));
    QStyledItemDelegate::paint(painter, indented, index);
}

QSize FixedRowDelegate::sizeHint(const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const {
    return {QStyledItemDelegate::sizeHint(option, index).width() + indentOf(index), rowHeight_};
}

DialogButton::DialogButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {
    // A QDialog makes an auto-default button its default once it has had the focus, after which
    // Enter anywhere in the dialog would press it.
    setAutoDefault(false);
    setDefault(false);
}

void DialogButton::keyPressEvent(QKeyEvent* event) {
    if (isEnter(event)) {
        event->accept();
        click();
        return;
    }
    QPushButton::keyPressEvent(event);
}

OptionButton::OptionButton(const QString& text, QWidget* parent) : QRadioButton(text, parent) {
    connect(this, &QAbstractButton::toggled, this, &OptionButton::keepTabStopOnChecked);
}

void OptionButton::focusOutEvent(QFocusEvent* event) {
    QRadioButton::focusOutEvent(event);
    keepTabStopOnChecked();
}

void OptionButton::keepTabStopOnChecked() {
    const QList<QRadioButton*> items =
        parentWidget()->findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly);
    const bool anyChecked = std::any_of(items.cbegin(), items.cend(),
                                        [](const QRadioButton* b) { return b->isChecked(); });
    for (QRadioButton* item : items) {
        // With nothing checked every item stays reachable, or the group could not be entered.
        item->setFocusPolicy(item->isChecked() || !anyChecked ? Qt::StrongFocus : Qt::ClickFocus);
    }
}

NameListBox::NameListBox(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformItemSizes(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    clock_.start();
}

int NameListBox::selectedRow() const {
    const QList<QListWidgetItem*> items = selectedItems();
    return items.isEmpty() ? -1 : row(items.front());
}

void NameListBox::search(const QString& text) {
    int found = -1;
    if (text.isEmpty()) {
        found = count() > 0 ? 0 : -1;
    } else {
        QStringList rows;
        rows.reserve(count());
        for (int r = 0; r < count(); ++r) {
            rows.push_back(item(r)->text());
        }
        found = firstRowStartingWith(rows, text);
        if (found < 0) {
            return; // no row begins so: the selection stays where it is
        }
    }
    if (found < 0) {
        clearSelection();
        setCurrentRow(-1);
    } else {
        setCurrentRow(found);
    }
    emit rowChosen();
}

void NameListBox::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Backspace) {
        event->accept();
        search(typeAhead_.backspace(clock_.elapsed()));
        return;
    }
    if (typesText(event)) {
        event->accept();
        search(typeAhead_.type(event->text(), clock_.elapsed()));
        return;
    }
    const int before = selectedRow();
    if (before < 0) {
        // With nothing selected the first arrow key selects the first row, not the second.
        selectionModel()->clearCurrentIndex();
    }
    QListWidget::keyPressEvent(event);
    const int after = selectedRow();
    if (after >= 0 && after != before) {
        emit rowChosen();
    }
}

void NameListBox::mousePressEvent(QMouseEvent* event) {
    // Only the left button on a row selects; a click below the last row keeps the selection.
    if (event->button() != Qt::LeftButton || itemAt(event->position().toPoint()) == nullptr) {
        event->accept();
        return;
    }
    QListWidget::mousePressEvent(event);
    emit rowChosen();
}

void NameListBox::mouseMoveEvent(QMouseEvent* event) {
    const int before = selectedRow();
    QListWidget::mouseMoveEvent(event);
    const int after = selectedRow();
    if (after >= 0 && after != before) {
        emit rowChosen();
    }
}

QItemSelectionModel::SelectionFlags NameListBox::selectionCommand(const QModelIndex& index,
                                                                  const QEvent* event) const {
    // Ctrl+click and Ctrl+Space would deselect the selected row and leave the preview showing a
    // pair that Open no longer gets: once a row is selected, one stays selected.
    const QItemSelectionModel::SelectionFlags flags = QListWidget::selectionCommand(index, event);
    return flags.testFlag(QItemSelectionModel::Deselect) ? QItemSelectionModel::NoUpdate : flags;
}

FolderListBox::FolderListBox(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

void FolderListBox::keyPressEvent(QKeyEvent* event) {
    if (isEnter(event)) {
        event->accept();
        if (const QListWidgetItem* current = currentItem()) {
            emit folderChosen(current->data(kPathRole).toByteArray());
        }
        return;
    }
    QListWidget::keyPressEvent(event);
}

void FolderListBox::mouseDoubleClickEvent(QMouseEvent* event) {
    const QListWidgetItem* hit = itemAt(event->position().toPoint());
    // Read before the signal: choosing a folder rebuilds the rows.
    const QByteArray path = hit ? hit->data(kPathRole).toByteArray() : QByteArray();
    QListWidget::mouseDoubleClickEvent(event);
    if (hit && event->button() == Qt::LeftButton) {
        emit folderChosen(path);
    }
}

IntervalSpinBox::IntervalSpinBox(QWidget* parent) : QSpinBox(parent) {
    setRange(kMin, kMax);
    setSingleStep(1);
    lineEdit()->setMaxLength(kMaxChars);
    // The widget keeps a guarded pointer to its style, so the style may die with it as a child.
    auto* repeatStyle = new SpinRepeatStyle;
    repeatStyle->setParent(this);
    setStyle(repeatStyle);
}

bool IntervalSpinBox::isTypable(QChar c) const {
    return c.isDigit() || c == u'+' || c == u'-' || c == u'.' ||
           QString(c) == locale().decimalPoint();
}

std::optional<int> IntervalSpinBox::wholeNumber(const QString& text) {
    qsizetype i = 0;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        ++i;
    }
    if (i == text.size() || text.size() > 9) {
        return std::nullopt;
    }
    int value = 0;
    for (qsizetype k = i; k < text.size(); ++k) {
        if (text[k] < u'0' || text[k] > u'9') {
            return std::nullopt;
        }
        value = value * 10 + (text[k].unicode() - u'0');
    }
    return text.front() == u'-' ? -value : value;
}

QValidator::State IntervalSpinBox::validate(QString& input, int& /*pos*/) const {
    const bool fits =
        input.size() <= kMaxChars &&
        std::all_of(input.cbegin(), input.cend(), [this](QChar c) { return isTypable(c); });
    return fits ? QValidator::Acceptable : QValidator::Invalid;
}

int IntervalSpinBox::valueFromText(const QString& text) const {
    return wholeNumber(text).value_or(kMin);
}

QAbstractSpinBox::StepEnabled IntervalSpinBox::stepEnabled() const {
    // Stepping at a limit still rewrites an out-of-range text as that limit.
    return isReadOnly() ? StepNone : (StepUpEnabled | StepDownEnabled);
}

void IntervalSpinBox::stepBy(int steps) {
    // From the number as typed, not from its clamped value: "0" then Up gives 1, not 2.
    const int typed = wholeNumber(lineEdit()->text()).value_or(kMin);
    setValue(std::clamp(typed + steps, kMin, kMax));
    selectAll();
}

void IntervalSpinBox::keyPressEvent(QKeyEvent* event) {
    const bool full = lineEdit()->text().size() >= kMaxChars && !lineEdit()->hasSelectedText();
    const bool refused =
        isEnter(event) ||
        (typesText(event) && (full || !std::all_of(event->text().cbegin(), event->text().cend(),
                                                   [this](QChar c) { return isTypable(c); })));
    if (refused) {
        event->accept();
        QApplication::beep();
        return;
    }
    if (event->key() == Qt::Key_PageUp || event->key() == Qt::Key_PageDown) {
        event->accept(); // a page is one step here, not ten
        if (!isReadOnly()) {
            stepBy(event->key() == Qt::Key_PageUp ? 1 : -1);
        }
        return;
    }
    QSpinBox::keyPressEvent(event);
}

void IntervalSpinBox::focusOutEvent(QFocusEvent* event) {
    const QString typed = lineEdit()->text();
    const std::optional<int> number = wholeNumber(typed);
    QSpinBox::focusOutEvent(event); // rewrites the text from the value
    const bool outOfRange = number && (*number < kMin || *number > kMax);
    if (!outOfRange && lineEdit()->text() != typed) {
        const QSignalBlocker quiet(lineEdit()); // the value already is what the text means
        lineEdit()->setText(typed);
    }
}

} // namespace duoptic

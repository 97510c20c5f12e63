#pragma once

#include "FilerFrm/TypeAhead.h"

#include <QElapsedTimer>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStyledItemDelegate>

#include <optional>

// The controls of the Filer whose behaviour differs from Qt's stock widgets.
namespace duoptic {

// Draws the rows of a list at a fixed height, indented by the level kept in kLevelRole.
class FixedRowDelegate : public QStyledItemDelegate {
public:
    static constexpr int kLevelRole = Qt::UserRole + 1;

    FixedRowDelegate(int rowHeight, int indentPerLevel, QObject* parent);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    int indentOf(const QModelIndex& index) const;

    int rowHeight_;
    int indentPerLevel_;
};

// A push button that is never a dialog's default: Enter presses it only when it has the focus.
class DialogButton : public QPushButton {
    Q_OBJECT

public:
    DialogButton(const QString& text, QWidget* parent);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

// An item of a radio group that is one Tab stop: Tab and Backtab reach only the group's checked
// item, so that Space on arriving cannot flip the option by accident. The arrow keys still move
// between the items, and a click still chooses one.
class OptionButton : public QRadioButton {
    Q_OBJECT

public:
    OptionButton(const QString& text, QWidget* parent);

protected:
    void focusOutEvent(QFocusEvent* event) override;

private:
    // Qt makes whichever item last had the focus the group's Tab stop; put it back on the
    // checked one.
    void keepTabStopOnChecked();
};

// The name list: every click on a row (the selected one too) and every move of the selection by
// the keyboard emits rowChosen. Typing finds a row by its first letters.
class NameListBox : public QListWidget {
    Q_OBJECT

public:
    explicit NameListBox(QWidget* parent);

signals:
    void rowChosen();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override;

private:
    int selectedRow() const;
    void search(const QString& text);

    TypeAhead typeAhead_;
    QElapsedTimer clock_;
};

// The folder tree: a click or an arrow key only moves the highlight; a double click or Enter
// chooses the highlighted row's folder.
class FolderListBox : public QListWidget {
    Q_OBJECT

public:
    static constexpr int kPathRole = Qt::UserRole; // QByteArray: the row's folder

    explicit FolderListBox(QWidget* parent);

signals:
    void folderChosen(const QByteArray& path);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};

// The slide interval in seconds, kept within kMin..kMax. What is typed stays as typed until the
// focus leaves: a text that is not a whole number counts as kMin, and only a whole number out of
// range is then replaced by the nearer limit. Every step (Up, Down, PageUp, PageDown, the spin
// buttons, the wheel, with or without Ctrl) is 1 from the number as typed, then kept in range.
class IntervalSpinBox : public QSpinBox {
    Q_OBJECT

public:
    static constexpr int kMin = 1;
    static constexpr int kMax = 30;
    static constexpr int kMaxChars = 2;

    explicit IntervalSpinBox(QWidget* parent);

    void stepBy(int steps) override;
    QValidator::State validate(QString& input, int& pos) const override;

    // The whole number the text spells (optional sign, then digits), if it spells one.
    static std::optional<int> wholeNumber(const QString& text);

protected:
    int valueFromText(const QString& text) const override;
    StepEnabled stepEnabled() const override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    bool isTypable(QChar c) const;
};

} // namespace duoptic

#pragma once

#include <QMessageBox>

#include <span>

class QWidget;

namespace duoptic {

// What a screen reader says for a control of a form: its name, and where the name alone does not
// tell what the control does, a description. The control is found by its object name. Each form
// keeps its texts in one table of these.
struct AccessibleText {
    const char* objectName;
    const char* name; // nullptr for a name that the form makes as it goes
    const char* description = nullptr;
};

// Gives the controls of `form` (or the form itself) named in `table` their accessible texts, and
// the scroll bars of a scrolled one names after it.
void setAccessibleTexts(QWidget& form, std::span<const AccessibleText> table);

// A message box is read as its caption, then its message, as soon as it appears.
void describeMessageBox(QMessageBox& box);

// Runs a modal message box over `parent` so described, as QMessageBox's own static functions
// would, and returns the button that closed it.
QMessageBox::StandardButton
showMessage(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text,
            QMessageBox::StandardButtons buttons = QMessageBox::Ok,
            QMessageBox::StandardButton byDefault = QMessageBox::NoButton);

} // namespace duoptic

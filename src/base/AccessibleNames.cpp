#include "base/AccessibleNames.h"

#include <QAbstractScrollArea>
#include <QScrollBar>
#include <QWidget>

namespace duoptic {

namespace {

// The scroll bars of a scrolled control are named after it, hidden ones too: a screen reader
// lists them all.
void nameScrollBars(QAbstractScrollArea& area) {
    const QString name = area.accessibleName();
    area.horizontalScrollBar()->setAccessibleName(name + QStringLiteral(", horizontal position"));
    area.verticalScrollBar()->setAccessibleName(name + QStringLiteral(", vertical position"));
}

} // namespace

void setAccessibleTexts(QWidget& form, std::span<const AccessibleText> table) {
    for (const AccessibleText& row : table) {
        const QString objectName = QString::fromLatin1(row.objectName);
        QWidget* control =
            form.objectName() == objectName ? &form : form.findChild<QWidget*>(objectName);
        if (control == nullptr) {
            continue;
        }
        if (row.name != nullptr) {
            control->setAccessibleName(QString::fromUtf8(row.name));
        }
        if (row.description != nullptr) {
            control->setAccessibleDescription(QString::fromUtf8(row.description));
        }
        if (auto* area = qobject_cast<QAbstractScrollArea*>(control)) {
            nameScrollBars(*area);
        }
    }
}

void describeMessageBox(QMessageBox& box) {
    box.setAccessibleName(box.windowTitle());
    box.setAccessibleDescription(box.text());
}

QMessageBox::StandardButton showMessage(QWidget* parent, QMessageBox::Icon icon,
                                        const QString& title, const QString& text,
                                        QMessageBox::StandardButtons buttons,
                                        QMessageBox::StandardButton byDefault) {
    QMessageBox box(icon, title, text, buttons, parent);
    box.setDefaultButton(byDefault);
    describeMessageBox(box);
    box.exec();
    return box.standardButton(box.clickedButton()); // NoButton when closed otherwise
}

} // namespace duoptic

#include "ViewFrm/CenterBorderPrompt.h"

#include "base/AccessibleNames.h"
#include "base/CentreOnScreen.h"
#include "base/DialogFont.h"

#include <QDialogButtonBox>
#include <QInputDialog>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <utility>

namespace duoptic {

namespace {

// What a screen reader says for the prompt's controls.
constexpr AccessibleText kPromptAccessibleTexts[] = {
    {"edBorder", "Center border", "The gap between the two image areas, in pixels"},
    {"bnOK", "OK", "Sets the gap"},
    {"bnCancel", "Cancel", "Keeps the gap as it is"},
};

// The dialog's own controls get object names, so that the table can find them.
void nameParts(QInputDialog& dialog) {
    if (auto* edit = dialog.findChild<QLineEdit*>()) {
        edit->setObjectName(QStringLiteral("edBorder"));
    }
    if (auto* buttons = dialog.findChild<QDialogButtonBox*>()) {
        for (const auto& [role, name] : {std::pair{QDialogButtonBox::Ok, "bnOK"},
                                         std::pair{QDialogButtonBox::Cancel, "bnCancel"}}) {
            if (QPushButton* button = buttons->button(role)) {
                button->setObjectName(QString::fromLatin1(name));
            }
        }
    }
    setAccessibleTexts(dialog, kPromptAccessibleTexts);
}

} // namespace

std::optional<QString> askCenterBorder(QWidget* parent, const QString& label,
                                       const QString& preset) {
    QInputDialog dialog(parent);
    dialog.setFont(dialogFont());
    dialog.setWindowTitle(QStringLiteral("Center Border"));
    dialog.setLabelText(label);
    dialog.setTextValue(preset);
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QStringLiteral("キャンセル"));
    if (auto* edit = dialog.findChild<QLineEdit*>()) {
        edit->setMaxLength(255);
        edit->selectAll();
    }
    nameParts(dialog);
    dialog.adjustSize();
    centreOnScreen(dialog);
    // A prompt of one line has nothing to gain from resizing. The dialog lays itself out again
    // when it is shown, which lifts limits set before: the size is fixed once it is up.
    QTimer::singleShot(0, &dialog, [&dialog] {
        dialog.layout()->setSizeConstraint(QLayout::SetFixedSize);
        dialog.setFixedSize(dialog.size());
    });
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.textValue();
}

} // namespace duoptic

#include "ViewFrm/CenterBorderPrompt.h"

#include "base/CentreOnScreen.h"
#include "base/DialogFont.h"

#include <QInputDialog>
#include <QLayout>
#include <QLineEdit>
#include <QTimer>

namespace duoptic {

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

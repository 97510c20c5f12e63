#pragma once

#include <QString>

#include <optional>

class QWidget;

namespace duoptic {

// The center-border prompt over `parent`, centred on the screen, of a size that cannot change:
// the answer text, or nothing when it was cancelled.
std::optional<QString> askCenterBorder(QWidget* parent, const QString& label,
                                       const QString& preset);

} // namespace duoptic

#include "FilerFrm/TypeAhead.h"

namespace duoptic {

void TypeAhead::startAnewAfterPause(std::int64_t nowMs) {
    if (!anyKey_ || nowMs - lastKeyMs_ >= kPauseMs) {
        text_.clear();
    }
    anyKey_ = true;
    lastKeyMs_ = nowMs;
}

const QString& TypeAhead::type(const QString& text, std::int64_t nowMs) {
    startAnewAfterPause(nowMs);
    text_ += text;
    return text_;
}

const QString& TypeAhead::backspace(std::int64_t nowMs) {
    startAnewAfterPause(nowMs);
    // A character outside the Basic Multilingual Plane is two code units; drop both.
    const qsizetype cut = text_.size() >= 2 && text_.back().isLowSurrogate() ? 2 : 1;
    text_.chop(cut);
    return text_;
}

int firstRowStartingWith(const QStringList& rows, const QString& text) {
    for (qsizetype row = 0; row < rows.size(); ++row) {
        if (rows[row].startsWith(text, Qt::CaseInsensitive)) {
            return static_cast<int>(row);
        }
    }
    return -1;
}

} // namespace duoptic

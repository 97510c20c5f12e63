#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>

namespace duoptic {

// The search text of a list that finds a row by typing its first letters. Keys less than
// kPauseMs apart extend the text; after a longer pause the text starts anew.
class TypeAhead {
public:
    static constexpr std::int64_t kPauseMs = 500;

    // Each returns the search text after the key; nowMs is any steady clock in milliseconds.
    const QString& type(const QString& text, std::int64_t nowMs);
    const QString& backspace(std::int64_t nowMs);

    const QString& text() const { return text_; }

private:
    void startAnewAfterPause(std::int64_t nowMs);

    QString text_;
    std::int64_t lastKeyMs_ = 0;
    bool anyKey_ = false;
};

// The first row that begins with `text`, letter case ignored; -1 when none does. An empty text
// finds the first row.
int firstRowStartingWith(const QStringList& rows, const QString& text);

} // namespace duoptic

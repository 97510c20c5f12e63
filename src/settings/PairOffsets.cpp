#include "settings/PairOffsets.h"

#include "base/Error.h"
#include "base/Messages.h"
#include "settings/FileText.h"
#include "settings/SaveFile.h"
#include "settings/UserFolders.h"

#include <algorithm>
#include <charconv>
#include <iostream>
#include <string_view>
#include <vector>

namespace duoptic {

namespace {

using Entries = std::map<PairKey, PairOffset>;

constexpr std::string_view kHeader =
    "# Offset of the right eye against the left, per pair: key, dx and dy in image pixels, "
    "roll in tenths of a degree\n";

// Everything goes out in one write, so that messages of other threads cannot cut into it.
void report(const std::string& text) {
    std::cerr << ("Pair offsets: " + text + "\n") << std::flush;
}

std::vector<std::string_view> fieldsOf(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t at = 0;
    while ((at = line.find_first_not_of(" \t", at)) != std::string_view::npos) {
        const std::size_t end = std::min(line.find_first_of(" \t", at), line.size());
        fields.push_back(line.substr(at, end - at));
        at = end;
    }
    return fields;
}

std::optional<int> numberIn(std::string_view field, int limit) {
    int value = 0;
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (error != std::errc() || end != field.data() + field.size() || value < -limit ||
        value > limit) {
        return std::nullopt;
    }
    return value;
}

enum class LineKind { Note, Entry, Damaged };

LineKind parseLine(std::string_view line, Entries& entries) {
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    const std::vector<std::string_view> fields = fieldsOf(line);
    if (fields.empty() || fields.front().front() == '#') {
        return LineKind::Note;
    }
    if (fields.size() != 3 && fields.size() != 4) {
        return LineKind::Damaged;
    }
    const std::optional<PairKey> key = PairKey::fromText(fields[0]);
    const std::optional<int> dx = numberIn(fields[1], PairOffset::kMaxShift);
    const std::optional<int> dy = numberIn(fields[2], PairOffset::kMaxShift);
    const std::optional<int> roll =
        fields.size() == 4 ? numberIn(fields[3], PairOffset::kMaxRoll) : 0;
    if (!key || !dx || !dy || !roll) {
        return LineKind::Damaged;
    }
    // A later line wins, so that a line added by hand at the end overrides.
    const PairOffset offset{*dx, *dy, *roll};
    if (offset == PairOffset{}) {
        entries.erase(*key);
    } else {
        entries[*key] = offset;
    }
    return LineKind::Entry;
}

// The damaged lines in one message, whatever their number: a store overwritten with something
// else must not flood the terminal.
void reportDamagedLines(const std::string& path, const std::vector<std::size_t>& lines) {
    constexpr std::size_t kNamed = 5;
    std::string which = lines.size() == 1 ? "line " : "lines ";
    for (std::size_t i = 0; i < std::min(lines.size(), kNamed); ++i) {
        which += (i == 0 ? "" : ", ") + std::to_string(lines[i]);
    }
    if (lines.size() > kNamed) {
        which += ", ... (" + std::to_string(lines.size()) + " in all)";
    }
    report(path + ": " + which + (lines.size() == 1 ? " is not an entry" : " are not entries") +
           "; skipped, and left out when the file is next written");
}

struct StoreFile {
    Entries entries;
    bool rewritable = false; // false when writing it would lose what could not be read
};

StoreFile readStore(const std::string& path, bool reportDamage) {
    FileText file = readFileText(path, PairOffsetStore::kMaxFileSize);
    if (file.state == FileText::State::Unreadable) {
        if (reportDamage) {
            report(messages::cannotOpenFile(path));
        }
        return {};
    }
    if (file.state == FileText::State::Cut) {
        // The last line read is most likely cut in the middle.
        file.text.erase(file.text.rfind('\n') + 1);
        if (reportDamage) {
            report(path + ": larger than " + std::to_string(PairOffsetStore::kMaxFileSize) +
                   " bytes; only its start is read, and it is not written again");
        }
    }
    StoreFile store;
    std::vector<std::size_t> damaged;
    std::string_view rest = file.text;
    for (std::size_t number = 1; !rest.empty(); ++number) {
        const std::size_t end = std::min(rest.find('\n'), rest.size());
        if (parseLine(rest.substr(0, end), store.entries) == LineKind::Damaged) {
            damaged.push_back(number);
        }
        rest.remove_prefix(std::min(end + 1, rest.size()));
    }
    if (reportDamage && !damaged.empty()) {
        reportDamagedLines(path, damaged);
    }
    store.rewritable = file.state != FileText::State::Cut;
    return store;
}

std::string storeText(const Entries& entries) {
    std::string text(kHeader);
    for (const auto& [key, offset] : entries) {
        text += key.text() + ' ' + std::to_string(offset.dx) + ' ' + std::to_string(offset.dy) +
                ' ' + std::to_string(offset.roll) + '\n';
    }
    return text;
}

void apply(Entries& entries, PairKey key, const PairOffset& offset) {
    if (offset == PairOffset{}) {
        entries.erase(key);
    } else {
        entries[key] = offset;
    }
}

} // namespace

PairOffsetStore PairOffsetStore::open() {
    const std::string folder = userDataFolder();
    if (folder.empty()) {
        report("neither $XDG_DATA_HOME nor $HOME is set; offsets are kept until the viewer quits");
        return open(std::string());
    }
    return open(folder + "/duoptic/offsets");
}

PairOffsetStore PairOffsetStore::open(const std::string& path) {
    PairOffsetStore store(path);
    if (!path.empty()) {
        store.entries_ = readStore(path, true).entries;
    }
    return store;
}

std::optional<PairOffset> PairOffsetStore::find(PairKey key) const {
    const auto found = entries_.find(key);
    return found == entries_.end() ? std::nullopt : std::optional(found->second);
}

void PairOffsetStore::set(PairKey key, PairOffset offset) {
    offset.dx = std::clamp(offset.dx, -PairOffset::kMaxShift, PairOffset::kMaxShift);
    offset.dy = std::clamp(offset.dy, -PairOffset::kMaxShift, PairOffset::kMaxShift);
    offset.roll = std::clamp(offset.roll, -PairOffset::kMaxRoll, PairOffset::kMaxRoll);
    if (find(key).value_or(PairOffset{}) == offset) {
        return;
    }
    apply(entries_, key, offset);
    unwritten_[key] = offset;
    write();
}

void PairOffsetStore::write() {
    if (path_.empty()) {
        return; // said once, when the store was opened
    }
    // The file as it is now, so that the entries another copy of the viewer wrote since this one
    // read it stay; this copy's own changes go on top.
    StoreFile onDisk = readStore(path_, false);
    bool written = false;
    if (onDisk.rewritable) {
        for (const auto& [key, offset] : unwritten_) {
            apply(onDisk.entries, key, offset);
        }
        try {
            saveFileAtomically(path_, storeText(onDisk.entries));
            entries_ = std::move(onDisk.entries);
            unwritten_.clear();
            written = true;
        } catch (const Error&) {
        }
    }
    // Once for a run of failures: holding an arrow key must not repeat it for every pixel.
    if (!written && !writeFailureReported_) {
        report(messages::cannotWrite(path_));
    }
    writeFailureReported_ = !written;
}

} // namespace duoptic

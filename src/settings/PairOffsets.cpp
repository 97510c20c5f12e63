#include "settings/PairOffsets.h"

#include "base/Error.h"
#include "base/Messages.h"
#include "settings/FileText.h"
#include "settings/SaveFile.h"
#include "settings/UserFolders.h"

#include <algorithm>
#include <iostream>

namespace duoptic {

namespace {

// Everything goes out in one write, so that messages of other threads cannot cut into it.
void report(const std::string& text) {
    std::cerr << ("Pair offsets: " + text + "\n") << std::flush;
}

// The damaged lines in one message, whatever their number: a store overwritten with something
// else must not flood the terminal.
void reportDamagedLines(const std::string& path, const ParsedOffsets& parsed) {
    const std::size_t count = parsed.damagedLines;
    std::string which = count == 1 ? "line " : "lines ";
    for (const std::size_t line : parsed.firstDamagedLines) {
        which += (line == parsed.firstDamagedLines.front() ? "" : ", ") + std::to_string(line);
    }
    if (count > parsed.firstDamagedLines.size()) {
        which += ", ... (" + std::to_string(count) + " in all)";
    }
    report(path + ": " + which + (count == 1 ? " is not an entry" : " are not entries") +
           "; skipped, and left out when the file is next written");
}

struct StoreFile {
    PairOffsets offsets;
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
    ParsedOffsets parsed = parsePairOffsets(file.text);
    if (reportDamage && parsed.damagedLines > 0) {
        reportDamagedLines(path, parsed);
    }
    return {std::move(parsed.offsets), file.state != FileText::State::Cut};
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
        store.offsets_ = readStore(path, true).offsets;
    }
    return store;
}

std::optional<PairOffset> PairOffsetStore::find(PairKey key) const {
    const auto found = offsets_.find(key);
    return found == offsets_.end() ? std::nullopt : std::optional(found->second);
}

void PairOffsetStore::set(PairKey key, PairOffset offset) {
    offset.dx = std::clamp(offset.dx, -PairOffset::kMaxShift, PairOffset::kMaxShift);
    offset.dy = std::clamp(offset.dy, -PairOffset::kMaxShift, PairOffset::kMaxShift);
    offset.roll = std::clamp(offset.roll, -PairOffset::kMaxRoll, PairOffset::kMaxRoll);
    if (find(key).value_or(PairOffset{}) == offset) {
        return;
    }
    applyOffset(offsets_, key, offset);
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
            applyOffset(onDisk.offsets, key, offset);
        }
        try {
            saveFileAtomically(path_, pairOffsetsText(onDisk.offsets));
            offsets_ = std::move(onDisk.offsets);
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

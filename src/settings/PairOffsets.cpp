#include "settings/PairOffsets.h"

#include "base/Error.h"
#include "base/Messages.h"
#include "settings/DeferredSave.h"
#include "settings/FileText.h"
#include "settings/LockFile.h"
#include "settings/SaveFile.h"
#include "settings/UserFolders.h"

#include <algorithm>
#include <future>
#include <iostream>
#include <mutex>
#include <system_error>

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

// Long enough for the repeats of a held key to come as one change, short enough that a viewer
// closed soon after or a second copy sees the change.
constexpr std::chrono::milliseconds kQuietBeforeWriting{400};

// How long a copy of the viewer may hold the file before this one gives up writing it for now.
constexpr std::chrono::milliseconds kLockPatience{5000};

// The file as it is now with the changes on top, written back in one turn of the lock; what the
// file then holds, or nothing when it could not be written.
std::optional<PairOffsets> writeStore(const std::string& path, const PairOffsets& changes) {
    if (!makeFolderOf(path)) {
        return std::nullopt;
    }
    const LockFile lock(path + ".lock", kLockPatience);
    if (!lock.held()) {
        return std::nullopt;
    }
    // Read again so that the entries another copy of the viewer wrote since this one read the
    // file stay.
    StoreFile onDisk = readStore(path, false);
    if (!onDisk.rewritable) {
        return std::nullopt;
    }
    for (const auto& [key, offset] : changes) {
        applyOffset(onDisk.offsets, key, offset);
    }
    try {
        saveFileAtomically(path, pairOffsetsText(onDisk.offsets));
    } catch (const Error&) {
        return std::nullopt;
    }
    return std::move(onDisk.offsets);
}

} // namespace

struct PairOffsetStore::State {
    explicit State(std::string file) : path(std::move(file)) {}
    ~State() {
        if (!path.empty()) {
            saver.now();
        }
    }
    State(const State&) = delete;
    State& operator=(const State&) = delete;

    // Takes over what the reading thread read, waiting for it if need be. Caller's thread only.
    void awaitReading();
    void save();

    const std::string path;
    std::future<PairOffsets> reading; // until awaitReading() took its result
    std::mutex mutex;                 // guards the two maps: a save replaces them
    PairOffsets offsets;
    PairOffsets unwritten;             // changes not on disk yet, all-zero ones included
    bool writeFailureReported = false; // only saves, which never overlap, touch it
    DeferredSave saver{[this] { save(); }, kQuietBeforeWriting}; // last: stops first
};

void PairOffsetStore::State::awaitReading() {
    if (reading.valid()) {
        PairOffsets read = reading.get();
        const std::lock_guard lock(mutex);
        offsets = std::move(read);
    }
}

void PairOffsetStore::State::save() {
    PairOffsets changes;
    {
        const std::lock_guard lock(mutex);
        changes = unwritten;
    }
    if (changes.empty()) {
        return;
    }
    std::optional<PairOffsets> written = writeStore(path, changes);
    if (written) {
        const std::lock_guard lock(mutex);
        // Changes made while the file was written stay to be written, and stay in force.
        for (const auto& [key, offset] : changes) {
            if (const auto found = unwritten.find(key);
                found != unwritten.end() && found->second == offset) {
                unwritten.erase(found);
            }
        }
        for (const auto& [key, offset] : unwritten) {
            applyOffset(*written, key, offset);
        }
        offsets = std::move(*written);
    }
    // Once for a run of failures: holding an arrow key must not repeat it for every pixel.
    if (!written && !writeFailureReported) {
        report(messages::cannotWrite(path));
    }
    writeFailureReported = !written;
}

PairOffsetStore::PairOffsetStore(std::unique_ptr<State> state) : state_(std::move(state)) {}
PairOffsetStore::PairOffsetStore(PairOffsetStore&&) noexcept = default;
PairOffsetStore& PairOffsetStore::operator=(PairOffsetStore&&) noexcept = default;
PairOffsetStore::~PairOffsetStore() = default;

PairOffsetStore PairOffsetStore::open() {
    const std::string folder = userDataFolder();
    if (folder.empty()) {
        report("neither $XDG_DATA_HOME nor $HOME is set; offsets are kept until the viewer quits");
        return open(std::string());
    }
    return open(folder + "/duoptic/offsets");
}

PairOffsetStore PairOffsetStore::open(const std::string& path) {
    auto state = std::make_unique<State>(path);
    if (!path.empty()) {
        try {
            state->reading =
                std::async(std::launch::async, [path] { return readStore(path, true).offsets; });
        } catch (const std::system_error&) {
            state->offsets = readStore(path, true).offsets; // no thread to spare
        }
    }
    return PairOffsetStore(std::move(state));
}

std::optional<PairOffset> PairOffsetStore::find(PairKey key) const {
    if (!state_) {
        return std::nullopt;
    }
    state_->awaitReading();
    const std::lock_guard lock(state_->mutex);
    const auto found = state_->offsets.find(key);
    return found == state_->offsets.end() ? std::nullopt : std::optional(found->second);
}

void PairOffsetStore::set(PairKey key, PairOffset offset) {
    if (!state_) {
        return;
    }
    offset.dx = std::clamp(offset.dx, -PairOffset::kMaxShift, PairOffset::kMaxShift);
    offset.dy = std::clamp(offset.dy, -PairOffset::kMaxShift, PairOffset::kMaxShift);
    offset.roll = std::clamp(offset.roll, -PairOffset::kMaxRoll, PairOffset::kMaxRoll);
    if (find(key).value_or(PairOffset{}) == offset) {
        return;
    }
    {
        const std::lock_guard lock(state_->mutex);
        applyOffset(state_->offsets, key, offset);
        state_->unwritten[key] = offset;
    }
    if (!state_->path.empty()) { // else said once, when the store was opened
        state_->saver.request();
    }
}

void PairOffsetStore::flush() {
    if (state_ && !state_->path.empty()) {
        state_->saver.now();
    }
}

const std::string& PairOffsetStore::path() const {
    static const std::string none;
    return state_ ? state_->path : none;
}

} // namespace duoptic

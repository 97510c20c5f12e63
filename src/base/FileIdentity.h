#pragma once

#include <cstdint>
#include <optional>
#include <string>

struct stat;

namespace duoptic {

// What tells that a file is still the one read earlier: a file replaced (a new inode), rewritten
// in place (size or time) or touched (time, to the nanosecond) no longer compares equal. The
// change time counts as well: any program may set the modification time back after rewriting a
// file, but only the system sets the change time, to now, on every write.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0; // bytes
    std::int64_t modifiedSeconds = 0;
    std::int64_t modifiedNanoseconds = 0; // 0 to 999999999
    std::int64_t changedSeconds = 0;
    std::int64_t changedNanoseconds = 0; // 0 to 999999999

    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

FileIdentity identityFromStat(const struct stat& info);

// The identity of the file at `path` now (symbolic links followed, as reading does), or nothing
// when it cannot be looked up.
std::optional<FileIdentity> identityOf(const std::string& path);

} // namespace duoptic

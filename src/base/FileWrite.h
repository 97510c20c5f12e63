#pragma once

#include <sys/types.h>

#include <cstdint>
#include <span>
#include <string>

namespace duoptic {

// What the writers of whole files share: the settings' atomic save and the export's output.

// The mode a new file gets: 0666 less the umask. Read rather than set and put back: files are
// written on several threads, and a umask set to 0 even for a moment would loosen another
// thread's files.
mode_t newFileMode();

// Writes all the bytes, going on after an interrupted call. false with errno set on failure (a
// write that made no progress counts as a full disk: ENOSPC).
bool writeAll(int fd, std::span<const std::uint8_t> bytes);

// Past the file size limit (ulimit -f) the kernel kills the writer with SIGXFSZ unless the signal
// is ignored; then write() fails with EFBIG, as on a full disk. A handler that the program
// installed itself stays.
void surviveFileSizeLimit();

// Makes a rename in the folder last; a file system that cannot sync folders loses nothing by it.
void syncFolder(const std::string& folder);

} // namespace duoptic

#pragma once

#include <string>
#include <string_view>

namespace duoptic {

// Replaces the file at path with content so that the file is at every moment either the old one
// or the new one, whole: the content goes into a temporary file in the same folder, reaches the
// disk, and is renamed over the old file. Temporary files that earlier saves left behind when
// they were killed are removed first (see TempFiles.h). A missing folder is created (mode 0700).
// The old file's permission bits are kept; a new file gets 0666 less the umask. A symbolic link is
// followed, so the file it points to is replaced rather than the link.
//
// A file that is read-only (no write bit at all, or not writable for this user), or that is not a
// regular file (a FIFO, a device, a folder), is refused even though the rename could replace it.
// Any failure removes the temporary file, leaves the old file as it was and throws
// Error(messages::cannotWrite(path)).
void saveFileAtomically(const std::string& path, std::string_view content);

} // namespace duoptic

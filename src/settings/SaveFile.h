#pragma once

#include <string>
#include <string_view>

namespace duoptic {

// Replaces the file at path with content so that the file is at every moment either the old one
// or the new one, whole: the content goes into a temporary file in the same folder, reaches the
// disk, and is renamed over the old file. Temporary files that earlier saves left behind when
// they were killed are removed first (see TempFiles.h). A missing folder is created (mode 0700).
// The old file's owner and permission bits are kept; a new file gets 0666 less the umask. A
// symbolic link is replaced itself: nothing is ever opened through it for writing, so a link that
// leads to someone else's file cannot make this user (root in particular) overwrite that file.
//
// A file that is read-only (no write bit at all, or not writable for this user), or that is not a
// regular file (a FIFO, a device, a folder), is refused even though the rename could replace it.
// Any failure removes the temporary file, leaves the old file as it was and throws
// Error(messages::cannotWrite(path)). A content beyond the file size limit (ulimit -f) is such a
// failure: SIGXFSZ is ignored from the first save on unless the program handles it.
void saveFileAtomically(const std::string& path, std::string_view content);

// Creates the folder that path lies in and the missing ones above it, as a save does; false when
// it cannot.
bool makeFolderOf(const std::string& path);

} // namespace duoptic

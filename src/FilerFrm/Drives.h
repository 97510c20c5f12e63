#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace duoptic {

// Linux has no drive letters: the drive selector offers the roots of the mounted file systems that
// hold the user's files, "/" first, then the other mount points in byte order.
std::vector<std::string> driveRootsFromMountTable(std::string_view mountTable);

// The roots of the running system, read from /proc/self/mounts; just "/" when it cannot be read.
std::vector<std::string> readDriveRoots();

// The drive that holds `folder` (an absolute path): the longest root that is the folder itself or
// one of its ancestors. "/" when no other root matches, and "" only when `roots` lacks "/".
std::string driveOf(std::string_view folder, const std::vector<std::string>& roots);

// Picking a drive returns to the folder last shown on it, as a per-drive current directory would.
class DriveMemory {
public:
    void remember(const std::string& root, const std::string& folder) { last_[root] = folder; }
    void forget(const std::string& root) { last_.erase(root); }
    std::optional<std::string> lastFolderOn(const std::string& root) const;

private:
    std::map<std::string, std::string> last_;
};

// The memory the Filer keeps for the whole run of the program, across its openings.
DriveMemory& filerDriveMemory();

} // namespace duoptic

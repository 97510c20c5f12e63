#include "FilerFrm/Drives.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <iterator>
#include <sstream>

namespace duoptic {

namespace {

// Kernel and service file systems: none of them holds pictures a user would browse.
constexpr std::array kPseudoTypes = {
    std::string_view("autofs"),    std::string_view("binfmt_misc"), std::string_view("bpf"),
    std::string_view("cgroup"),    std::string_view("cgroup2"),     std::string_view("configfs"),
    std::string_view("debugfs"),   std::string_view("devpts"),      std::string_view("devtmpfs"),
    std::string_view("efivarfs"),  std::string_view("fusectl"),     std::string_view("hugetlbfs"),
    std::string_view("mqueue"),    std::string_view("nsfs"),        std::string_view("proc"),
    std::string_view("pstore"),    std::string_view("rpc_pipefs"),  std::string_view("securityfs"),
    std::string_view("selinuxfs"), std::string_view("sysfs"),       std::string_view("tracefs"),
};

bool isUnder(std::string_view path, std::string_view folder) {
    return path == folder ||
           (path.size() > folder.size() && path.starts_with(folder) && path[folder.size()] == '/');
}

// Mount points of the system's own bookkeeping (/dev/shm, /run/user/1000, ...) are left out,
// whatever their type; removable media mounted under /run/media stay.
bool isSystemMountPoint(std::string_view root) {
    if (isUnder(root, "/run")) {
        return !isUnder(root, "/run/media");
    }
    return isUnder(root, "/proc") || isUnder(root, "/sys") || isUnder(root, "/dev");
}

// The mount table writes space, tab, newline and backslash as three octal digits after "\".
std::string unescapeMountField(std::string_view field) {
    std::string out;
    out.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        const auto isOctal = [&](std::size_t k) {
            return k < field.size() && field[k] >= '0' && field[k] <= '7';
        };
        if (field[i] == '\\' && isOctal(i + 1) && isOctal(i + 2) && isOctal(i + 3)) {
            out += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 +
                                     (field[i + 3] - '0'));
            i += 3;
        } else {
            out += field[i];
        }
    }
    return out;
}

} // namespace

std::vector<std::string> driveRootsFromMountTable(std::string_view mountTable) {
    std::vector<std::string> others;
    std::istringstream lines{std::string(mountTable)};
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string device, root, type;
        if (!(fields >> device >> root >> type)) {
            continue;
        }
        root = unescapeMountField(root);
        const bool pseudo =
            std::find(kPseudoTypes.begin(), kPseudoTypes.end(), type) != kPseudoTypes.end();
        if (root.empty() || root.front() != '/' || root == "/" || pseudo ||
            isSystemMountPoint(root)) {
            continue;
        }
        others.push_back(std::move(root));
    }
    std::sort(others.begin(), others.end());
    others.erase(std::unique(others.begin(), others.end()), others.end());
    std::vector<std::string> roots{"/"};
    roots.insert(roots.end(), std::make_move_iterator(others.begin()),
                 std::make_move_iterator(others.end()));
    return roots;
}

std::vector<std::string> readDriveRoots() {
    std::ifstream file("/proc/self/mounts");
    std::ostringstream text;
    text << file.rdbuf();
    return driveRootsFromMountTable(text.str());
}

std::string driveOf(std::string_view folder, const std::vector<std::string>& roots) {
    std::string best;
    for (const std::string& root : roots) {
        const bool holds = root == "/" ? folder.starts_with('/') : isUnder(folder, root);
        if (holds && root.size() > best.size()) {
            best = root;
        }
    }
    return best;
}

std::optional<std::string> DriveMemory::lastFolderOn(const std::string& root) const {
    const auto it = last_.find(root);
    if (it == last_.end()) {
        return std::nullopt;
    }
    return it->second;
}

DriveMemory& filerDriveMemory() {
    static DriveMemory memory;
    return memory;
}

} // namespace duoptic

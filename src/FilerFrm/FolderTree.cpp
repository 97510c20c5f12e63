#include "FilerFrm/FolderTree.h"

#include "base/Error.h"
#include "base/Paths.h"
#include "catalogue/AsciiCase.h"
#include "catalogue/DirectoryEntries.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace duoptic {

namespace {

// The names between the separators; doubled separators give no empty names.
std::vector<std::string> pathComponents(const std::string& folder) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= folder.size()) {
        const std::size_t end = std::min(folder.find('/', start), folder.size());
        if (end > start) {
            parts.push_back(folder.substr(start, end - start));
        }
        start = end + 1;
    }
    return parts;
}

} // namespace

std::vector<std::string> subfolderNames(const std::string& folder) {
    std::vector<std::string> names;
    DirectoryEntries dir(folder);
    while (const std::optional<std::string_view> name = dir.next()) {
        if (name->front() != '.' && dir.kind() == EntryKind::Folder) {
            names.emplace_back(*name);
        }
    }
    // The order of the file list: ASCII case folded to lower, names equal so ordered by bytes.
    std::vector<std::pair<std::string, std::string>> keyed;
    keyed.reserve(names.size());
    for (std::string& name : names) {
        keyed.emplace_back(asciiLower(name), std::move(name));
    }
    std::sort(keyed.begin(), keyed.end());
    names.clear();
    for (auto& [key, name] : keyed) {
        names.push_back(std::move(name));
    }
    return names;
}

std::vector<FolderRow> folderTreeRows(const std::string& folder) {
    std::vector<FolderRow> rows{{"/", "/", 0, true}};
    std::string path;
    for (std::string& part : pathComponents(folder)) {
        path += '/';
        path += part;
        rows.push_back({path, std::move(part), static_cast<int>(rows.size()), true});
    }
    const int childLevel = static_cast<int>(rows.size());
    const std::string prefix = withTrailingSeparator(path);
    for (std::string& name : subfolderNames(rows.back().path)) {
        rows.push_back({prefix + name, std::move(name), childLevel, false});
    }
    return rows;
}

std::string currentDirectory() {
    std::string buffer(256, '\0');
    while (getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE) {
            return {};
        }
        buffer.resize(buffer.size() * 2);
    }
    buffer.resize(std::strlen(buffer.c_str()));
    return buffer;
}

void changeCurrentDirectory(const std::string& folder) {
    if (::chdir(folder.c_str()) != 0) {
        throw Error(folder + ": " + std::strerror(errno));
    }
}

} // namespace duoptic

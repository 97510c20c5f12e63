#pragma once

#include <string>
#include <vector>

namespace duoptic {

// One row of the folder tree. Paths and labels are bytes, as the file system holds them.
struct FolderRow {
    std::string path;    // the folder the row stands for, absolute, no trailing "/" but for "/"
    std::string label;   // what the row shows: the folder's own name, "/" for the root
    int level = 0;       // indentation: 0 for "/", one more per folder below it
    bool onPath = false; // "/" and the folders down to the current one, which closes the path

    friend bool operator==(const FolderRow&, const FolderRow&) = default;
};

// The rows the tree shows for `folder` (absolute): the path from "/" down to the folder, one row a
// level, then the folder's subfolders (subfolderNames) one level further in.
std::vector<FolderRow> folderTreeRows(const std::string& folder);

// The folders inside `folder` that are not hidden (a name beginning with "."), symbolic links to
// folders included, sorted ignoring ASCII case. A folder that cannot be read has none.
std::vector<std::string> subfolderNames(const std::string& folder);

// The process's current directory as the platform reports it: absolute, with no trailing "/"
// except for the root. Empty when it cannot be told (the folder was removed, say).
std::string currentDirectory();

// Makes `folder` the process's current directory. Throws Error("<folder>: <reason>") when the
// platform refuses, leaving the current directory as it was.
void changeCurrentDirectory(const std::string& folder);

} // namespace duoptic

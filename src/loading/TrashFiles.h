#pragma once

#include <string>
#include <vector>

namespace duoptic {

// Where one file went: into a trash, or nowhere, in which case it is where it was.
struct TrashedFile {
    std::string path;    // as it was given
    std::string inTrash; // its place in the trash; empty when it stayed
    std::string why;     // why it stayed
    bool trashed() const { return !inTrash.empty(); }
};

// Moves each file into the freedesktop trash that takes it (the home trash, or the trash of the
// file's own volume), with its .trashinfo, each tried whatever became of the others. Nothing is
// ever deleted: a file that no trash takes stays where it is.
std::vector<TrashedFile> moveFilesToTrash(const std::vector<std::string>& files);

// What the user is told when not every file went: each file, and where it is now.
std::string trashReport(const std::vector<TrashedFile>& files);

} // namespace duoptic

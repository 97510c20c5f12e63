#pragma once

#include "catalogue/PairList.h"

#include <string>

namespace duoptic {

// Where a path handed to the program (on the command line, or dropped on the window) leads.
struct PathTarget {
    enum Kind {
        Folder,  // a folder: scanned, and kept as the last folder
        File,    // a regular file: its folder is scanned; it may or may not be one of a pair
        Missing, // nothing (or nothing usable, such as a FIFO) by that name
    } kind = Missing;
    std::string folder; // absolute, without a trailing "/" (except the root itself)
    std::string file;   // for File: folder + "/" + the name, as the scan of the folder spells it
};

// Paths are bytes; a relative path is taken against the current directory. Links are followed.
PathTarget examinePath(const std::string& path);

// The number of the entry whose files include `file` (either eye's file of a two-file pair, a
// side-by-side file, an MPO file), or 0 when none does.
int entryOfFile(const PairList& list, const std::string& file);

} // namespace duoptic

#pragma once

#include "catalogue/PairList.h"

#include <string>

namespace duoptic {

// The pairs that a path handed to the program (command line, drop) leads to: its folder's Pair
// list and, for a file of a pair, that pair's entry (0 for a folder).
struct PathPairs {
    std::string folder;
    PairList list;
    int entry = 0;
};

// Throws Error for a path that leads nowhere or to a file that belongs to no pair of its folder.
PathPairs findPathPairs(const std::string& path);

} // namespace duoptic

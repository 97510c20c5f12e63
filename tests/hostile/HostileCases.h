#pragma once

#include "catalogue/PairKind.h"

#include <cstdint>
#include <functional>
#include <ostream>
#include <stop_token>
#include <string>
#include <vector>

namespace duoptic::test {

enum class Expect {
    AsDecoded,         // the window shows what a decoder alone makes of `bytes`: picture or error
    CannotOpen,        // the load fails to open the hostile file, naming it
    PictureOrJpegError // the bytes change during the load: any picture of theirs, or a JPEG error
};

// What one case leaves in the pair folder, and what the load of its one pair must give.
struct HostilePair {
    PairKind kind = PairKind::Parallel;
    std::string hostileName; // the file of the pair that is hostile, in the pair folder
    Expect expect = Expect::AsDecoded;
    std::vector<std::uint8_t> bytes; // what the hostile file holds when the load reads it
    bool listed = true;              // the scan lists the pair
    std::function<void()> afterScan; // changes the folder between scan and load
    std::function<void(std::stop_token)> duringLoad; // runs on a thread while the pair loads
    std::string skip;                                // why the case cannot run here, if it cannot
};

struct HostileCase {
    std::string name;
    std::function<HostilePair(const std::string& folder)> make; // folder ends in "/"

    // Failures name the row instead of dumping its functions.
    friend void PrintTo(const HostileCase& c, std::ostream* out) { *out << c.name; }
};

std::vector<HostileCase> hostileCases();

// The readable file of a two-file pair whose other file is the hostile one.
std::vector<std::uint8_t> goodPairFile();

} // namespace duoptic::test

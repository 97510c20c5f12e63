#pragma once

#include <cstddef>
#include <string>

namespace duoptic {

// The text of a file as far as it could be read, and whether that is all of it.
struct FileText {
    enum class State {
        Missing,    // nothing at the path: empty text
        Whole,      // the whole file
        Cut,        // the first maxSize bytes of a larger file
        Unreadable, // something is there that could not be read as a file: empty text
    };
    State state = State::Missing;
    std::string text;
};

// Reads at most maxSize bytes of a regular file, as readWholeFile does (base/FileRead.h). Only a
// path that leads nowhere is Missing; a folder, a FIFO, a device, a file this user may not read,
// a link loop or a read error is Unreadable. Nothing but a regular file is read from, and no
// open waits, so reading cannot block.
FileText readFileText(const std::string& path, std::size_t maxSize);

} // namespace duoptic

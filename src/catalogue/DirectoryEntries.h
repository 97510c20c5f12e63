#pragma once

#include <dirent.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace duoptic {

// What an entry is after following symbolic links; a dangling link is Other.
enum class EntryKind : unsigned char { File, Folder, Other };

// The entries of one folder, read one at a time as the file system delivers them, without "."
// and "..". The folder stays open while the object lives.
class DirectoryEntries {
public:
    // A folder that is missing or cannot be read has no entries; opened() tells it apart.
    explicit DirectoryEntries(const std::string& folder);

    bool opened() const { return dir_ != nullptr; }

    // The next name (bytes, as stored), or nothing once all were read. The view lasts until the
    // next call.
    std::optional<std::string_view> next();

    // The kind of the entry that next() returned last. Asks the file system only when the folder
    // listing cannot tell: for links, which must be followed, and on file systems that leave the
    // type out.
    EntryKind kind() const;

private:
    struct Closer {
        void operator()(DIR* dir) const { closedir(dir); }
    };

    std::unique_ptr<DIR, Closer> dir_;
    const dirent* current_ = nullptr;
};

} // namespace duoptic

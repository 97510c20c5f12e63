#include "settings/FileText.h"

#include "base/FileDescriptor.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace duoptic {

namespace {

// Appends up to maxSize + 1 bytes, so that the caller can tell a larger file; false on a read
// error, which would otherwise pass for the end of the file.
bool readUpTo(int fd, std::size_t maxSize, std::string& text) {
    char buffer[65536];
    while (text.size() <= maxSize) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return false;
        }
        if (got == 0) {
            return true;
        }
        text.append(buffer, static_cast<std::size_t>(got));
    }
    return true;
}

} // namespace

FileText readFileText(const std::string& path, std::size_t maxSize) {
    // stat before open: opening some devices has side effects even without reading.
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
        return {errno == ENOENT ? FileText::State::Missing : FileText::State::Unreadable, {}};
    }
    if (!S_ISREG(info.st_mode)) {
        return {FileText::State::Unreadable, {}};
    }
    const FileDescriptor fd(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (fd.get() < 0) {
        return {errno == ENOENT ? FileText::State::Missing : FileText::State::Unreadable, {}};
    }
    // The file may have been replaced between stat and open.
    FileText result{FileText::State::Whole, {}};
    if (fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode) ||
        !readUpTo(fd.get(), maxSize, result.text)) {
        return {FileText::State::Unreadable, {}};
    }
    if (result.text.size() > maxSize) {
        result.text.resize(maxSize);
        result.state = FileText::State::Cut;
    }
    return result;
}

} // namespace duoptic

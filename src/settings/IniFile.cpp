#include "settings/IniFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace duoptic {

namespace {

constexpr std::string_view kBlanks = " \t";
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

std::string_view trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

bool equalIgnoringAsciiCase(std::string_view a, std::string_view b) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

// What one line of the file means. Lines that are neither a section header nor a key line
// (comments, garbage) have kind Other and are only ever carried along.
struct LineMeaning {
    enum class Kind { Other, Section, Key };
    Kind kind = Kind::Other;
    std::string_view name;
    std::string_view value;
};

LineMeaning meaningOf(std::string_view line) {
    // An editor may have saved the file with a byte order mark in front of the first header.
    if (line.starts_with(kUtf8Bom)) {
        line.remove_prefix(kUtf8Bom.size());
    }
    line = trimmed(line);
    if (line.starts_with('[')) {
        const std::size_t close = line.rfind(']');
        if (close == std::string_view::npos) {
            return {};
        }
        return {LineMeaning::Kind::Section, trimmed(line.substr(1, close - 1)), {}};
    }
    const std::size_t equals = line.find('=');
    if (line.starts_with(';') || equals == std::string_view::npos) {
        return {};
    }
    return {LineMeaning::Kind::Key, trimmed(line.substr(0, equals)),
            trimmed(line.substr(equals + 1))};
}

bool isUtf8Continuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

bool isUtf8Lead(char c) {
    return static_cast<unsigned char>(c) >= 0xC0;
}

// Cuts to kMaxValueLength bytes; a UTF-8 sequence that the cut would split is dropped whole.
std::string_view cutValue(std::string_view value) {
    if (value.size() <= IniFile::kMaxValueLength) {
        return value;
    }
    std::size_t cut = IniFile::kMaxValueLength;
    for (int step = 0; step < 3 && isUtf8Continuation(value[cut]); ++step) {
        --cut;
    }
    if (!isUtf8Lead(value[cut])) {
        cut = IniFile::kMaxValueLength; // not UTF-8 anyway: keep the bytes as they are
    }
    return value.substr(0, cut);
}

std::string_view unquoted(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

std::string keyLine(std::string_view key, std::string_view value) {
    value = value.substr(0, value.find_first_of("\r\n"));
    std::string line;
    line.reserve(key.size() + 1 + value.size());
    line.append(key).append("=").append(value);
    return line;
}

std::string readRegularFile(const std::string& path, bool& cut) {
    cut = false;
    // stat before open: opening some devices has side effects even without reading.
    struct stat info {};
    if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return {};
    }
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        return {};
    }
    std::string text;
    // The file may have been replaced between stat and open.
    if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        char buffer[65536];
        while (text.size() <= IniFile::kMaxFileSize) {
            const ssize_t got = ::read(fd, buffer, sizeof buffer);
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got <= 0) {
                break;
            }
            text.append(buffer, static_cast<std::size_t>(got));
        }
    }
    close(fd);
    if (text.size() > IniFile::kMaxFileSize) {
        text.resize(IniFile::kMaxFileSize);
        cut = true;
    }
    return text;
}

} // namespace

IniFile IniFile::parse(std::string_view text) {
    IniFile file;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        file.lines_.emplace_back(line);
    }
    return file;
}

IniFile IniFile::load(const std::string& path) {
    bool cut = false;
    IniFile file = parse(readRegularFile(path, cut));
    file.complete_ = !cut;
    return file;
}

std::optional<std::string> IniFile::read(std::string_view section, std::string_view key) const {
    const std::optional<std::size_t> header = findSection(section);
    if (!header) {
        return std::nullopt;
    }
    const std::optional<std::size_t> line = findKey(*header, key);
    if (!line) {
        return std::nullopt;
    }
    return std::string(cutValue(unquoted(meaningOf(lines_[*line]).value)));
}

void IniFile::write(std::string_view section, std::string_view key, std::string_view value) {
    const std::optional<std::size_t> header = findSection(section);
    if (!header) {
        appendSection(section, keyLine(key, value));
        return;
    }
    if (const std::optional<std::size_t> line = findKey(*header, key)) {
        lines_[*line] = keyLine(meaningOf(lines_[*line]).name, value);
        return;
    }
    // Blank lines at the end of a section separate it from the next one; keep them after it.
    std::size_t insertAt = sectionEnd(*header);
    while (insertAt > *header + 1 && trimmed(lines_[insertAt - 1]).empty()) {
        --insertAt;
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt), keyLine(key, value));
}

std::string IniFile::text() const {
    std::size_t size = 0;
    for (const std::string& line : lines_) {
        size += line.size() + 2;
    }
    std::string text;
    text.reserve(size);
    for (const std::string& line : lines_) {
        text.append(line).append("\r\n");
    }
    return text;
}

std::optional<std::size_t> IniFile::findSection(std::string_view section) const {
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const LineMeaning meaning = meaningOf(lines_[i]);
        if (meaning.kind == LineMeaning::Kind::Section &&
            equalIgnoringAsciiCase(meaning.name, section)) {
            return i;
        }
    }
    return std::nullopt;
}

std::size_t IniFile::sectionEnd(std::size_t header) const {
    std::size_t i = header + 1;
    while (i < lines_.size() && meaningOf(lines_[i]).kind != LineMeaning::Kind::Section) {
        ++i;
    }
    return i;
}

std::optional<std::size_t> IniFile::findKey(std::size_t header, std::string_view key) const {
    const std::size_t end = sectionEnd(header);
    for (std::size_t i = header + 1; i < end; ++i) {
        const LineMeaning meaning = meaningOf(lines_[i]);
        if (meaning.kind == LineMeaning::Kind::Key && equalIgnoringAsciiCase(meaning.name, key)) {
            return i;
        }
    }
    return std::nullopt;
}

void IniFile::appendSection(std::string_view section, std::string line) {
    // A blank line between sections, as people write them by hand.
    if (!lines_.empty() && !trimmed(lines_.back()).empty()) {
        lines_.emplace_back();
    }
    lines_.push_back("[" + std::string(section) + "]");
    lines_.push_back(std::move(line));
}

} // namespace duoptic

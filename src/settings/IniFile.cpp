#include "settings/IniFile.h"

#include "base/Utf8.h"

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

// Cuts to kMaxValueLength characters; a character is never split.
std::string_view cutValue(std::string_view value) {
    return value.substr(0, bytesOfCharacters(value, IniFile::kMaxValueLength));
}

std::string_view unquoted(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

std::string_view readBack(std::string_view stored) {
    return cutValue(unquoted(trimmed(stored)));
}

// The text after "=" that read() turns back into value, or nullopt when there is none.
std::optional<std::string> storedForm(std::string_view value) {
    // A line break would end the line, and what follows it would stand as a line of its own.
    if (value.find_first_of("\r\n") != std::string_view::npos) {
        return std::nullopt;
    }
    if (readBack(value) == value) {
        return std::string(value);
    }
    // The reader drops blanks around a value and one pair of enclosing quotes; quotes around the
    // whole value keep both.
    std::string quoted = "\"" + std::string(value) + "\"";
    if (readBack(quoted) == value) {
        return quoted;
    }
    return std::nullopt;
}

std::string keyLine(std::string_view key, std::string_view stored) {
    std::string line;
    line.reserve(key.size() + 1 + stored.size());
    line.append(key).append("=").append(stored);
    return line;
}

bool endsALine(std::string_view end) {
    return end.ends_with('\n');
}

} // namespace

IniFile IniFile::parse(std::string_view text) {
    IniFile file;
    while (!text.empty()) {
        const std::size_t newline = text.find('\n');
        std::string_view line = text.substr(0, newline);
        text.remove_prefix(newline == std::string_view::npos ? text.size() : newline + 1);
        std::string_view end = newline == std::string_view::npos ? "" : "\n";
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
            end = end.empty() ? "\r" : "\r\n";
        }
        file.lines_.push_back({std::string(line), end});
    }
    for (const Line& line : file.lines_) {
        if (endsALine(line.end)) {
            file.newLineEnd_ = line.end;
            break;
        }
    }
    return file;
}

IniFile IniFile::load(const std::string& path) {
    return fromFile(readFileText(path, kMaxFileSize));
}

IniFile IniFile::fromFile(const FileText& file) {
    if (file.state == FileText::State::Unreadable) {
        IniFile unreadable;
        unreadable.rewritable_ = false;
        return unreadable;
    }
    IniFile ini = parse(file.text);
    ini.rewritable_ = file.state != FileText::State::Cut;
    return ini;
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
    return std::string(readBack(meaningOf(lines_[*line].text).value));
}

bool IniFile::write(std::string_view section, std::string_view key, std::string_view value) {
    const std::optional<std::string> stored = storedForm(value);
    if (!stored) {
        return false;
    }
    const std::optional<std::size_t> header = findSection(section);
    if (!header) {
        appendSection(section, keyLine(key, *stored));
        return true;
    }
    if (const std::optional<std::size_t> line = findKey(*header, key)) {
        lines_[*line].text = keyLine(meaningOf(lines_[*line].text).name, *stored);
        return true;
    }
    // Blank lines at the end of a section separate it from the next one; keep them after it.
    std::size_t insertAt = sectionEnd(*header);
    while (insertAt > *header + 1 && trimmed(lines_[insertAt - 1].text).empty()) {
        --insertAt;
    }
    insertLine(insertAt, keyLine(key, *stored));
    return true;
}

std::string IniFile::text() const {
    std::size_t size = 0;
    for (const Line& line : lines_) {
        size += line.text.size() + line.end.size();
    }
    std::string text;
    text.reserve(size);
    for (const Line& line : lines_) {
        text.append(line.text).append(line.end);
    }
    return text;
}

std::optional<std::size_t> IniFile::findSection(std::string_view section) const {
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const LineMeaning meaning = meaningOf(lines_[i].text);
        if (meaning.kind == LineMeaning::Kind::Section &&
            equalIgnoringAsciiCase(meaning.name, section)) {
            return i;
        }
    }
    return std::nullopt;
}

std::size_t IniFile::sectionEnd(std::size_t header) const {
    std::size_t i = header + 1;
    while (i < lines_.size() && meaningOf(lines_[i].text).kind != LineMeaning::Kind::Section) {
        ++i;
    }
    return i;
}

std::optional<std::size_t> IniFile::findKey(std::size_t header, std::string_view key) const {
    const std::size_t end = sectionEnd(header);
    for (std::size_t i = header + 1; i < end; ++i) {
        const LineMeaning meaning = meaningOf(lines_[i].text);
        if (meaning.kind == LineMeaning::Kind::Key && equalIgnoringAsciiCase(meaning.name, key)) {
            return i;
        }
    }
    return std::nullopt;
}

void IniFile::insertLine(std::size_t at, std::string text) {
    // Only the last line can lack a line end; one that gets a line after it needs it.
    if (at == lines_.size() && !lines_.empty() && !endsALine(lines_.back().end)) {
        lines_.back().end = newLineEnd_;
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), {std::move(text), newLineEnd_});
}

void IniFile::appendSection(std::string_view section, std::string line) {
    // A blank line between sections, as people write them by hand.
    if (!lines_.empty() && !trimmed(lines_.back().text).empty()) {
        insertLine(lines_.size(), {});
    }
    insertLine(lines_.size(), "[" + std::string(section) + "]");
    insertLine(lines_.size(), std::move(line));
}

} // namespace duoptic

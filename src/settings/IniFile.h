#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace duoptic {

// The text of one INI file with private-profile semantics: section and key names match without
// regard to ASCII case, the first of duplicate sections or keys wins, and every line the program
// does not understand (unknown keys and sections, comments, garbage, binary bytes) is kept where
// it stands. Lines are held without their line ends; text() writes CR LF after each of them.
class IniFile {
public:
    static constexpr std::size_t kMaxValueLength = 2047;          // bytes
    static constexpr std::size_t kMaxFileSize = 16 * 1024 * 1024; // bytes read by load()

    // Accepts LF and CR LF line ends.
    static IniFile parse(std::string_view text);

    // A file that is missing, unreadable or not a regular file gives an empty IniFile; FIFOs and
    // devices are never opened, so loading cannot block. At most kMaxFileSize bytes are read.
    static IniFile load(const std::string& path);
    // False when load() met a file larger than it reads: writing such a file back would lose
    // its end.
    bool complete() const { return complete_; }

    // The value with blanks around it dropped, one pair of enclosing matching quotes removed and
    // cut to kMaxValueLength bytes. A key with nothing after "=" gives empty text; a missing
    // section or key gives nullopt.
    std::optional<std::string> read(std::string_view section, std::string_view key) const;

    // Replaces the line of the key in its section, where it stands. A missing key is added after
    // the last non-blank line of its section, a missing section at the end of the text. A line
    // break in value would split the line, so the value is cut at the first CR or LF.
    void write(std::string_view section, std::string_view key, std::string_view value);

    std::string text() const;

private:
    std::optional<std::size_t> findSection(std::string_view section) const;
    std::size_t sectionEnd(std::size_t header) const;
    std::optional<std::size_t> findKey(std::size_t header, std::string_view key) const;
    void appendSection(std::string_view section, std::string line);

    std::vector<std::string> lines_;
    bool complete_ = true;
};

} // namespace duoptic

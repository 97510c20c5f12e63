#pragma once

#include "settings/FileText.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace duoptic {

// The text of one INI file with private-profile semantics: section and key names match without
// regard to ASCII case, the first of duplicate sections or keys wins, and every line the program
// does not understand (unknown keys and sections, comments, garbage, binary bytes) is kept where
// it stands. Each line keeps its own line end (CR LF, LF or none at the very end), so a file that
// is written back grows only by what was written into it; lines added to a file take the line
// end of its first line, CR LF in a file that has none.
class IniFile {
public:
    static constexpr std::size_t kMaxValueLength = 2047;          // characters (see Utf8.h)
    static constexpr std::size_t kMaxFileSize = 16 * 1024 * 1024; // bytes read by load()

    // Accepts LF and CR LF line ends.
    static IniFile parse(std::string_view text);

    // Reads at most kMaxFileSize bytes (see readFileText). A missing or unreadable file gives an
    // empty IniFile.
    static IniFile load(const std::string& path);
    static IniFile fromFile(const FileText& file);
    // False when the file that was read cannot be written back without losing part of it: it was
    // larger than load() reads, or it exists but could not be read.
    bool rewritable() const { return rewritable_; }

    // The value with blanks around it dropped, one pair of enclosing matching quotes removed and
    // cut to kMaxValueLength characters. A key with nothing after "=" gives empty text; a missing
    // section or key gives nullopt.
    std::optional<std::string> read(std::string_view section, std::string_view key) const;

    // Replaces the line of the key in its section, where it stands. A missing key is added after
    // the last non-blank line of its section, a missing section at the end of the text. A value
    // that read() would change (blanks around it, enclosing quotes) is written in quotes. A value
    // that no line can give back (a line break, more than kMaxValueLength characters) is not
    // written: the result is false and the text stays as it was.
    bool write(std::string_view section, std::string_view key, std::string_view value);

    std::string text() const;

private:
    struct Line {
        std::string text;
        std::string_view end; // "\r\n" or "\n"; the last line may also end in "\r" or nothing
    };

    std::optional<std::size_t> findSection(std::string_view section) const;
    std::size_t sectionEnd(std::size_t header) const;
    std::optional<std::size_t> findKey(std::size_t header, std::string_view key) const;
    void insertLine(std::size_t at, std::string text);
    void appendSection(std::string_view section, std::string line);

    std::vector<Line> lines_;
    std::string_view newLineEnd_ = "\r\n";
    bool rewritable_ = true;
};

} // namespace duoptic

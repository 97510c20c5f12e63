// Any text as duoptic.ini: read every key it might hold, write the ten keys of a run, and check
// that the written text reads back the same and stays the same from run to run.
#include "base/Utf8.h"
#include "settings/IniFile.h"
#include "settings/TextToInt.h"

#include <array>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

using duoptic::IniFile;

struct Known {
    std::string_view section;
    std::string_view key;
    bool integer;
};

constexpr std::array<Known, 10> kKnown{{
    {"Viewer", "ViewerMode", false},
    {"Viewer", "FittingMode", true},
    {"Viewer", "BorderWidth", true},
    {"Viewer", "SlideInterval", true},
    {"File", "LatestPath", false},
    {"Window", "WinTop", true},
    {"Window", "WinLeft", true},
    {"Window", "WinWidth", true},
    {"Window", "WinHeight", true},
    {"Window", "WinState", true},
}};

constexpr std::array<int, 8> kIntegers{0, 1, -1, 4, 600, 2, INT_MIN, INT_MAX};
constexpr std::size_t kMaxHarvested = 16; // key lines of the input that are asked for

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "property violated: %s\n", what);
    std::abort();
}

void check(bool holds, const char* what) {
    if (!holds) {
        fail(what);
    }
}

std::string_view trimmed(std::string_view s) {
    const std::size_t first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

struct Query {
    std::string section;
    std::string key;
};

// Every key line of the input under the section it stands in, the ten keys, and a few names
// that are nowhere.
std::vector<Query> queriesFor(std::string_view text) {
    std::vector<Query> queries{{"Viewer", "Unknown"}, {"Other", "Key"}, {"", ""}};
    for (const Known& k : kKnown) {
        queries.push_back({std::string(k.section), std::string(k.key)});
    }
    std::string section;
    std::size_t harvested = 0;
    while (!text.empty() && harvested < kMaxHarvested) {
        const std::size_t end = text.find('\n');
        const std::string_view line = trimmed(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        const std::size_t close = line.rfind(']');
        if (line.starts_with('[') && close != std::string_view::npos) {
            section = trimmed(line.substr(1, close - 1));
        } else if (const std::size_t eq = line.find('='); eq != std::string_view::npos) {
            queries.push_back({section, std::string(trimmed(line.substr(0, eq)))});
            ++harvested;
        }
    }
    return queries;
}

bool equalIgnoringCase(std::string_view a, std::string_view b) {
    auto up = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; };
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (up(a[i]) != up(b[i])) {
            return false;
        }
    }
    return true;
}

bool isWritten(const Query& q) {
    for (const Known& k : kKnown) {
        if (equalIgnoringCase(q.section, k.section) && equalIgnoringCase(q.key, k.key)) {
            return true;
        }
    }
    return false;
}

// Text that reads back exactly as written: no line break, blank or quote at its ends, short.
bool readsBackVerbatim(std::string_view value) {
    return duoptic::bytesOfCharacters(value, IniFile::kMaxValueLength) == value.size() &&
           value.find_first_of("\r\n") == std::string_view::npos && trimmed(value) == value &&
           !(value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
             value.back() == value.front());
}

struct Values {
    std::array<std::string, 10> text;
};

// What a run writes: integers from a table, the viewer mode, and a folder taken from the input
// (it may hold anything a file system allows in a path, line breaks included).
Values valuesFor(const std::uint8_t* data, std::size_t size) {
    Values v;
    for (std::size_t i = 0; i < kKnown.size(); ++i) {
        const std::uint8_t pick = size > i ? data[i] : 0;
        if (kKnown[i].integer) {
            v.text[i] = std::to_string(kIntegers[pick % kIntegers.size()]);
        }
    }
    v.text[0] = size > 0 && (data[0] & 0x80) ? "(Crossing)" : "(Parallel)";
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    v.text[4] = std::string(input.substr(input.size() / 2));
    return v;
}

// Which values were written: one that would not read back unchanged is refused.
std::array<bool, 10> writeAll(IniFile& file, const Values& values) {
    std::array<bool, 10> written{};
    for (std::size_t i = 0; i < kKnown.size(); ++i) {
        written[i] = file.write(kKnown[i].section, kKnown[i].key, values.text[i]);
    }
    return written;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    IniFile file = IniFile::parse(input);
    const std::vector<Query> queries = queriesFor(input);
    std::vector<std::optional<std::string>> before;
    before.reserve(queries.size());
    for (const Query& q : queries) {
        before.push_back(file.read(q.section, q.key));
    }

    const Values values = valuesFor(data, size);
    std::array<std::optional<std::string>, 10> knownBefore;
    for (std::size_t i = 0; i < kKnown.size(); ++i) {
        knownBefore[i] = file.read(kKnown[i].section, kKnown[i].key);
    }
    const std::array<bool, 10> written = writeAll(file, values);
    for (std::size_t i = 0; i < kKnown.size(); ++i) {
        const std::optional<std::string> read = file.read(kKnown[i].section, kKnown[i].key);
        if (!written[i]) {
            check(read == knownBefore[i], "a value that was refused leaves the key as it was");
            continue;
        }
        check(read.has_value(), "a written key is there");
        if (kKnown[i].integer) {
            check(duoptic::textToInt(*read, 12345, duoptic::ZeroXPrefix::AtStartOnly) ==
                      std::stoi(values.text[i]),
                  "a written integer reads back");
        } else if (readsBackVerbatim(values.text[i])) {
            check(*read == values.text[i], "a written text reads back");
        }
    }
    std::vector<std::optional<std::string>> after;
    after.reserve(queries.size());
    for (std::size_t i = 0; i < queries.size(); ++i) {
        after.push_back(file.read(queries[i].section, queries[i].key));
        if (!isWritten(queries[i])) {
            check(after[i] == before[i], "keys the program does not know are left untouched");
        }
    }

    const std::string text = file.text();
    IniFile reread = IniFile::parse(text);
    for (std::size_t i = 0; i < queries.size(); ++i) {
        check(reread.read(queries[i].section, queries[i].key) == after[i],
              "the saved text reads back every key");
    }
    check(reread.text() == text, "the saved text parses to itself");
    writeAll(reread, values);
    check(reread.text() == text, "writing the same values again changes nothing");
    return 0;
}

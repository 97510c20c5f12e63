#include "settings/FileText.h"

#include "base/FileRead.h"

#include <cstdint>
#include <vector>

namespace duoptic {

FileText readFileText(const std::string& path, std::size_t maxSize) {
    std::vector<std::uint8_t> bytes;
    switch (readWholeFile(path, bytes, maxSize, WhenLonger::KeepTheStart)) {
    case ReadState::Missing:
        return {FileText::State::Missing, {}};
    case ReadState::Whole:
        return {FileText::State::Whole, std::string(bytes.begin(), bytes.end())};
    case ReadState::Cut:
        return {FileText::State::Cut, std::string(bytes.begin(), bytes.end())};
    case ReadState::TooLarge:
    case ReadState::Unreadable:
        break;
    }
    return {FileText::State::Unreadable, {}};
}

} // namespace duoptic

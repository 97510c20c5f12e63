#pragma once

#include <stdexcept>
#include <string>

namespace duoptic {

// The program's one error type. Its message is UTF-8 text, shown as it stands by the error report.
// Handlers throw it; the guard around every event handler catches it, so an error ends only the
// handler that raised it.
class Error : public std::runtime_error {
public:
    explicit Error(const std::string& message) : std::runtime_error(message) {}
};

} // namespace duoptic

#pragma once

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Timing helpers and the rows of the summary table that bench/run.sh prints. Every row compares a
// measurement with a reference taken in the same run on the same machine, so that the ratio, not
// the absolute time, is what a target bounds.
namespace duoptic::bench {

// Bounds on a ratio: atLeast <= ratio <= atMost.
struct Target {
    double atMost = 0.0;
    double atLeast = 0.0;
};

// One row: "@row<TAB>benchmark<TAB>measured<TAB>reference<TAB>ratio<TAB>target<TAB>verdict" on
// stdout, where run.sh collects it. Without a target the row is for information.
void printRow(std::string_view benchmark, std::string_view measured, std::string_view reference,
              double ratio, std::optional<Target> target);

std::string milliseconds(double seconds); // "231 ms", "4.37 ms", "0.512 ms"
std::string megabytes(double bytes);      // "203.4 MB" (10^6 bytes)

double median(std::vector<double> values);

inline double secondsNow() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

template <typename Action> double secondsOf(Action&& action) {
    const double start = secondsNow();
    action();
    return secondsNow() - start;
}

// Wall time of a shell command run with std::system; exits the program when it fails.
double secondsOfCommand(const std::string& command);

// path in single quotes for the shell.
std::string shellQuoted(const std::string& path);

// The process's peak and current resident set (VmHWM, VmRSS), in bytes.
double peakResidentBytes();
double residentBytes();

// Runs `self` (this benchmark program) with the arguments in a fresh process and returns the
// "key value" lines it printed; exits the program when the child fails.
std::map<std::string, double> runChild(const std::string& self, const std::string& arguments);

} // namespace duoptic::bench

#include "BenchTable.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace duoptic::bench {

namespace {

std::string number(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

// Reads a "Name:   123 kB" line of /proc/self/status.
double statusKilobytes(const std::string& key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(key + ":", 0) == 0) {
            return std::strtod(line.c_str() + key.size() + 1, nullptr) * 1024.0;
        }
    }
    return 0.0;
}

} // namespace

void printRow(std::string_view benchmark, std::string_view measured, std::string_view reference,
              double ratio, std::optional<Target> target) {
    std::string bound = "-";
    std::string verdict = "-";
    if (target) {
        bound = target->atLeast > 0.0
                    ? number(target->atLeast, 2) + " - " + number(target->atMost, 2)
                    : "<= " + number(target->atMost, 2);
        verdict = ratio <= target->atMost && ratio >= target->atLeast ? "ok" : "MISS";
    }
    std::printf("@row\t%.*s\t%.*s\t%.*s\t%.2f\t%s\t%s\n", int(benchmark.size()), benchmark.data(),
                int(measured.size()), measured.data(), int(reference.size()), reference.data(),
                ratio, bound.c_str(), verdict.c_str());
    std::fflush(stdout);
}

std::string milliseconds(double seconds) {
    const double ms = seconds * 1e3;
    return number(ms, ms >= 100 ? 0 : ms >= 10 ? 1 : ms >= 1 ? 2 : 3) + " ms";
}

std::string megabytes(double bytes) {
    return number(bytes / 1e6, 1) + " MB";
}

double median(std::vector<double> values) {
    if (values.empty()) {
        return 0.0;
    }
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double secondsOfCommand(const std::string& command) {
    int status = 0;
    const double seconds = secondsOf([&] { status = std::system(command.c_str()); });
    if (status != 0) {
        std::fprintf(stderr, "failed (%d): %s\n", status, command.c_str());
        std::exit(1);
    }
    return seconds;
}

std::string shellQuoted(const std::string& path) {
    std::string quoted = "'";
    for (const char c : path) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

double peakResidentBytes() {
    return statusKilobytes("VmHWM");
}
double residentBytes() {
    return statusKilobytes("VmRSS");
}

std::map<std::string, double> runChild(const std::string& self, const std::string& arguments) {
    const std::string command = shellQuoted(self) + " " + arguments;
    FILE* out = ::popen(command.c_str(), "r");
    std::map<std::string, double> values;
    char key[64];
    double value = 0;
    while (out != nullptr && std::fscanf(out, "%63s %lf", key, &value) == 2) {
        values[key] = value;
    }
    if (out == nullptr || ::pclose(out) != 0) {
        std::fprintf(stderr, "child failed: %s\n", command.c_str());
        std::exit(1);
    }
    return values;
}

} // namespace duoptic::bench

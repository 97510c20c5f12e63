#pragma once

#include <fstream>

#include <unistd.h>

namespace duoptic::testing {

// The memory of this process in RAM now; 0 where /proc cannot tell.
inline std::size_t residentBytes() {
    std::size_t pages = 0;
    std::size_t resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return resident * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
}

} // namespace duoptic::testing

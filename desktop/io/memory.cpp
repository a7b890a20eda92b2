#include "io/memory.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <limits>
#include <string>

#include "io/number_text.h"

namespace kvr {

namespace {

constexpr std::uint64_t kUnlimited = std::numeric_limits<std::uint64_t>::max();

// MemAvailable plus SwapFree from /proc/meminfo.
std::uint64_t SystemAvailable() {
    std::ifstream info("/proc/meminfo");
    std::string key;
    std::uint64_t kilobytes = 0;
    std::uint64_t total = 0;
    bool found = false;
    while (info >> key >> kilobytes) {
        if (key == "MemAvailable:" || key == "SwapFree:") {
            total += kilobytes * 1024;
            found = true;
        }
        info.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
    }
    return found ? total : kUnlimited;
}

// What a resource limit leaves beside the memory the process already holds.
std::uint64_t LimitLeft(int resource, std::uint64_t used) {
    rlimit limit{};
    if (::getrlimit(resource, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return kUnlimited;
    const auto cap = static_cast<std::uint64_t>(limit.rlim_cur);
    return cap > used ? cap - used : 0;
}

// The process's virtual size in bytes (first field of /proc/self/statm, in pages).
std::uint64_t VirtualSize() {
    std::ifstream statm("/proc/self/statm");
    std::uint64_t pages = 0;
    if (!(statm >> pages)) return 0;
    return pages * static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE));
}

}  // namespace

std::uint64_t AvailableMemory() {
    std::uint64_t available = SystemAvailable();
    const std::uint64_t used = VirtualSize();
    available = std::min(available, LimitLeft(RLIMIT_AS, used));
    available = std::min(available, LimitLeft(RLIMIT_DATA, used));
    return available;
}

std::string MemoryText(std::uint64_t bytes) {
    constexpr double kMega = 1024.0 * 1024.0;
    constexpr double kGiga = kMega * 1024.0;
    const auto size = static_cast<double>(bytes);
    if (size >= kGiga) return FormatDecimals(size / kGiga, 1) + " GB";
    return FormatDecimals(std::max(1.0, size / kMega), 0) + " MB";
}

}  // namespace kvr

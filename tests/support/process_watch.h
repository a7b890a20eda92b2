// Watching processes from a test: the ids a command wrote to a file, and whether they are gone.
#pragma once

#include <signal.h>

#include <cerrno>
#include <chrono>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace kvr::testing {

// A process that no longer runs: no such process, or a zombie that only waits to be reaped.
inline bool ProcessGone(int pid) {
    if (::kill(pid, 0) != 0) return errno == ESRCH;
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    std::getline(stat, line);
    const auto close = line.rfind(')');
    return close == std::string::npos || line.compare(close, 3, ") Z") == 0;
}

// The numbers in the file, one a line.
inline std::vector<int> ReadIds(const std::string& path) {
    std::vector<int> ids;
    std::ifstream in(path);
    for (int id = 0; in >> id;) ids.push_back(id);
    return ids;
}

// Waits up to seconds for the file to list at least count ids; returns what it lists.
inline std::vector<int> WaitForIds(const std::string& path, std::size_t count,
                                   double seconds = 10) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    std::vector<int> ids = ReadIds(path);
    while (ids.size() < count && std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        ids = ReadIds(path);
    }
    return ids;
}

// Waits up to seconds for every process to be gone; returns those that are still running.
inline std::vector<int> StillRunning(const std::vector<int>& pids, double seconds = 5) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    std::vector<int> running;
    do {
        running.clear();
        for (int pid : pids)
            if (!ProcessGone(pid)) running.push_back(pid);
        if (running.empty()) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    } while (std::chrono::steady_clock::now() < until);
    return running;
}

}  // namespace kvr::testing

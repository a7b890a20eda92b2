#include "engine/exchange_folder.h"

#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "state/program_folder.h"

namespace kvr {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kPrefix = "run-";

// Removes "run-<pid>-..." folders whose process no longer exists: a run that was killed or
// crashed cannot clean up after itself.
void RemoveAbandoned(const fs::path& parent) {
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(parent, error)) {
        const std::string name = entry.path().filename().string();
        if (name.compare(0, kPrefix.size(), kPrefix) != 0) continue;
        int pid = 0;
        const char* first = name.data() + kPrefix.size();
        const char* last = name.data() + name.size();
        const auto [end, ec] = std::from_chars(first, last, pid);
        if (ec != std::errc() || end == last || *end != '-' || pid <= 0 || pid == ::getpid())
            continue;
        if (::kill(pid, 0) == 0 || errno != ESRCH) continue;  // alive, or someone else's
        std::error_code ignored;
        fs::remove_all(entry.path(), ignored);
    }
}

}  // namespace

ExchangeFolder::ExchangeFolder(const std::string& parent) {
    std::error_code error;
    fs::create_directories(parent, error);
    RemoveAbandoned(parent);
    std::string pattern =
        JoinPath(parent, std::string(kPrefix) + std::to_string(::getpid()) + "-XXXXXX");
    if (::mkdtemp(pattern.data()) == nullptr) {
        error_ =
            "cannot make a folder for the run's files in " + parent + ": " + std::strerror(errno);
        return;
    }
    path_ = pattern;
}

ExchangeFolder::~ExchangeFolder() {
    if (path_.empty()) return;
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

std::string ExchangeFolder::File(const std::string& name) const {
    return JoinPath(path_, name);
}

}  // namespace kvr

#include "pipeline/exchange_folder.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "io/program_folder.h"

namespace kvr {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kPrefix = "run-";

// Removes the "run-..." folders that a killed or crashed run could not clean up: those that hold
// kvr's marker while nobody holds its lock. A process id says nothing about a run of another host
// or PID namespace, and a folder without the marker is not kvr's to remove.
void RemoveAbandoned(const fs::path& parent) {
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(parent, error)) {
        const std::string name = entry.path().filename().string();
        if (!name.starts_with(kPrefix) || entry.is_symlink(error) || !entry.is_directory(error))
            continue;
        const fs::path marker = entry.path() / kRunFolderMarker;
        const int fd = ::open(marker.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) continue;
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            std::error_code ignored;
            fs::remove_all(entry.path(), ignored);
        }
        ::close(fd);
    }
}

// Puts the marker into folder, locked: made under another name and renamed once locked, so that
// no other run ever sees it unlocked. The descriptor, or -1 with errno.
int ClaimFolder(const std::string& folder) {
    const std::string making = JoinPath(folder, ".kvr-claim");
    const int fd = ::open(making.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) return -1;
    const std::string owner = "kvr run folder of process " + std::to_string(::getpid()) + "\n";
    if (::flock(fd, LOCK_EX) != 0 || ::write(fd, owner.data(), owner.size()) < 0 ||
        ::rename(making.c_str(), JoinPath(folder, kRunFolderMarker).c_str()) != 0) {
        const int error = errno;
        ::close(fd);
        errno = error;
        return -1;
    }
    return fd;
}

}  // namespace

ExchangeFolder::ExchangeFolder(const std::string& parent) {
    std::error_code error;
    fs::create_directories(parent, error);
    RemoveAbandoned(parent);
    std::string pattern =
        JoinPath(parent, std::string(kPrefix) + std::to_string(::getpid()) + "-XXXXXX");
    const bool made = ::mkdtemp(pattern.data()) != nullptr;
    lock_ = made ? ClaimFolder(pattern) : -1;
    if (lock_ < 0) {
        error_ =
            "cannot make a folder for the run's files in " + parent + ": " + std::strerror(errno);
        if (made) fs::remove_all(pattern, error);
        return;
    }
    path_ = pattern;
}

ExchangeFolder::~ExchangeFolder() {
    if (path_.empty()) return;
    std::error_code ignored;
    fs::remove_all(path_, ignored);
    ::close(lock_);
}

std::string ExchangeFolder::File(const std::string& name) const {
    return JoinPath(path_, name);
}

}  // namespace kvr

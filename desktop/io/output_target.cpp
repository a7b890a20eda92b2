#include "io/output_target.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string_view>

namespace kvr {

namespace {

constexpr int kMaxLinks = 40;  // as the kernel's own limit on nested links

// The descriptor N of "/dev/stdout", "/dev/fd/N", "/proc/self/fd/N" when it is open in this
// process, else -1. Written through the descriptor itself, an output keeps the offset and append
// mode that the shell's redirection gave it.
int OwnDescriptor(std::string_view path) {
    int number = -1;
    if (path == "/dev/stdout")
        number = STDOUT_FILENO;
    else if (path == "/dev/stderr")
        number = STDERR_FILENO;
    else {
        for (std::string_view prefix : {"/dev/fd/", "/proc/self/fd/"}) {
            if (!path.starts_with(prefix)) continue;
            const std::string_view digits = path.substr(prefix.size());
            const auto [end, error] =
                std::from_chars(digits.data(), digits.data() + digits.size(), number);
            if (error != std::errc() || end != digits.data() + digits.size()) number = -1;
        }
    }
    return number >= 0 && ::fcntl(number, F_GETFD) != -1 ? number : -1;
}

// True when path's folder lies in /proc: its links are the kernel's names of open files, which
// must be written into, not replaced.
bool InProcFolder(const std::string& path) {
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    char real[PATH_MAX];
    if (::realpath(folder.empty() ? "." : folder.c_str(), real) == nullptr) return false;
    return std::string_view(real).starts_with("/proc/");
}

// The link's relative target joined to the real path of the folder that holds the link.
std::string JoinToRealFolder(const std::string& linkPath, const std::string& target) {
    const std::filesystem::path folder = std::filesystem::path(linkPath).parent_path();
    char real[PATH_MAX];
    // The link was just read, so its folder exists; should it vanish meanwhile, the plain join
    // still names the same place as long as no link on the way changes.
    const std::string base =
        ::realpath(folder.empty() ? "." : folder.c_str(), real) != nullptr ? real : folder.string();
    return (std::filesystem::path(base) / target).string();
}

}  // namespace

OutputTarget ResolveOutputTarget(const std::string& path) {
    OutputTarget target;
    if (const int fd = OwnDescriptor(path); fd >= 0) {
        target.kind = OutputTarget::Kind::Through;
        target.descriptor = fd;
        target.path = path;
        return target;
    }
    std::string current = path;
    for (int hop = 0; hop <= kMaxLinks; ++hop) {
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0) {
            // Absent (a new file, or the missing target of a link): made where it is named.
            target.path = current;
            return target;
        }
        if (S_ISREG(info.st_mode)) {
            target.path = current;
            return target;
        }
        if (S_ISDIR(info.st_mode)) {
            target.kind = OutputTarget::Kind::Folder;
            target.path = current;
            return target;
        }
        if (!S_ISLNK(info.st_mode) || InProcFolder(current)) {
            target.kind = OutputTarget::Kind::Through;
            target.path = path;
            return target;
        }
        std::string link(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : PATH_MAX),
                         '\0');
        const ssize_t n = ::readlink(current.c_str(), link.data(), link.size());
        if (n < 0) {
            target.kind = OutputTarget::Kind::Broken;
            target.problem = std::strerror(errno);
            return target;
        }
        link.resize(static_cast<std::size_t>(n));
        // A relative target is read from the link's real folder, as the kernel reads it: joined
        // as text, ".." would climb the name the user gave, not the folder a link on the way
        // leads to.
        current =
            std::filesystem::path(link).is_absolute() ? link : JoinToRealFolder(current, link);
    }
    target.kind = OutputTarget::Kind::Broken;
    target.problem = std::strerror(ELOOP);
    return target;
}

}  // namespace kvr

#include "state/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

namespace kvr {

namespace {

// The temporary file of the write in progress, for RemovePendingTemporaryFile. Files are written
// by one thread at a time (the window's or kvr's main thread).
char pendingTemporary[4096];
std::atomic<bool> hasPendingTemporary{false};

class PendingTemporary {
  public:
    explicit PendingTemporary(const std::string& path) {
        if (path.size() >= sizeof pendingTemporary) return;
        std::memcpy(pendingTemporary, path.c_str(), path.size() + 1);
        hasPendingTemporary.store(true);
    }
    ~PendingTemporary() { hasPendingTemporary.store(false); }
    PendingTemporary(const PendingTemporary&) = delete;
    PendingTemporary& operator=(const PendingTemporary&) = delete;
};

std::string SystemReason(int error) {
    return std::strerror(error);
}

// "folder/.name-XXXXXX.ext" for "folder/name.ext": hidden, beside the target, same extension.
std::string TemporaryTemplate(const std::string& path, std::size_t& suffixLength) {
    const std::filesystem::path target(path);
    const std::string extension = target.extension().string();
    suffixLength = extension.size();
    std::filesystem::path folder = target.parent_path();
    const std::string name = "." + target.stem().string() + "-XXXXXX" + extension;
    return folder.empty() ? name : (folder / name).string();
}

bool WriteAll(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t n = ::write(fd, text.data(), text.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        text.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

mode_t NewFileMode(const std::string& path) {
    struct stat existing {};
    if (::stat(path.c_str(), &existing) == 0) return existing.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

std::optional<std::string> ReadWholeFile(const std::string& path) {
    // O_NONBLOCK: a FIFO is refused below instead of waited on.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    std::string content(static_cast<std::size_t>(info.st_size), '\0');
    std::size_t done = 0;
    while (true) {
        if (done == content.size()) content.resize(content.size() + 65536);  // file grew
        const ssize_t n = ::read(fd, content.data() + done, content.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0) break;
        done += static_cast<std::size_t>(n);
    }
    ::close(fd);
    content.resize(done);
    return content;
}

WriteResult ReplaceFile(const std::string& path,
                        const std::function<bool(const std::string& temporaryPath)>& write) {
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) return {false, "it is a folder"};
    std::size_t suffixLength = 0;
    std::string name = TemporaryTemplate(path, suffixLength);
    std::vector<char> buffer(name.begin(), name.end());
    buffer.push_back('\0');
    const int fd = ::mkstemps(buffer.data(), static_cast<int>(suffixLength));
    if (fd < 0) return {false, SystemReason(errno)};
    ::close(fd);
    const std::string temporary(buffer.data());
    const PendingTemporary pending(temporary);

    const auto fail = [&temporary](std::string reason) {
        ::unlink(temporary.c_str());
        return WriteResult{false, std::move(reason)};
    };
    errno = 0;
    if (!write(temporary))
        return fail(errno != 0 ? SystemReason(errno) : "the data could not be written");
    if (::chmod(temporary.c_str(), NewFileMode(path)) != 0) return fail(SystemReason(errno));
    if (::rename(temporary.c_str(), path.c_str()) != 0) return fail(SystemReason(errno));
    return {true, {}};
}

WriteResult WriteWholeFile(const std::string& path, std::string_view text) {
    return ReplaceFile(path, [text](const std::string& temporary) {
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
        if (fd < 0) return false;
        const bool written = WriteAll(fd, text);
        const int writeError = errno;
        const bool closed = ::close(fd) == 0;
        if (!written) errno = writeError;
        return written && closed;
    });
}

std::string WriteFailureMessage(const std::string& path, const WriteResult& result) {
    return path + " could not be written (" + result.reason +
           "). Please check the folder and the free space, and try again.";
}

void RemovePendingTemporaryFile() noexcept {
    if (hasPendingTemporary.exchange(false)) ::unlink(pendingTemporary);
}

void DeleteFileQuietly(const std::string& path) {
    ::unlink(path.c_str());
}

}  // namespace kvr

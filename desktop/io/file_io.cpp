#include "io/file_io.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "io/output_target.h"

namespace kvr {

namespace {

// The temporary file of the write in progress, for RemovePendingTemporaryFile. Files are written
// by one thread at a time (the window's or kvr's main thread).
char pendingTemporary[4096];
std::atomic<bool> hasPendingTemporary{false};
std::atomic<bool> writesStopped{false};

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

constexpr const char* kInterrupted = "interrupted by a signal";

std::string FolderOf(const std::string& path) {
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    return folder.empty() ? "." : folder.string();
}

// Where the bytes for a device or pipe are gathered: the user's scratch folder.
std::string ScratchFolder() {
    const char* folder = std::getenv("TMPDIR");
    struct stat info {};
    if (folder != nullptr && *folder != '\0' && ::stat(folder, &info) == 0 && S_ISDIR(info.st_mode))
        return folder;
    return "/tmp";
}

// Makes "folder/.name-XXXXXX.ext" for target "name.ext": hidden, same extension, created with
// O_EXCL and mode 0666 so that the umask applies without the process-wide umask() dance.
int MakeTemporary(const std::string& folder, const std::string& target, std::string& made) {
    const std::filesystem::path name = std::filesystem::path(target).filename();
    const std::string extension = name.extension().string();
    constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        unsigned char random[6];
        if (::getrandom(random, sizeof random, 0) != static_cast<ssize_t>(sizeof random))
            for (unsigned char& r : random) r = static_cast<unsigned char>(std::rand());
        std::string suffix;
        for (unsigned char r : random) suffix += kLetters[r % (sizeof kLetters - 1)];
        made = (std::filesystem::path(folder) /
                ("." + name.stem().string() + "-" + suffix + extension))
                   .string();
        const int fd = ::open(made.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
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

// Flushes a file (or a folder's entries) to disk. Folders of file systems that cannot sync them
// say EINVAL, which is no failure.
int SyncPath(const std::string& path, bool folder) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | (folder ? O_DIRECTORY : 0));
    if (fd < 0) return errno;
    const int error = ::fsync(fd) == 0 || (folder && errno == EINVAL) ? 0 : errno;
    ::close(fd);
    return error;
}

// Copies the temporary file into a device, FIFO or descriptor.
int CopyThrough(const std::string& temporary, const OutputTarget& target) {
    const int in = ::open(temporary.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return errno;
    const int out = target.descriptor >= 0
                        ? target.descriptor
                        : ::open(target.path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    int error = out < 0 ? errno : 0;
    char buffer[65536];
    while (error == 0) {
        const ssize_t n = ::read(in, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) error = errno;
        if (n <= 0) break;
        if (WritesStopped())
            error = EINTR;
        else if (!WriteAll(out, std::string_view(buffer, static_cast<std::size_t>(n))))
            error = errno != 0 ? errno : EIO;
    }
    if (out >= 0 && out != target.descriptor && ::close(out) != 0 && error == 0) error = errno;
    ::close(in);
    return error;
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

namespace {

// ReplaceFile, with or without the flushes to disk.
Result<void> Replace(const std::string& path,
                     const std::function<bool(const std::string& temporaryPath)>& write,
                     bool durable) {
    const OutputTarget target = ResolveOutputTarget(path);
    if (target.kind == OutputTarget::Kind::Folder) return Problem{"it is a folder"};
    if (target.kind == OutputTarget::Kind::Broken) return Problem{target.problem};
    if (WritesStopped()) return Problem{kInterrupted};
    const bool through = target.kind == OutputTarget::Kind::Through;

    struct stat existing {};
    const bool replacing = !through && ::stat(target.path.c_str(), &existing) == 0;
    std::string temporary;
    const int fd =
        MakeTemporary(through ? ScratchFolder() : FolderOf(target.path), target.path, temporary);
    if (fd < 0) return Problem{SystemReason(errno)};
    const PendingTemporary pending(temporary);
    const auto fail = [&temporary](std::string reason) -> Result<void> {
        ::unlink(temporary.c_str());
        return Problem{std::move(reason)};
    };
    const int modeError = replacing && ::fchmod(fd, existing.st_mode & 07777) != 0 ? errno : 0;
    ::close(fd);
    if (modeError != 0) return fail(SystemReason(modeError));

    errno = 0;
    const bool written = write(temporary);
    const int writeError = errno;
    if (WritesStopped()) return fail(kInterrupted);
    if (!written)
        return fail(writeError != 0 ? SystemReason(writeError) : "the data could not be written");
    if (through) {
        const int error = CopyThrough(temporary, target);
        ::unlink(temporary.c_str());
        if (error == 0) return {};
        return Problem{error == EINTR && WritesStopped() ? kInterrupted : SystemReason(error)};
    }
    if (const int error = durable ? SyncPath(temporary, false) : 0; error != 0)
        return fail(SystemReason(error));
    if (WritesStopped()) return fail(kInterrupted);
    if (::rename(temporary.c_str(), target.path.c_str()) != 0) return fail(SystemReason(errno));
    if (const int error = durable ? SyncPath(FolderOf(target.path), true) : 0; error != 0)
        return Problem{SystemReason(error)};
    return {};
}

bool WriteText(const std::string& temporary, std::string_view text) {
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0) return false;
    const bool written = WriteAll(fd, text);
    const int writeError = errno;
    const bool closed = ::close(fd) == 0;
    if (!written) errno = writeError;
    return written && closed;
}

}  // namespace

Result<void> ReplaceFile(const std::string& path,
                         const std::function<bool(const std::string& temporaryPath)>& write) {
    return Replace(path, write, true);
}

Result<void> CheckOutput(const std::string& path) {
    const OutputTarget target = ResolveOutputTarget(path);
    switch (target.kind) {
        case OutputTarget::Kind::Through:
            return {};
        case OutputTarget::Kind::Folder:
            return Problem{path + " is a folder"};
        case OutputTarget::Kind::Broken:
            return Problem{"cannot write " + path + ": " + target.problem};
        case OutputTarget::Kind::File:
            break;
    }
    const std::string folder = FolderOf(target.path);
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
        return Problem{"cannot write " + path + ": no folder " + folder};
    if (::access(folder.c_str(), W_OK | X_OK) != 0)
        return Problem{"cannot write " + path + ": the folder " + folder + " is read-only"};
    return {};
}

std::string ReplacedFile(const std::string& path) {
    const OutputTarget target = ResolveOutputTarget(path);
    if (target.kind != OutputTarget::Kind::File) return {};
    // Absolute first: a relative name of a file not yet there ("t.csv") keeps no folder for the
    // canonical form to start from, and would differ from "./t.csv". Not normalised as text
    // before: ".." after a link climbs the link's target, which only the system knows.
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(target.path, error);
    const std::filesystem::path file = std::filesystem::weakly_canonical(absolute, error);
    return error ? absolute.lexically_normal().string() : file.string();
}

bool ReplacesFile(const std::string& output, const std::string& input) {
    const OutputTarget target = ResolveOutputTarget(output);
    if (target.kind != OutputTarget::Kind::File) return false;
    struct stat in {};
    struct stat out {};
    return ::stat(input.c_str(), &in) == 0 && S_ISREG(in.st_mode) &&
           ::stat(target.path.c_str(), &out) == 0 && in.st_dev == out.st_dev &&
           in.st_ino == out.st_ino;
}

Result<void> WriteWholeFile(const std::string& path, std::string_view text) {
    return Replace(
        path, [text](const std::string& temporary) { return WriteText(temporary, text); }, true);
}

Result<void> WriteStreamedFile(const std::string& path,
                               const std::function<bool(std::ostream& out)>& write, bool scratch) {
    return Replace(
        path,
        [&write](const std::string& temporary) {
            // Large blocks: the tables are written a few bytes a line.
            std::vector<char> buffer(1 << 20);
            std::ofstream out;
            out.rdbuf()->pubsetbuf(buffer.data(), static_cast<std::streamsize>(buffer.size()));
            out.open(temporary, std::ios::binary | std::ios::trunc);
            const bool whole = out && write(out);
            const int error = errno;
            out.close();
            if (!whole || !out) {
                if (errno == 0) errno = error;
                return false;
            }
            return true;
        },
        !scratch);
}

Result<void> WriteScratchFile(const std::string& path, std::string_view text) {
    return Replace(
        path, [text](const std::string& temporary) { return WriteText(temporary, text); }, false);
}

std::string WriteFailureMessage(const std::string& path, const Problem& problem) {
    return path + " could not be written (" + problem.message +
           "). Please check the folder and the free space, and try again.";
}

void RemovePendingTemporaryFile() noexcept {
    if (hasPendingTemporary.exchange(false)) ::unlink(pendingTemporary);
}

namespace {

void EndAfterRemovingTemporary(int signal) {
    StopWrites();
    ::signal(signal, SIG_DFL);
    ::raise(signal);  // delivered once the handler returns: the usual end and exit status
}

}  // namespace

void RemoveTemporaryFileOnStopSignals() {
    struct sigaction action {};
    action.sa_handler = EndAfterRemovingTemporary;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) ::sigaction(signal, &action, nullptr);
}

void StopWrites() noexcept {
    writesStopped.store(true);
    RemovePendingTemporaryFile();
}

void ResumeWrites() noexcept {
    writesStopped.store(false);
}

bool WritesStopped() noexcept {
    return writesStopped.load();
}

void DeleteFileQuietly(const std::string& path) {
    ::unlink(path.c_str());
}

}  // namespace kvr

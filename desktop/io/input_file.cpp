#include "io/input_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>
#include <utility>

#include "io/memory.h"
#include "io/unpacker.h"

namespace kvr {

namespace {

constexpr const char* kNotText =
    "it is not a text file (it holds NUL bytes or mostly bytes that are not text)";

InputText Problem(std::string problem, bool content = false) {
    InputText input;
    input.problem = std::move(problem);
    input.contentProblem = content;
    return input;
}

std::string LowerFirst(std::string text) {
    if (!text.empty() && text[0] >= 'A' && text[0] <= 'Z')
        text[0] = static_cast<char>(text[0] + 32);
    return text;
}

std::string SystemReason(int error) {
    return LowerFirst(std::strerror(error));
}

// The first bytes looked at before more are held: binary data is refused here, not after
// gigabytes of it were read or unpacked.
constexpr std::size_t kLookFirst = 1 << 16;

// Collects input as it is read: compressed data is unpacked as it comes (the compressed bytes are
// never held), the first bytes are looked at before more are kept, and the text is refused once
// it outgrows the memory it may take.
class InputCollector {
  public:
    // plainLimit bounds a text read as it is, unpackedLimit one unpacked from compressed data.
    InputCollector(std::uint64_t plainLimit, std::uint64_t unpackedLimit, std::size_t sizeHint)
        : plainLimit_(plainLimit), unpackedLimit_(unpackedLimit), sizeHint_(sizeHint) {}

    // False once the input is refused (Finish says why).
    bool Add(std::string_view bytes);
    InputText Finish();

  private:
    bool Start(std::string_view head);
    bool Keep(const char* data, std::size_t size);
    bool Unpack(std::string_view bytes, bool last);
    bool Refuse(const char* problem) {
        failure_ = problem;
        return false;
    }

    std::uint64_t plainLimit_;
    std::uint64_t unpackedLimit_;
    std::size_t sizeHint_;
    std::string text_;
    std::string start_;  // the first bytes, until they tell whether the data is compressed
    bool started_ = false;
    bool looked_ = false;  // the first kLookFirst bytes of text were looked at
    std::unique_ptr<Unpacker> unpacker_;
    const char* failure_ = nullptr;
};

bool InputCollector::Keep(const char* data, std::size_t size) {
    const std::uint64_t limit = unpacker_ ? unpackedLimit_ : plainLimit_;
    if (text_.size() + size > limit)
        return Refuse(unpacker_ ? "unpacked, it is larger than the memory available"
                                : "it is larger than the memory available");
    text_.append(data, size);
    if (!looked_ && text_.size() >= kLookFirst) {
        looked_ = true;
        if (LooksBinary(std::string_view(text_).substr(0, kLookFirst))) return Refuse(kNotText);
    }
    return true;
}

bool InputCollector::Unpack(std::string_view bytes, bool last) {
    char out[1 << 16];
    while (true) {
        const std::optional<std::size_t> written = unpacker_->Unpack(bytes, out, last);
        if (!written) return Refuse("the compressed data is damaged");
        if (!Keep(out, *written)) return false;
        // Less than a buffer: everything given so far is unpacked (input left over would be
        // a library that stopped without saying why).
        if (*written < sizeof out) return bytes.empty() || Refuse("the compressed data is damaged");
    }
}

bool InputCollector::Start(std::string_view head) {
    started_ = true;
    if (IsCompressed(head)) {
        unpacker_ = UnpackerFor(head);
        if (!unpacker_) return Refuse("the library that unpacks it cannot be started");
        return true;
    }
    text_.reserve(std::min<std::uint64_t>(sizeHint_, plainLimit_));
    return true;
}

bool InputCollector::Add(std::string_view bytes) {
    if (failure_ != nullptr) return false;
    if (!started_) {
        // Whether the data is compressed, and how, shows in its first bytes.
        if (start_.size() + bytes.size() < kMagicLength) {
            start_.append(bytes);
            return true;
        }
        const std::size_t taken = kMagicLength - start_.size();
        start_.append(bytes.substr(0, taken));
        bytes.remove_prefix(taken);
        if (!Start(start_)) return false;
        const std::string head = std::move(start_);
        start_.clear();
        if (!Add(head)) return false;
    }
    if (unpacker_) return Unpack(bytes, false);
    return Keep(bytes.data(), bytes.size());
}

InputText InputCollector::Finish() {
    // Data shorter than the longest magic: what it is shows now.
    if (failure_ == nullptr && !started_ && Start(start_)) Add(std::exchange(start_, {}));
    if (failure_ == nullptr && unpacker_ && Unpack({}, true) && !unpacker_->Whole())
        failure_ = "the compressed data is cut short";
    // The whole text too: the first bytes only spare reading on when they already tell.
    if (failure_ == nullptr && LooksBinary(text_)) failure_ = kNotText;
    if (failure_ != nullptr) return Problem(failure_, true);
    return InputText{std::move(text_), {}, false};
}

// Half of what is free for unpacked text: the loader needs room beside it for its records.
std::uint64_t UnpackedLimit(std::uint64_t available) {
    return std::min<std::uint64_t>(available / 2, SIZE_MAX / 2);
}

// The text of fd to its end, through a collector; sizeHint reserves room for a regular file.
InputText ReadAll(int fd, std::size_t sizeHint, std::uint64_t plainLimit) {
    const std::uint64_t available = AvailableMemory();
    InputCollector collector(std::min(plainLimit, available), UnpackedLimit(available), sizeHint);
    std::string buffer(1 << 20, '\0');
    while (true) {
        const ssize_t n = ::read(fd, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return Problem(SystemReason(errno));
        if (n == 0) break;
        if (!collector.Add(std::string_view(buffer.data(), static_cast<std::size_t>(n)))) break;
    }
    return collector.Finish();
}

}  // namespace

bool LooksBinary(std::string_view data) {
    std::size_t other = 0;
    for (std::size_t i = 0; i < data.size(); ++i) {
        const auto byte = static_cast<unsigned char>(data[i]);
        if (byte == 0) return true;
        if (byte < 0x80) {
            // Line ends, tabs, backspaces and form feeds occur in text files.
            if ((byte < 0x20 && byte != '\n' && byte != '\r' && byte != '\t' && byte != '\b' &&
                 byte != '\f' && byte != '\v') ||
                byte == 0x7f)
                ++other;
            continue;
        }
        // A well-formed UTF-8 sequence is text; a stray byte from 0x80 up is not.
        const std::size_t length = byte >= 0xc2 && byte <= 0xdf   ? 2
                                   : byte >= 0xe0 && byte <= 0xef ? 3
                                   : byte >= 0xf0 && byte <= 0xf4 ? 4
                                                                  : 0;
        std::size_t k = 1;
        while (length != 0 && k < length && i + k < data.size() &&
               (static_cast<unsigned char>(data[i + k]) & 0xc0) == 0x80)
            ++k;
        if (length != 0 && k == length)
            i += length - 1;
        else
            ++other;
    }
    // Mostly not text: more than a quarter of the bytes.
    return other * 4 > data.size();
}

InputText ReadInputFile(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        if (errno == ENOENT) return Problem("the file does not exist");
        if (errno == ENOTDIR) return Problem("a part of the path is not a folder");
        return Problem(SystemReason(errno));
    }
    if (S_ISDIR(info.st_mode)) return Problem("it is a folder");
    if (!S_ISREG(info.st_mode))
        return Problem("it is not a regular file (a pipe, a device or a socket)");
    // O_NONBLOCK: should the path turn into a FIFO after the check, opening does not wait.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return Problem(SystemReason(errno));
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return Problem("it is not a regular file (a pipe, a device or a socket)");
    }
    // A file larger than the memory is refused before it is read (small ones need no asking).
    const auto size = static_cast<std::uint64_t>(info.st_size);
    if (size > (64ull << 20)) {
        if (const std::uint64_t available = AvailableMemory(); size > available) {
            ::close(fd);
            return Problem("it is larger (" + MemoryText(size) + ") than the memory free (" +
                           MemoryText(available) + ")");
        }
    }
    InputText input = ReadAll(fd, static_cast<std::size_t>(info.st_size) + 1, UINT64_MAX);
    ::close(fd);
    return input;
}

InputText ExamineInput(std::string bytes) {
    const std::uint64_t available = AvailableMemory();
    InputCollector collector(UINT64_MAX, UnpackedLimit(available), bytes.size());
    if (!IsCompressed(std::string_view(bytes).substr(0, kMagicLength))) {
        // Already held: looked at as it is.
        if (LooksBinary(bytes)) return Problem(kNotText, true);
        return InputText{std::move(bytes), {}, false};
    }
    collector.Add(bytes);
    return collector.Finish();
}

InputText ReadInputDescriptor(int fd) {
    return ReadAll(fd, 0, UINT64_MAX);
}

}  // namespace kvr

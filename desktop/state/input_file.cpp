#include "state/input_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "state/memory.h"

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

// The bytes of fd to its end; sizeHint reserves room for a regular file.
InputText ReadAll(int fd, std::size_t sizeHint) {
    std::string content;
    content.resize(std::max<std::size_t>(sizeHint, 65536));
    std::size_t done = 0;
    while (true) {
        if (done == content.size()) content.resize(content.size() * 2);
        const ssize_t n = ::read(fd, content.data() + done, content.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return Problem(SystemReason(errno));
        if (n == 0) break;
        done += static_cast<std::size_t>(n);
    }
    content.resize(done);
    return InputText{std::move(content), {}, false};
}

// Unpacks gzip data and refuses binary data.
InputText Examine(InputText input) {
    if (!input.text) return input;
    if (IsGzip(*input.text)) {
        // Half of what is free: the loader needs room beside the text for its records.
        const std::uint64_t available = AvailableMemory() / 2;
        input = Gunzip(*input.text,
                       static_cast<std::size_t>(std::min<std::uint64_t>(available, SIZE_MAX / 2)));
        if (!input.text) return input;
    }
    if (LooksBinary(*input.text)) return Problem(kNotText, true);
    return input;
}

}  // namespace

bool IsGzip(std::string_view data) {
    return data.size() >= 2 && static_cast<unsigned char>(data[0]) == 0x1f &&
           static_cast<unsigned char>(data[1]) == 0x8b;
}

InputText Gunzip(std::string_view data, std::size_t limit) {
    z_stream stream{};
    if (inflateInit2(&stream, 16 + MAX_WBITS) != Z_OK) return Problem("zlib cannot be started");
    std::string out;
    out.resize(std::min(limit, std::max<std::size_t>(data.size() * 4, 65536)));
    std::size_t done = 0;
    auto next = reinterpret_cast<const Bytef*>(data.data());
    std::size_t left = data.size();
    const char* failure = nullptr;
    while (failure == nullptr) {
        if (done == out.size()) {
            if (out.size() >= limit) {
                failure = "unpacked, it is larger than the memory available";
                break;
            }
            out.resize(std::min(limit, out.size() * 2));
        }
        // zlib counts in 32-bit units: feed it in pieces.
        const auto in = static_cast<uInt>(std::min<std::size_t>(left, 1u << 30));
        const auto room = static_cast<uInt>(std::min<std::size_t>(out.size() - done, 1u << 30));
        stream.next_in = const_cast<Bytef*>(next);
        stream.avail_in = in;
        stream.next_out = reinterpret_cast<Bytef*>(out.data() + done);
        stream.avail_out = room;
        const int status = inflate(&stream, Z_NO_FLUSH);
        next += in - stream.avail_in;
        left -= in - stream.avail_in;
        done += room - stream.avail_out;
        if (status == Z_STREAM_END) {
            // Several members one after another (as bgzip writes) make one text; anything
            // else after the last member is ignored, as gzip itself does with trailing zeros.
            if (left >= 2 && IsGzip(std::string_view(reinterpret_cast<const char*>(next), left))) {
                inflateReset(&stream);
                continue;
            }
            break;
        }
        if (status == Z_BUF_ERROR && left == 0)
            failure = "the compressed data is cut short";
        else if (status != Z_OK && status != Z_BUF_ERROR)
            failure = "the compressed data is damaged";
    }
    inflateEnd(&stream);
    if (failure != nullptr) return Problem(failure, true);
    out.resize(done);
    return InputText{std::move(out), {}, false};
}

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
    InputText input = ReadAll(fd, static_cast<std::size_t>(info.st_size) + 1);
    ::close(fd);
    return Examine(std::move(input));
}

InputText ExamineInput(std::string bytes) {
    return Examine(InputText{std::move(bytes), {}, false});
}

InputText ReadInputDescriptor(int fd) {
    return Examine(ReadAll(fd, 0));
}

}  // namespace kvr

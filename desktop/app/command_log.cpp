#include "app/command_log.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <iostream>

#include "io/file_io.h"
#include "kvr_version.h"
#include "pipeline/external_programs.h"

namespace kvr::cli {

namespace {

// A word as a shell would need it to read it back: quoted when it holds more than plain
// characters.
std::string ShellWord(const std::string& word) {
    const bool plain = !word.empty() && word.find_first_not_of(
                                            "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                            "0123456789_./:=,+-@%") == std::string::npos;
    return plain ? word : ShellQuote(word);
}

std::string LocalTime() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    char text[64] = {};
    if (localtime_r(&now, &local) == nullptr ||
        std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S %z", &local) == 0)
        return "unknown";
    return text;
}

}  // namespace

TeeStreamBuffer::int_type TeeStreamBuffer::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    first_->sputc(traits_type::to_char_type(c));
    second_->sputc(traits_type::to_char_type(c));
    return c;
}

std::streamsize TeeStreamBuffer::xsputn(const char* text, std::streamsize count) {
    first_->sputn(text, count);
    second_->sputn(text, count);
    return count;
}

int TeeStreamBuffer::sync() {
    const int first = first_->pubsync();
    const int second = second_->pubsync();
    return first == 0 && second == 0 ? 0 : -1;
}

CommandLog::CommandLog()
    : standardError_(std::cerr.rdbuf()),
      console_(standardError_),
      tee_(standardError_, &printable_) {
    console_.setf(std::ios::unitbuf);
}

Result<void> CommandLog::Open(const std::string& path, std::string_view command,
                              const Arguments& args) {
    path_ = path;
    command_ = command;
    if (path.empty()) return {};
    if (path == "-")
        return Problem{"--log needs a file; standard error is where the messages go already"};
    if (Result<void> writable = CheckOutput(path); !writable) return writable;
    // Written as the command goes, so that a command that is ended leaves the log of what it did.
    if (file_.open(path, std::ios::out | std::ios::trunc | std::ios::binary) == nullptr)
        return Problem{"cannot write the log " + path};
    kept_ = true;
    log_ << "kvr " << kVersion << "\n"
         << "command line: " << command;
    for (const std::string& arg : args) log_ << ' ' << ShellWord(arg);
    log_ << "\nstarted: " << LocalTime() << "\n" << std::flush;
    // The open alone proves little: a full disk refuses the first bytes, not the file.
    if (!log_) {
        const int error = errno;
        kept_ = false;
        file_.close();
        return Problem{"cannot write the log " + path + ": " + std::strerror(error)};
    }
    std::cerr.rdbuf(&tee_);
    return {};
}

void CommandLog::Note(std::string line) {
    notes_.push_back(std::move(line));
}

bool CommandLog::Close(int status) {
    if (!kept_) return true;
    kept_ = false;
    std::cerr.rdbuf(standardError_);
    for (const std::string& note : notes_) log_ << note << "\n";
    log_ << "ended: " << LocalTime() << "\nexit status: " << status << "\n";
    log_.flush();
    const bool whole = static_cast<bool>(log_) && file_.close() != nullptr;
    if (!whole) console_ << command_ << ": the log " << path_ << " could not be written whole\n";
    return whole;
}

CommandLog::~CommandLog() {
    if (!kept_) return;
    std::cerr.rdbuf(standardError_);
    file_.close();
}

bool CommandLog::Terminal() const {
    return ::isatty(STDERR_FILENO) == 1;
}

}  // namespace kvr::cli

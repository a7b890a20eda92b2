// The log a command keeps with --log FILE: the version of kvr and the command line first, then
// every line the command writes to standard error, written as the command goes. While a
// CommandLog lives, std::cerr writes to both; the console window writes to Console() and File()
// itself, each in its own manner, so that the log never holds a terminal's rewritten progress.
#pragma once

#include <fstream>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "app/cli/option_table.h"
#include "app/printable_stream.h"

namespace kvr::cli {

// Passes what is written on to two stream buffers.
class TeeStreamBuffer : public std::streambuf {
  public:
    TeeStreamBuffer(std::streambuf* first, std::streambuf* second)
        : first_(first), second_(second) {}

  protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* text, std::streamsize count) override;
    int sync() override;

  private:
    std::streambuf* first_;
    std::streambuf* second_;
};

class CommandLog {
  public:
    // path "" keeps no log. command: "kvr run"; args: the words after it. The log's name is
    // checked against the inputs and outputs before (NamingProblem).
    CommandLog(const std::string& path, std::string_view command, const Arguments& args);
    ~CommandLog();  // standard error as it was; says so when the log could not be written whole
    CommandLog(const CommandLog&) = delete;
    CommandLog& operator=(const CommandLog&) = delete;

    // Why the log cannot be kept ("" when it can, or when none was asked for).
    const std::string& Problem() const { return problem_; }
    // Standard error alone, and the log (null when none is kept).
    std::ostream& Console() { return console_; }
    std::ostream* File() { return kept_ ? &log_ : nullptr; }
    // Standard error is a terminal.
    bool Terminal() const;

  private:
    std::string path_;
    std::string command_;
    std::string problem_;
    bool kept_ = false;
    std::streambuf* standardError_;
    std::ostream console_;
    std::filebuf file_;
    PrintableStreamBuffer printable_{&file_};
    std::ostream log_{&printable_};
    TeeStreamBuffer tee_;
};

// A log of this process could not be written whole: kvr's status is then 1 however the command
// went, since the record it was asked to keep is missing.
bool LogLost();

}  // namespace kvr::cli

// The log a command keeps with --log FILE: the version of kvr and the command line first, then
// every line the command writes to standard error, written as the command goes, and last what
// the command noted (the aligner's version), the end time and the exit status. While a log is
// open, std::cerr writes to both; the console window writes to Console() and File() itself, each
// in its own manner, so that the log never holds a terminal's rewritten progress. kvr's main owns
// the log, the command opens it, and main closes it with the command's exit status.
#pragma once

#include <fstream>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "app/cli/option_table.h"
#include "app/printable_stream.h"
#include "model/result.h"

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
    CommandLog();
    ~CommandLog();  // standard error as it was, the log closed (Close says more)
    CommandLog(const CommandLog&) = delete;
    CommandLog& operator=(const CommandLog&) = delete;

    // path "" keeps no log. command: "kvr run"; args: the words after it. The log's name is
    // checked against the inputs and outputs before (CheckNaming). Why the log cannot be kept,
    // if it cannot.
    Result<void> Open(const std::string& path, std::string_view command, const Arguments& args);
    // A line for the end of the log, before the end time: "aligner: muscle, version ...".
    void Note(std::string line);
    // Ends the log with the notes, the end time and the exit status. False, said on standard
    // error, when the log could not be written whole: kvr's status is then 1 however the command
    // went, since the record it was asked to keep is missing.
    bool Close(int status);

    // Standard error alone, and the log (null when none is kept).
    std::ostream& Console() { return console_; }
    std::ostream* File() { return kept_ ? &log_ : nullptr; }
    // Standard error is a terminal.
    bool Terminal() const;

  private:
    std::string path_;
    std::string command_;
    std::vector<std::string> notes_;
    bool kept_ = false;
    std::streambuf* standardError_;
    std::ostream console_;
    std::filebuf file_;
    PrintableStreamBuffer printable_{&file_};
    std::ostream log_{&printable_};
    TeeStreamBuffer tee_;
};

}  // namespace kvr::cli

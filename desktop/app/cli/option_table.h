// A command's command line as data: its operands and options, each with its help text and what it
// fills in the command's request. One table serves the parser, the help and the man page, so that
// the three never disagree.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "model/result.h"

namespace kvr::cli {

using Arguments = std::vector<std::string>;

// One option. take stores the value in the request and says whether it was a good one; a flag's
// take is called with "".
struct OptionRow {
    std::string names{};  // "--jobs", or "-o,--out": the long name is the one messages use
    std::string value{};  // what the value is, "FILE", "N"; empty for a flag
    std::string help{};   // one paragraph of whole sentences
    std::function<bool(const std::string& value)> take{};
    std::string problem{};  // said when the value is missing or wrong; empty: "--out needs FILE"
    bool required = false;  // the command cannot run without it
    bool hidden = false;    // read, but neither in the help nor in the man page
};

// Options that go together under one title in the help: the outputs, the run options, ...
struct OptionGroup {
    std::string title{};
    std::vector<OptionRow> rows{};
};

// One word of the command line that is not an option. Either value (exactly one) or values (one
// or more, the rest of the words).
struct OperandRow {
    std::string name{};  // "INPUT.fasta"
    std::string help{};
    std::string* value = nullptr;
    std::vector<std::string>* values = nullptr;
    std::string missing{};  // said when it is not given
    std::string what{};     // "input file": "one input file expected, got 'a' and 'b'"
};

// A titled block of text after the options: paragraphs separated by an empty line.
struct HelpSection {
    std::string title{};  // "exit status"; empty: a plain paragraph
    std::string text{};
};

struct CommandTable {
    std::string name{};     // "run"
    std::string summary{};  // one line, for kvr --help and the man page's NAME
    std::vector<OperandRow> operands{};
    std::string description{};  // what the command does, paragraphs separated by an empty line
    std::vector<OptionGroup> groups{};
    std::vector<HelpSection> sections{};
    bool* help = nullptr;  // set by -h or --help
};

// Reads the command's arguments into its request through the table's rows, or says what is wrong
// with them: an unknown option, a missing or wrong value, a missing or extra operand.
Result<void> ParseCommandLine(const CommandTable& table, const Arguments& args);

// The long name of an option row ("--out" of "-o,--out").
std::string LongName(const OptionRow& row);

}  // namespace kvr::cli

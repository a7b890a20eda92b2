// What every command of kvr does with its command line before its work: reads it through the
// command's option table, answers --help, and reports a wrong one with the exit status 2.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "app/cli/option_table.h"

namespace kvr::cli {

// Reads args into the table's request. The exit status when the command is done already: 0 after
// printing the help, 2 after reporting a wrong command line; nothing when it is to go on.
std::optional<int> ReadCommandLine(const CommandTable& table, const Arguments& args);

// "kvr COMMAND: PROBLEM" on standard error, then the command's usage and where its help is.
// Returns 2, the exit status of a wrong command line.
int UsageError(const CommandTable& table, std::string_view problem);

// "NAME: PROBLEM" on standard error. Returns 1, the exit status of a failed command.
int Failure(std::string_view name, std::string_view problem);

}  // namespace kvr::cli

// The commands of the headless program kvr. Each takes the arguments after its name and the log
// that --log asks it to open (main closes it with the status), writes results to standard output
// and messages to standard error, and returns the exit status.
#pragma once

#include <string>
#include <vector>

#include "app/cli/option_table.h"
#include "app/command_log.h"

namespace kvr::cli {

struct Command {
    const char* name;
    int (*run)(const Arguments& args, CommandLog& log);
};

int Identity(const Arguments& args, CommandLog& log);
int Align(const Arguments& args, CommandLog& log);
int Run(const Arguments& args, CommandLog& log);
int Show(const Arguments& args, CommandLog& log);
int Append(const Arguments& args, CommandLog& log);
int Split(const Arguments& args, CommandLog& log);
int Pairs(const Arguments& args, CommandLog& log);
int Merge(const Arguments& args, CommandLog& log);
int Info(const Arguments& args, CommandLog& log);

// All commands (their tables, help and order are in cli/command_tables.h).
const std::vector<Command>& Commands();

}  // namespace kvr::cli

// The commands of the headless program kvr. Each takes the arguments after its name, writes
// results to standard output and messages to standard error, and returns the exit status.
#pragma once

#include <string>
#include <vector>

#include "app/cli/option_table.h"

namespace kvr::cli {

struct Command {
    const char* name;
    int (*run)(const Arguments& args);
};

int Identity(const Arguments& args);
int Align(const Arguments& args);
int Run(const Arguments& args);
int Show(const Arguments& args);
int Append(const Arguments& args);
int Split(const Arguments& args);
int Pairs(const Arguments& args);
int Merge(const Arguments& args);

// All commands (their tables, help and order are in cli/command_tables.h).
const std::vector<Command>& Commands();

}  // namespace kvr::cli

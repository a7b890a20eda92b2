// The commands of the headless program kvr. Each takes the arguments after its name, writes
// results to standard output and messages to standard error, and returns the exit status.
#pragma once

#include <string>
#include <vector>

namespace kvr::cli {

using Arguments = std::vector<std::string>;

struct Command {
    const char* name;
    const char* synopsis;  // one line for the overall help
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

// All commands, in the order the help lists them.
const std::vector<Command>& Commands();

}  // namespace kvr::cli

// Finding the external programs before a run, so that a missing aligner or tree program is
// reported by name, with how to install it, before anything runs.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "pipeline/aligner_config.h"

namespace kvr {

// The program a command line starts: its first word after any NAME=value assignments, without
// quotes, looking through commands that run another (exec, env, nice, nohup, time, timeout, ...).
// Empty when the command starts with something the shell would expand.
std::string CommandProgram(std::string_view commandLine);

// The executable file a program name stands for: a name with "/" as it is, other names looked
// up on the PATH. Empty when there is no such executable.
std::string FindProgram(const std::string& program);

// The neighbor program the tree script is to run: the configured one, else "neighbor" on the
// PATH, else Debian's /usr/lib/phylip/bin/neighbor. Empty when none is found.
std::string ResolveNeighbor(const AlignerConfig& config);

// The command line that runs the tree script with the resolved neighbor.
std::string TreeCommand(const AlignerConfig& config);

// One message per missing program for a run with this aligner (and the tree program when the
// tree is used); empty when all are there.
std::vector<std::string> CheckRunPrograms(const AlignerConfig& config, Aligner aligner,
                                          bool useTree);

// text in single quotes for /bin/sh.
std::string ShellQuote(std::string_view text);

}  // namespace kvr

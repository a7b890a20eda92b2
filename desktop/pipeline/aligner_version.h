// The version an aligner reports of itself, for the record of how a run's identities were made:
// asked once a run, through the shell, with a short time limit.
#pragma once

#include <chrono>
#include <string>
#include <string_view>

#include "pipeline/aligner_config.h"
#include "platform/shell.h"

namespace kvr {

// Long enough for a program that starts slowly from a network file system, short against a run.
inline constexpr std::chrono::milliseconds kVersionTimeLimit{5000};

// The command line that asks the aligner its version, its output (standard output and error)
// going to outputName: the program of its command template with the option it answers: MUSCLE
// "-version", ClustalW "-help" (ClustalW 2.1 refuses -version; the help's first line names the
// release), MAFFT "--version". Empty when the template starts no program kvr can name.
std::string VersionCommand(Aligner kind, std::string_view commandTemplate,
                           std::string_view outputName);

// The first line the aligner writes, its blanks trimmed and its control characters shown ("muscle
// 5.2.linux64 [-]", "CLUSTAL 2.1 Multiple Sequence Alignments", "v7.505 (2022/Apr/10)"), run in a
// folder of its own inside parentFolder (with no other process of the shell running); "unknown"
// when it writes nothing, fails (ClustalW's help, which ends with the status 1, counts when it
// names CLUSTAL), is stopped or runs past the limit (and is then ended). The built-in aligner:
// "builtin (kvr VERSION)", with no program started.
std::string AlignerVersion(Shell& shell, const AlignerConfig& programs, Aligner kind,
                           const std::string& parentFolder,
                           std::chrono::milliseconds limit = kVersionTimeLimit);

}  // namespace kvr

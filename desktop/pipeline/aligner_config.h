// Which command lines start the aligners and which neighbor program the tree script runs.
// Built in are Debian's programs; "aligners.conf" in the program folder (installed: the shipped
// one, then the user's in $XDG_CONFIG_HOME/kvr) and the environment (KVR_MUSCLE, KVR_CLUSTALW,
// KVR_MAFFT, KVR_NEIGHBOR) override them without recompiling.
#pragma once

#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "io/program_folder.h"
#include "model/aligner.h"

namespace kvr {

inline constexpr const char* kAlignerConfName = "aligners.conf";

struct ProgramSetting {
    // Aligners: a command template with {in} and {out}; neighbor: a program, empty to look it up.
    std::string value;
    // Where the value came from, for messages: "built in", "KVR_MUSCLE", ".../aligners.conf line
    // 4".
    std::string origin;
};

struct AlignerConfig {
    ProgramSetting muscle;
    ProgramSetting clustalw;
    ProgramSetting mafft;
    ProgramSetting neighbor;
    std::string treeScript;  // run in the exchange folder with KVR_NEIGHBOR set
    std::string confPath;    // the aligners.conf these settings are read from, for messages

    // The command line of an external aligner, or nullptr for the built-in one.
    const ProgramSetting* Program(Aligner aligner) const;
    ProgramSetting* Program(Aligner aligner);
};

struct AlignerConfigLoad {
    AlignerConfig config;
    std::vector<std::string> problems;  // one line each; the config is not to be used if any
};

// The built-in settings, with the tree script of the program (the user's own when installed and
// present).
AlignerConfig DefaultAlignerConfig(const std::string& programFolder);

// The defaults, then the aligners.conf files that exist, then the environment.
AlignerConfigLoad LoadAlignerConfig(const std::string& programFolder,
                                    const EnvironmentLookup& environment = std::getenv);

// Applies the "name = command" lines of a conf text ('#' starts a comment line).
void ApplyConfText(std::string_view text, const std::string& confPath, AlignerConfig& config,
                   std::vector<std::string>& problems);

// The command line of one alignment: every {in} and {out} replaced by the bare file names.
std::string ExpandAlignerCommand(std::string_view commandTemplate, std::string_view inputName,
                                 std::string_view outputName);

}  // namespace kvr

// Helpers for the engine tests: a state with given sequences, and fake aligners that act on
// the pair files the way a real one would (or fail the ways a real one can).
#pragma once

#include <regex>
#include <string>
#include <utility>
#include <vector>

#include "fakes/fake_shell.h"
#include "io/file_io.h"
#include "model/run_state.h"
#include "pipeline/aligner_config.h"
#include "pipeline/run_context.h"
#include "support/temp_folder.h"

namespace kvr::testing {

inline RunState StateWith(const std::vector<Record>& records,
                          const std::string& aligner = "muscle") {
    RunState state;
    state.InputSequences = records;
    state.seqCount = static_cast<int>(records.size());
    state.choices.AlignerKind = AlignerNamed(aligner);
    state.inputPath = "/data/in.fasta";
    return state;
}

// The 1-based numbers of the pair a command line aligns, from its "i_j.fas" input name.
inline std::pair<int, int> PairOf(const std::string& command) {
    static const std::regex pattern(R"((\d+)_(\d+)\.fas)");
    std::smatch match;
    if (!std::regex_search(command, match, pattern)) return {0, 0};
    return {std::stoi(match[1]), std::stoi(match[2])};
}

inline std::string PairFile(const std::string& folder, const std::string& command,
                            const char* suffix) {
    const auto [i, j] = PairOf(command);
    return folder + "/" + std::to_string(i) + "_" + std::to_string(j) + suffix;
}

// An aligner for sequences of equal length: the pair file is already "aligned".
inline ShellOutcome CopyAligner(const std::string& command, const std::string& folder) {
    if (const auto pair = ReadWholeFile(PairFile(folder, command, ".fas")))
        WriteWholeFile(PairFile(folder, command, "Aln.fas"), *pair);
    return {ShellOutcome::Status::Ended, 4242, 0, {}};
}

// A run context over a fake shell, with its exchange and work folders in a temporary folder.
struct FakeRun {
    explicit FakeRun(FakeShell::Action action = CopyAligner)
        : shell(std::move(action)),
          programs(DefaultAlignerConfig(KVR_BIN_DIR)),
          context{{shell, programs, root.Path()}, root.Path()} {}
    TempFolder root;
    FakeShell shell;
    AlignerConfig programs;
    RunContext context;
};

}  // namespace kvr::testing

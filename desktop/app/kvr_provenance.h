// The record of how kvr's commands made their identities (state/provenance.h), which the session
// keeps: what kvr run and kvr append write, what kvr merge takes from its shards, and the check
// that keeps kvr append from mixing aligners unasked.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/aligner_config.h"
#include "engine/run_options.h"
#include "engine/shard_file.h"
#include "state/provenance.h"

namespace kvr::cli {

// The aligner's command template, as a shard names it: the configured command line, or the
// built-in aligner's name.
std::string AlignerCommand(const AlignerConfig& programs, Aligner kind);

// "30 seconds", or "none" without a limit.
std::string PairTimeoutText(double seconds);

// What a command knows of its run besides its options.
struct RunFacts {
    std::string command;         // "run", "append", "merge"
    std::string alignerVersion;  // engine/aligner_version.h
    std::string alignerCommand;  // AlignerCommand
    std::string input;           // the FASTA file as given; "-" is standard input
    std::string inputChecksum;   // its SHA-256
};

// The record of a run now (its date), without the tree.
Provenance RunProvenance(const RunOptions& options, const RunFacts& facts);

// The record of a merge: the program, aligner, versions, command and pair time limit of its
// shards (in shard order; old shards that do not say a version or limit give "unknown"), and the
// merge's own order, input and date.
Provenance MergedProvenance(const std::vector<ShardHeader>& shards, const RunOptions& options,
                            const RunFacts& facts);

// Why kvr append must not add pairs of this aligner to the session unasked: its record names
// another aligner for the pairs it holds ("" when it names none but this one, or none at all).
std::string MixingProblem(const Provenance& session, Aligner aligner,
                          const std::string& sessionPath);

}  // namespace kvr::cli

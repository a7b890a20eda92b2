// The one maker of the record of how a run made its identities (model/provenance.h), for every
// program that runs: what kvr run, kvr append and kvr merge write, and what the window's runs,
// appends and reruns keep with the analysis they put on display.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/provenance.h"
#include "pipeline/aligner_config.h"
#include "pipeline/run_options.h"
#include "pipeline/shard_file.h"

namespace kvr {

// The programs that make records, as the record names them with their version ("kvr 1.2.0").
inline constexpr std::string_view kKvrProgram = "kvr";
inline constexpr std::string_view kWindowProgram = "KVRv1";

// The aligner's command template, as a shard names it: the configured command line, or the
// built-in aligner's name.
std::string AlignerCommand(const AlignerConfig& programs, Aligner kind);

// "30 seconds", or "none" without a limit.
std::string PairTimeoutText(double seconds);

// The SHA-256 of a file's bytes, as a record and a shard name their input; nothing when it cannot
// be read. The bytes are not kept: a regular file is hashed through a mapping.
std::optional<std::string> InputChecksum(const std::string& path);

// What a run knows of itself besides its options.
struct RunFacts {
    std::string command;         // the step: "run", "append", "merge"; the window's "rerun"
    std::string alignerVersion;  // pipeline/aligner_version.h
    std::string alignerCommand;  // AlignerCommand
    std::string input;           // the FASTA file as given; "-" is standard input
    std::string inputChecksum;   // its SHA-256
    std::string program = std::string(kKvrProgram);  // kKvrProgram or kWindowProgram
};

// The record of a run now (its date), without the tree.
Provenance RunProvenance(const RunOptions& options, const RunFacts& facts);

// The record of a merge: the program, aligner, versions, command and pair time limit of its
// shards (in shard order; old shards that do not say a version or limit give "unknown"), and the
// merge's own order, input and date.
Provenance MergedProvenance(const std::vector<ShardHeader>& shards, const RunOptions& options,
                            const RunFacts& facts);

}  // namespace kvr

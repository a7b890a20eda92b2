// What each command of kvr is asked to do, as its command line says: filled by the command's
// option table (command_tables.h), read by the command.
#pragma once

#include <string>
#include <vector>

#include "app/kvr_outputs.h"
#include "pipeline/run_options.h"

namespace kvr::cli {

// Where progress and messages go besides standard error.
struct MessageOptions {
    bool quiet = false;  // no progress on standard error
    std::string log;     // a log file that gets the version, the command line and every message
};

// kvr run and kvr append.
struct RunRequest {
    std::string session;  // kvr append: the analysis to extend
    std::string input;
    RunOptions options;
    OutputRequest outputs;
    MessageOptions messages;
    bool mixAligners = false;  // kvr append: add pairs of another aligner than the session's
    bool help = false;
};

struct ShowRequest {
    std::string session;
    RunOptions options;
    OutputRequest outputs;
    MessageOptions messages;
    bool help = false;
};

struct SplitRequest {
    std::string session;
    std::string minText;
    std::string maxText;
    std::string base;
    // --groups: the groups at one threshold, each its own file, in place of --min and --max.
    bool groups = false;
    float threshold = 94;
    bool thresholdGiven = false;
    Linkage linkage = Linkage::Complete;
    MessageOptions messages;
    bool help = false;
};

struct PairsRequest {
    std::string input;
    std::string out;
    std::string shardText;
    RunOptions options;
    MessageOptions messages;
    bool help = false;
};

struct MergeRequest {
    std::string input;
    std::vector<std::string> shards;
    RunOptions options;
    OutputRequest outputs;
    MessageOptions messages;
    bool help = false;
};

// kvr align.
struct AlignRequest {
    enum class Format { Pair, Fasta };
    std::string input;
    std::vector<std::string> names;  // the two sequences, as typed
    RunOptions options;
    Format format = Format::Pair;
    bool help = false;
};

// kvr info.
struct InfoRequest {
    std::string session;
    MessageOptions messages;
    bool help = false;
};

struct IdentityRequest {
    std::string path;
    bool help = false;
};

}  // namespace kvr::cli

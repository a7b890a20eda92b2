// The one pair scheduler of every aligner, for a whole run and for a shard alike: the pairs are
// started in their order, up to context.jobs at once (the external aligners, through the shell)
// or in batches on a pool of threads kept for the whole schedule (the built-in aligner), and
// their outcomes are taken in that order, whatever order they end in, so that every caller sees
// what a run of one pair at a time shows.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "model/result.h"
#include "model/run_state.h"
#include "pipeline/run_aligner.h"
#include "pipeline/run_context.h"
#include "platform/progress.h"

namespace kvr {

// One pair's outcome, as it is taken.
struct ScheduledPair {
    long long number = 0;  // among the scheduled pairs, from 0
    int i = 0;
    int j = 0;
    PairResult result;
    std::string refusal;   // why the pair was not started, when it was refused
    bool started = false;  // an external aligner was started (or tried): its shell state counts
    bool Failed() const { return !refusal.empty() || !result.outcome.Ok(); }
};

struct PairSchedule {
    // Gives the next pair (i, j) of records to align; false after the last.
    std::function<bool(int& i, int& j)> next;
    // Called once for each pair, in order, when every pair before it has been taken (progress).
    std::function<void(long long number, int i, int j)> reach = {};
    // The built-in aligner's progress within its pairs, a few times a second: the pairs done
    // before the one under way, (i, j), plus the part of it done (from its number to number + 1).
    std::function<void(double done, int i, int j)> advance = {};
    // Whether a pair may be aligned, or why not; asked before the pair is started.
    std::function<Result<void>(int i, int j)> admit = {};
    // Takes each pair's outcome, in order. False ends the schedule; so does a failed pair, after
    // it has been taken. No pair after a failed one is started, and those running are ended.
    std::function<bool(const ScheduledPair& pair)> take;
};

enum class ScheduleEnd {
    Completed,  // every pair was aligned and taken
    Stopped,    // a failed pair or take ended it
    Cancelled,  // the shell's stop request ended it
    Lost,       // the shell lost its processes: message says how
};

struct ScheduleOutcome {
    ScheduleEnd end = ScheduleEnd::Completed;
    std::string message;
};

// Aligns the scheduled pairs of records with the aligner of the kind.
ScheduleOutcome SchedulePairs(const RecordTable& records, Aligner kind,
                              const PairSchedule& schedule, const RunContext& context,
                              Progress& progress);

}  // namespace kvr

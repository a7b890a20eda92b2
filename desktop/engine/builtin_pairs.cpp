#include "engine/builtin_pairs.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <future>
#include <optional>

#include "align/align.h"
#include "engine/pair_identity.h"
#include "state/number_text.h"

namespace kvr {

namespace {

enum class BatchEnd { Done, Stopped, TimedOut };

// Aligns tasks into counts while the window's events run; a stop request or the deadline (if
// any) raises the aligner's cancel flag.
BatchEnd AlignBatch(const std::vector<align::PairTask>& tasks, int jobs, Window& window,
                    const StopRequest& stop,
                    std::optional<std::chrono::steady_clock::time_point> deadline,
                    std::vector<align::PairCounts>& counts) {
    std::atomic<bool> cancel{false};
    BatchEnd end = BatchEnd::Done;
    // The window belongs to this thread: the pairs are aligned on others, and this one waits.
    auto work = std::async(std::launch::async, [&] {
        return align::AlignPairs(tasks, align::Options{}, jobs, &cancel, counts);
    });
    while (work.wait_for(std::chrono::milliseconds(40)) != std::future_status::ready) {
        window.ProcessEvents();
        if (end != BatchEnd::Done) continue;
        if (stop.Raised())
            end = BatchEnd::Stopped;
        else if (deadline && std::chrono::steady_clock::now() >= *deadline)
            end = BatchEnd::TimedOut;
        if (end != BatchEnd::Done) cancel = true;
    }
    work.get();
    return end;
}

}  // namespace

std::vector<PairResult> AlignBuiltinPairs(
    const std::vector<std::pair<const Record*, const Record*>>& pairs, int jobs, Window& window,
    const StopRequest& stop, double pairTimeoutSeconds) {
    std::vector<align::PairTask> tasks;
    tasks.reserve(pairs.size());
    for (const auto& [first, second] : pairs) tasks.push_back({first->residues, second->residues});

    std::vector<align::PairCounts> counts(tasks.size(),
                                          align::PairCounts{align::Status::Cancelled});
    std::vector<bool> timedOut(tasks.size(), false);
    if (pairTimeoutSeconds <= 0) {
        AlignBatch(tasks, jobs, window, stop, std::nullopt, counts);
    } else {
        const auto limit = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
            std::chrono::duration<double>(pairTimeoutSeconds));
        const std::size_t batch = static_cast<std::size_t>(std::max(1, jobs));
        for (std::size_t first = 0; first < tasks.size(); first += batch) {
            const std::size_t last = std::min(tasks.size(), first + batch);
            const std::vector<align::PairTask> some(tasks.begin() + first, tasks.begin() + last);
            std::vector<align::PairCounts> done;
            const BatchEnd end = AlignBatch(some, jobs, window, stop,
                                            std::chrono::steady_clock::now() + limit, done);
            std::copy(done.begin(), done.end(), counts.begin() + first);
            if (end == BatchEnd::Done) continue;
            for (std::size_t k = first; k < last; ++k)
                timedOut[k] =
                    end == BatchEnd::TimedOut && counts[k].status == align::Status::Cancelled;
            break;
        }
    }

    std::vector<PairResult> results(pairs.size());
    for (std::size_t k = 0; k < pairs.size(); ++k) {
        PairResult& result = results[k];
        result.command = kBuiltinCommand;
        const align::PairCounts& c = counts[k];
        if (timedOut[k]) {
            result.outcome = {ProgramStatus::TimedOut,
                              "the built-in aligner was still aligning the pair after " +
                                  PlainSingle(static_cast<float>(pairTimeoutSeconds)) +
                                  " seconds, the time limit for one pair, and has been stopped"};
        } else if (c.status == align::Status::Cancelled) {
            result.outcome = {ProgramStatus::Cancelled, "the run was cancelled"};
        } else if (c.status != align::Status::Ok) {
            result.outcome = {ProgramStatus::Failed, align::StatusText(c.status)};
        } else {
            const PairScore score =
                IdentityOfCounts(c.gapFreeColumns, c.gapFreeColumns - c.matches);
            if (score.Ok())
                result.identity = *score.identity;
            else
                result.outcome = {ProgramStatus::BadOutput, score.failure};
        }
    }
    return results;
}

}  // namespace kvr

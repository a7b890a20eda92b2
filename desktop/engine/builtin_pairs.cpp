#include "engine/builtin_pairs.h"

#include <atomic>
#include <chrono>
#include <future>

#include "align/align.h"
#include "engine/pair_identity.h"

namespace kvr {

std::vector<PairResult> AlignBuiltinPairs(
    const std::vector<std::pair<const Record*, const Record*>>& pairs, int jobs, Window& window,
    const StopRequest& stop) {
    std::vector<align::PairTask> tasks;
    tasks.reserve(pairs.size());
    for (const auto& [first, second] : pairs) tasks.push_back({first->residues, second->residues});

    std::atomic<bool> cancel{false};
    std::vector<align::PairCounts> counts;
    // The window belongs to this thread: the pairs are aligned on others, and this one waits.
    auto work = std::async(std::launch::async, [&] {
        return align::AlignPairs(tasks, align::Options{}, jobs, &cancel, counts);
    });
    while (work.wait_for(std::chrono::milliseconds(40)) != std::future_status::ready) {
        window.ProcessEvents();
        if (stop.Raised()) cancel = true;
    }
    work.get();

    std::vector<PairResult> results(pairs.size());
    for (std::size_t k = 0; k < pairs.size(); ++k) {
        PairResult& result = results[k];
        result.command = kBuiltinCommand;
        const align::PairCounts& c = counts[k];
        if (c.status == align::Status::Cancelled) {
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

#include <algorithm>
#include <thread>

#include "align/align.h"
#include "align/align_one.h"

namespace kvr::align {

Status AlignPairs(const std::vector<PairTask>& tasks, const Options& options, int jobs,
                  const std::atomic<bool>* cancel, std::vector<PairCounts>& out) {
    out.assign(tasks.size(), PairCounts{Status::Cancelled});
    if (tasks.empty()) return Status::Ok;
    std::atomic<std::size_t> nextTask{0};
    const auto work = [&] {
        PairScratch scratch;
        for (;;) {
            if (cancel != nullptr && cancel->load(std::memory_order_relaxed)) return;
            const std::size_t k = nextTask.fetch_add(1, std::memory_order_relaxed);
            if (k >= tasks.size()) return;
            out[k] = AlignOneScalar(tasks[k].a, tasks[k].b, options, scratch, cancel);
        }
    };
    const std::size_t threads =
        std::clamp<std::size_t>(static_cast<std::size_t>(std::max(jobs, 1)), 1, tasks.size());
    std::vector<std::thread> pool;
    for (std::size_t t = 1; t < threads; ++t) pool.emplace_back(work);
    work();
    for (auto& thread : pool) thread.join();
    const bool cancelled = std::any_of(
        out.begin(), out.end(), [](const PairCounts& c) { return c.status == Status::Cancelled; });
    return cancelled ? Status::Cancelled : Status::Ok;
}

bool KernelAvailable(Kernel kernel) {
    return kernel == Kernel::Scalar || kernel == Kernel::Best;
}

}  // namespace kvr::align

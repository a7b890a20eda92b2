#include <algorithm>
#include <array>
#include <memory>
#include <mutex>
#include <new>
#include <thread>
#if __has_include(<malloc.h>)
#include <malloc.h>
#endif

#include "align/align.h"
#include "align/align_one.h"
#include "align/kernels.h"
#include "align/memory_turns.h"

namespace kvr::align {

namespace {

// Longer pairs go through the scalar path: a lane batch holds its lanes' whole forward matrix.
constexpr std::size_t kLaneMaxLength = 3000;
// With the band on, pairs no longer than this go one per lane over the whole matrix: a band
// would cover most of their matrix anyway, and the lanes are faster there (all 5S rRNA pairs of
// the test data, 120 residues, a fifth faster; ITS1 pairs, 200 residues, half as fast).
constexpr std::size_t kLaneBandMaxLength = 140;

int LanesOf(Kernel kernel) {
    return kernel == Kernel::Avx512 ? kLanesAvx512 : kernel == Kernel::Avx2 ? kLanesAvx2 : 1;
}

// A unit of work: one pair for the scalar path, or up to a kernel's lane count of pairs of one
// alphabet and similar lengths.
struct WorkItem {
    Alphabet alphabet;
    std::vector<std::size_t> tasks;
};

// Adds a done pair's lengths to the batch's progress.
void Done(std::atomic<std::uint64_t>* progress, const PairTask& task) {
    if (progress != nullptr) progress->fetch_add(task.a.size() + task.b.size());
}

void RunLanes(Kernel kernel, const WorkItem& item, const std::vector<PairTask>& tasks,
              const std::atomic<bool>* cancel, MeaScratch& mea, std::vector<PairCounts>& out,
              std::atomic<std::uint64_t>* progress) {
    std::array<std::string_view, kLanesAvx512> xs, ys;
    std::array<SparsePosterior, kLanesAvx512> post;
    const int count = static_cast<int>(item.tasks.size());
    for (int l = 0; l < count; ++l) {
        xs[l] = tasks[item.tasks[l]].a;
        ys[l] = tasks[item.tasks[l]].b;
    }
    try {
        const HmmModel& model = ModelFor(item.alphabet);
        const bool done =
            kernel == Kernel::Avx512
                ? PosteriorAvx512(model, xs.data(), ys.data(), count, cancel, post.data())
                : PosteriorAvx2(model, xs.data(), ys.data(), count, cancel, post.data());
        if (!done) return;  // left Cancelled
        for (int l = 0; l < count; ++l) {
            out[item.tasks[l]] = MeaCounts(post[l], xs[l], ys[l], mea);
            Done(progress, tasks[item.tasks[l]]);
        }
    } catch (const std::bad_alloc&) {
        for (int l = 0; l < count; ++l) out[item.tasks[l]] = PairCounts{Status::NoMemory};
    }
}

// Batches of up to `lanes` pairs of one alphabet and similar lengths, so that little of a batch
// is padding.
std::vector<WorkItem> LaneBatches(std::vector<std::pair<Alphabet, std::size_t>> laneTasks,
                                  const std::vector<PairTask>& tasks, int lanes) {
    std::sort(laneTasks.begin(), laneTasks.end(), [&](const auto& p, const auto& q) {
        const auto key = [&](const auto& t) {
            return std::tuple(t.first, tasks[t.second].a.size(), tasks[t.second].b.size(),
                              t.second);
        };
        return key(p) < key(q);
    });
    std::vector<WorkItem> items;
    for (std::size_t k = 0; k < laneTasks.size();) {
        WorkItem item{laneTasks[k].first, {}};
        while (k < laneTasks.size() && laneTasks[k].first == item.alphabet &&
               static_cast<int>(item.tasks.size()) < lanes)
            item.tasks.push_back(laneTasks[k++].second);
        items.push_back(std::move(item));
    }
    return items;
}

// Runs work(thread) on `jobs` threads (at most `items`), the calling one among them.
template <typename Work>
void OnThreads(int jobs, std::size_t items, const Work& work) {
    const std::size_t threads =
        std::clamp<std::size_t>(static_cast<std::size_t>(std::max(jobs, 1)), 1, items + 1);
    std::vector<std::thread> pool;
    for (std::size_t t = 1; t < threads; ++t) pool.emplace_back(work);
    work();
    for (auto& thread : pool) thread.join();
}

Status Outcome(const std::vector<PairCounts>& out) {
    const bool cancelled = std::any_of(
        out.begin(), out.end(), [](const PairCounts& c) { return c.status == Status::Cancelled; });
    return cancelled ? Status::Cancelled : Status::Ok;
}

// Memory the other threads freed can stay in their allocator's pools, out of this thread's
// reach: hand it back to the system before a pair that ran out of memory tries again.
void GiveBackFreeMemory() {
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

// Work spaces outlive a batch: the program aligns its pairs in many batches, and buffers grown
// for one serve the next. One that grew large is given back to the system.
class ScratchPool {
  public:
    std::unique_ptr<PairScratch> Take() {
        const std::lock_guard lock(mutex_);
        if (free_.empty()) return std::make_unique<PairScratch>();
        auto scratch = std::move(free_.back());
        free_.pop_back();
        return scratch;
    }
    void Give(std::unique_ptr<PairScratch> scratch) {
        if (scratch->band.Bytes() > kKeepBytes) return;
        const std::lock_guard lock(mutex_);
        free_.push_back(std::move(scratch));
    }

  private:
    static constexpr std::size_t kKeepBytes = std::size_t{32} << 20;
    std::mutex mutex_;
    std::vector<std::unique_ptr<PairScratch>> free_;
};

ScratchPool& Pool() {
    static ScratchPool pool;
    return pool;
}

// One pair at a time per thread, the largest first so that the threads finish together, then
// the short pairs in lane batches. A pair that runs out of memory while other threads hold
// theirs is tried again alone.
Status AlignBanded(const std::vector<PairTask>& tasks, const Options& options, Kernel kernel,
                   int jobs, const std::atomic<bool>* cancel, std::vector<PairCounts>& out,
                   std::atomic<std::uint64_t>* progress, MemoryTurns* sharedTurns) {
    const int lanes = LanesOf(kernel);
    std::vector<std::size_t> order;
    std::vector<std::pair<Alphabet, std::size_t>> shortTasks;
    for (std::size_t k = 0; k < tasks.size(); ++k) {
        if (lanes == 1 || std::max(tasks[k].a.size(), tasks[k].b.size()) > kLaneBandMaxLength) {
            order.push_back(k);
        } else if (auto early = Precheck(tasks[k].a, tasks[k].b)) {
            out[k] = *early;
            Done(progress, tasks[k]);
        } else {
            shortTasks.emplace_back(AlphabetFor(tasks[k].a, tasks[k].b, options), k);
        }
    }
    // A lane batch costs the same however few of its lanes hold a pair: the pairs of one less
    // than half full take the band instead (a short pair there takes under twice a lane's time).
    std::vector<WorkItem> batches;
    for (WorkItem& batch : LaneBatches(std::move(shortTasks), tasks, lanes)) {
        if (2 * static_cast<int>(batch.tasks.size()) < lanes)
            order.insert(order.end(), batch.tasks.begin(), batch.tasks.end());
        else
            batches.push_back(std::move(batch));
    }
    const auto cells = [&](std::size_t k) { return tasks[k].a.size() * tasks[k].b.size(); };
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t p, std::size_t q) { return cells(p) > cells(q); });
    const std::size_t items = order.size() + batches.size();
    std::atomic<std::size_t> next{0};
    MemoryTurns ownTurns;
    MemoryTurns& turns = sharedTurns != nullptr ? *sharedTurns : ownTurns;
    const bool shared = sharedTurns != nullptr || (jobs > 1 && order.size() > 1);
    OnThreads(jobs, items, [&] {
        std::unique_ptr<PairScratch> scratch = Pool().Take();
        const auto release = [&] { scratch = std::make_unique<PairScratch>(); };
        for (;;) {
            if (cancel != nullptr && cancel->load(std::memory_order_relaxed)) break;
            const std::size_t k = next.fetch_add(1, std::memory_order_relaxed);
            if (k >= items) break;
            if (k >= order.size()) {
                RunLanes(kernel, batches[k - order.size()], tasks, cancel, scratch->mea, out,
                         progress);
                continue;
            }
            const std::size_t t = order[k];
            const auto align = [&] {
                return AlignOne(tasks[t].a, tasks[t].b, options, kernel, *scratch, cancel, nullptr,
                                progress);
            };
            turns.Enter(release);
            out[t] = align();
            turns.Leave(release);
            if (out[t].status == Status::NoMemory && shared) {
                release();
                out[t] = turns.Alone([&] {
                    GiveBackFreeMemory();
                    return align();
                });
            }
        }
        Pool().Give(std::move(scratch));
    });
    return Outcome(out);
}

}  // namespace

bool KernelAvailable(Kernel kernel) {
    switch (kernel) {
        case Kernel::Best:
        case Kernel::Scalar:
            return true;
        case Kernel::Avx2:
            return __builtin_cpu_supports("avx2");
        case Kernel::Avx512:
            return __builtin_cpu_supports("avx512f");
    }
    return false;
}

Status AlignPairs(const std::vector<PairTask>& tasks, const Options& options, int jobs,
                  const std::atomic<bool>* cancel, std::vector<PairCounts>& out,
                  std::atomic<std::uint64_t>* progress, MemoryTurns* turns) {
    out.assign(tasks.size(), PairCounts{Status::Cancelled});
    if (tasks.empty()) return Status::Ok;
    const Kernel kernel = ResolveKernel(options.kernel);
    if (options.band)
        return AlignBanded(tasks, options, kernel, jobs, cancel, out, progress, turns);
    const int lanes = LanesOf(kernel);

    // Pairs settled without alignment are done here; the rest become work items.
    std::vector<WorkItem> items;
    std::vector<std::pair<Alphabet, std::size_t>> laneTasks;
    for (std::size_t k = 0; k < tasks.size(); ++k) {
        if (auto early = Precheck(tasks[k].a, tasks[k].b)) {
            out[k] = *early;
            Done(progress, tasks[k]);
            continue;
        }
        const Alphabet alphabet = AlphabetFor(tasks[k].a, tasks[k].b, options);
        if (lanes > 1 && std::max(tasks[k].a.size(), tasks[k].b.size()) <= kLaneMaxLength)
            laneTasks.emplace_back(alphabet, k);
        else
            items.push_back({alphabet, {k}});
    }
    const std::size_t scalarItems = items.size();
    for (auto& item : LaneBatches(std::move(laneTasks), tasks, lanes))
        items.push_back(std::move(item));
    // The big batches first, the single long pairs after: the threads finish together.
    std::rotate(items.begin(), items.begin() + static_cast<std::ptrdiff_t>(scalarItems),
                items.end());

    std::atomic<std::size_t> nextItem{0};
    const auto work = [&] {
        PairScratch scratch;
        for (;;) {
            if (cancel != nullptr && cancel->load(std::memory_order_relaxed)) return;
            const std::size_t k = nextItem.fetch_add(1, std::memory_order_relaxed);
            if (k >= items.size()) return;
            const WorkItem& item = items[k];
            if (item.tasks.size() == 1 && (lanes == 1 || k >= items.size() - scalarItems)) {
                const std::size_t t = item.tasks[0];
                Options one = options;
                one.alphabet = item.alphabet;
                out[t] = AlignOne(tasks[t].a, tasks[t].b, one, Kernel::Scalar, scratch, cancel,
                                  nullptr, progress);
            } else {
                RunLanes(kernel, item, tasks, cancel, scratch.mea, out, progress);
            }
        }
    };
    OnThreads(jobs, items.size(), work);
    return Outcome(out);
}

}  // namespace kvr::align

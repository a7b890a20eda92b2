// The same pairs of orchid_its.fasta through the external MUSCLE (one `muscle -align` run per
// pair, as the program runs it) and through the built-in aligner on one thread, in one run.
// Times are processor time (this thread; MUSCLE's processes), so that other work on a shared
// machine does not distort the ratio; wall times and the load average are printed beside them.
// Then every pair of the file on all threads, and two 10 kb sequences with the peak memory.
//   bench_builtin_vs_muscle [MUSCLE_PAIRS] [BUILTIN_PAIRS] [--unrelated-10kb]
//   (default 20 and 800)
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "align/align.h"
#include "platform/fakes/recording_window.h"
#include "state/fasta.h"

namespace {

struct Times {
    double cpu = 0, wall = 0;
};

double ThreadCpu() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

double ChildrenCpu() {
    rusage u{};
    getrusage(RUSAGE_CHILDREN, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           1e-6 * static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec);
}

double Wall() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

double PeakMegabytes() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_maxrss) / 1024.0;
}

double Load() {
    double load[1] = {0};
    return getloadavg(load, 1) == 1 ? load[0] : 0;
}

std::vector<std::pair<std::size_t, std::size_t>> PairsOf(std::size_t n, std::size_t count) {
    std::vector<std::pair<std::size_t, std::size_t>> pairs;
    for (std::size_t k = 0; k < count; ++k) {
        const std::size_t i = k % n;
        pairs.emplace_back(i, (i + 1 + (k * 31) % (n - 1)) % n);
    }
    return pairs;
}

Times Muscle(const std::vector<kvr::Record>& seqs,
             const std::vector<std::pair<std::size_t, std::size_t>>& pairs) {
    const auto folder = std::filesystem::temp_directory_path() /
                        ("kvr_bench_builtin_" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const double cpu0 = ChildrenCpu(), wall0 = Wall();
    for (const auto& [i, j] : pairs) {
        std::ofstream(folder / "pair.fas") << ">a\n"
                                           << seqs[i].residues << "\n>b\n"
                                           << seqs[j].residues << "\n";
        const std::string command = "cd '" + folder.string() +
                                    "' && muscle -align pair.fas -output out.fas "
                                    "-threads 1 >/dev/null 2>&1";
        if (std::system(command.c_str()) != 0) std::fprintf(stderr, "muscle failed\n");
    }
    const Times t{ChildrenCpu() - cpu0, Wall() - wall0};
    std::filesystem::remove_all(folder);
    return t;
}

// Random residues, and a copy with about `percent` % substitutions and short indels.
std::string Random(std::mt19937& rng, std::size_t n) {
    std::string s(n, 'A');
    for (auto& c : s) c = "ACGT"[rng() % 4];
    return s;
}
std::string Mutate(std::mt19937& rng, const std::string& s, unsigned percent) {
    std::string out;
    for (char c : s) {
        const unsigned r = rng() % 1000;
        if (r < 5) continue;
        if (r < 10) out += Random(rng, 1 + rng() % 6);
        out.push_back(r < 10 * percent ? "ACGT"[rng() % 4] : c);
    }
    return out;
}

void LongPair(const char* name, const std::string& a, const std::string& b) {
    const double cpu0 = ThreadCpu();
    const kvr::align::PairCounts c = kvr::align::AlignPair(a, b);
    std::printf("%s (%zu/%zu): %s, %.2f s, %u/%u identical columns, peak memory %.0f MB\n", name,
                a.size(), b.size(), kvr::align::StatusText(c.status), ThreadCpu() - cpu0, c.matches,
                c.gapFreeColumns, PeakMegabytes());
}

}  // namespace

int main(int argc, char** argv) {
    using namespace kvr;
    const std::size_t musclePairs = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 20;
    const std::size_t builtinPairs = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 800;
    const bool unrelated = argc > 3 && std::strcmp(argv[3], "--unrelated-10kb") == 0;
    RunState state;
    RecordingWindow window;
    LoadFasta(state, window, std::string(KVR_TEST_DATA) + "/orchid_its.fasta");
    if (state.failFlag || musclePairs == 0 || builtinPairs == 0) return 1;
    const auto& seqs = state.InputSequences;
    std::printf("orchid_its.fasta, %zu sequences; load average %.1f on %u processors\n",
                seqs.size(), Load(), std::thread::hardware_concurrency());

    const Times muscle = Muscle(seqs, PairsOf(seqs.size(), musclePairs));
    const double msMuscle = 1000 * muscle.cpu / static_cast<double>(musclePairs);
    std::printf("muscle   %zu pairs: %.1f ms/pair processor time (%.1f ms wall)\n", musclePairs,
                msMuscle, 1000 * muscle.wall / static_cast<double>(musclePairs));

    const auto builtinPairList = PairsOf(seqs.size(), builtinPairs);
    std::vector<align::PairTask> tasks;
    for (const auto& [i, j] : builtinPairList)
        tasks.push_back({seqs[i].residues, seqs[j].residues});
    std::vector<align::PairCounts> out;
    const struct {
        const char* name;
        align::Kernel kernel;
        bool band;
        std::size_t share;  // 1 / share of the pairs (the slow ones run fewer)
    } runs[] = {
        {"scalar, whole matrix", align::Kernel::Scalar, false, 16},
        {"avx512, whole matrix", align::Kernel::Avx512, false, 4},
        {"portable, band", align::Kernel::Scalar, true, 4},
        {"avx2, band", align::Kernel::Avx2, true, 1},
        {"avx512, band", align::Kernel::Avx512, true, 1},
    };
    for (const auto& run : runs) {
        if (!align::KernelAvailable(run.kernel)) continue;
        align::Options options;
        options.kernel = run.kernel;
        options.band = run.band;
        const std::size_t n = tasks.size() / run.share;
        const std::vector<align::PairTask> some(tasks.begin(), tasks.begin() + n);
        double cells = 0;  // of the whole matrices
        for (const auto& t : some)
            cells += static_cast<double>(t.a.size()) * static_cast<double>(t.b.size());
        const double cpu0 = ThreadCpu(), wall0 = Wall();
        align::AlignPairs(some, options, 1, nullptr, out);
        const double cpu = ThreadCpu() - cpu0, wall = Wall() - wall0;
        const double ms = 1000 * cpu / static_cast<double>(n);
        std::printf(
            "%-21s %4zu pairs: %.2f ms/pair, %.1fx muscle per core (wall %.1fx), %.0f "
            "pairs/s/core, %.2f GCUPS\n",
            run.name, n, ms, msMuscle / ms,
            (muscle.wall / static_cast<double>(musclePairs)) / (wall / static_cast<double>(n)),
            static_cast<double>(n) / cpu, cells / cpu / 1e9);
    }

    // Every pair of the file, as a run does it, on all processors.
    std::vector<align::PairTask> all;
    for (std::size_t i = 0; i < seqs.size(); ++i)
        for (std::size_t j = i + 1; j < seqs.size(); ++j)
            all.push_back({seqs[i].residues, seqs[j].residues});
    const int jobs = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    const double wall0 = Wall();
    align::AlignPairs(all, {}, jobs, nullptr, out);
    std::printf("all %zu pairs on %d threads: %.2f s wall (load average %.1f)\n", all.size(), jobs,
                Wall() - wall0, Load());

    std::mt19937 rng(1);
    const std::string a = Random(rng, 10000);
    LongPair("10 kb, 85 % identical", a, Mutate(rng, a, 15));
    if (unrelated) LongPair("10 kb, unrelated", a, Random(rng, 10000));
    return 0;
}

// The built-in aligner against the external MUSCLE (one `muscle -align` run per pair, as the
// program runs it) and vsearch, measured in one run. Times are processor time (the aligner's
// thread; the external programs' processes), so that other work on a shared machine disturbs the
// ratios little; the load average is printed beside them.
//
// For every FASTA file of the test data and a synthetic set of divergent 3 kb sequences: every
// pair of the first 12 sequences (66 pairs) through MUSCLE and the built-in aligner; orchid's
// also through each kernel of the built-in aligner. Then every pair of orchid_its.fasta through
// vsearch (`--allpairs_global`, one thread; skipped, with a note, when vsearch is not installed)
// and the built-in aligner, in turn three times, with the median ratio; and on all threads. Then
// long pairs, each in a process of its own, with that process's peak memory.
//   bench_builtin_vs_muscle [--builtin-only] [--set NAME] [--long]
//   --builtin-only  no external program (for a profiler)
//   --set NAME      only the set whose name starts with NAME
//   --long          also unrelated 10 kb and 20 kb pairs (minutes)
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <limits>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "align/align.h"
#include "fakes/recording_window.h"
#include "io/fasta.h"

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kSetSequences = 12;

double ThreadCpu() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

double Seconds(const rusage& u) {
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           1e-6 * static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec);
}

double ChildrenCpu() {
    rusage u{};
    getrusage(RUSAGE_CHILDREN, &u);
    return Seconds(u);
}

double Wall() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

double Load() {
    double load[1] = {0};
    return getloadavg(load, 1) == 1 ? load[0] : 0;
}

struct Set {
    std::string name;
    std::vector<std::string> sequences;
};

std::vector<std::string> Residues(const std::string& path) {
    kvr::RunState state;
    kvr::RecordingWindow window;
    kvr::LoadFasta(state, window.progress, path);
    std::vector<std::string> out;
    for (const auto& record : state.InputSequences) out.push_back(record.residues);
    return out;
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

// Like a ribosomal RNA gene of distant species of one class: a 3 kb ancestor, two lineages that
// each drift 25 % from it, six sequences 15 % further in each: pairs of one lineage about 75 %
// identical, pairs across lineages about 50 %, as mollusc large-subunit rRNA.
Set SyntheticDivergent() {
    std::mt19937 rng(3);
    const std::string root = Random(rng, 3000);
    Set set{"synthetic 3 kb divergent", {}};
    for (int lineage = 0; lineage < 2; ++lineage) {
        const std::string base = Mutate(rng, root, 25);
        for (int k = 0; k < 6; ++k) set.sequences.push_back(Mutate(rng, base, 15));
    }
    return set;
}

std::vector<kvr::align::PairTask> AllPairs(const std::vector<std::string>& seqs, std::size_t n) {
    std::vector<kvr::align::PairTask> tasks;
    n = std::min(n, seqs.size());
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = i + 1; j < n; ++j) tasks.push_back({seqs[i], seqs[j]});
    return tasks;
}

// Processor time of the external MUSCLE over the pairs, one process per pair.
double MuscleCpu(const std::vector<kvr::align::PairTask>& tasks, const fs::path& folder) {
    const double cpu0 = ChildrenCpu();
    for (const auto& t : tasks) {
        std::ofstream(folder / "pair.fas") << ">a\n" << t.a << "\n>b\n" << t.b << "\n";
        const std::string command = "cd '" + folder.string() +
                                    "' && muscle -align pair.fas -output out.fas "
                                    "-threads 1 >muscle.log 2>&1";
        if (std::system(command.c_str()) != 0) std::fprintf(stderr, "muscle failed\n");
    }
    return ChildrenCpu() - cpu0;
}

// Processor time of the built-in aligner over the pairs on this thread, repeated to at least
// half a second, per round.
double BuiltinCpu(const std::vector<kvr::align::PairTask>& tasks,
                  const kvr::align::Options& options = {}) {
    std::vector<kvr::align::PairCounts> out;
    int rounds = 0;
    const double cpu0 = ThreadCpu();
    do {
        kvr::align::AlignPairs(tasks, options, 1, nullptr, out);
        ++rounds;
    } while (ThreadCpu() - cpu0 < 0.5);
    for (const auto& c : out)
        if (c.status != kvr::align::Status::Ok)
            std::fprintf(stderr, "built-in: %s\n", kvr::align::StatusText(c.status));
    return (ThreadCpu() - cpu0) / rounds;
}

// Whether a program is on the PATH.
bool Installed(const char* program) {
    const char* path = std::getenv("PATH");
    std::string dirs = path != nullptr ? path : "";
    for (std::size_t from = 0; from <= dirs.size();) {
        const std::size_t to = std::min(dirs.find(':', from), dirs.size());
        const fs::path candidate = fs::path(dirs.substr(from, to - from)) / program;
        if (to > from && access(candidate.c_str(), X_OK) == 0) return true;
        from = to + 1;
    }
    return false;
}

// A pair aligned in a child process: its processor time and peak memory alone.
void LongPair(const char* name, const std::string& a, const std::string& b) {
    std::fflush(stdout);
    const pid_t child = fork();
    if (child == 0) {
        const kvr::align::PairCounts c = kvr::align::AlignPair(a, b);
        std::printf("%-28s %s, %u/%u identical columns", name, kvr::align::StatusText(c.status),
                    c.matches, c.gapFreeColumns);
        std::fflush(stdout);
        _exit(0);
    }
    int status = 0;
    rusage u{};
    if (child < 0 || wait4(child, &status, 0, &u) != child) {
        std::printf("%s: could not run\n", name);
        return;
    }
    std::printf(", %.2f s, peak memory %.0f MB\n", Seconds(u),
                static_cast<double>(u.ru_maxrss) / 1024.0);
}

}  // namespace

int main(int argc, char** argv) {
    using namespace kvr;
    bool builtinOnly = false, longPairs = false;
    std::string only;
    for (int k = 1; k < argc; ++k) {
        if (std::strcmp(argv[k], "--builtin-only") == 0)
            builtinOnly = true;
        else if (std::strcmp(argv[k], "--long") == 0)
            longPairs = true;
        else if (std::strcmp(argv[k], "--set") == 0 && k + 1 < argc)
            only = argv[++k];
        else
            return std::fprintf(stderr, "usage: %s [--builtin-only] [--set NAME] [--long]\n",
                                argv[0]),
                   2;
    }
    if (!builtinOnly && !Installed("muscle")) {
        std::fprintf(stderr, "muscle is not installed (scripts/bootstrap installs it)\n");
        return 1;
    }

    std::vector<Set> sets;
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(KVR_TEST_DATA))
        if (entry.path().extension() == ".fasta") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    for (const auto& file : files) sets.push_back({file.filename().string(), Residues(file)});
    sets.push_back(SyntheticDivergent());

    const fs::path folder =
        fs::temp_directory_path() / ("kvr_bench_builtin_" + std::to_string(::getpid()));
    fs::create_directories(folder);
    std::printf("load average %.1f on %u processors; processor time, %zu sequences a set\n", Load(),
                std::thread::hardware_concurrency(), kSetSequences);
    std::printf("%-26s %6s %9s %12s %14s %9s\n", "set", "pairs", "mean nt", "muscle ms",
                "built-in ms", "ratio");
    for (const Set& set : sets) {
        if (set.name.rfind(only, 0) != 0) continue;
        const auto tasks = AllPairs(set.sequences, kSetSequences);
        double residues = 0;
        for (const auto& t : tasks) residues += static_cast<double>(t.a.size() + t.b.size()) / 2;
        const double n = static_cast<double>(tasks.size());
        const double builtin = BuiltinCpu(tasks);
        const double muscle = builtinOnly ? 0 : MuscleCpu(tasks, folder);
        std::printf("%-26s %6zu %9.0f %12.2f %14.3f %8.1fx\n", set.name.c_str(), tasks.size(),
                    residues / n, 1000 * muscle / n, 1000 * builtin / n,
                    builtinOnly ? 0.0 : muscle / builtin);
    }

    const fs::path orchid = fs::path(KVR_TEST_DATA) / "orchid_its.fasta";
    if (only.empty() || std::string("orchid_its.fasta").rfind(only, 0) == 0) {
        const auto seqs = Residues(orchid.string());
        // The kernels on the same pairs.
        const auto some = AllPairs(seqs, kSetSequences);
        const struct {
            const char* name;
            align::Kernel kernel;
            bool band;
        } kernels[] = {{"scalar whole matrix", align::Kernel::Scalar, false},
                       {"portable band", align::Kernel::Scalar, true},
                       {"avx2 band", align::Kernel::Avx2, true},
                       {"avx512 band", align::Kernel::Avx512, true}};
        std::printf("orchid_its.fasta, %zu pairs, ms a pair:", some.size());
        for (const auto& k : kernels) {
            if (!align::KernelAvailable(k.kernel)) continue;
            align::Options options;
            options.kernel = k.kernel;
            options.band = k.band;
            std::printf(" %s %.3f;", k.name,
                        1000 * BuiltinCpu(some, options) / static_cast<double>(some.size()));
        }
        std::printf("\n");
        const auto all = AllPairs(seqs, seqs.size());
        if (builtinOnly || !Installed("vsearch")) {
            std::printf("orchid_its.fasta, all %zu pairs on one thread: built-in %.2f s%s\n",
                        all.size(), BuiltinCpu(all),
                        builtinOnly ? "" : "; vsearch is not installed: skipped");
        } else {
            // Both in turn, five times: on a shared machine one run of each can be minutes
            // apart in what the processor gives them; the median ratio is the figure, and the
            // fastest rounds' ratio shows each at its best.
            std::vector<double> ratios;
            double fastestBuiltin = std::numeric_limits<double>::infinity();
            double fastestVsearch = fastestBuiltin;
            for (int round = 1; round <= 5; ++round) {
                const double builtin = BuiltinCpu(all);
                const double cpu0 = ChildrenCpu();
                const std::string command =
                    "vsearch --allpairs_global '" + orchid.string() +
                    "' --acceptall --threads 1 --userfields query+target+id --userout '" +
                    (folder / "vsearch.tsv").string() + "' >'" + (folder / "vsearch.log").string() +
                    "' 2>&1";
                if (std::system(command.c_str()) != 0) std::fprintf(stderr, "vsearch failed\n");
                const double vsearch = ChildrenCpu() - cpu0;
                ratios.push_back(builtin / vsearch);
                fastestBuiltin = std::min(fastestBuiltin, builtin);
                fastestVsearch = std::min(fastestVsearch, vsearch);
                std::printf(
                    "orchid_its.fasta, all %zu pairs on one thread, round %d: built-in "
                    "%.2f s, vsearch %.2f s: %.1fx vsearch's time\n",
                    all.size(), round, builtin, vsearch, ratios.back());
            }
            std::sort(ratios.begin(), ratios.end());
            std::printf(
                "median: %.1fx vsearch's time; fastest rounds: built-in %.2f s, vsearch %.2f s, "
                "%.1fx\n",
                ratios[2], fastestBuiltin, fastestVsearch, fastestBuiltin / fastestVsearch);
        }
        const int jobs = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
        std::vector<align::PairCounts> out;
        const double wall0 = Wall();
        align::AlignPairs(all, {}, jobs, nullptr, out);
        std::printf("the same on %d threads: %.2f s wall (load average %.1f)\n", jobs,
                    Wall() - wall0, Load());
    }
    fs::remove_all(folder);

    std::mt19937 rng(1);
    const std::string a = Random(rng, 10000);
    LongPair("10 kb, 85 % identical", a, Mutate(rng, a, 15));
    if (longPairs) {
        LongPair("10 kb, unrelated", a, Random(rng, 10000));
        LongPair("20 kb, unrelated", Random(rng, 20000), Random(rng, 20000));
    }
    return 0;
}

// Whole virus genomes through the built-in aligner: synthetic pairs of 10 kb to 1 Mb (a seeded
// random genome and a copy with substitutions and small insertions and deletions; some with runs
// of N, repeats, a moved block, or unrelated), each aligned in a process of its own, with its
// processor time, peak memory and identity. With --bounded, pairs of 20-60 kb also in the widest
// band of smaller budgets, against the whole matrix's counts.
//   bench_long_genomes [--case NAME] [--rounds N] [--bounded]
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <random>
#include <string>
#include <vector>

#include "align/align.h"
#include "align/synthetic_genomes.h"

namespace {

using kvr::bench::AddNRuns;
using kvr::bench::Mutate;
using kvr::bench::Random;
using kvr::bench::Rng;

struct Case {
    std::string name;
    std::string a, b;
};

double Seconds(const rusage& u) {
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

struct Measured {
    double seconds = 0, megabytes = 0;
    kvr::align::PairCounts counts;
};

// One pair aligned in a child process: its processor time and peak memory alone.
bool Measure(const Case& c, std::size_t budget, Measured& m) {
    int fds[2];
    if (pipe(fds) != 0) return false;
    std::fflush(stdout);
    const pid_t child = fork();
    if (child == 0) {
        // The set's alphabet, as the program takes it (MUSCLE's guess would take a genome mostly
        // N for protein).
        kvr::align::Options options;
        options.alphabet = kvr::align::SetAlphabet({c.a, c.b});
        options.memoryBudget = budget;
        const kvr::align::PairCounts counts = kvr::align::AlignPair(c.a, c.b, options);
        const bool written = write(fds[1], &counts, sizeof counts) == sizeof counts;
        _exit(written ? 0 : 1);
    }
    close(fds[1]);
    const bool read = child > 0 && ::read(fds[0], &m.counts, sizeof m.counts) == sizeof m.counts;
    close(fds[0]);
    int status = 0;
    rusage u{};
    if (child < 0 || wait4(child, &status, 0, &u) != child || !read) return false;
    m.seconds = Seconds(u);
    m.megabytes = static_cast<double>(u.ru_maxrss) / 1024.0;
    return true;
}

double Identity(const kvr::align::PairCounts& c) {
    return c.gapFreeColumns == 0
               ? 0
               : 1.0 - double(c.gapFreeColumns - c.matches) / double(c.gapFreeColumns);
}

template <typename T>
T Median(std::vector<T> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Median processor time and peak memory of `rounds` runs.
void Run(const Case& c, int rounds, std::size_t budget = kvr::align::Options{}.memoryBudget) {
    std::vector<double> seconds, megabytes;
    Measured m;
    for (int r = 0; r < rounds; ++r) {
        if (!Measure(c, budget, m)) {
            std::printf("%-34s could not run\n", c.name.c_str());
            return;
        }
        seconds.push_back(m.seconds);
        megabytes.push_back(m.megabytes);
    }
    std::printf("%-34s %7zu %7zu  %8.3f s %7.0f MB  %s, identity %.7f%s\n", c.name.c_str(),
                c.a.size(), c.b.size(), Median(seconds), Median(megabytes),
                kvr::align::StatusText(m.counts.status), Identity(m.counts),
                m.counts.exact ? "" : " (bounded band)");
}

std::vector<Case> Cases() {
    std::vector<Case> cases;
    Rng rng(20260);
    const auto related = [&](const char* name, std::size_t n, double divergence) {
        std::string a = Random(rng, n);
        std::string b = Mutate(rng, a, divergence);
        cases.push_back({name, std::move(a), std::move(b)});
    };
    related("10 kb, 90 %", 10000, 0.10);
    for (const double share : {0.5, 0.7}) {
        std::string a = Random(rng, 10000);
        std::string b = Mutate(rng, a, 0.10);
        AddNRuns(rng, b, share);
        cases.push_back(
            {"10 kb, 90 %, " + std::to_string(int(share * 100)) + " % N in runs", a, b});
    }
    related("50 kb, 90 %", 50000, 0.10);
    {
        // Repeats (a 1.5 kb element eight times in both) and a 4 kb block moved in one.
        const std::string element = Random(rng, 1500);
        std::string a = Random(rng, 50000);
        for (int k = 0; k < 8; ++k) a.insert(2000 + static_cast<std::size_t>(k) * 6000, element);
        std::string b = Mutate(rng, a, 0.05);
        const std::string block = b.substr(20000, 4000);
        b.erase(20000, 4000);
        b.insert(40000, block);
        cases.push_back({"62 kb, 95 %, repeats, moved block", a, b});
    }
    {
        std::string a = Random(rng, 150000);
        std::string b = Mutate(rng, a, 0.10);
        AddNRuns(rng, b, 0.3);
        cases.push_back({"150 kb, 90 %, 30 % N in runs", a, b});
    }
    related("150 kb, 95 %", 150000, 0.05);
    related("1 Mb, 98 %", 1000000, 0.02);
    cases.push_back({"20 kb, unrelated", Random(rng, 20000), Random(rng, 20000)});
    return cases;
}

// Pairs whose whole matrix fits in the default budget, also in the widest band of smaller ones.
void Bounded() {
    Rng rng(4242);
    std::printf("\n%-34s %9s %9s %12s %12s %10s\n", "pair", "budget", "time", "identity", "whole",
                "difference");
    for (const std::size_t n : {20000, 40000, 60000}) {
        for (const double divergence : {0.25, 0.45, 1.0}) {
            const std::string a = Random(rng, n);
            const std::string b = divergence >= 1 ? Random(rng, n) : Mutate(rng, a, divergence);
            const Case c{
                std::to_string(n / 1000) + " kb, " +
                    (divergence >= 1 ? std::string("unrelated")
                                     : std::to_string(int(100 - 100 * divergence)) + " % kept"),
                a, b};
            Measured whole;
            if (!Measure(c, kvr::align::Options{}.memoryBudget, whole)) continue;
            std::printf("%-34s %6s MB %7.2f s %12.7f %12s %10s%s\n", c.name.c_str(), "1024",
                        whole.seconds, Identity(whole.counts), "", "",
                        whole.counts.exact ? "" : " (bounded)");
            // Budgets small enough to bound the bands of these pairs (at the default nothing is
            // bounded below 60 kb: long pairs are aligned in pieces of a few thousand residues).
            for (const double mb : {1.0, 1.5, 2.0, 2.5, 3.0, 4.0, 6.0, 8.0, 12.0}) {
                Measured m;
                if (!Measure(c, static_cast<std::size_t>(mb * (1 << 20)), m)) continue;
                if (m.counts.status != kvr::align::Status::Ok) {
                    std::printf("%-34s %6.1f MB %7.2f s  %s\n", "", mb, m.seconds,
                                kvr::align::StatusText(m.counts.status));
                    continue;
                }
                std::printf("%-34s %6.1f MB %7.2f s %12.7f %12.7f %+10.7f%s\n", "", mb, m.seconds,
                            Identity(m.counts), Identity(whole.counts),
                            Identity(m.counts) - Identity(whole.counts),
                            m.counts.exact ? " (exact)" : "");
            }
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::string only;
    int rounds = 3;
    bool bounded = false;
    for (int k = 1; k < argc; ++k) {
        if (std::strcmp(argv[k], "--case") == 0 && k + 1 < argc)
            only = argv[++k];
        else if (std::strcmp(argv[k], "--rounds") == 0 && k + 1 < argc)
            rounds = std::max(1, std::atoi(argv[++k]));
        else if (std::strcmp(argv[k], "--bounded") == 0)
            bounded = true;
        else
            return std::fprintf(stderr, "usage: %s [--case NAME] [--rounds N] [--bounded]\n",
                                argv[0]),
                   2;
    }
    std::printf(
        "%-34s %7s %7s  %10s %10s  (medians of %d, processor time and peak memory of "
        "the pair's process)\n",
        "pair", "a", "b", "time", "peak", rounds);
    for (const Case& c : Cases())
        if (only.empty() || c.name.find(only) != std::string::npos) Run(c, rounds);
    if (bounded) Bounded();
    return 0;
}

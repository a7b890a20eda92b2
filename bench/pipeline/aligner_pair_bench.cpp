// Milliseconds per pair for each aligner, through the engine's own path (pair file, /bin/sh, the
// aligner, scoring, clean-up), on pairs of a short (5S rRNA, ~120 bases) and a long (orchid ITS,
// ~700 bases) data set. Prints the mean and the median per aligner and data set.
//   bench_aligner_pair [PAIRS]   (20 pairs each by default)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "fakes/recording_window.h"
#include "io/fasta.h"
#include "pipeline/exchange_folder.h"
#include "pipeline/run_aligner.h"
#include "platform/posix_shell.h"

int main(int argc, char** argv) {
    using namespace kvr;
    const int pairs = argc > 1 ? std::atoi(argv[1]) : 20;
    std::printf("%-9s %-18s %6s %10s %10s\n", "aligner", "data", "pairs", "mean ms", "median ms");
    for (const char* data : {"rrna5s_48.fasta", "orchid_its.fasta"}) {
        RunState state;
        RecordingWindow window;
        const LoadEnd end =
            LoadFasta(state, window.progress, std::string(KVR_TEST_DATA) + "/" + data);
        if (end != LoadEnd::Loaded) return 1;
        const int n = state.seqCount;
        for (const char* aligner : {"muscle", "clustalw", "mafft"}) {
            ExchangeFolder exchange(std::string(KVR_BIN_DIR) + "/tmp");
            PosixShell shell;
            const AlignerConfig programs = DefaultAlignerConfig(KVR_BIN_DIR);
            const RunContext context{{shell, programs, exchange.Path()}, exchange.Path()};
            std::vector<double> times;
            for (int k = 0; k < pairs; ++k) {
                // Spread over the set: sequence k with one about a third of the set away.
                const int i = k % n;
                const int j = (i + 1 + (k * 31) % (n - 1)) % n;
                const auto start = std::chrono::steady_clock::now();
                const PairResult result =
                    AlignPair(context, *AlignerNamed(aligner), state.InputSequences[i],
                              state.InputSequences[j], std::min(i, j), std::max(i, j));
                times.push_back(std::chrono::duration<double, std::milli>(
                                    std::chrono::steady_clock::now() - start)
                                    .count());
                if (!result.outcome.Ok()) {
                    std::fprintf(stderr, "%s: %s\n", aligner,
                                 result.outcome.problem().message.c_str());
                    return 1;
                }
            }
            double mean = 0;
            for (double t : times) mean += t / static_cast<double>(times.size());
            std::sort(times.begin(), times.end());
            std::printf("%-9s %-18s %6d %10.1f %10.1f\n", aligner, data, pairs, mean,
                        times[times.size() / 2]);
        }
    }
    return 0;
}

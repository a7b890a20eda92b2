// The all-pairs step with one aligner at a time and with one per processor, on the same data:
// prints the wall seconds of each, their ratio (the speed-up), and the aligners' processor
// seconds, which should hardly change. The identity tables of the two runs must be equal.
//   bench_parallel_pairs [SEQUENCES] [ALIGNER] [FASTA] [JOBS]
//   (all 94 sequences of orchid_its.fasta with muscle by default: about 4371 alignments twice)
#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fakes/recording_window.h"
#include "io/fasta.h"
#include "pipeline/all_pairs.h"
#include "pipeline/exchange_folder.h"
#include "platform/posix_shell.h"
#include "support/seconds.h"

namespace {

double ChildProcessorSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_CHILDREN, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace kvr;
    const int wanted = argc > 1 ? std::atoi(argv[1]) : 0;
    const std::string aligner = argc > 2 ? argv[2] : "muscle";
    const std::string fasta = argc > 3 ? argv[3] : std::string(KVR_TEST_DATA) + "/orchid_its.fasta";

    RunState loaded;
    RecordingWindow loadWindow;
    if (LoadFasta(loaded, loadWindow.progress, fasta) != LoadEnd::Loaded) return 1;
    if (wanted > 0 && wanted < loaded.seqCount) loaded.seqCount = wanted;
    loaded.choices.AlignerKind = AlignerNamed(aligner);
    const int n = loaded.seqCount;
    const AlignerConfig programs = DefaultAlignerConfig(KVR_BIN_DIR);

    const int cores = argc > 4 ? std::max(1, std::atoi(argv[4])) : DefaultJobs();
    IdentityTable tables[2];
    double seconds[2] = {0, 0};
    double processor[2] = {0, 0};
    for (const int run : {0, 1}) {
        const int jobs = run == 0 ? 1 : cores;
        RunState state = loaded;
        RecordingWindow window;
        ExchangeFolder exchange(std::string(KVR_BIN_DIR) + "/tmp");
        PosixShell shell;
        RunContext context{{shell, programs, exchange.Path()}, exchange.Path()};
        context.jobs = jobs;
        const double before = ChildProcessorSeconds();
        PairsEnd end = PairsEnd::Completed;
        seconds[run] =
            bench::Seconds([&] { end = AlignAllPairs(state, window.progress, context); });
        processor[run] = ChildProcessorSeconds() - before;
        if (end != PairsEnd::Completed) {
            std::fprintf(stderr, "the run with %d jobs failed: %s\n", jobs,
                         window.messages.empty() ? "" : window.messages.back().c_str());
            return 1;
        }
        tables[run] = state.InputIdentity;
        std::printf("%-8s %3d sequences %5d pairs  %2d job(s): %8.2f s wall  %8.2f s aligner CPU\n",
                    aligner.c_str(), n, n * (n - 1) / 2, jobs, seconds[run], processor[run]);
    }
    if (tables[0] != tables[1]) {
        std::fprintf(stderr, "the identity tables of the two runs differ\n");
        return 1;
    }
    std::printf("speed-up with %d jobs: %.2f (identity tables equal)\n", cores,
                seconds[0] / seconds[1]);
    return 0;
}

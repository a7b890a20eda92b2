// The same pairs of orchid_its.fasta through the external MUSCLE (one `muscle -align` run per
// pair, as the program runs it) and through the built-in aligner on one thread, in one run.
// Prints milliseconds per pair, the ratio per core, pairs per second per core and the cell rate.
//   bench_builtin_vs_muscle [MUSCLE_PAIRS] [BUILTIN_PAIRS]   (default 20 and 400)
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "align/align.h"
#include "platform/fakes/recording_window.h"
#include "state/fasta.h"
#include "support/seconds.h"

namespace {

std::vector<std::pair<std::size_t, std::size_t>> PairsOf(std::size_t n, std::size_t count) {
    std::vector<std::pair<std::size_t, std::size_t>> pairs;
    for (std::size_t k = 0; k < count; ++k) {
        const std::size_t i = k % n;
        pairs.emplace_back(i, (i + 1 + (k * 31) % (n - 1)) % n);
    }
    return pairs;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace kvr;
    const std::size_t musclePairs = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 20;
    const std::size_t builtinPairs = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 400;
    RunState state;
    RecordingWindow window;
    LoadFasta(state, window, std::string(KVR_TEST_DATA) + "/orchid_its.fasta");
    if (state.failFlag) return 1;
    const auto& seqs = state.InputSequences;

    // External MUSCLE: pair file, process, output file, as the engine does it.
    const auto folder = std::filesystem::temp_directory_path() / "kvr_bench_builtin";
    std::filesystem::create_directories(folder);
    const auto musclePairList = PairsOf(seqs.size(), musclePairs);
    const double muscleSeconds = bench::Seconds([&] {
        for (const auto& [i, j] : musclePairList) {
            std::ofstream(folder / "pair.fas") << ">a\n"
                                               << seqs[i].residues << "\n>b\n"
                                               << seqs[j].residues << "\n";
            const std::string command = "cd '" + folder.string() +
                                        "' && muscle -align pair.fas -output out.fas "
                                        "-threads 1 >/dev/null 2>&1";
            if (std::system(command.c_str()) != 0) std::fprintf(stderr, "muscle failed\n");
        }
    });
    std::filesystem::remove_all(folder);

    // Built-in, one thread, fastest kernel.
    const auto builtinPairList = PairsOf(seqs.size(), builtinPairs);
    std::vector<align::PairTask> tasks;
    double cells = 0;
    for (const auto& [i, j] : builtinPairList) {
        tasks.push_back({seqs[i].residues, seqs[j].residues});
        cells += static_cast<double>(seqs[i].residues.size()) *
                 static_cast<double>(seqs[j].residues.size());
    }
    std::vector<align::PairCounts> out;
    for (const align::Kernel kernel :
         {align::Kernel::Scalar, align::Kernel::Avx2, align::Kernel::Avx512}) {
        if (!align::KernelAvailable(kernel)) continue;
        align::Options options;
        options.kernel = kernel;
        const std::size_t n = kernel == align::Kernel::Scalar ? tasks.size() / 8 : tasks.size();
        const std::vector<align::PairTask> some(tasks.begin(), tasks.begin() + n);
        const double seconds =
            bench::Seconds([&] { align::AlignPairs(some, options, 1, nullptr, out); });
        const double msMuscle = 1000 * muscleSeconds / musclePairs;
        const double msBuiltin = 1000 * seconds / n;
        const char* name = kernel == align::Kernel::Scalar ? "scalar"
                           : kernel == align::Kernel::Avx2 ? "avx2"
                                                           : "avx512";
        std::printf(
            "%-7s muscle %.1f ms/pair, builtin %.2f ms/pair: %.1fx per core, %.0f pairs/s/core, "
            "%.3f GCUPS\n",
            name, msMuscle, msBuiltin, msMuscle / msBuiltin, n / seconds,
            cells * n / tasks.size() / seconds / 1e9);
    }
    return 0;
}

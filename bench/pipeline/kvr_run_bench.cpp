// The whole `kvr run` on a data set, as a user starts it: load, every pair aligned, the range,
// the tree, the scores written. Prints seconds, pairs and milliseconds per pair.
//   bench_kvr_run [FASTA] [ALIGNER]   (orchid_its.fasta, 94 sequences, with muscle by default)
#include <chrono>
#include <cstdio>
#include <string>

#include "io/file_io.h"
#include "pipeline/external_programs.h"
#include "platform/posix_shell.h"

int main(int argc, char** argv) {
    using namespace kvr;
    const std::string fasta = argc > 1 ? argv[1] : std::string(KVR_TEST_DATA) + "/orchid_its.fasta";
    const std::string aligner = argc > 2 ? argv[2] : "muscle";
    const std::string scores = "/tmp/kvr-bench-run-scores.csv";
    const std::string command = ShellQuote(std::string(KVR_BIN_DIR) + "/kvr") + " run " +
                                ShellQuote(fasta) + " --aligner " + aligner +
                                " --tree --quiet --scores " + scores + " >/dev/null";
    PosixShell shell;
    const auto start = std::chrono::steady_clock::now();
    const ShellOutcome outcome = shell.Run(command, ".");
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (outcome.exitCode != 0) {
        std::fprintf(stderr, "kvr run failed with exit status %d\n", outcome.exitCode);
        return 1;
    }
    const auto text = ReadWholeFile(scores);
    long pairs = -1;  // the header line
    for (char c : text.value_or("")) pairs += c == '\n';
    DeleteFileQuietly(scores);
    std::printf("kvr run %s --aligner %s --tree: %.1f s, %ld pairs, %.1f ms per pair\n",
                fasta.substr(fasta.rfind('/') + 1).c_str(), aligner.c_str(), seconds, pairs,
                1000.0 * seconds / static_cast<double>(pairs));
    return 0;
}

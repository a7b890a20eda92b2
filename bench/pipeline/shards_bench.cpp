// The figures of a run in shards: the built-in aligner's time per pair as kvr pairs runs it on
// real ITS sequences, and the peak memory and time of kvr merge on made-up sets of n sequences
// (identities drawn at random, shards written directly), streaming and with the table.
//   bench_shards [SEQUENCES...]   (default 2000 5000 10000)
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "io/file_io.h"
#include "pipeline/external_programs.h"
#include "support/seconds.h"
#include "support/synthetic_shards.h"

namespace {

using namespace kvr;

const std::string kKvr = std::string(KVR_BIN_DIR) + "/kvr";

struct Measure {
    double seconds = 0;
    double peakMegabytes = 0;
    int status = -1;
};

// Runs a command line in a child of its own, so that its peak memory is its own.
Measure Run(const std::string& command) {
    Measure measure;
    measure.seconds = bench::Seconds([&] {
        const pid_t child = ::fork();
        if (child == 0) {
            ::execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        int status = 0;
        rusage usage{};
        ::wait4(child, &status, 0, &usage);
        measure.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        measure.peakMegabytes = static_cast<double>(usage.ru_maxrss) / 1024.0;
    });
    return measure;
}

void PerPairTime(const std::string& folder) {
    const std::string fasta = std::string(KVR_TEST_DATA) + "/orchid_its.fasta";
    for (const int jobs : {1, 2}) {
        const std::string out = folder + "/orchid_shard.tsv";
        const Measure m = Run(ShellQuote(kKvr) + " pairs " + ShellQuote(fasta) +
                              " --aligner builtin --shard 1/1 --quiet --jobs " +
                              std::to_string(jobs) + " --out " + ShellQuote(out));
        const long long pairs = PairCount(94);
        std::printf(
            "kvr pairs orchid_its.fasta (94 ITS, 572-789 bp, median 733) --jobs %d: %.1f s, "
            "%lld pairs, %.2f ms per pair (status %d)\n",
            jobs, m.seconds, pairs, 1000.0 * m.seconds / static_cast<double>(pairs), m.status);
        DeleteFileQuietly(out);
    }
}

void MergeMemory(const std::string& folder, int n) {
    std::mt19937 random(n);
    std::string fasta;
    std::vector<std::size_t> lengths;
    for (int i = 0; i < n; ++i) {
        fasta += ">seq_" + std::to_string(i + 1) + "\n";
        for (int k = 0; k < 1000; ++k) fasta += "ACGT"[random() % 4];
        fasta += "\n";
        lengths.push_back(1000);
    }
    const std::string input = folder + "/set.fasta";
    WriteWholeFile(input, fasta);

    const int shards = 8;
    std::uniform_int_distribution<int> compared(600, 1000);
    const std::string shardList = bench::WriteSyntheticShards(folder, fasta, lengths, shards, [&] {
        const int g = compared(random);
        const int m = g - static_cast<int>(random() % (g / 2));
        return static_cast<float>(static_cast<double>(m) / g);
    });
    const std::string merge = ShellQuote(kKvr) + " merge " + ShellQuote(input) + shardList +
                              " --quiet --scores " + ShellQuote(folder + "/col.txt");
    const Measure streamed =
        Run(merge + " --plot-data " + ShellQuote(folder + "/plt.txt") + " >/dev/null");
    const Measure table =
        Run(merge + " --session " + ShellQuote(folder + "/s.kvr") + " >/dev/null");
    const double pairs = static_cast<double>(PairCount(n));
    std::printf(
        "kvr merge %d sequences (%.0f pairs, 8 shards): scores and plot data %.1f s, "
        "peak %.0f MB (status %d); with the session (the table) %.1f s, peak %.0f MB "
        "(status %d)\n",
        n, pairs, streamed.seconds, streamed.peakMegabytes, streamed.status, table.seconds,
        table.peakMegabytes, table.status);
    for (int k = 0; k < shards; ++k)
        DeleteFileQuietly(folder + "/shard" + std::to_string(k + 1) + ".tsv");
    for (const char* name : {"/set.fasta", "/col.txt", "/plt.txt", "/s.kvr"})
        DeleteFileQuietly(folder + name);
}

}  // namespace

int main(int argc, char** argv) {
    char folderName[] = "/tmp/kvr-bench-shards-XXXXXX";
    const std::string folder = ::mkdtemp(folderName);
    PerPairTime(folder);
    std::vector<int> sizes;
    for (int a = 1; a < argc; ++a) sizes.push_back(std::stoi(argv[a]));
    if (sizes.empty()) sizes = {2000, 5000, 10000};
    for (const int n : sizes) MergeMemory(folder, n);
    ::rmdir(folder.c_str());
    return 0;
}

// What the alignment costs on top of the counts: every pair of the first sequences of a test
// data set aligned for its counts only and for its counts and alignment, rounds alternating, in
// the thread's processor time. `bench_alignment [FILE [SEQUENCES [ROUNDS]]]`.
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "align/align.h"
#include "io/fasta.h"
#include "io/file_io.h"

namespace {

double ThreadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string file = argc > 1 ? argv[1] : "orchid_its.fasta";
    const std::size_t count = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 30;
    const int rounds = argc > 3 ? std::atoi(argv[3]) : 3;
    const auto text = kvr::ReadWholeFile(std::string(KVR_TEST_DATA) + "/" + file);
    if (!text) {
        std::fprintf(stderr, "cannot read %s\n", file.c_str());
        return 1;
    }
    kvr::RecordTable records(static_cast<std::size_t>(std::count(text->begin(), text->end(), '>')));
    int maxNameLen = 0;
    if (!kvr::ParseFastaRecords(kvr::CleanFastaText(*text), records, 0, maxNameLen)) return 1;
    records.resize(std::min(count, records.size()));

    double countsOnly = 0, withAlignment = 0;
    std::size_t pairs = 0, differ = 0;
    for (int round = 0; round < rounds; ++round) {
        for (std::size_t i = 0; i < records.size(); ++i) {
            for (std::size_t j = i + 1; j < records.size(); ++j) {
                const std::string& a = records[i].residues;
                const std::string& b = records[j].residues;
                double start = ThreadSeconds();
                const kvr::align::PairCounts plain = kvr::align::AlignPair(a, b);
                countsOnly += ThreadSeconds() - start;
                kvr::align::PairAlignment alignment;
                start = ThreadSeconds();
                const kvr::align::PairCounts traced = kvr::align::AlignPair(a, b, {}, alignment);
                withAlignment += ThreadSeconds() - start;
                if (!(plain == traced)) ++differ;
                if (round == 0) ++pairs;
            }
        }
    }
    const double perPair = 1000.0 / static_cast<double>(pairs * static_cast<std::size_t>(rounds));
    std::printf("%s, first %zu sequences: %zu pairs x %d rounds\n", file.c_str(), records.size(),
                pairs, rounds);
    std::printf("counts only       %.4f ms a pair\n", countsOnly * perPair);
    std::printf("with alignment    %.4f ms a pair (%+.2f %%)\n", withAlignment * perPair,
                100.0 * (withAlignment - countsOnly) / countsOnly);
    std::printf("pairs whose counts differ: %zu\n", differ);
    return differ == 0 ? 0 : 1;
}

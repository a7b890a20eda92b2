// Sets of whole virus genomes like those users align, synthesised with a fixed seed and written
// as FASTA, for timing `kvr run` on them (bench/align/time_genome_sets.sh):
//   phage   100 genomes of 40-60 kb in 10 unrelated lineages, 1-10 % apart within a lineage
//   corona  50 genomes of 30 kb, 90-99 % identical (five clades of one ancestor)
//   zika    180 genomes of about 10 kb in three lineages, 95-99 % identical; one in six has runs
//           of N over 50-70 % of its length (a partial genome)
//   bench_genome_sets phage|corona|zika FILE
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "align/synthetic_genomes.h"

namespace {

using kvr::bench::AddNRuns;
using kvr::bench::Mutate;
using kvr::bench::Random;
using kvr::bench::Rng;

struct Genome {
    std::string name, residues;
};

double Uniform(Rng& rng, double low, double high) {
    return std::uniform_real_distribution<double>(low, high)(rng);
}

// Each member diverges from its lineage's ancestor by 0.5-5 %, so that two members differ by
// about 1-10 %; the lineages' ancestors are unrelated.
std::vector<Genome> Phage() {
    Rng rng(1001);
    std::vector<Genome> set;
    for (int lineage = 1; lineage <= 10; ++lineage) {
        const std::string ancestor =
            Random(rng, static_cast<std::size_t>(Uniform(rng, 40000, 60000)));
        for (int member = 1; member <= 10; ++member)
            set.push_back({"phage_L" + std::to_string(lineage) + "_" + std::to_string(member),
                           Mutate(rng, ancestor, Uniform(rng, 0.005, 0.05))});
    }
    return set;
}

// Clades 3 % from the root, members 0.25-2 % from their clade's ancestor: 90-99 % identity.
std::vector<Genome> Corona() {
    Rng rng(1002);
    const std::string root = Random(rng, 30000);
    std::vector<Genome> set;
    for (int clade = 1; clade <= 5; ++clade) {
        const std::string ancestor = Mutate(rng, root, 0.03);
        for (int member = 1; member <= 10; ++member)
            set.push_back({"cov_C" + std::to_string(clade) + "_" + std::to_string(member),
                           Mutate(rng, ancestor, Uniform(rng, 0.0025, 0.02))});
    }
    return set;
}

// Lineages 1 % from the root, members 0.25-1 % from their lineage's ancestor: 95-99 %.
std::vector<Genome> Zika() {
    Rng rng(1003);
    const std::string root = Random(rng, 10800);
    std::vector<Genome> set;
    for (int lineage = 1; lineage <= 3; ++lineage) {
        const std::string ancestor = Mutate(rng, root, 0.01);
        for (int member = 1; member <= 60; ++member) {
            std::string residues = Mutate(rng, ancestor, Uniform(rng, 0.0025, 0.01));
            const bool partial = member % 6 == 0;
            if (partial) AddNRuns(rng, residues, Uniform(rng, 0.5, 0.7));
            set.push_back({"zika_L" + std::to_string(lineage) + "_" + std::to_string(member) +
                               (partial ? "_partial" : ""),
                           std::move(residues)});
        }
    }
    return set;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string which = argc == 3 ? argv[1] : "";
    const std::vector<Genome> set = which == "phage"    ? Phage()
                                    : which == "corona" ? Corona()
                                    : which == "zika"   ? Zika()
                                                        : std::vector<Genome>{};
    if (set.empty()) {
        std::fprintf(stderr, "usage: %s phage|corona|zika FILE\n", argv[0]);
        return 2;
    }
    std::ofstream out(argv[2], std::ios::binary);
    for (const Genome& g : set) {
        out << '>' << g.name << '\n';
        for (std::size_t p = 0; p < g.residues.size(); p += 70)
            out << g.residues.substr(p, 70) << '\n';
    }
    out.close();
    if (!out) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[2]);
        return 1;
    }
    return 0;
}

// Time of the groups at a threshold for large sets: complete and single linkage on a table of
// n sequences in families (identities 90 to 100 within a family, 60 to 85 between, many equal
// values), and on a table whose identities are all alike (every merge a tie).
// Usage: bench_groups [n ...] (default 1000 2000 5000).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "model/threshold_groups.h"

namespace {

kvr::IdentityTable Families(int n, bool alike) {
    std::mt19937 random(5000);
    kvr::IdentityTable table(n, 1.0f);
    for (int a = 1; a < n; ++a)
        for (int b = 0; b < a; ++b) {
            const bool kin = a / 50 == b / 50;
            // Whole tenths of a percent: equal identities are common, as in real sets.
            const int tenths = kin ? 900 + static_cast<int>(random() % 101)
                                   : 600 + static_cast<int>(random() % 251);
            table(a, b) = alike ? 0.97f : static_cast<float>(tenths) / 1000.0f;
        }
    return table;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<int> sizes;
    for (int k = 1; k < argc; ++k) sizes.push_back(std::atoi(argv[k]));
    if (sizes.empty()) sizes = {1000, 2000, 5000};
    std::printf("%8s %8s %10s %9s %8s\n", "n", "table", "linkage", "seconds", "groups");
    for (const int n : sizes)
        for (const bool alike : {false, true}) {
            const kvr::IdentityTable table = Families(n, alike);
            std::vector<std::string> names;
            for (int s = 0; s < n; ++s) names.push_back("seq" + std::to_string((s * 7919) % n));
            for (const kvr::Linkage linkage : {kvr::Linkage::Complete, kvr::Linkage::Single}) {
                const auto start = std::chrono::steady_clock::now();
                const kvr::Grouping g =
                    kvr::GroupAtThreshold(kvr::IdentityView(table), names, 95, linkage);
                const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
                std::printf("%8d %8s %10s %9.3f %8d\n", n, alike ? "alike" : "families",
                            linkage == kvr::Linkage::Complete ? "complete" : "single", took.count(),
                            g.Count());
            }
        }
}

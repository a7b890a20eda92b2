// The shard files kvr pairs would write for a FASTA file, with made-up identities, for the
// benchmarks of kvr merge.
#pragma once

#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "io/checksum.h"
#include "kvr_version.h"
#include "model/pair_order.h"
#include "pipeline/external_programs.h"
#include "pipeline/shard_file.h"
#include "pipeline/shard_plan.h"

namespace kvr::bench {

// Writes `shards` shard files of the sequences of fasta (whose lengths plan the shards) into
// folder, each pair's identity drawn from identity in pair order. Returns the files' paths,
// shell-quoted, each after a space.
inline std::string WriteSyntheticShards(const std::string& folder, const std::string& fasta,
                                        const std::vector<std::size_t>& lengths, int shards,
                                        const std::function<float()>& identity) {
    const int n = static_cast<int>(lengths.size());
    const auto plan = PlanShards(lengths, shards);
    std::string list;
    for (int k = 0; k < shards; ++k) {
        ShardHeader header{Sha256Hex(fasta), n,     "builtin", "builtin",
                           kVersion,         k + 1, shards,    plan[k]};
        const std::string path = folder + "/shard" + std::to_string(k + 1) + ".tsv";
        std::ofstream file(path, std::ios::binary);
        file << FormatShardHeader(header);
        PairCursor pair = CursorAt(n, plan[k].first);
        ShardChecksum checksum;
        for (long long p = 0; p < plan[k].count; ++p, pair.Next()) {
            const std::string line = ShardLine(pair.i, pair.j, identity());
            checksum.Add(line);
            file << line;
        }
        file << checksum.Line();
        list += " " + ShellQuote(path);
    }
    return list;
}

}  // namespace kvr::bench

#include "pipeline/shard_plan.h"

#include <algorithm>
#include <charconv>

#include "model/pair_order.h"

namespace kvr {

namespace {

// Exact sums: 20,000 sequences of 100 kb weigh about 10^18 already.
__extension__ typedef unsigned __int128 Work;

Work Weight(std::size_t length) {
    return std::max<std::size_t>(length, 1);
}

}  // namespace

std::vector<PairRange> PlanShards(const std::vector<std::size_t>& lengths, int shards) {
    const int n = static_cast<int>(lengths.size());
    const long long pairs = PairCount(n);
    std::vector<long long> bounds(static_cast<std::size_t>(shards) + 1, 0);
    bounds[shards] = pairs;

    if (shards > pairs) {
        for (int k = 1; k < shards; ++k) bounds[k] = std::min<long long>(k, pairs);
    } else {
        // after[i]: the weight of the sequences after i, so that row i weighs w_i * after[i].
        std::vector<Work> after(static_cast<std::size_t>(n) + 1, 0);
        for (int i = n - 1; i >= 0; --i) after[i] = after[i + 1] + Weight(lengths[i]);
        Work total = 0;
        for (int i = 0; i < n; ++i) total += Weight(lengths[i]) * after[i + 1];

        // Boundary k is the first pair whose work before it reaches k / shards of the total.
        int row = 0;
        long long rowFirst = 0;  // the number of the row's first pair
        Work beforeRow = 0;      // the work of the pairs before the row
        const Work parts = static_cast<Work>(shards);
        for (int k = 1; k < shards; ++k) {
            const Work target = static_cast<Work>(k) * total;
            while (row + 1 < n &&
                   parts * (beforeRow + Weight(lengths[row]) * after[row + 1]) < target) {
                beforeRow += Weight(lengths[row]) * after[row + 1];
                rowFirst += n - row - 1;
                ++row;
            }
            // The first pair t of the row with enough work before it: the row's pairs up to t
            // weigh w_row * (after[row + 1] - after[row + 1 + t]), growing with t.
            const Work rowWeight = Weight(lengths[row]);
            long long low = 0;
            long long high = row + 1 < n ? n - row - 1 : 0;
            while (low < high) {
                const long long t = low + (high - low) / 2;
                if (parts * (beforeRow + rowWeight * (after[row + 1] - after[row + 1 + t])) <
                    target)
                    low = t + 1;
                else
                    high = t;
            }
            const long long bound = rowFirst + low;
            // Every shard keeps at least one pair, and leaves one for each shard after it.
            bounds[k] = std::clamp(bound, bounds[k - 1] + 1, pairs - (shards - k));
        }
    }

    std::vector<PairRange> ranges;
    ranges.reserve(static_cast<std::size_t>(shards));
    for (int k = 0; k < shards; ++k) ranges.push_back({bounds[k], bounds[k + 1] - bounds[k]});
    return ranges;
}

double RangeWork(const std::vector<std::size_t>& lengths, const PairRange& range) {
    const int n = static_cast<int>(lengths.size());
    double work = 0;
    PairCursor pair = CursorAt(n, range.first);
    for (long long k = 0; k < range.count && !pair.AtEnd(); ++k, pair.Next())
        work += static_cast<double>(Weight(lengths[pair.i]) * Weight(lengths[pair.j]));
    return work;
}

Result<ShardChoice> ParseShard(const std::string& text) {
    const Problem problem{"--shard needs K/N, the shard K of N shards (1 <= K <= N), not '" + text +
                          "'"};
    int shard = 0;
    int shards = 0;
    const auto slash = text.find('/');
    if (slash == std::string::npos) return problem;
    const char* begin = text.data();
    const char* end = begin + text.size();
    const auto [kEnd, kError] = std::from_chars(begin, begin + slash, shard);
    const auto [nEnd, nError] = std::from_chars(begin + slash + 1, end, shards);
    if (kError != std::errc() || kEnd != begin + slash || nError != std::errc() || nEnd != end)
        return problem;
    if (shards < 1 || shards > kMostShards)
        return Problem{"--shard " + text + ": the number of shards must be 1 to " +
                       std::to_string(kMostShards)};
    if (shard < 1 || shard > shards)
        return Problem{"--shard " + text + ": there is no shard " + std::to_string(shard) + " of " +
                       std::to_string(shards) + " (1 to " + std::to_string(shards) + ")"};
    return ShardChoice{shard, shards};
}

}  // namespace kvr

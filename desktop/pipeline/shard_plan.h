// Splitting the pairs of an all-pairs run into shards that other machines align: each shard is a
// run of consecutive pairs in loop order, and the shards' work (the sum of the products of the
// two sequences' lengths, which the time of an alignment follows) is balanced.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "model/result.h"

namespace kvr {

// Pairs first ... first + count - 1, by number in loop order.
struct PairRange {
    long long first = 0;
    long long count = 0;
    bool operator==(const PairRange&) const = default;
};

// The ranges of the shards 1 ... shards over sequences of these lengths, in order. Together they
// hold every pair once. No shard is empty while there are as many pairs as shards; with more
// shards than pairs, shard k <= pairs holds pair k and the others none.
std::vector<PairRange> PlanShards(const std::vector<std::size_t>& lengths, int shards);

// The work of a range: the sum of the products of its pairs' lengths (an empty sequence counts
// as one residue, so that every pair weighs something).
double RangeWork(const std::vector<std::size_t>& lengths, const PairRange& range);

// More shards than this are refused: their plan alone would not fit in memory.
inline constexpr int kMostShards = 10'000'000;

// The shard K of N shards.
struct ShardChoice {
    int shard = 0;
    int shards = 0;
    bool operator==(const ShardChoice&) const = default;
};

// "K/N" as two numbers, 1 <= K <= N, or why it is not.
Result<ShardChoice> ParseShard(const std::string& text);

}  // namespace kvr

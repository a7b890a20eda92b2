#include "pipeline/twin_pairs.h"

namespace kvr {

namespace {

// Counts kept at most: about 50 bytes each (48 measured), so about 50 MB at most. Past it,
// repeated pairs are aligned again.
constexpr std::size_t kMostKept = std::size_t{1} << 20;

}  // namespace

TwinPairs::TwinPairs(const RecordTable& records) {
    ids_.reserve(records.size());
    for (const Record& record : records) {
        const auto [at, added] =
            ids_.try_emplace(record.residues, static_cast<std::uint32_t>(twinned_.size()));
        if (added) {
            twinned_.push_back(false);
        } else {
            twinned_[at->second] = true;
            anyTwins_ = true;
        }
    }
}

std::optional<std::uint64_t> TwinPairs::Key(std::string_view a, std::string_view b) const {
    if (!anyTwins_) return std::nullopt;
    const auto ia = ids_.find(a), ib = ids_.find(b);
    if (ia == ids_.end() || ib == ids_.end()) return std::nullopt;
    if (!twinned_[ia->second] && !twinned_[ib->second]) return std::nullopt;
    return std::uint64_t{ia->second} << 32 | ib->second;
}

std::optional<align::PairCounts> TwinPairs::Find(std::uint64_t key) const {
    const auto found = kept_.find(key);
    if (found == kept_.end()) return std::nullopt;
    return found->second;
}

void TwinPairs::Keep(std::uint64_t key, const align::PairCounts& counts) {
    if (kept_.size() < kMostKept) kept_.emplace(key, counts);
}

}  // namespace kvr

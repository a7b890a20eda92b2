// The tree reader: the taxon names made from name lines never collide, and a tree order that is
// accepted is a permutation of the taxa with the outgroup last.
#include <algorithm>
#include <numeric>
#include <unordered_set>

#include "fuzz/fuzz_check.h"
#include "io/tree_input.h"
#include "pipeline/tree_order.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Name lines, one a line, then the tree text.
    const auto [names, tree] = kvr::fuzz::SplitInput(kvr::fuzz::AsText(data, size));
    kvr::RecordTable records;
    for (std::size_t start = 0; start < names.size() && records.size() < 1000;) {
        auto end = names.find('\n', start);
        if (end == std::string_view::npos) end = names.size();
        records.push_back({">" + std::string(names.substr(start, end - start)), "ACGT"});
        start = end + 1;
    }
    const int n = static_cast<int>(records.size());
    const std::vector<std::string> treeNames = kvr::MakeTreeNames(records, n);
    FUZZ_CHECK(treeNames.size() == records.size() + 1);
    std::unordered_set<std::string> keys;
    for (const std::string& name : treeNames) {
        FUZZ_CHECK(name.size() == 10);
        FUZZ_CHECK(keys.insert(kvr::TreeNameKey(name)).second);
    }

    const kvr::Result<std::vector<int>> read = kvr::ReadTreeOrder(tree, treeNames);
    if (!read) {
        FUZZ_CHECK(!read.problem().message.empty());
        return 0;
    }
    const std::vector<int>& order = read.value();
    FUZZ_CHECK(order.size() == treeNames.size());
    FUZZ_CHECK(order.back() == n);
    std::vector<int> sorted = order;
    std::sort(sorted.begin(), sorted.end());
    std::vector<int> all(sorted.size());
    std::iota(all.begin(), all.end(), 0);
    FUZZ_CHECK(sorted == all);
    return 0;
}

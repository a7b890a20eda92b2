// The built-in pool's memory turns in the product path: two threads whose pairs cannot both have
// their memory at once still align both, the one short of memory after the other, alone.
// Run in a child process whose address space has room for one pair's work space and a margin.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "pipeline/builtin_pool.h"

namespace kvr {
namespace {

std::string Random(std::mt19937& rng, std::size_t n) {
    std::string s(n, 'A');
    for (char& c : s) c = "ACGT"[rng() % 4];
    return s;
}

// This process's address space and its peak so far, in bytes (/proc/self/status).
std::size_t StatusBytes(const std::string& key) {
    std::ifstream in("/proc/self/status");
    for (std::string line; std::getline(in, line);)
        if (line.rfind(key + ":", 0) == 0) return std::stoull(line.substr(key.size() + 1)) << 10;
    return 0;
}

std::vector<align::PairCounts> Align(BuiltinPool& pool, const std::vector<align::PairTask>& tasks) {
    std::vector<align::PairCounts> out;
    const std::atomic<bool> cancel{false};
    pool.Start(tasks, out, &cancel);
    while (!pool.Wait(std::chrono::milliseconds(50))) {
    }
    return out;
}

// In the child: 0 when both pairs were aligned, as when aligned one by one; else what went wrong.
int TwoPairsShortOfMemory() {
    std::mt19937 rng(7);
    // Unrelated genomes: each pair's band grows to most of the matrix (about 130 MB).
    const std::string a = Random(rng, 12000), b = Random(rng, 12000), c = Random(rng, 12000),
                      d = Random(rng, 12000);
    BuiltinPool one(1);
    BuiltinPool two(2);
    const std::size_t before = StatusBytes("VmSize");
    const std::vector<align::PairCounts> alone = Align(one, {{a, b}, {c, d}});
    const std::size_t pair = StatusBytes("VmPeak") - before;
    if (alone[0].status != align::Status::Ok || alone[1].status != align::Status::Ok) return 2;
    if (pair < (std::size_t{128} << 20))
        return 3;  // too little work space to tell one pair from two
    // Room for one pair's work space and a third of another's: two at once cannot both have theirs.
    const rlimit limit{StatusBytes("VmSize") + pair + pair / 3, RLIM_INFINITY};
    if (setrlimit(RLIMIT_AS, &limit) != 0) return 4;
    const std::vector<align::PairCounts> both = Align(two, {{a, b}, {c, d}});
    for (std::size_t k = 0; k < 2; ++k) {
        if (both[k].status == align::Status::NoMemory) return 10 + static_cast<int>(k);
        if (both[k].status != align::Status::Ok || both[k].matches != alone[k].matches ||
            both[k].columns != alone[k].columns)
            return 20 + static_cast<int>(k);
    }
    return 0;
}

TEST(BuiltinPool, APairShortOfMemoryWaitsForTheOtherThreadAndRunsAlone) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) _exit(TwoPairsShortOfMemory());
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    // 10 or 11: a pair came back NoMemory; 20 or 21: its counts differ from aligning it alone.
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
}  // namespace kvr

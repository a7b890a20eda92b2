// The file of one shard: a header that says what was aligned (the input's checksum, the aligner
// and its command line, the program's version, the shard and its pairs; then, when known, the
// version the aligner reports, the pair time limit and "#ambiguous skip" for identities that skip
// the ambiguity codes), then one line per pair in loop order: first and second sequence (1-based,
// input order), the identity as the plain single text, and the same identity with every digit its
// single-precision value needs, so that a merge rebuilds the table bit for bit, and the columns
// the identity was computed from (the gap-free columns, the matches among the compared columns,
// whether the pair was aligned whole or in a bounded band, and the compared columns); shards of
// older kvr lack these four fields, which their column line says; last, a checksum of the pair
// lines, so that a line edited in both identity columns is caught. Tab-separated, CR LF line ends.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <string_view>

#include "model/pair_count_table.h"
#include "pipeline/run_options.h"
#include "pipeline/shard_plan.h"

namespace kvr {

inline constexpr const char* kShardFileTag = "#kvr-pairs\t1";
inline constexpr const char* kShardColumns = "first\tsecond\tidentity\texact";
// The columns of a shard that keeps each pair's counts: "exact" is the identity's exact text,
// "in_band" 1 unless the built-in aligner kept to a bounded band (the table's "exact" column).
inline constexpr const char* kShardCountColumns =
    "first\tsecond\tidentity\texact\taligned_columns\tmatches\tin_band\tcompared_columns";

struct ShardHeader {
    std::string inputChecksum;  // Sha256Hex of the input file's bytes
    int sequences = 0;
    std::string aligner;  // the aligner kind
    std::string command;  // its command template, or the built-in aligner's name
    std::string version;  // the program's version
    int shard = 0;        // 1 ... shards
    int shards = 0;
    PairRange pairs;  // the pairs of the shard, by number in loop order
    // Written only when not empty (older shards have neither line):
    std::string alignerVersion{};  // as the aligner reports it (pipeline/aligner_version.h)
    std::string pairTimeout{};     // the pair time limit in seconds, "none" without one
    bool counts = false;           // the pair lines hold the counts (kShardCountColumns)
    AmbiguityRule ambiguous = AmbiguityRule::Count;  // the columns the identities compare
    bool operator==(const ShardHeader&) const = default;
};

// The header lines and the column line.
std::string FormatShardHeader(const ShardHeader& header);

// The line of pair (i, j), input positions from 0: without counts (kShardColumns), or with them
// (kShardCountColumns; counts not known leave their two fields empty).
std::string ShardLine(int i, int j, float identity);
std::string ShardLine(int i, int j, float identity, AlignedCounts counts);

// The checksum of the pair lines (FNV-1a, 64 bits, over each line with its CR LF): the last line
// of a shard, "#checksum\tfnv1a64:" and 16 hex digits.
class ShardChecksum {
  public:
    void Add(std::string_view line);  // one pair line as ShardLine gives it
    std::string Line() const;         // the checksum line, CR LF included
    std::string Value() const;        // "fnv1a64:" and the digits

  private:
    std::uint64_t hash_ = 14695981039346656037ull;
};

// Reads a shard file line by line. Every problem names the line.
class ShardReader {
  public:
    // Opens the file and reads its header; false, with the problem, when it is not a shard file.
    bool Open(const std::string& path, std::string& problem);
    const ShardHeader& Header() const { return header_; }
    // The next pair: true with i, j (from 0) and the identity; false at the end of the pairs
    // (problem empty), or, with the problem, on a line that is not a pair line, a checksum line
    // that does not match the pair lines, or a file that ends without one.
    bool Next(int& i, int& j, float& identity, std::string& problem);
    // The same with the pair's counts, not known (0) in a shard without them.
    bool Next(int& i, int& j, float& identity, AlignedCounts& counts, std::string& problem);

  private:
    bool ReadLine(std::string& line);
    std::ifstream in_;
    long long lineNumber_ = 0;
    ShardHeader header_;
    ShardChecksum checksum_;
    bool ended_ = false;  // the checksum line was read
    long long pairsRead_ = 0;
};

}  // namespace kvr

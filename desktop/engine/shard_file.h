// The file of one shard: a header that says what was aligned (the input's checksum, the aligner
// and its command line, the program's version, the shard and its pairs), then one line per pair
// in loop order: first and second sequence (1-based, input order), the identity as the plain
// single text, and the same identity with every digit its single-precision value needs, so that
// a merge rebuilds the table bit for bit. Tab-separated, CR LF line ends.
#pragma once

#include <fstream>
#include <string>

#include "engine/shard_plan.h"

namespace kvr {

inline constexpr const char* kShardFileTag = "#kvr-pairs\t1";
inline constexpr const char* kShardColumns = "first\tsecond\tidentity\texact";

struct ShardHeader {
    std::string inputChecksum;  // Sha256Hex of the input file's bytes
    int sequences = 0;
    std::string aligner;  // the aligner kind
    std::string command;  // its command template, or the built-in aligner's name
    std::string version;  // the program's version
    int shard = 0;        // 1 ... shards
    int shards = 0;
    PairRange pairs;  // the pairs of the shard, by number in loop order
    bool operator==(const ShardHeader&) const = default;
};

// The header lines and the column line.
std::string FormatShardHeader(const ShardHeader& header);

// The line of pair (i, j), input positions from 0.
std::string ShardLine(int i, int j, float identity);

// Reads a shard file line by line. Every problem names the line.
class ShardReader {
  public:
    // Opens the file and reads its header; false, with the problem, when it is not a shard file.
    bool Open(const std::string& path, std::string& problem);
    const ShardHeader& Header() const { return header_; }
    // The next pair: true with i, j (from 0) and the identity; false at the end of the file
    // (problem empty) or on a line that is not a pair line (problem says which).
    bool Next(int& i, int& j, float& identity, std::string& problem);

  private:
    bool ReadLine(std::string& line);
    std::ifstream in_;
    long long lineNumber_ = 0;
    ShardHeader header_;
};

}  // namespace kvr

#include "pipeline/shard_file.h"

#include <charconv>
#include <string_view>
#include <vector>

#include "io/file_io.h"
#include "io/number_text.h"
#include "io/text.h"
#include "pipeline/shard_plan.h"

namespace kvr {

namespace {

std::vector<std::string_view> Fields(std::string_view line) {
    std::vector<std::string_view> fields;
    for (std::size_t start = 0;;) {
        const auto tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab - start));
        if (tab == std::string_view::npos) return fields;
        start = tab + 1;
    }
}

template <typename Number>
bool Parse(std::string_view text, Number& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && !text.empty();
}

}  // namespace

std::string FormatShardHeader(const ShardHeader& h) {
    std::string text;
    const auto line = [&text](std::string_view key, const std::string& value) {
        text.append("#").append(key).append("\t").append(value).append(kLineEnd);
    };
    text.append(kShardFileTag).append(kLineEnd);
    line("input-sha256", h.inputChecksum);
    line("sequences", std::to_string(h.sequences));
    line("aligner", h.aligner);
    line("command", h.command);
    line("version", h.version);
    line("shard", std::to_string(h.shard) + "/" + std::to_string(h.shards));
    line("pairs", std::to_string(h.pairs.first + 1) + "\t" + std::to_string(h.pairs.count));
    if (!h.alignerVersion.empty()) line("aligner-version", h.alignerVersion);
    if (!h.pairTimeout.empty()) line("pair-timeout", h.pairTimeout);
    if (h.ambiguous != AmbiguityRule::Count) line("ambiguous", AmbiguityRuleName(h.ambiguous));
    text.append(h.counts ? kShardCountColumns : kShardColumns).append(kLineEnd);
    return text;
}

namespace {

// The line of ShardLine without its line end.
std::string PairFields(int i, int j, float identity) {
    std::string line = std::to_string(i + 1);
    line.append("\t").append(std::to_string(j + 1)).append("\t").append(PlainSingle(identity));
    line.append("\t").append(ExactSingle(identity));
    return line;
}

// Two count fields: both empty, or the gap-free columns (1 or more) and the matches among them.
bool ParseCounts(const std::vector<std::string_view>& fields, AlignedCounts& counts) {
    counts = {};
    const std::string_view gapFree = fields[4], matches = fields[5], exact = fields[6],
                           compared = fields[7];
    if (gapFree.empty() && matches.empty() && exact.empty() && compared.empty()) return true;
    counts.exact = exact == "1";
    return Parse(gapFree, counts.gapFree) && Parse(matches, counts.matches) &&
           Parse(compared, counts.compared) && counts.gapFree > 0 &&
           counts.compared <= counts.gapFree && counts.matches <= counts.compared &&
           (exact == "1" || exact == "0");
}

}  // namespace

std::string ShardLine(int i, int j, float identity) {
    return PairFields(i, j, identity).append(kLineEnd);
}

std::string ShardLine(int i, int j, float identity, AlignedCounts counts) {
    std::string line = PairFields(i, j, identity);
    line.append("\t");
    if (counts.Known())
        line.append(std::to_string(counts.gapFree))
            .append("\t")
            .append(std::to_string(counts.matches))
            .append(counts.exact ? "\t1\t" : "\t0\t")
            .append(std::to_string(counts.compared));
    else
        line.append("\t\t\t");
    return line.append(kLineEnd);
}

constexpr std::string_view kChecksumKey = "#checksum\t";

void ShardChecksum::Add(std::string_view line) {
    for (const char c : line) {
        hash_ ^= static_cast<unsigned char>(c);
        hash_ *= 1099511628211ull;
    }
}

std::string ShardChecksum::Value() const {
    constexpr char kHex[] = "0123456789abcdef";
    std::string value = "fnv1a64:";
    for (int shift = 60; shift >= 0; shift -= 4) value += kHex[(hash_ >> shift) & 15];
    return value;
}

std::string ShardChecksum::Line() const {
    return std::string(kChecksumKey) + Value() + std::string(kLineEnd);
}

bool ShardReader::ReadLine(std::string& line) {
    if (!std::getline(in_, line)) return false;
    ++lineNumber_;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
}

bool ShardReader::Open(const std::string& path, std::string& problem) {
    in_.open(path, std::ios::binary);
    if (!in_) {
        problem = "cannot be read";
        return false;
    }
    std::string line;
    if (!ReadLine(line) || line != kShardFileTag) {
        problem = "is not a shard file of kvr pairs (its first line is not \"#kvr-pairs\")";
        return false;
    }
    const char* keys[] = {"input-sha256", "sequences", "aligner", "command",
                          "version",      "shard",     "pairs"};
    for (const char* key : keys) {
        const std::string where = "line " + std::to_string(lineNumber_ + 1);
        if (!ReadLine(line) || !line.starts_with(std::string("#") + key + "\t")) {
            problem = where + " should start with \"#" + key + "\": the header is damaged";
            return false;
        }
        const std::string value = line.substr(std::string_view(key).size() + 2);
        const std::string_view keyName = key;
        bool ok = true;
        if (keyName == "input-sha256") {
            header_.inputChecksum = value;
        } else if (keyName == "sequences") {
            ok = Parse(value, header_.sequences) && header_.sequences >= 0;
        } else if (keyName == "aligner") {
            header_.aligner = value;
        } else if (keyName == "command") {
            header_.command = value;
        } else if (keyName == "version") {
            header_.version = value;
        } else if (keyName == "shard") {
            const auto slash = value.find('/');
            ok = slash != std::string::npos &&
                 Parse(std::string_view(value).substr(0, slash), header_.shard) &&
                 Parse(std::string_view(value).substr(slash + 1), header_.shards) &&
                 header_.shard >= 1 && header_.shard <= header_.shards &&
                 header_.shards <= kMostShards;  // as kvr pairs: a larger plan would not fit
        } else {
            const auto fields = Fields(value);
            ok = fields.size() == 2 && Parse(fields[0], header_.pairs.first) &&
                 Parse(fields[1], header_.pairs.count) && header_.pairs.first >= 1 &&
                 header_.pairs.count >= 0;
            --header_.pairs.first;
        }
        if (!ok) {
            problem = where + ": \"" + line + "\" is not a valid #" + key + " line";
            return false;
        }
    }
    // The lines later versions added, each when known and in this order, then the column names.
    bool more = ReadLine(line);
    for (const auto& [key, value] : {std::pair{"#aligner-version\t", &header_.alignerVersion},
                                     std::pair{"#pair-timeout\t", &header_.pairTimeout}}) {
        if (!more || !line.starts_with(key)) continue;
        *value = line.substr(std::string_view(key).size());
        more = ReadLine(line);
    }
    constexpr std::string_view kAmbiguousKey = "#ambiguous\t";
    if (more && line.starts_with(kAmbiguousKey)) {
        const auto rule = AmbiguityRuleNamed(std::string_view(line).substr(kAmbiguousKey.size()));
        if (!rule) {
            problem = "line " + std::to_string(lineNumber_) + ": \"" + line +
                      "\" is not a valid #ambiguous line";
            return false;
        }
        header_.ambiguous = *rule;
        more = ReadLine(line);
    }
    header_.counts = more && line == kShardCountColumns;
    if (!more || (line != kShardColumns && !header_.counts)) {
        problem = "line " + std::to_string(lineNumber_) + " should be the column names \"" +
                  kShardCountColumns + "\" (or, from an older kvr, \"" + kShardColumns +
                  "\"): the header is damaged";
        return false;
    }
    return true;
}

bool ShardReader::Next(int& i, int& j, float& identity, std::string& problem) {
    AlignedCounts counts;
    return Next(i, j, identity, counts, problem);
}

bool ShardReader::Next(int& i, int& j, float& identity, AlignedCounts& counts,
                       std::string& problem) {
    problem.clear();
    std::string line;
    if (ended_) return false;
    if (!ReadLine(line)) {
        // A file cut among its pairs is the caller's to explain, by the pairs it lacks.
        if (in_.bad())
            problem = "could not be read to its end";
        else if (pairsRead_ >= header_.pairs.count)
            problem = "ends without its checksum line: it was cut short";
        return false;
    }
    if (line.starts_with(kChecksumKey)) {
        ended_ = true;
        if (line.substr(kChecksumKey.size()) != checksum_.Value())
            problem = "line " + std::to_string(lineNumber_) +
                      ": the pair lines do not match the file's checksum (" +
                      line.substr(kChecksumKey.size(), 40) +
                      "): the file was changed after kvr pairs wrote it";
        else if (std::string more; ReadLine(more))
            problem = "line " + std::to_string(lineNumber_) + " follows the checksum line";
        return false;
    }
    ++pairsRead_;
    checksum_.Add(line);
    checksum_.Add(kLineEnd);
    const auto fields = Fields(line);
    float exact = 0;
    const std::size_t size = header_.counts ? 8 : 4;
    const bool parsed = fields.size() == size && Parse(fields[0], i) && Parse(fields[1], j) &&
                        Parse(fields[3], exact) && exact >= 0.0f && exact <= 1.0f &&
                        (!header_.counts || ParseCounts(fields, counts));
    // The plain text must be the exact value's: a line edited in one column only is damaged.
    if (!parsed || PlainSingle(exact) != fields[2]) {
        problem = "line " + std::to_string(lineNumber_) + " is not a pair line (\"" +
                  ReplaceAll(header_.counts ? kShardCountColumns : kShardColumns, "\t", "\\t") +
                  "\", an identity from 0 to 1" +
                  (header_.counts ? ", the matches at most the aligned columns" : "") + "): \"" +
                  line.substr(0, 80) + "\"";
        return false;
    }
    if (!header_.counts) counts = {};
    --i;
    --j;
    identity = exact;
    return true;
}

}  // namespace kvr

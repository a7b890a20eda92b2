// How the identities of an analysis were made, as its session keeps it: the program and its
// version, the aligner with the version it reports and its command line, the options that change
// the numbers, the input's SHA-256, the date, and the tree that ordered the sequences. An empty
// record means "unknown": a session written before sessions kept one.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "model/aligner.h"

namespace kvr {

// The keys kvr writes, in the order it writes them. A session may hold others (a later kvr's):
// they are kept as they are.
namespace provenance_key {
inline constexpr std::string_view kProgram = "program";  // "kvr 1.2.0", "KVRv1 1.2.0"
inline constexpr std::string_view kCommand =
    "command";  // "run", "append", "merge", "rerun"; a list
inline constexpr std::string_view kAligner = "aligner";                 // "builtin", "muscle", ...
inline constexpr std::string_view kAlignerVersion = "aligner-version";  // as the aligner says it
inline constexpr std::string_view kAlignerCommand = "aligner-command";  // its command template
inline constexpr std::string_view kAlphabet = "alphabet";         // built-in: "set" or "muscle"
inline constexpr std::string_view kPairMemory = "pair-memory";    // built-in: "1024 MB"
inline constexpr std::string_view kAmbiguous = "ambiguous";       // "count" or "skip"
inline constexpr std::string_view kPairTimeout = "pair-timeout";  // seconds, or "none"
inline constexpr std::string_view kTreeOrder = "tree-order";      // "yes" or "no"
inline constexpr std::string_view kShards = "shards";             // kvr merge: how many
inline constexpr std::string_view kInput = "input";               // the FASTA file; a list
inline constexpr std::string_view kInputSha256 = "input-sha256";  // a list
inline constexpr std::string_view kDate = "date";                 // UTC, ISO 8601; a list
}  // namespace provenance_key

// The keys every record is shown with (kvr info), "unknown" when a record lacks one.
inline constexpr std::string_view kStandardProvenanceKeys[] = {provenance_key::kProgram,
                                                               provenance_key::kCommand,
                                                               provenance_key::kAligner,
                                                               provenance_key::kAlignerVersion,
                                                               provenance_key::kAlignerCommand,
                                                               provenance_key::kAmbiguous,
                                                               provenance_key::kPairTimeout,
                                                               provenance_key::kTreeOrder,
                                                               provenance_key::kInput,
                                                               provenance_key::kInputSha256,
                                                               provenance_key::kDate};

inline constexpr std::string_view kUnknown = "unknown";
// A value made of several different ones: "mixed: muscle, builtin".
inline constexpr std::string_view kMixedPrefix = "mixed: ";

struct Provenance {
    std::vector<std::pair<std::string, std::string>> entries;  // in the order written
    std::string tree;  // Newick of the tree that ordered the sequences, ";" last; "" when none

    bool Known() const { return !entries.empty() || !tree.empty(); }
    // The value of key, "" when the record has none.
    std::string Get(std::string_view key) const;
    // Replaces the value of key, or adds it at the end.
    void Set(std::string_view key, std::string value);
    bool operator==(const Provenance&) const = default;
};

// The record of an append: the session's record (unknown when empty) and the run that added
// sequences to it. The aligner, its version and command, the program and the options (the
// ambiguity rule among them, RecordedAmbiguityRule) become
// "mixed: A, B" where they differ (the distinct values, in order); the commands, inputs, checksums
// and dates are listed in order, one for each step; the order and the tree are the run's.
Provenance AppendedProvenance(const Provenance& session, const Provenance& run);

// One value for several: the value itself when they are all the same, else "mixed: " and each
// distinct value once, in order ("unknown" for an empty one; a mixed value counts as its parts).
std::string MixedValue(const std::vector<std::string>& values);

// The values a recorded value names: "muscle" -> {muscle}; "mixed: muscle, builtin" -> both;
// "unknown" parts are left out.
std::vector<std::string> NamedValues(std::string_view value);

// Adding pairs of aligner to identities of this record would mix aligners: the record names
// another one for them (not when it names none but this one, or none at all).
bool WouldMixAligners(const Provenance& record, std::string_view aligner);

// The ambiguity rule a record says its identities were made with: its own value, or "count" for
// the record of a run made before runs recorded their rule (it names an aligner but no rule: every
// run counted then); "" when it says nothing of a run.
std::string RecordedAmbiguityRule(const Provenance& record);

// Adding pairs compared under rule ("count" or "skip") to identities of this record would mix
// ambiguity rules, as WouldMixAligners has it for aligners.
bool WouldMixAmbiguityRules(const Provenance& record, std::string_view rule);

// The date and time now in UTC, ISO 8601: "2025-03-04T05:06:07Z".
std::string UtcTimestamp();

}  // namespace kvr

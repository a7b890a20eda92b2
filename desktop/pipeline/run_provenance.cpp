#include "pipeline/run_provenance.h"

#include "io/checksum.h"
#include "io/file_io.h"
#include "io/mapped_file.h"
#include "io/number_text.h"
#include "kvr_version.h"
#include "pipeline/builtin_pairs.h"

namespace kvr {

namespace {

std::string ProgramText(std::string_view program, std::string_view version) {
    return std::string(program) + " " + std::string(version);
}

std::string InputName(const std::string& input) {
    return input == "-" ? "standard input" : input;
}

// The record's keys in their order, up to the input.
void SetMethod(Provenance& record, std::string_view program, const RunFacts& facts,
               std::string_view aligner) {
    using namespace provenance_key;
    record.Set(kProgram, std::string(program));
    record.Set(kCommand, facts.command);
    record.Set(kAligner, std::string(aligner));
    record.Set(kAlignerVersion,
               facts.alignerVersion.empty() ? std::string(kUnknown) : facts.alignerVersion);
    record.Set(kAlignerCommand, facts.alignerCommand);
}

void SetInput(Provenance& record, const RunFacts& facts) {
    using namespace provenance_key;
    record.Set(kInput, InputName(facts.input));
    record.Set(kInputSha256,
               facts.inputChecksum.empty() ? std::string(kUnknown) : facts.inputChecksum);
    record.Set(kDate, UtcTimestamp());
}

}  // namespace

std::string AlignerCommand(const AlignerConfig& programs, Aligner kind) {
    if (kind == Aligner::Builtin) return std::string(AlignerName(kind));
    const ProgramSetting* setting = programs.Program(kind);
    return setting == nullptr ? std::string(kUnknown) : setting->value;
}

std::string PairTimeoutText(double seconds) {
    return seconds > 0 ? SecondsText(static_cast<float>(seconds)) : "none";
}

std::optional<std::string> InputChecksum(const std::string& path) {
    if (const MappedFile mapped(path); mapped.Ok()) return Sha256Hex(mapped.Text());
    if (const auto bytes = ReadWholeFile(path)) return Sha256Hex(*bytes);
    return std::nullopt;
}

Provenance RunProvenance(const RunOptions& options, const RunFacts& facts) {
    using namespace provenance_key;
    Provenance record;
    SetMethod(record, ProgramText(facts.program, kVersion), facts, AlignerName(options.aligner));
    // The built-in aligner's model and memory change its numbers; the external ones ignore them.
    if (options.aligner == Aligner::Builtin) {
        record.Set(kAlphabet, AlphabetRuleName(options.alphabet));
        record.Set(kPairMemory, std::to_string(options.pairMemoryMegabytes) + " MB");
    }
    record.Set(kAmbiguous, AmbiguityRuleName(options.ambiguous));
    record.Set(kPairTimeout, PairTimeoutText(options.pairTimeoutSeconds));
    record.Set(kTreeOrder, options.useTree ? "yes" : "no");
    SetInput(record, facts);
    return record;
}

Provenance MergedProvenance(const std::vector<ShardHeader>& shards, const RunOptions& options,
                            const RunFacts& facts) {
    using namespace provenance_key;
    const ShardHeader& first = shards.front();
    // Every shard agrees on all but the time limit (kvr merge checks); that may differ where a
    // shard was run again with a longer one.
    std::vector<std::string> timeouts;
    for (const ShardHeader& shard : shards) timeouts.push_back(shard.pairTimeout);

    Provenance record;
    RunFacts shardFacts = facts;
    shardFacts.alignerVersion = first.alignerVersion;
    shardFacts.alignerCommand = first.command;
    // The identities are those of the kvr that aligned the shards; the order is the merge's.
    const std::string aligned = ProgramText(kKvrProgram, first.version);
    const std::string merging = ProgramText(facts.program, kVersion);
    SetMethod(record, MixedValue({aligned, merging}), shardFacts, first.aligner);
    record.Set(kAmbiguous, AmbiguityRuleName(first.ambiguous));  // every shard's (kvr merge checks)
    record.Set(kPairTimeout, MixedValue(timeouts));
    record.Set(kTreeOrder, options.useTree ? "yes" : "no");
    record.Set(kShards, std::to_string(first.shards));
    SetInput(record, facts);
    return record;
}

}  // namespace kvr

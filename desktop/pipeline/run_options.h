// The choices a run is made with, shared by the run options window and kvr: one plain struct
// with its defaults and one validator.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/run_state.h"

namespace kvr {

// The number of processors this program may use: the default number of aligners at once.
int DefaultJobs();

// The most aligners at once that the options accept.
inline constexpr int kMostJobs = 256;

// The alphabet the built-in aligner scores a run's pairs with: the set's (nucleotide for every
// pair of a set that reads as nucleotides, N and the other ambiguity codes counted as such), or
// MUSCLE's guess pair by pair, for MUSCLE's own numbers (a genome with long runs of N then takes
// the protein model).
enum class AlphabetRule : unsigned char { Set, Muscle };

// "set" or "muscle", as --alphabet takes it.
constexpr const char* AlphabetRuleName(AlphabetRule rule) {
    return rule == AlphabetRule::Set ? "set" : "muscle";
}
// Which alignment columns the identity compares: every gap-free column (Count, the method's own
// identity, in which an N is a mismatch against any base but N), or only those in which neither
// symbol is an ambiguity code (Skip: the identity of the known bases, for partial genomes with
// long runs of N). It changes the numbers, so a run records it with its other such choices.
enum class AmbiguityRule : unsigned char { Count, Skip };

// "count" or "skip", as --ambiguous takes it; nothing for any other text.
std::optional<AmbiguityRule> AmbiguityRuleNamed(std::string_view name);
const char* AmbiguityRuleName(AmbiguityRule rule);

// The memory the built-in aligner's passes may take for one pair, by default (align::Options::
// memoryBudget): past it a pair is computed in the widest band that fits and marked not exact.
inline constexpr int kPairMemoryMegabytes = 1024;

struct RunOptions {
    Aligner aligner = Aligner::Builtin;
    // The aligner name given when it names none (SetAlignerNamed): the validator refuses it.
    std::optional<std::string> unknownAligner;
    bool useTree = false;               // order the sequences by a neighbour-joining tree
    int colourMode = kFullColour;       // colouring of the matrix pictures
    int paletteKind = kRainbowPalette;  // the steps of full colour mode
    float cutoff1 = 94;                 // three colour mode: upper and lower cut-off, whole percent
    float cutoff2 = 78;
    int jobs = DefaultJobs();       // aligner processes at once
    double pairTimeoutSeconds = 0;  // a pair's aligner is ended after this long; 0: no limit
    AlphabetRule alphabet = AlphabetRule::Set;       // the built-in aligner's model
    int pairMemoryMegabytes = kPairMemoryMegabytes;  // the built-in aligner's budget a pair
    AmbiguityRule ambiguous =
        AmbiguityRule::Count;  // the columns every aligner's identity compares
};

// One line per problem, empty when the options can be used.
std::vector<std::string> ValidateRunOptions(const RunOptions& options);

// Copies the options into the state fields the engine reads (AlignerKind, useTree).
void ApplyRunOptions(const RunOptions& options, RunState& state);

// Copies the colouring into the state (ColourMode, paletteKind, cutoff1, cutoff2), for kvr: in the
// window the colour controls own these, and a run keeps them.
void ApplyColourOptions(const RunOptions& options, RunState& state);

// The aligner a name names, or the name kept for ValidateRunOptions to refuse.
void SetAlignerNamed(RunOptions& options, std::string_view name);

}  // namespace kvr

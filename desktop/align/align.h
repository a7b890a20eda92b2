// The built-in pairwise aligner: MUSCLE 5's pair-HMM method (posterior probabilities from a
// ProbCons-style pair hidden Markov model, then the alignment of maximum expected accuracy),
// reproduced in single precision so that its alignments are MUSCLE's own. A caller gets the
// column counts that the percentage identity needs, and the alignment itself when it asks.
//
// Plain C++ with no dependency on the rest of the program.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kvr::align {

// Which emission model scores the residues.
enum class Alphabet : std::uint8_t {
    Guess,       // MUSCLE's rule, applied to the two sequences of each pair
    Nucleotide,  // A, C, G, T (U as T); any other symbol is a wildcard
    Protein,     // the 20 amino acids; any other symbol is a wildcard
};

// Which implementation of the dynamic programming runs. Every choice gives the same bits.
enum class Kernel : std::uint8_t {
    Best,    // the widest SIMD kernel this processor runs
    Scalar,  // the plain reference implementation (with the band: four cells at a time, portable)
    Avx2,    // eight cells (with the band) or pairs (without) at once; needs AVX2
    Avx512,  // sixteen cells or pairs at once; needs AVX-512F
};

struct Options {
    // The emission model; MUSCLE guesses it for every input file, so for every pair.
    Alphabet alphabet = Alphabet::Guess;
    // The implementation; Best unless a test or a benchmark compares them.
    Kernel kernel = Kernel::Best;
    // Compute only a band that follows the alignment path, widened until no probability reaches
    // its edge, instead of the whole matrix. The same results in a fraction of the time and
    // memory; off only to compare against the whole matrix.
    bool band = true;
    // The most memory one pair's passes may take, in bytes. Any length is aligned: the band's
    // forward scores are kept at checkpoints, so a band's memory grows with its width and the
    // square root of its length (a 1 Mb pair of 98 % identity: about 200 MB). Where the band that
    // holds the posteriors exactly would not fit (long unrelated sequences, whose band is the whole
    // matrix), the widest band that fits is computed and the counts are marked not exact.
    std::size_t memoryBudget = std::size_t{1} << 30;
};

enum class Status : std::uint8_t {
    Ok,
    EmptySequence,  // a sequence of the pair has no residue
    Cancelled,      // the cancel flag was raised before the pair was done
    NoMemory,       // the work space could not be allocated
};

// What the identity of an aligned pair is made of.
struct PairCounts {
    Status status = Status::Ok;
    std::uint32_t columns = 0;         // alignment columns
    std::uint32_t gapFreeColumns = 0;  // columns with a residue in both sequences
    std::uint32_t matches = 0;         // gap-free columns whose two symbols are equal (case kept)
    // The same two counts over the gap-free columns in which neither symbol is an ambiguity code
    // (IsAmbiguityCode): what the identity of the known bases is made of.
    std::uint32_t unambiguousColumns = 0;
    std::uint32_t unambiguousMatches = 0;
    // False when the pair was computed in the widest band the memory budget allows and some
    // probability lay outside it: the counts are those of that band, close to (not always equal
    // to) the whole matrix's.
    bool exact = true;
    bool operator==(const PairCounts&) const = default;
};

// The alignment the counts are taken from: a and b as given, with '-' where the other sequence
// has a residue in a column and this one has none. Both of the same length, the columns.
struct PairAlignment {
    std::string a;
    std::string b;
};

// An IUPAC ambiguity code (N, R, Y, K, M, S, W, B, D, H, V) or X, in either case: a base that is
// not known. U is a base (T in RNA), not a code.
constexpr bool IsAmbiguityCode(char c) {
    switch (c | 0x20) {
        case 'n':
        case 'r':
        case 'y':
        case 'k':
        case 'm':
        case 's':
        case 'w':
        case 'b':
        case 'd':
        case 'h':
        case 'v':
        case 'x':
            return true;
        default:
            return false;
    }
}

// The text of a status, for messages.
const char* StatusText(Status status);

// Aligns a and b (residues only, no gaps) as `muscle -align` does the two-record file a, b.
PairCounts AlignPair(std::string_view a, std::string_view b, const Options& options = {});

// The same, and writes the alignment into `alignment` (left empty when the status is not Ok).
// Its columns give the very counts returned; the counts alone cost nothing extra.
PairCounts AlignPair(std::string_view a, std::string_view b, const Options& options,
                     PairAlignment& alignment);

// One pair of a batch. The views must stay valid until AlignPairs returns.
struct PairTask {
    std::string_view a;
    std::string_view b;
};

class MemoryTurns;  // align/memory_turns.h

// Aligns every task on `jobs` threads (at least one); out[k] belongs to tasks[k] and is the same
// whatever the number of threads. When *cancel becomes true the call returns within a fraction of
// a second, the unfinished pairs marked Cancelled. A pair that runs out of memory while other
// threads hold theirs waits for them and runs alone; only one that cannot fit alone is NoMemory.
// Returns Cancelled if it was cancelled, else Ok (a pair's own failure is in its counts).
// With `progress`, each pair adds the sum of its two lengths to it, part by part as its pieces and
// passes go (at least every few hundred residues): the batch is done at the sum over its pairs,
// and a display reading it from another thread moves within a long pair. With `turns`, the turns
// are those of every call that shares them (threads of a caller's own pool, each calling with one
// job): a pair short of memory waits for the pairs of all of them and runs alone.
Status AlignPairs(const std::vector<PairTask>& tasks, const Options& options, int jobs,
                  const std::atomic<bool>* cancel, std::vector<PairCounts>& out,
                  std::atomic<std::uint64_t>* progress = nullptr, MemoryTurns* turns = nullptr);

// MUSCLE's alphabet guess for a two-sequence input: 100 positions drawn by its pseudo-random
// generator with its fixed seed; protein when 75 or fewer hold A, C, G, T or U (either case).
Alphabet GuessAlphabet(std::string_view a, std::string_view b);

// The alphabet of a set of sequences, for every pair of it: nucleotide when more than three in four
// of all its residues are A, C, G, T, U or an IUPAC ambiguity code (N, R, Y, K, M, S, W, B, D, H,
// V; either case), else protein. Unlike GuessAlphabet, runs of N count as nucleotides: genomes
// with long unknown stretches keep the nucleotide model.
Alphabet SetAlphabet(const std::vector<std::string_view>& sequences);

// The kernels this processor can run (Scalar always).
bool KernelAvailable(Kernel kernel);

}  // namespace kvr::align

// KVR as a library: the pairwise identity of nucleotide sequences, from C++ (and, through the
// module kvr, from Python). One pair, or every pair of a FASTA file or of records in memory, with
// the built-in aligner (MUSCLE 5's pairwise method) or an external one (MUSCLE, ClustalW, MAFFT);
// sessions (.kvr) read and written. The identities are those of `kvr run`, bit for bit.
//
// Every call returns a Result (a status and kvr's message); nothing throws across this header and
// nothing is shown. Link with kvr::kvr (CMake: find_package(kvr)) or -lkvr.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kvr::api {

enum class Status {
    Ok,
    InvalidArgument,  // an option kvr does not accept (an unknown aligner, too many threads)
    InvalidInput,     // the sequences were refused (no records, one record, a record without
                      // residues, all identical, a session that is not whole)
    FileError,        // a file could not be read (missing, a folder, unreadable) or written
    ProgramMissing,   // the external aligner, or PHYLIP's neighbor for the tree, is not installed
    AlignerFailed,    // an aligner failed on a pair, or ran past the pair time limit
    TreeFailed,       // the tree could not be made: the analysis is whole, in input order
    Cancelled,        // the progress callback returned false
};

// The name of a status: "ok", "invalid argument", ...
const char* StatusName(Status status);

// What a call came to. message is kvr's own text (the one `kvr` prints), empty when Ok.
struct Result {
    Status status = Status::Ok;
    std::string message;
    bool Ok() const { return status == Status::Ok; }
};

// The columns of an aligned pair that its identity is computed from.
struct Counts {
    std::uint32_t columns = 0;  // alignment columns (AlignPair; a run keeps the other two only)
    std::uint32_t gapFree = 0;  // columns in which neither sequence has a gap
    std::uint32_t matches = 0;  // gap-free columns whose two symbols are equal (case kept)
    // False when the built-in aligner had to keep to a band its memory budget allowed, and some
    // probability lay outside it (see docs/builtin_aligner.md); true for every other pair.
    bool exact = true;
    bool operator==(const Counts&) const = default;
};

// The aligners: what `kvr run --aligner` takes.
inline constexpr std::string_view kAligners[] = {"builtin", "muscle", "clustalw", "mafft"};

// Where kvr's shipped files are found (aligners.conf, the tree script RunNeighbor.sh) and the
// work folder under which runs exchange files with external programs.
struct Installation {
    // The folder of kvr's programs (a build's bin/ or an installed PREFIX/bin). Empty: the one
    // this library was installed or built with, else the running program's own folder.
    std::string programFolder;
};

// ---- One pair ---------------------------------------------------------------------------------

struct PairOptions {
    std::string aligner = "builtin";  // one of kAligners
    Installation installation;
};

struct AlignedPair {
    float identity = 0;  // gap-free columns with equal symbols over gap-free columns, 0 to 1
    Counts counts;
    std::string first;   // the first sequence's row, "-" for gaps, symbols as the aligner wrote
    std::string second;  // the second's, of the same length
};

// Aligns two sequences (residues; line ends, tabs, spaces at the ends and "-" are cleaned away as
// a FASTA file's are) as `kvr run` aligns a pair: first is a's row.
Result AlignPair(std::string_view a, std::string_view b, const PairOptions& options,
                 AlignedPair& out);

// ---- Every pair of a set ----------------------------------------------------------------------

// Called as the run works, often (at least every few tenths of a second while it aligns): the
// step ("Loading sequences", "Aligning 3 - 7", "Creating bins ...") and the fraction of it done
// (0 to 1). Returning false cancels the run: the aligners are ended and Cancelled comes back.
// It runs on the thread that called RunFile or RunRecords.
using Progress = std::function<bool(std::string_view step, double fraction)>;

struct RunOptions {
    std::string aligner = "builtin";  // one of kAligners
    int threads = 0;                  // aligners at once; 0: one per processor
    bool tree = false;                // order by a neighbour-joining tree (PHYLIP's neighbor)
    double pairTimeoutSeconds = 0;    // a pair's aligner is stopped after this long; 0: no limit
    Progress progress;                // may be empty
    Installation installation;
};

// How an analysis's identities were made, as kvr's sessions keep it and `kvr info` shows it: the
// program and its version, the aligner with its version and command, the options that change the
// numbers, the input file and its SHA-256, the date (UTC). A run makes the record `kvr run` makes
// for the same input and options; a session read gives its own; empty when not known (a session
// written before sessions kept one, an analysis built by hand).
struct Provenance {
    // In the order kvr writes them: "program", "command", "aligner", "aligner-version",
    // "aligner-command", "alphabet", "pair-memory", "ambiguous", "pair-timeout", "tree-order",
    // "input", "input-sha256", "date"; a later kvr's keys are kept as they are.
    std::vector<std::pair<std::string, std::string>> entries;
    std::string tree;  // Newick of the tree that ordered the sequences, ";" last; "" when none

    // The value of key, "" when the record has none.
    std::string Get(std::string_view key) const;
    bool operator==(const Provenance&) const = default;
};

struct Sequence {
    std::string name;      // the name line without ">" (no line end, no ">")
    std::string residues;  // no ">"; line ends and "-" are cleaned away as in a FASTA file
};

// An analysis: the sequences in input order, every pair's identity, and the display order.
struct Analysis {
    std::vector<std::string> names;       // as the file gives them (tabs as spaces), no ">"
    std::vector<std::string> cleanNames;  // as kvr keeps them (sessions, --scores), no ">"
    std::vector<std::string> residues;    // as kvr keeps them: one line, cleaned
    // n x n identities, row-major, input order: identity[i * n + j]; symmetric, diagonal 1.
    std::vector<float> identity;
    // The display order: order[d] is the input index of the sequence shown at row d (the tree's
    // order when asked for, else 0 ... n-1).
    std::vector<int> order;
    // The counts of pair i < j at index PairIndex(i, j) (gapFree and matches; columns 0); empty
    // when not known (a session keeps identities only).
    std::vector<Counts> counts;
    // What the run found worth a word without failing: duplicate names, commas in names, sequences
    // that do not look like nucleotides, every pair identical.
    std::vector<std::string> warnings;
    // How the identities were made; WriteSession keeps it in the session.
    Provenance provenance;

    std::size_t Size() const { return names.size(); }
    float Identity(std::size_t i, std::size_t j) const { return identity[i * Size() + j]; }
    // The place of pair i != j in counts: row by row of the upper triangle.
    std::size_t PairIndex(std::size_t i, std::size_t j) const {
        if (i > j) std::swap(i, j);
        return i * (2 * Size() - i - 1) / 2 + (j - i - 1);
    }
    // The counts of pair i != j, or zeros when not known.
    Counts PairCounts(std::size_t i, std::size_t j) const {
        return counts.empty() ? Counts{} : counts[PairIndex(i, j)];
    }
};

// Aligns every pair of a FASTA file (plain, or compressed with gzip, bzip2, xz or zstd) and orders
// the sequences, as `kvr run PATH` does, with its record (input: PATH as given, with the SHA-256
// of its bytes). On TreeFailed out holds the analysis in input order.
Result RunFile(const std::string& path, const RunOptions& options, Analysis& out);

// The same for records in memory, as if they were a FASTA file in this order (the record's input:
// "the records", its SHA-256 unknown).
Result RunRecords(const std::vector<Sequence>& records, const RunOptions& options, Analysis& out);

// ---- Files ------------------------------------------------------------------------------------

// Reads a session (.kvr) as `kvr show` does: its order is its input order and its display order;
// its record as the session keeps it.
Result ReadSession(const std::string& path, Analysis& out);

// Writes the analysis as a session, in display order, with its record, as `kvr run --session
// PATH` does. The file is replaced whole or not at all.
Result WriteSession(const std::string& path, const Analysis& analysis);

// The table of `kvr run --table`: every pair once in input order, tab-separated, LF line ends,
// the header "seq1 seq2 identity percent aligned_columns matches coverage1 coverage2".
Result WriteTable(std::ostream& out, const Analysis& analysis);

}  // namespace kvr::api

// Reading FASTA files into the loaded sequences: a fresh load, and an append behind the
// sequences on display.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "io/input_file.h"
#include "model/run_state.h"
#include "platform/progress.h"

namespace kvr {

// What the loader keeps but the user should know.
enum class FastaWarningKind {
    FurtherRecordInName,  // a ">" inside a name line starts a further record
    DuplicateName,
    CommaInName,    // the score table's fields cannot then be told apart
    NotNucleotide,  // ClustalW is run in DNA mode
};
inline constexpr std::size_t kFastaWarningKinds = 4;

struct FastaWarning {
    FastaWarningKind kind;
    std::size_t line;  // of the name line, counted from 1 in the (unpacked) file
    std::string text;  // printable, names cut to a readable length
};

// What a load found: the warnings (the first few of each kind, and how many there were) and,
// when the file was refused, where and why, for kvr's messages.
struct FastaReport {
    std::vector<FastaWarning> warnings;
    std::array<std::size_t, kFastaWarningKinds> counts{};
    std::string failure;

    // "2 duplicate names, 1 name with a comma": one clause per kind found; empty without.
    std::string Summary() const;
    // The warnings one a line, "line 12: ...", and "3 more like the last" where only the first
    // few of a kind were kept; empty without.
    std::string Details() const;
};

// Where the text of a load comes from, and where its report goes. By default the file at path
// is read; kvr passes standard input already read.
struct FastaSource {
    const InputText* input = nullptr;
    FastaReport* report = nullptr;
};

// How a load ended. Refused: the file cannot be read or used (the progress hears why).
// Identical: it was read, but every sequence is the same, so there is nothing to analyse.
enum class LoadEnd { Loaded, Refused, Identical };

// Loads the file into InputSequences, with its steps and percent told to the progress. On
// refusal the progress hears why; the report says what the user should check in a file that
// loaded.
LoadEnd LoadFasta(RunState& state, Progress& progress, const std::string& path,
                  const FastaSource& source = {});

// Appends the records of the file behind the sequences on display (SequenceList order).
LoadEnd AppendFasta(RunState& state, Progress& progress, const std::string& path,
                    const FastaSource& source = {});

// The cleaning every loaded text gets: carriage returns, tabs, "-" and backspaces removed, spaces
// trimmed from both ends.
std::string CleanFastaText(std::string_view text);

// About the bytes a load of the text takes: what it must find free before it allocates.
std::uint64_t EstimateLoadBytes(std::string_view text);

// Parses every record of a cleaned text into records[first...], growing maxNameLen. Fails on a
// header without a line feed and on a record without residues (none, or spaces only); records
// before first count for duplicate names. progress(position, length) runs after each record.
bool ParseFastaRecords(std::string_view text, RecordTable& records, std::size_t first,
                       int& maxNameLen,
                       const std::function<void(std::size_t, std::size_t)>& progress = {},
                       FastaReport* report = nullptr);

// The FASTA form every writer of the program uses: name line, residues on one line, CR LF.
std::string FormatFastaRecord(const Record& record);

}  // namespace kvr

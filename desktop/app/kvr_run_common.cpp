#include "app/kvr_run_common.h"

#include <unistd.h>

#include <cerrno>
#include <iostream>

#include "align/align.h"
#include "io/checksum.h"
#include "io/fasta.h"
#include "io/input_file.h"
#include "model/bounded_pairs.h"
#include "pipeline/builtin_pairs.h"
#include "pipeline/run_provenance.h"

namespace kvr::cli {

bool PrintDisplayOrder(const Analysis& analysis, std::ostream& out) {
    for (int a = 0; a < analysis.seqCount && out; ++a)
        out << analysis.InputIndex(a) + 1 << '\t' << analysis.SequenceList[a].name << '\n';
    out.flush();
    return StreamDone(out);
}

bool LoadInput(RunState& state, Progress& progress, const std::string& input,
               const std::string& name, bool append, std::string* checksum) {
    const bool fromStandardInput = input == "-";
    InputText text;
    if (fromStandardInput) text = ReadInputDescriptor(STDIN_FILENO);
    const std::string path = fromStandardInput ? "standard input" : input;
    FastaReport report;
    const FastaSource source{fromStandardInput ? &text : nullptr, &report};
    state.inputPath = path;
    const LoadEnd end = append ? AppendFasta(state, progress, path, source)
                               : LoadFasta(state, progress, path, source);
    const bool loaded = end == LoadEnd::Loaded;
    if (!report.failure.empty())
        std::cerr << name << ": " << path << ", " << report.failure << "\n";
    std::size_t listed[kFastaWarningKinds] = {};
    for (const FastaWarning& warning : report.warnings) {
        ++listed[static_cast<std::size_t>(warning.kind)];
        std::cerr << name << ": warning: " << path << ", line " << warning.line << ": "
                  << warning.text << "\n";
    }
    for (std::size_t kind = 0; kind < kFastaWarningKinds; ++kind)
        if (report.counts[kind] > listed[kind])
            std::cerr << name << ": warning: " << report.counts[kind] - listed[kind]
                      << " more like the last\n";
    // Only of a file the load took: one too large for the memory is refused above unread.
    if (checksum != nullptr && loaded)
        *checksum = fromStandardInput ? (text.text ? Sha256Hex(*text.text) : std::string())
                                      : InputChecksum(input).value_or(std::string());
    return loaded;
}

void ReportBuiltinNotes(const RunState& state, AlphabetRule rule, const std::string& name,
                        bool quiet, std::ostream& out) {
    const BuiltinNotes& notes = state.builtinNotes;
    if (notes.pairs == 0) return;
    const std::string ofPairs =
        " of " + std::to_string(notes.pairs) + (notes.pairs == 1 ? " pair" : " pairs");
    const std::string guessed = std::to_string(notes.guessedProtein) + ofPairs;
    if (!quiet && rule == AlphabetRule::Muscle)
        out << name
            << ": the built-in aligner took MUSCLE's alphabet guess for each pair: " << guessed
            << " aligned as protein\n";
    if (!quiet && rule == AlphabetRule::Set) {
        const bool nucleotide =
            BuiltinOptions(state.InputSequences, rule).alphabet == align::Alphabet::Nucleotide;
        out << name << ": the built-in aligner scored every pair as "
            << (nucleotide ? "nucleotides" : "protein")
            << " (the set's alphabet); MUSCLE's alphabet guess would have aligned " << guessed
            << " as protein\n";
    }
    if (notes.bounded > 0)
        out << name << ": " << BoundedPairsNote(notes.bounded, notes.pairs) << "\n";
}

std::string UncomparedWarning(const UncomparedPairs& pairs, const RecordTable& records,
                              const std::string& name) {
    if (pairs.count == 0) return {};
    const auto named = [&records](int k) {
        return std::to_string(k + 1) + " (" + records[static_cast<std::size_t>(k)].name + ")";
    };
    return name + ": warning: " + std::to_string(pairs.count) +
           (pairs.count == 1 ? " pair has" : " pairs have") +
           " no aligned column without an ambiguity code, and --ambiguous skip gives " +
           (pairs.count == 1 ? "it" : "them") + " the identity 0: sequences " + named(pairs.first) +
           " and " + named(pairs.second) + (pairs.count == 1 ? "" : " first") + "\n";
}

bool StreamDone(std::ostream& out) {
    return static_cast<bool>(out) || errno == EPIPE;
}

}  // namespace kvr::cli

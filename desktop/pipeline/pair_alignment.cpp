#include "pipeline/pair_alignment.h"

#include <utility>

#include "align/align.h"
#include "io/fasta.h"
#include "pipeline/builtin_pairs.h"
#include "pipeline/exchange_folder.h"
#include "pipeline/run_aligner.h"
#include "pipeline/run_context.h"

namespace kvr {

namespace {

Result<void> BuiltinRows(const align::Options& options, const Record& first, const Record& second,
                         AlignedPair& out) {
    // The options of the run's built-in pairs.
    align::PairAlignment alignment;
    const align::PairCounts counts =
        align::AlignPair(first.residues, second.residues, options, alignment);
    out.counts.exact = counts.exact;
    if (counts.status != align::Status::Ok)
        return Problem{align::StatusText(counts.status), ProblemKind::Failed};
    out.first = std::move(alignment.a);
    out.second = std::move(alignment.b);
    return {};
}

Result<void> ExternalRows(const PairAlignmentSetup& setup, Aligner kind, const Record& first,
                          const Record& second, int i, int j, AlignedPair& out) {
    // ClustalW refuses a pair file whose two names are equal; the run says so for its pairs too.
    if (kind == Aligner::Clustalw && first.name == second.name)
        return Problem{"ClustalW cannot align two sequences of the same name (" + first.name + ")",
                       ProblemKind::NotStarted};
    ExchangeFolder exchange(setup.workFolder);
    if (!exchange.Ok())
        return Problem{"no folder for the aligner's files can be made: " + exchange.Error(),
                       ProblemKind::NotStarted};
    // The setup whole before the context: GCC 12 destroys the members of a base built in nested
    // braces a second time when a later member's copy throws (here, out of memory).
    RunSetup pairSetup{setup.shell, setup.programs, setup.workFolder, 1};
    pairSetup.ambiguous = setup.ambiguous;
    const RunContext context{pairSetup, exchange.Path()};
    std::string text;
    const PairResult result = AlignPair(context, kind, first, second, i, j, &text);
    if (!result.outcome.Ok()) return result.outcome;
    Result<AlignedRows> read = ReadAlignedRows(text);
    if (!read) return Problem{read.problem().message, ProblemKind::BadOutput};
    AlignedRows& rows = read.value();
    // The aligner may give the records back in the other order.
    if (AlignedPairSwapped(text, FormatFastaRecord(first) + FormatFastaRecord(second)))
        std::swap(rows.first, rows.second);
    out.first = std::move(rows.first);
    out.second = std::move(rows.second);
    return {};
}

}  // namespace

PairCoverage CoverageOf(long gapFreeColumns, std::size_t firstLength, std::size_t secondLength) {
    const auto share = [&](std::size_t length) {
        return length == 0 ? 0.0
                           : static_cast<double>(gapFreeColumns) / static_cast<double>(length);
    };
    return {share(firstLength), share(secondLength)};
}

AlignedPair AlignRecordPair(const PairAlignmentSetup& setup, Aligner kind,
                            const RecordTable& records, int i, int j) {
    AlignedPair out;
    const int n = static_cast<int>(records.size());
    if (i < 0 || j < 0 || i >= n || j >= n || i == j) {
        out.outcome = Problem{"two different sequences are needed", ProblemKind::NotStarted};
        return out;
    }
    // As the run does: the record that comes first in the input is the first of the pair.
    const int lo = std::min(i, j), hi = std::max(i, j);
    const Record& first = records[static_cast<std::size_t>(lo)];
    const Record& second = records[static_cast<std::size_t>(hi)];
    out.outcome =
        kind == Aligner::Builtin
            ? BuiltinRows(BuiltinOptions(records, setup.alphabet, setup.pairMemoryMegabytes), first,
                          second, out)
            : ExternalRows(setup, kind, first, second, lo, hi, out);
    if (!out.outcome.Ok()) {
        out.first.clear();
        out.second.clear();
        return out;
    }
    if (i > j) std::swap(out.first, out.second);
    const bool exact = out.counts.exact;  // the rows do not tell
    out.counts = CountColumns(out.first, out.second);
    out.counts.exact = exact;
    out.ambiguous = setup.ambiguous;
    const Result<float> score = IdentityOf(out.counts, setup.ambiguous);
    if (!score) {
        out.outcome = Problem{score.problem().message, ProblemKind::BadOutput};
        return out;
    }
    out.identity = score.value();
    out.coverage =
        CoverageOf(out.counts.gapFree, records[static_cast<std::size_t>(i)].residues.size(),
                   records[static_cast<std::size_t>(j)].residues.size());
    return out;
}

}  // namespace kvr

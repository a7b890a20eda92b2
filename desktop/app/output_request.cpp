#include "app/output_request.h"

#include <algorithm>

#include "io/score_table.h"
#include "io/session_file.h"
#include "io/text_exports.h"
#include "pipeline/pair_table.h"

namespace kvr::cli {

namespace {

// The table is in file order: the input's after a run (the display order leads back to it through
// treeOrder), the session's own for a session. The counts are those of the pairs this command
// aligned, kept in input order when the table was asked for.
void WriteTableInFileOrder(std::ostream& out, const Analysis& a) {
    const int n = a.seqCount;
    std::vector<int> shownAt(static_cast<std::size_t>(n));
    for (int d = 0; d < n; ++d) shownAt[static_cast<std::size_t>(a.InputIndex(d))] = d;
    WritePairTable(out, a.SequenceList, a.IdentityMatrix, n, &shownAt,
                   a.InputCounts.Size() == n ? &a.InputCounts : nullptr);
}

}  // namespace

const std::vector<TextOutput> kTextOutputs = {
    {"--scores",
     "Every pair's identity, in display order: the line \"First Sequence,Second Sequence,Identity "
     "Score\", then one line per pair with both name lines and the identity as a fraction.",
     [](std::ostream& out, const Analysis& a) {
         WriteScoreColumns(out, a.SequenceList, a.IdentityMatrix, a.seqCount);
     }},
    {"--table",
     "Every pair's identity for pipelines, in the order of the input file (or of the session): "
     "tab-separated with LF line ends, the header line \"seq1 seq2 identity percent "
     "aligned_columns matches coverage1 coverage2 exact\" (tabs between), then one row a pair with "
     "both names as the FASTA has them, without their \">\", the identity as a fraction and in "
     "percent, the columns in which neither sequence has a gap, the identical ones among them, "
     "and the share of each sequence's length that those columns cover, as a fraction (kvr align "
     "shows it in percent), and exact: 1, or 0 for a pair the built-in aligner computed in the "
     "widest band its memory allows (see docs/builtin_aligner.md). The names hold no tab or line "
     "end, so every row has nine fields. "
     "The counts and coverages are those of the pairs this command aligns; the pairs read from "
     "a session or from shards (kvr show, kvr merge, the old pairs of kvr append) leave them "
     "empty, as those files keep one identity a pair, not the counts it was computed from.",
     WriteTableInFileOrder},
    {"--session",
     "The session (.kvr): the sequences in display order and their identities, which kvr show "
     "and KVRv1 open without aligning, then the record of how the identities were made (kvr "
     "info shows it), the pairs aligned in a bounded band and the tree that ordered them.",
     [](std::ostream& out, const Analysis& a) { WriteSessionText(out, a); }},
    {"--matrix-text", "The lower triangle of the identities in percent, one line per sequence.",
     [](std::ostream& out, const Analysis& a) { WriteScoreMatrix(out, a); }},
    {"--plot-data", "The number and proportion of pairs at each whole percent.",
     [](std::ostream& out, const Analysis& a) { WritePlotData(out, a, PlotDataHeader::UserFile); }},
    {"--sequences", "Every sequence in display order, as FASTA.",
     [](std::ostream& out, const Analysis& a) { WriteAllSequences(out, a); }},
};

namespace {

std::size_t OutputIndex(std::string_view option) {
    for (std::size_t k = 0; k < kTextOutputs.size(); ++k)
        if (kTextOutputs[k].option == option) return k;
    return kTextOutputs.size();
}

}  // namespace

std::string& OutputRequest::File(std::string_view option) {
    return text.at(OutputIndex(option));
}

const std::string& OutputRequest::File(std::string_view option) const {
    return text.at(OutputIndex(option));
}

std::vector<std::string> OutputRequest::Paths() const {
    std::vector<std::string> paths;
    for (const std::string& p : text)
        if (!p.empty()) paths.push_back(p);
    for (const std::string& p : pictures.Paths()) paths.push_back(p);
    for (const std::string& p : exports.Paths()) paths.push_back(p);
    return paths;
}

bool OutputRequest::ToStandardOutput() const {
    const std::vector<std::string> exported = exports.Paths();
    return std::find(text.begin(), text.end(), kStandardOutput) != text.end() ||
           std::find(exported.begin(), exported.end(), kStandardOutput) != exported.end();
}

}  // namespace kvr::cli

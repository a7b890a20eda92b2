#include "pipeline/pair_identity.h"

#include <algorithm>
#include <string_view>

#include "align/align.h"
#include "io/fasta_records.h"
#include "io/file_io.h"
#include "io/text.h"

namespace kvr {

namespace {

// The residue text of the first two records (FastaLayout::Marks), or the reason there are not two.
Result<void> FirstTwoRecords(std::string_view s, std::string_view (&residues)[2]) {
    FastaRecords walk(s);
    FastaRecord record;
    int found = 0;
    for (; found < 2 && walk.Next(record); ++found) {
        if (!record.nameLineEnded) return Problem{"a name line has no line feed"};
        residues[found] = record.residues;
    }
    if (found < 2) return Problem{"the file holds fewer than two sequences"};
    return {};
}

// The residues as an aligner may give them back: no gaps or white space, upper case, T for U.
std::string Ungapped(std::string_view residues) {
    std::string out;
    out.reserve(residues.size());
    for (char c : residues) {
        if (c == '-' || c == '.' || c == ' ' || c == '\r' || c == '\n' || c == '\t' || c == '\b')
            continue;
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
        out += c == 'U' ? 'T' : c;
    }
    return out;
}

// The aligned sequence holds the given one: the same residues in order, an aligner's N or X
// standing for any symbol it does not know.
bool SameResidues(const std::string& aligned, const std::string& given) {
    if (aligned.size() != given.size()) return false;
    for (std::size_t k = 0; k < given.size(); ++k)
        if (aligned[k] != given[k] && aligned[k] != 'N' && aligned[k] != 'X') return false;
    return true;
}

}  // namespace

bool AlignedPairSwapped(const std::string& aligned, const std::string& given) {
    std::string_view a[2], g[2];
    if (!FirstTwoRecords(aligned, a) || !FirstTwoRecords(given, g)) return false;
    const std::string a0 = Ungapped(a[0]), a1 = Ungapped(a[1]);
    const std::string g0 = Ungapped(g[0]), g1 = Ungapped(g[1]);
    return !(SameResidues(a0, g0) && SameResidues(a1, g1)) && SameResidues(a0, g1) &&
           SameResidues(a1, g0);
}

Result<void> CheckAlignedPair(const std::string& aligned, const std::string& given) {
    std::string_view a[2], g[2];
    if (Result<void> read = FirstTwoRecords(aligned, a); !read) return read;
    if (!FirstTwoRecords(given, g)) return {};
    const std::string a0 = Ungapped(a[0]), a1 = Ungapped(a[1]);
    const std::string g0 = Ungapped(g[0]), g1 = Ungapped(g[1]);
    // The order of the two records does not matter.
    if ((SameResidues(a0, g0) && SameResidues(a1, g1)) ||
        (SameResidues(a0, g1) && SameResidues(a1, g0)))
        return {};
    return Problem{
        "without its gaps, the alignment does not hold the residues of the pair it was "
        "given (" +
        std::to_string(a0.size()) + " and " + std::to_string(a1.size()) +
        " residues for sequences of " + std::to_string(g0.size()) + " and " +
        std::to_string(g1.size()) + ")"};
}

Result<AlignedRows> ReadAlignedRows(const std::string& text) {
    std::string_view residues[2];
    if (Result<void> read = FirstTwoRecords(text, residues); !read) return read.problem();
    return AlignedRows{RemoveAll(residues[0], "\r\b\n\t"), RemoveAll(residues[1], "\r\b\n\t")};
}

ColumnCounts CountColumns(std::string_view first, std::string_view second) {
    ColumnCounts counts;
    counts.columns = static_cast<long>(std::min(first.size(), second.size()));
    for (std::size_t c = 0; c < static_cast<std::size_t>(counts.columns); ++c) {
        if (first[c] == '-' || second[c] == '-') continue;
        ++counts.gapFree;
        const bool same = first[c] == second[c];
        counts.matches += same;
        if (align::IsAmbiguityCode(first[c]) || align::IsAmbiguityCode(second[c])) continue;
        ++counts.unambiguous;
        counts.unambiguousMatches += same;
    }
    return counts;
}

ComparedColumns Compared(const ColumnCounts& counts, AmbiguityRule rule) {
    if (rule == AmbiguityRule::Skip) return {counts.unambiguous, counts.unambiguousMatches};
    return {counts.gapFree, counts.matches};
}

Result<float> IdentityOf(const ColumnCounts& counts, AmbiguityRule rule) {
    const ComparedColumns compared = Compared(counts, rule);
    if (compared.columns == 0 && rule == AmbiguityRule::Skip) return 0.0f;
    return IdentityOfCounts(compared.columns, compared.columns - compared.matches);
}

Result<float> PairIdentityOfText(const std::string& text, ColumnCounts* counts,
                                 AmbiguityRule rule) {
    const Result<AlignedRows> rows = ReadAlignedRows(text);
    if (!rows) return rows.problem();
    const std::string& a = rows.value().first;
    const std::string& b = rows.value().second;
    if (a.empty() || b.empty()) return Problem{"a sequence of the pair is empty"};
    if (a.size() != b.size())
        return Problem{"the aligned sequences differ in length (" + std::to_string(a.size()) +
                       " and " + std::to_string(b.size()) + " columns)"};
    const ColumnCounts columns = CountColumns(a, b);
    if (counts != nullptr) *counts = columns;
    return IdentityOf(columns, rule);
}

Result<float> IdentityOfCounts(long compared, long mismatches) {
    if (compared == 0) return Problem{"the alignment has no column free of gaps"};
    const double identity = 1.0 - static_cast<double>(mismatches) / static_cast<double>(compared);
    return static_cast<float>(identity);
}

Result<float> PairIdentity(const std::string& path) {
    const auto content = ReadWholeFile(path);
    if (!content) return Problem{"the aligned file " + path + " is missing or cannot be read"};
    if (content->empty()) return Problem{"the aligned file " + path + " is empty"};
    Result<float> score = PairIdentityOfText(*content);
    if (!score) return Problem{"in " + path + ", " + score.problem().message};
    return score;
}

AlignedCounts KeptCounts(const ColumnCounts& counts, AmbiguityRule rule) {
    const ComparedColumns compared = Compared(counts, rule);
    return {static_cast<std::uint32_t>(counts.gapFree),
            static_cast<std::uint32_t>(compared.matches), counts.exact,
            static_cast<std::uint32_t>(compared.columns)};
}

}  // namespace kvr

#include "pipeline/alignment_text.h"

#include <algorithm>

#include "io/fasta.h"
#include "io/number_text.h"
#include "io/text.h"

namespace kvr {

namespace {

constexpr std::size_t kNameWidth = 20;

std::string Unmarked(const std::string& name) {
    return PrintableText(name.starts_with('>') ? name.substr(1) : name);
}

// Names cut to kNameWidth: their heads, or, when those are the same, the part around the first
// place where they differ.
void ShownNames(const std::string& first, const std::string& second, std::string (&shown)[2]) {
    shown[0] = Unmarked(first);
    shown[1] = Unmarked(second);
    const auto cut = [](const std::string& name, std::size_t from) {
        if (name.size() <= kNameWidth) return name;
        if (from == 0) return name.substr(0, kNameWidth - 3) + "...";
        return "..." + name.substr(from, kNameWidth - 3);
    };
    const std::size_t head = kNameWidth - 3;
    std::size_t from = 0;
    if (shown[0].substr(0, head) == shown[1].substr(0, head)) {
        std::size_t differ = 0;
        while (differ < shown[0].size() && differ < shown[1].size() &&
               shown[0][differ] == shown[1][differ])
            ++differ;
        from = differ > 8 ? differ - 8 : 0;
    }
    shown[0] = cut(shown[0], std::min(from, shown[0].size()));
    shown[1] = cut(shown[1], std::min(from, shown[1].size()));
}

std::string PaddedLeft(const std::string& text, std::size_t width) {
    return std::string(width > text.size() ? width - text.size() : 0, ' ') + text;
}

std::string PaddedRight(const std::string& text, std::size_t width) {
    return text + std::string(width > text.size() ? width - text.size() : 0, ' ');
}

std::size_t Residues(const std::string& row) {
    return static_cast<std::size_t>(
        std::count_if(row.begin(), row.end(), [](char c) { return c != '-'; }));
}

std::string Percent(double share) {
    return FormatDecimals(100.0 * share, 2) + " %";
}

// Under --ambiguous skip, the columns the identity compared and the identity that counts every
// gap-free column, so that both numbers are in view.
std::string SkippedSummary(const AlignedPair& pair) {
    if (pair.ambiguous != AmbiguityRule::Skip) return {};
    const ComparedColumns compared = Compared(pair.counts, AmbiguityRule::Skip);
    const Result<float> counted = IdentityOf(pair.counts, AmbiguityRule::Count);
    return ", ambiguity codes skipped\ncompared columns: " + std::to_string(compared.columns) +
           " without an ambiguity code, with " + std::to_string(compared.matches) +
           " matches\nidentity with ambiguity codes counted: " +
           (counted ? PlainSingle(counted.value()) + " (" + Percent(counted.value()) + ")"
                    : std::string("none, no gap-free column"));
}

}  // namespace

std::vector<PairViewBlock> PairViewBlocks(const std::string& firstName, const std::string& firstRow,
                                          const std::string& secondName,
                                          const std::string& secondRow, std::size_t width) {
    std::string names[2];
    ShownNames(firstName, secondName, names);
    const std::string* rows[2] = {&firstRow, &secondRow};
    const std::size_t nameWidth = std::max(names[0].size(), names[1].size());
    const std::size_t numberWidth =
        std::to_string(std::max({Residues(firstRow), Residues(secondRow), std::size_t{1}})).size();
    const std::size_t rowStart = nameWidth + 1 + numberWidth + 1;
    const std::size_t length = std::min(firstRow.size(), secondRow.size());
    width = std::max<std::size_t>(width, 1);

    std::vector<PairViewBlock> blocks;
    std::size_t done[2] = {0, 0};  // residues of each row before the block
    for (std::size_t column = 0; column < length; column += width) {
        PairViewBlock block;
        block.rowStart = rowStart;
        block.firstColumn = column;
        block.columns = std::min(width, length - column);
        std::string lines[2];
        for (int r = 0; r < 2; ++r) {
            const std::string symbols = rows[r]->substr(column, block.columns);
            const std::size_t residues = Residues(symbols);
            // A block without a residue of the row shows the position reached before it.
            const std::size_t from = residues == 0 ? done[r] : done[r] + 1;
            done[r] += residues;
            lines[r] = PaddedRight(names[r], nameWidth) + " " +
                       PaddedLeft(std::to_string(from), numberWidth) + " " + symbols + " " +
                       std::to_string(done[r]);
        }
        block.firstLine = std::move(lines[0]);
        block.secondLine = std::move(lines[1]);
        block.matchLine.assign(rowStart, ' ');
        for (std::size_t c = column; c < column + block.columns; ++c) {
            const char a = firstRow[c], b = secondRow[c];
            block.matchLine += a == '-' || b == '-' ? kGapColumn
                               : a == b             ? kSameSymbol
                                                    : kOtherSymbol;
        }
        blocks.push_back(std::move(block));
    }
    return blocks;
}

std::string FormatPairView(const std::vector<PairViewBlock>& blocks) {
    std::string text;
    for (std::size_t k = 0; k < blocks.size(); ++k) {
        if (k > 0) text += "\n";
        text +=
            blocks[k].firstLine + "\n" + blocks[k].matchLine + "\n" + blocks[k].secondLine + "\n";
    }
    return text;
}

std::string FormatAlignedFasta(const std::string& firstName, const std::string& firstRow,
                               const std::string& secondName, const std::string& secondRow) {
    return FormatFastaRecord({firstName, firstRow}) + FormatFastaRecord({secondName, secondRow});
}

std::string FormatAlignmentSummary(const AlignedPair& pair, const std::string& firstName,
                                   const std::string& secondName) {
    const ColumnCounts& c = pair.counts;
    const auto coverage = [&](const std::string& name, double share, const std::string& row) {
        return "coverage of " + PrintableText(name) + ": " + Percent(share) + " (" +
               std::to_string(c.gapFree) + " of " + std::to_string(Residues(row)) + " residues)\n";
    };
    return "identity: " + PlainSingle(pair.identity) + " (" + Percent(pair.identity) + ")" +
           SkippedSummary(pair) + "\n" + "gap-free columns: " + std::to_string(c.gapFree) + " of " +
           std::to_string(c.columns) + "\n" + "matches: " + std::to_string(c.matches) + "\n" +
           coverage(firstName, pair.coverage.first, pair.first) +
           coverage(secondName, pair.coverage.second, pair.second);
}

}  // namespace kvr

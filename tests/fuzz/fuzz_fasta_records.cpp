// The record walk: in both layouts every record lies where it says, in order, and the walk
// accounts for every byte it passes.
#include <algorithm>

#include "fuzz/fuzz_check.h"
#include "io/fasta_records.h"

namespace {

void CheckMarks(std::string_view text, bool dropCarriageReturn) {
    kvr::FastaRecords records(text, {kvr::FastaLayout::Marks, dropCarriageReturn});
    std::size_t count = 0;
    std::size_t last = 0;
    for (kvr::FastaRecord r; records.Next(r); ++count) {
        FUZZ_CHECK(count == 0 || r.offset > last);
        last = r.offset;
        FUZZ_CHECK(r.offset < text.size() && text[r.offset] == '>');
        FUZZ_CHECK(r.nameLine.data() == text.data() + r.offset);
        FUZZ_CHECK(r.nameLine.find('\n') == std::string_view::npos);
        FUZZ_CHECK(r.line ==
                   1 + static_cast<std::size_t>(std::count(
                           text.begin(), text.begin() + static_cast<long>(r.offset), '\n')));
        const auto lineFeed = text.find('\n', r.offset);
        FUZZ_CHECK(r.nameLineEnded == (lineFeed != std::string_view::npos));
        const auto stop = r.nameLineEnded ? lineFeed : text.size();
        const bool dropped = r.offset + r.nameLine.size() + 1 == stop;
        FUZZ_CHECK(r.offset + r.nameLine.size() == stop ||
                   (dropCarriageReturn && dropped && text[stop - 1] == '\r'));
        // The record's text ends at the first ">" after its name line, its last byte not its own.
        const auto next = r.nameLineEnded ? text.find('>', lineFeed) : std::string_view::npos;
        FUZZ_CHECK(r.end == std::min(next, text.size()));
        if (!r.nameLineEnded || r.residues.empty()) continue;
        FUZZ_CHECK(r.residues.data() == text.data() + lineFeed + 1);
        FUZZ_CHECK(lineFeed + 1 + r.residues.size() + (r.end < text.size()) == r.end);
        FUZZ_CHECK(r.residues.find('>') == std::string_view::npos);
    }
    FUZZ_CHECK(count == kvr::CountFastaRecords(text));
}

void CheckLinePairs(std::string_view text) {
    kvr::FastaRecords records(text, {kvr::FastaLayout::LinePairs, false});
    std::size_t pairs = 0;
    std::size_t position = 0;
    for (kvr::FastaRecord r; records.Next(r); ++pairs) {
        FUZZ_CHECK(r.offset == position);
        FUZZ_CHECK(r.line == 2 * pairs + 1);
        FUZZ_CHECK(r.nameLine.data() == text.data() + r.offset);
        FUZZ_CHECK(r.nameLine.find('\n') == std::string_view::npos);
        FUZZ_CHECK(r.residues.find('\n') == std::string_view::npos);
        FUZZ_CHECK(r.end > r.offset && r.end <= text.size());
        position = r.end;
    }
    // Every line is in a record but a last odd one.
    const auto lineFeeds = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
    const std::size_t lines = lineFeeds + (!text.empty() && text.back() != '\n');
    FUZZ_CHECK(pairs == lines / 2);
    FUZZ_CHECK(records.Lines().Number() == lines);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = kvr::fuzz::AsText(data, size);
    CheckMarks(text, false);
    CheckMarks(text, true);
    CheckLinePairs(text);
    return 0;
}

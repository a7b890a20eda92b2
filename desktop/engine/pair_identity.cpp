#include "engine/pair_identity.h"

#include <string_view>

#include "state/file_io.h"
#include "state/text.h"

namespace kvr {

namespace {

PairScore Failure(std::string reason) {
    return PairScore{std::nullopt, std::move(reason)};
}

}  // namespace

PairScore PairIdentityOfText(const std::string& text) {
    const std::string_view s(text);
    // Every ">" starts a record, even inside a name line; the residues of a record run to the
    // character before the next ">" or to the end of the text.
    std::string_view residues[2];
    int found = 0;
    for (auto p = s.find('>'); p != std::string_view::npos && found < 2; p = s.find('>', p + 1)) {
        const auto lineEnd = s.find('\n', p);
        if (lineEnd == std::string_view::npos) return Failure("a name line has no line feed");
        const auto start = lineEnd + 1;
        const auto next = s.find('>', start);
        if (next == std::string_view::npos)
            residues[found++] = start < s.size() ? s.substr(start) : std::string_view();
        else
            residues[found++] = s.substr(start, next == start ? 0 : next - 1 - start);
    }
    if (found < 2) return Failure("the file holds fewer than two sequences");

    const std::string a = RemoveAll(residues[0], "\r\b\n\t");
    const std::string b = RemoveAll(residues[1], "\r\b\n\t");
    if (a.empty() || b.empty()) return Failure("a sequence of the pair is empty");
    if (a.size() != b.size())
        return Failure("the aligned sequences differ in length (" + std::to_string(a.size()) +
                       " and " + std::to_string(b.size()) + " columns)");

    long gaps = 0;
    long mismatches = 0;
    for (std::size_t c = 0; c < b.size(); ++c) {
        if (a[c] == '-' || b[c] == '-')
            ++gaps;
        else if (a[c] != b[c])
            ++mismatches;
    }
    return IdentityOfCounts(static_cast<long>(a.size()) - gaps, mismatches);
}

PairScore IdentityOfCounts(long compared, long mismatches) {
    if (compared == 0) return Failure("the alignment has no column free of gaps");
    const double identity = 1.0 - static_cast<double>(mismatches) / static_cast<double>(compared);
    return PairScore{static_cast<float>(identity), {}};
}

PairScore PairIdentity(const std::string& path) {
    const auto content = ReadWholeFile(path);
    if (!content) return Failure("the aligned file " + path + " is missing or cannot be read");
    if (content->empty()) return Failure("the aligned file " + path + " is empty");
    PairScore score = PairIdentityOfText(*content);
    if (!score.Ok()) score.failure = "in " + path + ", " + score.failure;
    return score;
}

}  // namespace kvr

#include "io/dataset_splitter.h"

#include <charconv>
#include <clocale>
#include <cmath>
#include <ostream>

#include "io/fasta.h"
#include "io/file_io.h"
#include "io/number_text.h"

namespace kvr {

std::vector<int> IdentityGroups::Members(int k) const {
    std::vector<int> members;
    for (int s = 0; s < static_cast<int>(groupOf.size()); ++s)
        if (groupOf[s] == k) members.push_back(s);
    return members;
}

IdentityGroups GroupByIdentityRange(const IdentityTable& identity, int n, int minPercent,
                                    int maxPercent) {
    IdentityGroups groups;
    groups.groupOf.assign(static_cast<std::size_t>(n), -1);
    for (int a = 0; a < n; ++a) {
        if (groups.groupOf[a] != -1) continue;
        const int g = groups.Count();
        groups.groupOf[a] = g;
        groups.sizes.push_back(1);
        for (int b = 0; b < n; ++b) {
            // The 32-bit value times 100 in single precision, so 0.9499999 counts as 94.
            const float percent = identity(a, b) * 100.0f;
            const auto p = static_cast<long>(std::floor(percent));
            if (p >= minPercent && p <= maxPercent && groups.groupOf[b] == -1) {
                groups.groupOf[b] = g;
                ++groups.sizes[g];
            }
        }
    }
    return groups;
}

std::optional<int> ReadWholePercent(std::string_view text) {
    std::string number(text);
    while (!number.empty() && (number.back() == ' ' || number.back() == '\t')) number.pop_back();
    const auto start = number.find_first_not_of(" \t");
    if (start == std::string::npos) return std::nullopt;
    number.erase(0, start);
    const char* mark = std::localeconv()->decimal_point;
    if (mark != nullptr && mark[0] != '\0' && mark[1] == '\0' && mark[0] != '.')
        for (char& c : number)
            if (c == mark[0]) c = '.';
    const bool negative = number.front() == '-';
    if (number.front() == '-' || number.front() == '+') number.erase(0, 1);
    double value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value,
                                              std::chars_format::fixed);
    if (error != std::errc() || end != number.data() + number.size() || number.empty())
        return std::nullopt;
    const double floored = std::floor(negative ? -value : value);
    if (floored < -32768 || floored > 32767) return std::nullopt;  // a 16-bit field holds them
    return static_cast<int>(floored);
}

Result<void> CheckSplitRange(const Analysis& analysis, int minPercent, int maxPercent) {
    if (maxPercent > 100)
        return Problem{
            "The maximum sequence identity cannot be more than 100, please chose a "
            "value less than  or equal to 100"};
    if (minPercent < 0)
        return Problem{
            "The minimum sequence identity cannot be less than 0, please chose a value "
            "greater than or equal to 0"};
    if (minPercent >= maxPercent)
        return Problem{
            "The minimum sequence identity must be less and the maximum sequence "
            "identity. Conversely the maximum sequence identity should be greater "
            "than the minimum sequence identity."};
    const double smallest = NumberValue(FormatDecimals(analysis.minIdentity * 100, 2));
    if (smallest >= maxPercent)
        return Problem{
            "The maximum identity your entered is less tham the minimum identity "
            "scores of the sequences. Please use a maximum identity greater than" +
            ShortSignedText(smallest)};
    return {};
}

std::string DatasetFileName(const std::string& base, int number) {
    return base + " " + std::to_string(number) + ".fas";
}

std::string GroupFileName(const std::string& base, int number) {
    return base + "_group" + std::to_string(number) + ".fasta";
}

IdentityGroups NumberedGroups(const std::vector<int>& groupOf, const std::vector<int>& sizes) {
    IdentityGroups groups{groupOf, sizes};
    for (int& g : groups.groupOf) --g;
    return groups;
}

std::vector<int> DatasetGroups(const IdentityGroups& groups) {
    std::vector<int> kept;
    for (int k = 0; k < groups.Count(); ++k)
        if (groups.sizes[k] > 2) kept.push_back(k);
    return kept;
}

void WriteGroup(std::ostream& out, const Analysis& analysis, const IdentityGroups& groups, int k) {
    for (int member : groups.Members(k))
        if (out) out << FormatFastaRecord(analysis.SequenceList[member]);
}

std::vector<std::string> WriteDatasets(const Analysis& analysis, Progress& progress,
                                       const IdentityGroups& groups, const std::string& base,
                                       std::string& failure) {
    std::vector<std::string> written;
    const int g = groups.Count();
    for (int k : DatasetGroups(groups)) {
        const std::string path = DatasetFileName(base, static_cast<int>(written.size()) + 1);
        const auto write = [&](std::ostream& out) {
            WriteGroup(out, analysis, groups, k);
            return static_cast<bool>(out);
        };
        if (const Result<void> result = WriteStreamedFile(path, write); !result) {
            failure = WriteFailureMessage(path, result.problem());
            return written;
        }
        written.push_back(path);
        progress.Percent(100 * k / g);
        progress.Step(" " + std::to_string(g) + " files :" + path);
    }
    return written;
}

}  // namespace kvr

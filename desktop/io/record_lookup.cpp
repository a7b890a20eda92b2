#include "io/record_lookup.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <vector>

#include "io/fasta.h"
#include "io/text.h"

namespace kvr {

namespace {

// The loaded form of a typed name: the loader's cleaning, a leading ">".
std::string LoadedName(std::string_view typed) {
    const std::string cleaned = CleanFastaText(typed);
    return CleanName(cleaned.starts_with('>') ? cleaned : ">" + cleaned);
}

std::string Folded(std::string_view name) {
    std::string out;
    for (char c : name.substr(0, 64))
        if (c != '>') out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// Edits (insert, delete, change) from a to b.
std::size_t EditDistance(const std::string& a, const std::string& b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t up = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
            diagonal = up;
        }
    }
    return row[b.size()];
}

std::string Listed(const RecordTable& records, int k) {
    return std::to_string(k + 1) + " (" +
           PrintableText(records[static_cast<std::size_t>(k)].name, 80) + ")";
}

// The few names closest to the typed one, as "3 (>name), 7 (>other)".
std::string NearestNames(const RecordTable& records, const std::string& loaded) {
    const std::string wanted = Folded(loaded);
    std::vector<std::pair<std::size_t, int>> near;
    for (std::size_t k = 0; k < records.size(); ++k) {
        const std::string name = Folded(records[k].name);
        const bool contains =
            !wanted.empty() && (ContainsText(name, wanted) || ContainsText(wanted, name));
        // A name's head counts as well: the typed words may stop before its description.
        const std::size_t distance =
            contains ? 0
                     : std::min(EditDistance(wanted, name),
                                EditDistance(wanted, name.substr(0, wanted.size())));
        if (contains || distance <= std::max<std::size_t>(2, wanted.size() / 3))
            near.emplace_back(distance, static_cast<int>(k));
    }
    std::stable_sort(near.begin(), near.end());
    std::string list;
    for (std::size_t n = 0; n < near.size() && n < 5; ++n)
        list += (n == 0 ? "" : ", ") + Listed(records, near[n].second);
    return list;
}

}  // namespace

Result<int> FindRecord(const RecordTable& records, std::string_view typed) {
    const int count = static_cast<int>(records.size());
    const std::string loaded = LoadedName(typed);
    const std::string shown = "'" + PrintableText(typed, 80) + "'";
    if (loaded == ">") return Problem{"an empty name names no sequence"};

    std::vector<int> exact, longer;
    for (int k = 0; k < count; ++k) {
        const std::string& name = records[static_cast<std::size_t>(k)].name;
        if (name == loaded)
            exact.push_back(k);
        else if (name.starts_with(loaded + "_"))
            longer.push_back(k);
    }
    const auto several = [&](const std::vector<int>& found) -> Result<int> {
        std::string list;
        for (std::size_t n = 0; n < found.size() && n < 5; ++n)
            list += (n == 0 ? "" : ", ") + Listed(records, found[n]);
        if (found.size() > 5) list += ", ...";
        return Problem{shown + " names " + std::to_string(found.size()) + " sequences: " + list +
                       "; give its number instead"};
    };
    if (exact.size() == 1) return exact.front();
    if (exact.size() > 1) return several(exact);

    int number = 0;
    const auto [end, error] = std::from_chars(typed.data(), typed.data() + typed.size(), number);
    if (error == std::errc() && end == typed.data() + typed.size() && !typed.empty() &&
        typed.front() != '-') {
        if (number >= 1 && number <= count) return number - 1;
        return Problem{"there is no sequence number " + std::string(typed) + ": the file holds " +
                       std::to_string(count) + " sequences"};
    }
    if (longer.size() == 1) return longer.front();
    if (longer.size() > 1) return several(longer);

    const std::string nearest = NearestNames(records, loaded);
    return Problem{"no sequence is named " + shown +
                   (nearest.empty() ? "" : "; the nearest names: " + nearest)};
}

}  // namespace kvr

#include "model/provenance.h"

#include <algorithm>
#include <ctime>

namespace kvr {

namespace {

constexpr std::string_view kListSeparator = ", ";

std::string OrUnknown(std::string value) {
    return value.empty() ? std::string(kUnknown) : value;
}

// The values a value stands for: its parts when it is mixed, else itself.
std::vector<std::string> Parts(const std::string& value) {
    if (!value.starts_with(kMixedPrefix)) return {value};
    std::vector<std::string> parts;
    std::string_view rest = std::string_view(value).substr(kMixedPrefix.size());
    for (;;) {
        const auto end = rest.find(kListSeparator);
        parts.emplace_back(rest.substr(0, end));
        if (end == std::string_view::npos) return parts;
        rest.remove_prefix(end + kListSeparator.size());
    }
}

// What changes the numbers: mixed when the steps differ.
bool IsMethodKey(std::string_view key) {
    using namespace provenance_key;
    return key == kProgram || key == kAligner || key == kAlignerVersion || key == kAlignerCommand ||
           key == kAlphabet || key == kAmbiguous || key == kPairTimeout;
}

// What a record says of key, with the rule its oldest runs used without saying it.
std::string RecordedValue(const Provenance& record, std::string_view key) {
    return key == provenance_key::kAmbiguous ? RecordedAmbiguityRule(record) : record.Get(key);
}

// Some value that the record names would differ from value.
bool WouldMix(const std::string& recorded, std::string_view value) {
    const std::vector<std::string> named = NamedValues(recorded);
    return std::any_of(named.begin(), named.end(),
                       [&](const std::string& v) { return v != value; });
}

// What each step had of its own: listed, one value a step.
bool IsHistoryKey(std::string_view key) {
    using namespace provenance_key;
    return key == kCommand || key == kInput || key == kInputSha256 || key == kDate;
}

}  // namespace

std::string Provenance::Get(std::string_view key) const {
    for (const auto& [name, value] : entries)
        if (name == key) return value;
    return {};
}

void Provenance::Set(std::string_view key, std::string value) {
    for (auto& [name, old] : entries)
        if (name == key) {
            old = std::move(value);
            return;
        }
    entries.emplace_back(std::string(key), std::move(value));
}

Provenance AppendedProvenance(const Provenance& session, const Provenance& run) {
    Provenance appended;
    for (const auto& [key, value] : run.entries) {
        if (IsMethodKey(key))
            appended.Set(key, MixedValue({RecordedValue(session, key), value}));
        else if (IsHistoryKey(key))
            appended.Set(key, OrUnknown(session.Get(key)).append(kListSeparator).append(value));
        else
            appended.Set(key, value);
    }
    // What only the session says (a merge's shard count, a later kvr's keys) stays as it was.
    for (const auto& [key, value] : session.entries)
        if (run.Get(key).empty()) appended.Set(key, value);
    appended.tree = run.tree;
    return appended;
}

std::string MixedValue(const std::vector<std::string>& values) {
    std::vector<std::string> distinct;
    for (const std::string& value : values)
        for (std::string& part : Parts(OrUnknown(value)))
            if (std::find(distinct.begin(), distinct.end(), part) == distinct.end())
                distinct.push_back(std::move(part));
    if (distinct.size() == 1) return distinct.front();
    std::string text(kMixedPrefix);
    for (std::size_t k = 0; k < distinct.size(); ++k)
        text.append(k == 0 ? "" : kListSeparator).append(distinct[k]);
    return text;
}

std::vector<std::string> NamedValues(std::string_view value) {
    std::vector<std::string> named;
    for (std::string& part : Parts(std::string(value)))
        if (!part.empty() && part != kUnknown) named.push_back(std::move(part));
    return named;
}

bool WouldMixAligners(const Provenance& record, std::string_view aligner) {
    return WouldMix(record.Get(provenance_key::kAligner), aligner);
}

std::string RecordedAmbiguityRule(const Provenance& record) {
    std::string rule = record.Get(provenance_key::kAmbiguous);
    if (rule.empty() && !NamedValues(record.Get(provenance_key::kAligner)).empty()) rule = "count";
    return rule;
}

bool WouldMixAmbiguityRules(const Provenance& record, std::string_view rule) {
    return WouldMix(RecordedAmbiguityRule(record), rule);
}

std::string UtcTimestamp() {
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    char text[32] = {};
    if (gmtime_r(&now, &utc) == nullptr ||
        std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc) == 0)
        return std::string(kUnknown);
    return text;
}

}  // namespace kvr

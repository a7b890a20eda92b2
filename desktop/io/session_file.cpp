#include "io/session_file.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <ostream>
#include <set>
#include <sstream>

#include "io/fasta_records.h"
#include "io/file_io.h"
#include "io/number_text.h"
#include "io/session_marks.h"

namespace kvr {

namespace {

constexpr std::string_view kOpen = "[[[";
constexpr std::string_view kClose = "]]]";
// The record of how the identities were made: its first line's key, the format's version, and the
// key of the tree.
constexpr std::string_view kRecordKey = "kvr-provenance";
constexpr std::string_view kRecordVersion = "1";
constexpr std::string_view kTreeKey = "tree";

SessionContent Fault(SessionFault fault, std::string detail) {
    SessionContent content;
    content.fault = fault;
    content.detail = std::move(detail);
    return content;
}

// The identity of one line: the whole line a number from 0 to 1.
bool ReadIdentity(std::string_view line, float& value) {
    if (line.empty() || line.front() == '+') return false;
    const auto [end, error] = std::from_chars(line.data(), line.data() + line.size(), value);
    return error == std::errc() && end == line.data() + line.size() && value >= 0.0f &&
           value <= 1.0f;
}

// The value of a record line as EscapeProvenanceValue wrote it; false on an escape it never writes.
bool UnescapeValue(std::string_view text, std::string& value) {
    value.clear();
    for (std::size_t k = 0; k < text.size(); ++k) {
        if (text[k] != '\\') {
            value += text[k];
            continue;
        }
        if (++k == text.size()) return false;
        switch (text[k]) {
            case '\\':
                value += '\\';
                break;
            case 't':
                value += '\t';
                break;
            case 'n':
                value += '\n';
                break;
            case 'r':
                value += '\r';
                break;
            case ']':
                value += ']';
                break;
            default:
                return false;
        }
    }
    return true;
}

void WriteRecordLine(std::ostream& out, std::string_view key, std::string_view value) {
    out << '#' << key << '\t' << EscapeProvenanceValue(value) << kLineEnd;
}

// The "#" lines after the identities of n records, from line on: every other non-empty line is
// refused. An empty string when they are sound, else what is wrong.
std::string ReadRecord(TextLines& lines, std::string_view line, int n, SessionContent& content) {
    Provenance& provenance = content.provenance;
    const auto where = [&lines](const std::string& what) {
        return "line " + std::to_string(lines.Number()) + ": " + what;
    };
    bool started = false;
    std::set<std::string, std::less<>> keys;
    do {
        if (line.empty()) continue;
        if (line.front() != '#') return where("more lines than identities");
        if (!lines.Ended()) return where("the file is cut short");
        const auto tab = line.find('\t');
        const std::string_view key = line.substr(1, tab == std::string_view::npos ? 0 : tab - 1);
        const std::string shown(line.substr(0, 40));
        if (tab == std::string_view::npos || key.empty())
            return where("'" + shown + "' is not a \"#key<TAB>value\" line");
        const std::string_view text = line.substr(tab + 1);
        if (!started) {
            // Any version: a later one's keys are kept as they are, and the identities are sound.
            if (key != kRecordKey || text.empty() ||
                text.find_first_not_of("0123456789") != std::string_view::npos)
                return where("'" + shown + "' comes before \"#" + std::string(kRecordKey) + "\"");
            started = true;
            continue;
        }
        if (key == kRecordKey || !keys.emplace(key).second)
            return where("\"#" + std::string(key) + "\" is given twice");
        std::string value;
        if (!UnescapeValue(text, value))
            return where("'" + shown + "' holds a backslash that stands for nothing");
        if (key == kTreeKey) {
            provenance.tree = std::move(value);
        } else if (key == kBoundedPairsKey) {
            // Marks of another count were carried over by a program that did not know them.
            if (ParseBoundedPairs(value, n, content.boundedPairs) == BoundedPairsRead::Damaged)
                return where("'" + shown + "' is not a list of pairs of sequences");
        } else {
            provenance.entries.emplace_back(std::string(key), std::move(value));
        }
    } while (lines.Next(line));
    return {};
}

}  // namespace

std::string EscapeProvenanceValue(std::string_view value) {
    std::string text;
    text.reserve(value.size());
    char before = 0;
    for (const char c : value) {
        switch (c) {
            case '\\':
                text += "\\\\";
                break;
            case '\t':
                text += "\\t";
                break;
            case '\n':
                text += "\\n";
                break;
            case '\r':
                text += "\\r";
                break;
            case ']':
                text += before == ']' ? "\\]" : "]";
                break;
            default:
                text += c;
        }
        before = c;
    }
    return text;
}

void WriteSessionText(std::ostream& out, const RecordTable& records, const IdentityTable& identity,
                      int n, const Provenance& provenance, const std::vector<IndexPair>& bounded) {
    for (int k = 0; k < n; ++k) {
        if (k == 0) out << kOpen;
        out << records[k].name << kLineEnd << records[k].residues;
        if (k == n - 1) out << kClose;
        out << kLineEnd;
    }
    for (int i = 1; i < n && out; ++i)
        for (int j = 0; j < i; ++j) out << PlainSingle(identity(i, j)) << kLineEnd;
    if (!provenance.Known() && bounded.empty()) return;
    WriteRecordLine(out, kRecordKey, kRecordVersion);
    for (const auto& [key, value] : provenance.entries) WriteRecordLine(out, key, value);
    if (!bounded.empty()) WriteRecordLine(out, kBoundedPairsKey, FormatBoundedPairs(n, bounded));
    if (!provenance.tree.empty()) WriteRecordLine(out, kTreeKey, provenance.tree);
}

std::string FormatSession(const RecordTable& records, const IdentityTable& identity, int n,
                          const Provenance& provenance, const std::vector<IndexPair>& bounded) {
    std::ostringstream text;
    WriteSessionText(text, records, identity, n, provenance, bounded);
    return std::move(text).str();
}

void WriteSessionText(std::ostream& out, const Analysis& analysis) {
    WriteSessionText(out, analysis.SequenceList, analysis.IdentityMatrix, analysis.seqCount,
                     analysis.provenance, BoundedPairsInDisplayOrder(analysis));
}

SessionContent ParseSession(
    std::string_view text,
    const std::function<void(SessionStage stage, double done, double total)>& progress,
    const std::function<void(std::size_t bytes)>& release) {
    // The sequences end at the last "]]]": a name may hold "]]]" (and ">"), an identity line
    // never holds a "]".
    const auto open = text.find(kOpen);
    const auto close = text.rfind(kClose);
    if (open == std::string_view::npos || close == std::string_view::npos)
        return Fault(SessionFault::NoBrackets, "no \"[[[\" and \"]]]\" around the sequences");
    if (text.find('>') == std::string_view::npos)
        return Fault(SessionFault::NoSequence, "no sequence in FASTA form");
    if (close < open + kOpen.size())
        return Fault(SessionFault::Corrupted, "\"]]]\" comes before \"[[[\"");
    const std::string_view block = text.substr(open + kOpen.size(), close - open - kOpen.size());
    // A record is a name line and a residue line, and only a name line starts with ">".
    auto n = static_cast<int>(block.starts_with('>'));
    for (auto at = block.find("\n>"); at != std::string_view::npos; at = block.find("\n>", at + 2))
        ++n;
    if (n == 0) return Fault(SessionFault::Corrupted, "no sequence between \"[[[\" and \"]]]\"");

    SessionContent content;
    content.records.resize(static_cast<std::size_t>(n));
    FastaRecords records(text, {FastaLayout::LinePairs});
    TextLines& lines = records.Lines();
    FastaRecord found;
    const auto where = [&lines](const std::string& what) {
        return "line " + std::to_string(lines.Number()) + ": " + what;
    };
    for (int i = 0; i < n; ++i) {
        if (progress) progress(SessionStage::Records, i, n);
        if (!records.Next(found))
            return Fault(SessionFault::Corrupted,
                         "the file ends within sequence " + std::to_string(i + 1));
        std::string_view name = found.nameLine;
        std::string_view residues = found.residues;
        if (i == 0) {
            if (name.substr(0, kOpen.size()) != kOpen)
                return Fault(SessionFault::Corrupted, "line 1 does not start with \"[[[\"");
            name.remove_prefix(kOpen.size());
        }
        if (i == n - 1) {
            if (residues.size() < kClose.size() ||
                residues.substr(residues.size() - kClose.size()) != kClose)
                return Fault(SessionFault::Corrupted, where("the sequences do not end in \"]]]\""));
            residues.remove_suffix(kClose.size());
        }
        if (name.empty() || name.front() != '>')
            return Fault(SessionFault::Corrupted, "the name line of sequence " +
                                                      std::to_string(i + 1) +
                                                      " does not start with \">\"");
        if (residues.find('>') != std::string_view::npos)
            return Fault(SessionFault::Corrupted, where("a name line where residues should be"));
        Record& record = content.records[static_cast<std::size_t>(i)];
        record.name = name;
        record.residues = residues;
        content.maxNameLen = std::max(content.maxNameLen, static_cast<int>(name.size()));
    }
    if (progress) progress(SessionStage::RecordsDone, n, n);

    // Each identity takes a line of two bytes at least: a file too short for them all is refused
    // before the table of n x n is made.
    const auto pairs = static_cast<std::uint64_t>(n) * static_cast<std::uint64_t>(n - 1) / 2;
    if (pairs > lines.Remaining() / 2)
        return Fault(SessionFault::Corrupted, "the file is too short for the identities of " +
                                                  std::to_string(n) + " sequences");
    content.identity = IdentityTable(n);
    const double cells = static_cast<double>(n) * n;
    std::string_view line;
    constexpr std::size_t kReleaseStep = 16 << 20;
    std::size_t released = 0;
    for (int i = 0; i < n; ++i) {
        if (release && lines.Position() >= released + kReleaseStep) {
            released = lines.Position();
            release(released);
        }
        for (int j = 0; j < i; ++j) {
            if (progress) progress(SessionStage::Identities, static_cast<double>(i) * n + j, cells);
            if (!lines.Next(line))
                return Fault(SessionFault::Corrupted,
                             "the file ends before the identity of sequences " +
                                 std::to_string(j + 1) + " and " + std::to_string(i + 1));
            float value = 0;
            if (!lines.Ended())
                return Fault(SessionFault::Corrupted, where("the file is cut short"));
            if (!ReadIdentity(line, value))
                return Fault(SessionFault::Corrupted, where("'" + std::string(line.substr(0, 40)) +
                                                            "' is not an identity from 0 to 1"));
            content.identity(i, j) = value;
            content.identity(j, i) = value;
        }
        content.identity(i, i) = 1.0f;
    }
    // The reader of the original layout stops here; this one reads the record that may follow.
    if (lines.Next(line)) {
        if (std::string problem = ReadRecord(lines, line, n, content); !problem.empty())
            return Fault(SessionFault::Corrupted, std::move(problem));
    }
    return content;
}

}  // namespace kvr

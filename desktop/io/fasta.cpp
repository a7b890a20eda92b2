#include "io/fasta.h"

#include <algorithm>
#include <limits>
#include <unordered_map>

#include "io/fasta_records.h"
#include "io/file_io.h"
#include "io/memory.h"
#include "io/text.h"

namespace kvr {

namespace {

// Tells loading progress. The percent is told, and the caller breathes, only when the percentage
// changes (and per record for large sets), not for every character.
class LoadProgress {
  public:
    LoadProgress(Progress& progress, const char* caption, bool perRecordEvents)
        : progress_(progress), caption_(caption), perRecordEvents_(perRecordEvents) {}

    void operator()(std::size_t position, std::size_t length) {
        if (perRecordEvents_) progress_.Breathe();
        const int percent = length == 0 ? 100 : static_cast<int>(position * 100 / length);
        if (percent == shown_) return;
        if (shown_ < 0) progress_.Step(caption_);
        shown_ = percent;
        progress_.Percent(percent);
        progress_.Breathe();
    }

  private:
    Progress& progress_;
    const char* caption_;
    bool perRecordEvents_;
    int shown_ = -1;
};

std::string CleanWithStatus(Progress& progress, std::string_view text) {
    progress.Step("please wait...");
    std::string cleaned = CleanFastaText(text);
    progress.Step("");
    return cleaned;
}

// The name lines as the file gives them, into the records from `first` on. Cleaning takes no ">"
// out of the text, so the k-th record of content is the k-th record of the cleaned text.
void TakeGivenNames(std::string_view content, RecordTable& records, std::size_t first) {
    FastaRecords walk(content, {FastaLayout::Marks, true});
    FastaRecord record;
    for (std::size_t k = first; k < records.size() && walk.Next(record); ++k) {
        std::string& given = records[k].givenName;
        given.assign(record.nameLine.substr(1));
        std::replace(given.begin(), given.end(), '\t', ' ');
    }
}

// "48 sequences loaded", and what to check in the file when its report found something.
void TellLoaded(Progress& progress, int count, const FastaReport& report) {
    progress.Percent(0);
    const std::string summary = report.Summary();
    progress.Step(std::to_string(count) + " sequences loaded" +
                  (summary.empty() ? "" : " - check the file: " + summary));
}

// The text of a load: the one the caller read (kvr's standard input), else the file's, read into
// `read`.
const InputText& TextOf(const std::string& path, const FastaSource& source, InputText& read) {
    if (source.input != nullptr) return *source.input;
    read = ReadInputFile(path);
    return read;
}

LoadEnd RefuseLoad(Progress& progress, std::string_view message) {
    progress.Message(message);
    progress.End("Failed");
    return LoadEnd::Refused;
}

// "Failed to read PATH: the file does not exist.": the file could not be read, or is not text.
std::string InputProblemMessage(const char* verb, const std::string& path, const InputText& input) {
    std::string message = std::string(verb) + path + ": " + input.problem + ".";
    if (input.contentProblem) message += " Please check the content of the file and try again.";
    return message;
}

// The refusal of a load the memory cannot hold.
Result<void> CheckMemory(const char* verb, const std::string& path, std::string_view text,
                         std::size_t records) {
    // Below this, asking the system is not worth it: a machine without it free is not working.
    constexpr std::uint64_t kAlwaysFree = 64ull << 20;
    const std::uint64_t needed = EstimateLoadBytes(text);
    if (needed <= kAlwaysFree) return {};
    // Records take a few dozen times the bytes of the smallest file (">a" and one residue);
    // beyond that, ">" repeated on name lines make records that overlap, quadratic in the line.
    constexpr std::uint64_t kMostPerByte = 64;
    if (needed / kMostPerByte > text.size())
        return Problem{std::string(verb) + path + ": its " + std::to_string(records) +
                       " records would need about " + MemoryText(needed) +
                       " of memory for a file of " + MemoryText(text.size()) +
                       ": its name lines hold many \">\", and each starts a further record "
                       "holding the rest of its line."};
    const std::uint64_t available = AvailableMemory();
    if (needed <= available) return {};
    return Problem{std::string(verb) + path + ": its " + std::to_string(records) +
                   " records would need about " + MemoryText(needed) + " of memory, and only " +
                   MemoryText(available) + " is free."};
}

constexpr std::size_t kWarningsKept = 10;  // per kind; the rest are counted
constexpr std::size_t kNameShown = 60;     // bytes of a name quoted in a message

std::string Quoted(std::string_view name) {
    return PrintableText(name, kNameShown);
}

// Keeps the first warnings of each kind and counts them all; builds a text only when kept.
class Warnings {
  public:
    explicit Warnings(FastaReport* report) : report_(report) {}

    template <typename MakeText>
    void Add(FastaWarningKind kind, std::size_t line, MakeText&& makeText) {
        if (report_ == nullptr) return;
        std::size_t& count = report_->counts[static_cast<std::size_t>(kind)];
        if (count++ < kWarningsKept) report_->warnings.push_back({kind, line, makeText()});
    }
    void Fail(std::size_t line, const std::string& why) {
        if (report_ != nullptr) report_->failure = "line " + std::to_string(line) + ": " + why;
    }

  private:
    FastaReport* report_;
};

// Fewer than three in four residues are A, C, G, T, U or N (either case); spaces do not count.
bool LooksLikeNucleotides(std::string_view residues) {
    std::size_t plain = 0;
    std::size_t counted = 0;
    for (const char c : residues) {
        if (c == ' ') continue;
        ++counted;
        switch (c | 0x20) {
            case 'a':
            case 'c':
            case 'g':
            case 't':
            case 'u':
            case 'n':
                ++plain;
                break;
            default:
                break;
        }
    }
    return plain * 4 >= counted * 3;
}

}  // namespace

std::string CleanFastaText(std::string_view text) {
    return RemoveAll(text, "\r\t-\b");
}

std::uint64_t EstimateLoadBytes(std::string_view text) {
    // Per record: its name runs to the end of its line and its residues to the next name line,
    // so several ">" on one line repeat the residues and make names that overlap.
    constexpr std::uint64_t kPerRecord = 2 * sizeof(Record);  // the new table and the old one
    std::uint64_t bytes = text.size();                        // the cleaned copy of the text
    FastaRecords walk(text);
    for (FastaRecord record; walk.Next(record);) bytes += record.end - record.offset + kPerRecord;
    return bytes;
}

bool ParseFastaRecords(std::string_view text, RecordTable& records, std::size_t first,
                       int& maxNameLen,
                       const std::function<void(std::size_t, std::size_t)>& progress,
                       FastaReport* report) {
    Warnings warnings(report);
    std::unordered_map<std::string_view, std::size_t> nameLines;  // line 0: loaded before
    if (report != nullptr)
        for (std::size_t k = 0; k < first; ++k) nameLines.emplace(records[k].name, 0);
    std::size_t k = first;
    std::size_t warnedLine = 0;  // the last name line said to hold a further ">"
    FastaRecords walk(text);
    for (FastaRecord found; walk.Next(found);) {
        const std::size_t line = found.line;
        Record& record = records[k++];
        record.name = CleanName(found.nameLine);
        if (!found.nameLineEnded) {
            warnings.Fail(line, "the name line " + Quoted(record.name) + " has no line end");
            return false;
        }
        maxNameLen = std::max(maxNameLen, static_cast<int>(record.name.size()));
        record.residues.clear();
        AppendWithoutLineFeeds(found.residues, record.residues);
        // An aligner cannot work on an empty sequence (MUSCLE ends on it half-way through a run).
        if (record.residues.find_first_not_of(' ') == std::string::npos) {
            warnings.Fail(line, "the record " + Quoted(record.name) + " has no residues");
            return false;
        }

        if (report != nullptr) {
            const std::string_view name = record.name;
            const std::string_view nameLine = found.nameLine;
            if (line != warnedLine && nameLine.find('>', 1) != std::string_view::npos) {
                warnedLine = line;
                warnings.Add(FastaWarningKind::FurtherRecordInName, line, [&] {
                    const auto more = std::count(nameLine.begin() + 1, nameLine.end(), '>');
                    return "the name line " + Quoted(name) + " holds " + std::to_string(more) +
                           " more \">\": each starts a further record with the same residues";
                });
            }
            if (const auto inserted = nameLines.emplace(name, line); !inserted.second) {
                const std::size_t knownLine = inserted.first->second;
                warnings.Add(FastaWarningKind::DuplicateName, line, [&] {
                    return "the name " + Quoted(name) + " is also the name of " +
                           (knownLine == 0 ? std::string("a sequence already loaded")
                                           : "line " + std::to_string(knownLine));
                });
            }
            if (name.find(',') != std::string_view::npos) {
                warnings.Add(FastaWarningKind::CommaInName, line, [&] {
                    return "the name " + Quoted(name) +
                           " holds a comma: the fields of the score table cannot be told apart";
                });
            }
            if (!LooksLikeNucleotides(record.residues)) {
                warnings.Add(FastaWarningKind::NotNucleotide, line, [&] {
                    return "the sequence " + Quoted(name) +
                           " does not look like nucleotides: fewer than three in four of its "
                           "residues are A, C, G, T, U or N";
                });
            }
        }
        if (progress) progress(found.end, text.size());
    }
    return true;
}

std::string FastaReport::Details() const {
    std::string details;
    std::array<std::size_t, kFastaWarningKinds> listed{};
    for (const FastaWarning& warning : warnings) {
        ++listed[static_cast<std::size_t>(warning.kind)];
        details += "line " + std::to_string(warning.line) + ": " + warning.text + "\n";
    }
    for (std::size_t kind = 0; kind < kFastaWarningKinds; ++kind)
        if (counts[kind] > listed[kind])
            details += std::to_string(counts[kind] - listed[kind]) + " more like the last\n";
    if (!details.empty()) details.pop_back();
    return details;
}

std::string FastaReport::Summary() const {
    static constexpr const char* kOne[] = {"1 name line holding a further \">\"",
                                           "1 duplicate name", "1 name with a comma",
                                           "1 sequence that does not look like nucleotides"};
    static constexpr const char* kMany[] = {" name lines holding a further \">\"",
                                            " duplicate names", " names with commas",
                                            " sequences that do not look like nucleotides"};
    std::string summary;
    for (std::size_t kind = 0; kind < kFastaWarningKinds; ++kind) {
        if (counts[kind] == 0) continue;
        if (!summary.empty()) summary += ", ";
        summary += counts[kind] == 1 ? std::string(kOne[kind])
                                     : std::to_string(counts[kind]) + kMany[kind];
    }
    return summary;
}

std::string FormatFastaRecord(const Record& record) {
    std::string out;
    out.reserve(record.name.size() + record.residues.size() + 4);
    out.append(record.name).append(kLineEnd).append(record.residues).append(kLineEnd);
    return out;
}

LoadEnd LoadFasta(RunState& state, Progress& progress, const std::string& path,
                  const FastaSource& source) {
    state.seqCount = 0;
    const std::string failure =
        "Failed to read " + path + ". Please check the content of the file and try again.";
    InputText read;
    const InputText& input = TextOf(path, source, read);
    if (!input.text)
        return RefuseLoad(progress, InputProblemMessage("Failed to read ", path, input));
    const std::string& content = *input.text;

    const std::size_t count = CountFastaRecords(content);
    state.seqCount =
        static_cast<int>(std::min<std::size_t>(count, std::numeric_limits<int>::max()));
    if (state.seqCount == 1)
        return RefuseLoad(progress, "Only one record found, add more sequences and try again.");
    if (state.seqCount == 0)
        return RefuseLoad(progress,
                          "No DNA sequence found, please  input a fasta file and try again.");
    if (const Result<void> fits = CheckMemory("Failed to read ", path, content, count); !fits)
        return RefuseLoad(progress, fits.problem().message);

    const std::string text = CleanWithStatus(progress, content);
    state.InputSequences.assign(static_cast<std::size_t>(state.seqCount), Record{});
    state.maxNameLen = 0;
    LoadProgress loading(progress, "Loading sequences", state.seqCount > 150);
    FastaReport ownReport;
    FastaReport& report = source.report != nullptr ? *source.report : ownReport;
    if (!ParseFastaRecords(text, state.InputSequences, 0, state.maxNameLen, std::ref(loading),
                           &report))
        return RefuseLoad(progress, failure);
    TakeGivenNames(content, state.InputSequences, 0);

    const std::string& firstResidues = state.InputSequences.front().residues;
    const bool differs = std::any_of(state.InputSequences.begin(), state.InputSequences.end(),
                                     [&](const Record& r) { return r.residues != firstResidues; });
    TellLoaded(progress, state.seqCount, differs ? report : FastaReport{});
    if (differs) return LoadEnd::Loaded;
    progress.Message("All sequences are identical, the analysis cannot be performed.");
    progress.End("Failed");
    return LoadEnd::Identical;
}

LoadEnd AppendFasta(RunState& state, Progress& progress, const std::string& path,
                    const FastaSource& source) {
    state.appendCount = 0;
    const std::string failure =
        "Failed to append " + path + ". Please check the content of the file and try again.";
    InputText read;
    const InputText& input = TextOf(path, source, read);
    if (!input.text)
        return RefuseLoad(progress, InputProblemMessage("Failed to append ", path, input));
    const std::string& content = *input.text;

    const std::size_t count = CountFastaRecords(content);
    const int oldCount = state.seqCount;
    const int appendCount = static_cast<int>(std::min<std::size_t>(
        count, static_cast<std::size_t>(std::numeric_limits<int>::max() - oldCount)));
    state.appendCount = appendCount;
    if (appendCount == 0)
        return RefuseLoad(progress,
                          "No DNA sequence found, please load a FASTA file and try again.");
    if (const Result<void> fits = CheckMemory("Failed to append ", path, content, count); !fits)
        return RefuseLoad(progress, fits.problem().message);

    // Parse into a new table so that a file that fails half-way leaves the sequences on display
    // and their count as they were.
    const std::string text = CleanWithStatus(progress, content);
    RecordTable records(static_cast<std::size_t>(oldCount + appendCount));
    std::copy_n(
        state.SequenceList.begin(),
        std::min<std::size_t>(state.SequenceList.size(), static_cast<std::size_t>(oldCount)),
        records.begin());
    int maxNameLen = state.maxNameLen;
    LoadProgress loading(progress, "Appending sequences", oldCount + appendCount > 150);
    FastaReport ownReport;
    FastaReport& report = source.report != nullptr ? *source.report : ownReport;
    if (!ParseFastaRecords(text, records, static_cast<std::size_t>(oldCount), maxNameLen,
                           std::ref(loading), &report))
        return RefuseLoad(progress, failure);
    TakeGivenNames(content, records, static_cast<std::size_t>(oldCount));

    state.seqCount = oldCount + appendCount;
    state.InputSequences = std::move(records);
    state.maxNameLen = maxNameLen;
    TellLoaded(progress, state.seqCount, report);
    return LoadEnd::Loaded;
}

}  // namespace kvr

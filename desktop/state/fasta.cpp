#include "state/fasta.h"

#include <algorithm>

#include "state/control_states.h"
#include "state/file_io.h"
#include "state/text.h"

namespace kvr {

namespace {

// Shows loading progress. The bar and the pending events are refreshed only when the shown
// percentage changes (and per record for large sets), not for every character.
class LoadProgress {
public:
    LoadProgress(Window& window, const char* caption, bool perRecordEvents)
        : window_(window), caption_(caption), perRecordEvents_(perRecordEvents) {}

    void operator()(std::size_t position, std::size_t length) {
        if (perRecordEvents_) window_.ProcessEvents();
        const int percent = length == 0 ? 100 : static_cast<int>(position * 100 / length);
        if (percent == shown_) return;
        if (shown_ < 0) window_.SetCaption(Control::lblProgress, caption_);
        shown_ = percent;
        window_.SetValue(Control::ProgressBar1, percent);
        window_.ProcessEvents();
    }

private:
    Window& window_;
    const char* caption_;
    bool perRecordEvents_;
    int shown_ = -1;
};

std::size_t CountRecords(std::string_view text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '>'));
}

std::string CleanWithStatus(Window& window, std::string_view text) {
    window.SetCaption(Control::lblProgress, "please wait...");
    std::string cleaned = CleanFastaText(text);
    window.SetCaption(Control::lblProgress, "");
    return cleaned;
}

void ShowLoaded(RunState& state, Window& window) {
    const std::string count = std::to_string(state.seqCount);
    window.SetCaption(Control::frmMainForm,
                      std::string(kMainCaption) + " |" + " " + count + " sequences");
    window.SetValue(Control::ProgressBar1, 0);
    window.SetCaption(Control::lblProgress, count + " sequences loaded");
}

void RefuseLoad(RunState& state, Window& window, std::string_view message) {
    window.ShowMessage(message);
    ResetAfterLoadFailure(window);
    state.failFlag = true;
}

}  // namespace

std::string CleanFastaText(std::string_view text) { return RemoveAll(text, "\r\t-\b"); }

bool ParseFastaRecords(std::string_view text, RecordTable& records, std::size_t first,
                       int& maxNameLen,
                       const std::function<void(std::size_t, std::size_t)>& progress) {
    std::size_t k = first;
    for (auto i = text.find('>'); i != std::string_view::npos; i = text.find('>', i + 1)) {
        const auto lineEnd = text.find('\n', i);
        if (lineEnd == std::string_view::npos) return false;  // header without a line feed
        Record& record = records[k++];
        record.name = CleanName(text.substr(i, lineEnd - i));
        maxNameLen = std::max(maxNameLen, static_cast<int>(record.name.size()));

        // The residues run to the character before the next ">" (normally the line feed that
        // ends the record's last line), or to the end of the text.
        const auto start = lineEnd + 1;
        if (start >= text.size()) return false;  // header ends the text: no residues
        const auto next = text.find('>', start);
        std::string_view residues;
        if (next == std::string_view::npos) {
            residues = text.substr(start);
        } else {
            if (next == start) return false;  // no residue line before the next header
            residues = text.substr(start, next - 1 - start);
        }
        record.residues.clear();
        record.residues.reserve(residues.size());
        for (char c : residues)
            if (c != '\n') record.residues.push_back(c);
        if (progress) progress(next == std::string_view::npos ? text.size() : next, text.size());
    }
    return true;
}

std::string FormatFastaRecord(const Record& record) {
    std::string out;
    out.reserve(record.name.size() + record.residues.size() + 4);
    out.append(record.name).append(kLineEnd).append(record.residues).append(kLineEnd);
    return out;
}

void LoadFasta(RunState& state, Window& window, const std::string& path) {
    state.seqCount = 0;
    const std::string failure =
        "Failed to read " + path + ". Please check the content of the file and try again.";
    const auto content = ReadWholeFile(path);
    if (!content) return RefuseLoad(state, window, failure);

    state.seqCount = static_cast<int>(CountRecords(*content));
    if (state.seqCount == 1)
        return RefuseLoad(state, window,
                          "Only one record found, add more sequences and try again.");
    if (state.seqCount == 0)
        return RefuseLoad(state, window,
                          "No DNA sequence found, please  input a fasta file and try again.");

    const std::string text = CleanWithStatus(window, *content);
    state.InputSequences.assign(static_cast<std::size_t>(state.seqCount), Record{});
    state.maxNameLen = 0;
    LoadProgress progress(window, "Loading sequences", state.seqCount > 150);
    if (!ParseFastaRecords(text, state.InputSequences, 0, state.maxNameLen, std::ref(progress)))
        return RefuseLoad(state, window, failure);

    const std::string& firstResidues = state.InputSequences.front().residues;
    const bool differs =
        std::any_of(state.InputSequences.begin(), state.InputSequences.end(),
                    [&](const Record& r) { return r.residues != firstResidues; });
    ShowLoaded(state, window);
    if (differs) {
        EnterAwaitingRunState(window);
        return;
    }
    window.ShowMessage("All sequences are identical, the analysis cannot be performed.");
    window.SetCaption(Control::lblProgress, "Failed");
    // The count no longer matches the analysis on display, so nothing may act on that analysis.
    DisableAnalysisControls(window);
    state.failFlag = true;
}

void AppendFasta(RunState& state, Window& window, const std::string& path) {
    state.appendCount = 0;
    const std::string failure =
        "Failed to append " + path + ". Please check the content of the file and try again.";
    const auto content = ReadWholeFile(path);
    if (!content) return RefuseLoad(state, window, failure);

    const int appendCount = static_cast<int>(CountRecords(*content));
    state.appendCount = appendCount;
    if (appendCount == 0)
        return RefuseLoad(state, window,
                          "No DNA sequence found, please load a FASTA file and try again.");

    // Parse into a new table so that a file that fails half-way leaves the sequences on display
    // and their count as they were.
    const std::string text = CleanWithStatus(window, *content);
    const int oldCount = state.seqCount;
    RecordTable records(static_cast<std::size_t>(oldCount + appendCount));
    std::copy_n(state.SequenceList.begin(),
                std::min<std::size_t>(state.SequenceList.size(), static_cast<std::size_t>(oldCount)),
                records.begin());
    int maxNameLen = state.maxNameLen;
    LoadProgress progress(window, "Appending sequences", oldCount + appendCount > 150);
    if (!ParseFastaRecords(text, records, static_cast<std::size_t>(oldCount), maxNameLen,
                           std::ref(progress)))
        return RefuseLoad(state, window, failure);

    state.seqCount = oldCount + appendCount;
    state.InputSequences = std::move(records);
    state.maxNameLen = maxNameLen;
    ShowLoaded(state, window);
    EnterAwaitingRunState(window);
}

}  // namespace kvr

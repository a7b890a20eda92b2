#include "files/text_exports.h"

#include <cmath>
#include <functional>

#include "engine/score_table.h"
#include "state/fasta.h"
#include "state/file_io.h"
#include "state/number_text.h"
#include "state/program_folder.h"
#include "state/progress_meter.h"
#include "state/save_dialog.h"

namespace kvr {

namespace {

using Progress = std::function<void(double done, double total)>;

std::string FormatScoreMatrix(const RunState& state, const Progress& progress) {
    const int n = state.seqCount;
    std::string text;
    text.reserve(static_cast<std::size_t>(n) * (n + 1) / 2 * 6 + 64 * static_cast<std::size_t>(n));
    const double total = static_cast<double>(n) * n;
    double done = 0;
    for (int i = 0; i < n; ++i) {
        text += state.SequenceList[i].name;
        for (int j = 0; j < n; ++j) {
            if (progress) progress(done++, total);
            if (j <= i)
                text.append(",").append(
                    FormatDecimals(static_cast<double>(state.IdentityMatrix(i, j)) * 100, 1));
        }
        text += kLineEnd;
    }
    text += kLineEnd;
    return text;
}

// The steps every menu export shares: the dialog, the status text and pointer, the write through
// a temporary file, and the folder for the next dialog. format gets the progress of its pass when
// the export shows progress.
void ExportText(RunState& state, Window& window, const char* status, const char* suffix,
                bool showsProgress,
                const std::function<std::string(const Progress& progress)>& format) {
    const std::string name = AskSaveName(state, window, suffix);
    if (name.empty()) return;
    window.SetCaption(Control::lblProgress, status);
    window.SetBusy(true);
    const std::string path = WithSuffix(name, suffix);

    // Above 500 sequences the window stays responsive during the pass, as during a run.
    ProgressMeter meter(window, state.seqCount > 500 ? 1 : 1L << 30);
    const Progress progress = [&meter](double done, double total) { meter.Show(done, total); };
    const WriteResult written = WriteWholeFile(path, format(showsProgress ? progress : Progress{}));
    window.SetBusy(false);
    if (!written) {
        window.SetCaption(Control::lblProgress, "Failed");
        window.ShowMessage(WriteFailureMessage(path, written));
        return;
    }
    window.SetCaption(Control::lblProgress, "Done");
    if (showsProgress) window.SetValue(Control::ProgressBar1, 0);
    RememberFolderOf(state, name);
}

}  // namespace

std::string FormatScoreMatrix(const RunState& state) {
    return FormatScoreMatrix(state, {});
}

std::string FormatPlotData(const RunState& state, PlotDataHeader header) {
    const float n = static_cast<float>(state.seqCount);
    const float totalPairs = (n * n - n) / 2;
    std::string text = header == PlotDataHeader::UserFile
                           ? "Percentage pairwise identity , Number of Identities from"
                           : "Percentage pairwise identity , Number of identity from";
    text.append(PlainSingle(totalPairs)).append(" pairwise identity, Propotion").append(kLineEnd);
    for (int b = 0; b < 100 && b < static_cast<int>(state.BinArray.size()); ++b)
        text.append(std::to_string(b + 1))
            .append(",")
            .append(PlainSingle(state.BinArray[b][0]))
            .append(",")
            .append(PrintedSingle(state.BinArray[b][1]))
            .append(kLineEnd);
    return text;
}

std::string FormatAllSequences(const RunState& state) {
    std::string text;
    for (int i = 0; i < state.seqCount; ++i) text += FormatFastaRecord(state.SequenceList[i]);
    return text;
}

void OnSaveScoresColumn(RunState& state, Window& window) {
    ExportText(state, window, "Saving scores ...", "_col.txt", true, [&state](const Progress& p) {
        return FormatScoreColumns(state.SequenceList, state.IdentityMatrix, state.seqCount, p);
    });
}

void OnSaveScoresMatrix(RunState& state, Window& window) {
    ExportText(state, window, "Saving scores ...", "_mat.txt", true,
               [&state](const Progress& p) { return FormatScoreMatrix(state, p); });
}

void OnSavePlotData(RunState& state, Window& window) {
    ExportText(state, window, "Saving plot data ...", "_plt.txt", false, [&state](const Progress&) {
        return FormatPlotData(state, PlotDataHeader::UserFile);
    });
}

void OnSaveAllSequences(RunState& state, Window& window) {
    ExportText(state, window, "Saving all the sequences ...", ".fas", false,
               [&state](const Progress&) { return FormatAllSequences(state); });
}

bool WriteWorkPlotData(const RunState& state, Window& window, const std::string& workFolder) {
    const std::string path = JoinPath(workFolder, kWorkPlotDataName);
    const WriteResult written =
        WriteWholeFile(path, FormatPlotData(state, PlotDataHeader::WorkFolder));
    if (!written) window.ShowMessage(WriteFailureMessage(path, written));
    return static_cast<bool>(written);
}

}  // namespace kvr

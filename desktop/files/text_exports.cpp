#include "files/text_exports.h"

#include <cmath>
#include <functional>
#include <ostream>
#include <sstream>

#include "engine/score_table.h"
#include "state/fasta.h"
#include "state/file_io.h"
#include "state/number_text.h"
#include "state/program_folder.h"
#include "state/progress_meter.h"
#include "state/save_dialog.h"
#include "state/window_progress.h"

namespace kvr {

namespace {

void WriteScoreMatrix(std::ostream& out, const Analysis& analysis, const ExportProgress& progress) {
    const int n = analysis.seqCount;
    const double total = static_cast<double>(n) * n;
    double done = 0;
    for (int i = 0; i < n && out; ++i) {
        out << analysis.SequenceList[i].name;
        for (int j = 0; j < n; ++j) {
            if (progress) progress(done++, total);
            if (j <= i)
                out << ','
                    << FormatDecimals(static_cast<double>(analysis.IdentityMatrix(i, j)) * 100, 1);
        }
        out << kLineEnd;
    }
    out << kLineEnd;
}

}  // namespace

void ExportText(
    RunState& state, Window& window, const char* status, const char* suffix, bool showsProgress,
    const std::function<void(std::ostream& out, const ExportProgress& progress)>& write) {
    const std::string name = AskSaveName(state, window, suffix);
    if (name.empty()) return;
    window.SetCaption(Control::lblProgress, status);
    window.SetBusy(true);
    const std::string path = WithSuffix(name, suffix);

    // Above 500 sequences the window stays responsive during the pass, as during a run.
    WindowProgress shown(window);
    ProgressMeter meter(shown, state.seqCount > 500 ? 1 : 1L << 30);
    const ExportProgress progress = [&meter](double done, double total) {
        meter.Show(done, total);
    };
    const WriteResult written = WriteStreamedFile(path, [&](std::ostream& out) {
        write(out, showsProgress ? progress : ExportProgress{});
        return static_cast<bool>(out);
    });
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

void WriteScoreMatrix(std::ostream& out, const Analysis& analysis) {
    WriteScoreMatrix(out, analysis, {});
}

void WritePlotData(std::ostream& out, const Analysis& analysis, PlotDataHeader header) {
    const float n = static_cast<float>(analysis.seqCount);
    const float totalPairs = (n * n - n) / 2;
    out << (header == PlotDataHeader::UserFile
                ? "Percentage pairwise identity , Number of Identities from"
                : "Percentage pairwise identity , Number of identity from")
        << PlainSingle(totalPairs) << " pairwise identity, Propotion" << kLineEnd;
    for (int b = 0; b < 100 && b < static_cast<int>(analysis.BinArray.size()); ++b)
        out << b + 1 << ',' << PlainSingle(analysis.BinArray[b][0]) << ','
            << PrintedSingle(analysis.BinArray[b][1]) << kLineEnd;
}

void WriteAllSequences(std::ostream& out, const Analysis& analysis) {
    for (int i = 0; i < analysis.seqCount && out; ++i)
        out << FormatFastaRecord(analysis.SequenceList[i]);
}

std::string FormatScoreMatrix(const Analysis& analysis) {
    std::ostringstream text;
    WriteScoreMatrix(text, analysis);
    return std::move(text).str();
}

std::string FormatPlotData(const Analysis& analysis, PlotDataHeader header) {
    std::ostringstream text;
    WritePlotData(text, analysis, header);
    return std::move(text).str();
}

std::string FormatAllSequences(const Analysis& analysis) {
    std::ostringstream text;
    WriteAllSequences(text, analysis);
    return std::move(text).str();
}

void OnSaveScoresColumn(RunState& state, Window& window) {
    ExportText(state, window, "Saving scores ...", "_col.txt", true,
               [&state](std::ostream& out, const ExportProgress& p) {
                   WriteScoreColumns(out, state.SequenceList, state.IdentityMatrix, state.seqCount,
                                     p);
               });
}

void OnSaveScoresMatrix(RunState& state, Window& window) {
    ExportText(
        state, window, "Saving scores ...", "_mat.txt", true,
        [&state](std::ostream& out, const ExportProgress& p) { WriteScoreMatrix(out, state, p); });
}

void OnSavePlotData(RunState& state, Window& window) {
    ExportText(state, window, "Saving plot data ...", "_plt.txt", false,
               [&state](std::ostream& out, const ExportProgress&) {
                   WritePlotData(out, state, PlotDataHeader::UserFile);
               });
}

void OnSaveAllSequences(RunState& state, Window& window) {
    ExportText(
        state, window, "Saving all the sequences ...", ".fas", false,
        [&state](std::ostream& out, const ExportProgress&) { WriteAllSequences(out, state); });
}

bool WriteWorkPlotData(const Analysis& analysis, Window& window, const std::string& workFolder) {
    const std::string path = JoinPath(workFolder, kWorkPlotDataName);
    const WriteResult written = WriteStreamedFile(path, [&analysis](std::ostream& out) {
        WritePlotData(out, analysis, PlotDataHeader::WorkFolder);
        return static_cast<bool>(out);
    });
    if (!written) window.ShowMessage(WriteFailureMessage(path, written));
    return static_cast<bool>(written);
}

}  // namespace kvr

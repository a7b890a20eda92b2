#include "ui/text_export_handlers.h"

#include "io/file_io.h"
#include "io/program_folder.h"
#include "io/progress_meter.h"
#include "io/score_table.h"
#include "ui/save_dialog.h"
#include "ui/window_progress.h"

namespace kvr {

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
    const Result<void> written = WriteStreamedFile(path, [&](std::ostream& out) {
        write(out, showsProgress ? progress : ExportProgress{});
        return static_cast<bool>(out);
    });
    window.SetBusy(false);
    if (!written) {
        window.SetCaption(Control::lblProgress, "Failed");
        window.ShowMessage(WriteFailureMessage(path, written.problem()));
        return;
    }
    window.SetCaption(Control::lblProgress, "Done");
    if (showsProgress) window.SetValue(Control::ProgressBar1, 0);
    RememberFolderOf(state, name);
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
    const Result<void> written = WriteStreamedFile(path, [&analysis](std::ostream& out) {
        WritePlotData(out, analysis, PlotDataHeader::WorkFolder);
        return static_cast<bool>(out);
    });
    if (!written) window.ShowMessage(WriteFailureMessage(path, written.problem()));
    return static_cast<bool>(written);
}

}  // namespace kvr

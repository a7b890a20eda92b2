#include "ui/splitter_form.h"

#include "io/dataset_splitter.h"
#include "io/file_io.h"
#include "ui/control_states.h"
#include "ui/save_dialog.h"
#include "ui/window_progress.h"

namespace kvr {

namespace {

constexpr const char* kBadInputMessage =
    "Please input the maximum and minimum sequence identity percentage values correctly (values "
    "should be numbers ranging from 0 to 100)!";

}  // namespace

void OnSplitterLoad(Window& window) {
    CentreForm(window, Control::frmIdentityPrct);
    window.ShowForm(Control::frmIdentityPrct);
}

void OnSplitterOk(RunState& state, Window& window) {
    const auto maxPercent = ReadWholePercent(window.Caption(Control::txtMaxSeqIdentity));
    const auto minPercent = ReadWholePercent(window.Caption(Control::txtMinSeqIdentity));
    if (!maxPercent || !minPercent) {
        window.ShowMessage(kBadInputMessage);
        window.SetCaption(Control::txtMaxSeqIdentity, "");
        window.SetCaption(Control::txtMinSeqIdentity, "");
        return;
    }
    if (const Result<void> range = CheckSplitRange(state, *minPercent, *maxPercent); !range) {
        window.ShowMessage(range.problem().message);
        return;
    }
    state.choices.splitMax = *maxPercent;
    state.choices.splitMin = *minPercent;
    window.CloseForm(Control::frmIdentityPrct);

    window.ShowMessage(
        "Please choose the location to save the files, and choose a name for your "
        "datates");
    const std::string base = AskSaveName(state, window, ".fas");
    if (base.empty()) return;
    window.SetCaption(Control::lblProgress, "Creating datasets ...");
    window.SetBusy(true);
    const IdentityGroups groups = GroupByIdentityRange(
        state.IdentityMatrix, state.seqCount, state.choices.splitMin, state.choices.splitMax);
    std::string failure;
    WindowProgress progress(window);
    WriteDatasets(state, progress, groups, base, failure);
    window.SetBusy(false);
    window.SetValue(Control::ProgressBar1, 0);
    if (!failure.empty()) {
        window.SetCaption(Control::lblProgress, "Failed");
        window.ShowMessage(failure);
        return;
    }
    window.SetCaption(Control::lblProgress, "Done");
    RememberFolderOf(state, base);
}

}  // namespace kvr

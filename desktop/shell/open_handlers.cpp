#include "shell/open_handlers.h"

#include <unistd.h>

#include <array>
#include <filesystem>
#include <optional>

#include "files/settings.h"
#include "shell/main_form.h"
#include "state/control_states.h"
#include "state/fasta.h"
#include "state/program_folder.h"
#include "state/save_dialog.h"
#include "state/text.h"

namespace kvr {

namespace {

const std::string kCaptionWithPath = std::string(kMainCaption) + " | ";

// Disables what could start a second load while this one runs.
void EnterBusyState(Window& window) {
    for (Control c : {Control::mnuRerun, Control::mnuSave, Control::mnuAppend, Control::cmdDrawMat,
                      Control::cmdPlot, Control::cmdZoomIn, Control::cmdZoomOut})
        window.SetEnabled(c, false);
    SetOpeningEnabled(window, false);
}

void ClearStatus(Window& window) {
    window.SetValue(Control::ProgressBar1, 0);
    window.SetCaption(Control::lblPrgPercent, "");
    window.SetCaption(Control::lblProgress, "");
}

void ForgetDisplayedAnalysis(RunState& state) {
    state.zoomLevel = 0;
    state.matrixShown = false;
    state.appendMode = false;
}

// What an open changes before it knows whether the file can be read: a refused session puts it
// back, so that the analysis on display stays usable as it was.
class DisplayedAnalysis {
  public:
    DisplayedAnalysis(const RunState& state, const Window& window)
        : zoomLevel_(state.zoomLevel),
          matrixShown_(state.matrixShown),
          appendMode_(state.appendMode),
          caption_(window.Caption(Control::frmMainForm)),
          filePath_(window.Caption(Control::lblFilePath)) {
        for (std::size_t k = 0; k < kBusyControls.size(); ++k)
            enabled_[k] = window.IsEnabled(kBusyControls[k]);
    }

    void Restore(RunState& state, Window& window) const {
        state.zoomLevel = zoomLevel_;
        state.matrixShown = matrixShown_;
        state.appendMode = appendMode_;
        window.SetCaption(Control::frmMainForm, caption_);
        window.SetCaption(Control::lblFilePath, filePath_);
        for (std::size_t k = 0; k < kBusyControls.size(); ++k)
            window.SetEnabled(kBusyControls[k], enabled_[k]);
    }

  private:
    static constexpr std::array kBusyControls = {
        Control::mnuRerun, Control::mnuSave,   Control::mnuAppend, Control::cmdDrawMat,
        Control::cmdPlot,  Control::cmdZoomIn, Control::cmdZoomOut};
    int zoomLevel_;
    bool matrixShown_;
    bool appendMode_;
    std::string caption_;
    std::string filePath_;
    std::array<bool, kBusyControls.size()> enabled_{};
};

void OpenSession(MainForm& form, const std::string& path, const DisplayedAnalysis& before) {
    if (!form.loadSession(path)) {
        before.Restore(form.state, form.window);
        return;
    }
    form.state.fileKind = kSessionOrAppended;
    form.state.fromSession = true;
    for (Control c : {Control::mnuAppend, Control::mnuRerun, Control::mnuSave})
        form.window.SetEnabled(c, true);
}

// Loads a FASTA file; false when the load was refused or failed (opening is available again).
bool OpenFasta(MainForm& form, const std::string& path) {
    LoadFasta(form.state, form.window, path);
    if (form.state.failFlag) {
        form.state.failFlag = false;
        SetOpeningEnabled(form.window, true);
        return false;
    }
    form.state.fileKind = kFastaLoaded;
    form.state.fromSession = false;
    if (form.showRunOptions) form.showRunOptions();
    return true;
}

}  // namespace

void RegisterOpenHandlers(MainForm& form) {
    form.clickHandlers[Control::mnuOpenFile] = [&form] { OpenFile(form); };
    form.clickHandlers[Control::mnuAppend] = [&form] { AppendFile(form); };
    form.clickHandlers[Control::mnuRerun] = [&form] { Rerun(form); };
    form.clickHandlers[Control::mnuStop] = [&form] { ConfirmExit(form); };
}

void OpenFile(MainForm& form) {
    OpenPath(form, std::nullopt);
}

void OpenPath(MainForm& form, const std::optional<std::string>& path) {
    RunState& state = form.state;
    Window& window = form.window;
    window.SetToolTip(Control::ZoomingPicture, "");
    const DisplayedAnalysis before(state, window);
    ForgetDisplayedAnalysis(state);
    state.inputPath = path ? *path : window.OpenFileDialog(state.lastFolder);
    window.SetCaption(Control::frmMainForm, kCaptionWithPath + state.inputPath);
    ClearStatus(window);
    if (state.inputPath.empty()) return;

    EnterBusyState(window);
    if (!ContainsText(state.inputPath, ".kvr")) {
        window.SetCaption(Control::lblFilePath, "FASTA file   - " + state.inputPath);
        if (!OpenFasta(form, state.inputPath)) return;
    } else {
        window.SetCaption(Control::lblFilePath, "KVR file - " + state.inputPath);
        OpenSession(form, state.inputPath, before);
    }
    SetOpeningEnabled(window, true);
    if (!path) RememberFolderOf(state, state.inputPath);
    window.SetToolTip(Control::ZoomingPicture, kDropToolTip);
}

void AppendFile(MainForm& form) {
    RunState& state = form.state;
    Window& window = form.window;
    window.SetToolTip(Control::ZoomingPicture, "");
    state.appendMode = true;
    state.zoomLevel = 0;
    state.matrixShown = false;
    state.fromSession = false;
    state.inputPath = window.OpenFileDialog(state.lastFolder);
    window.SetCaption(Control::frmMainForm, kCaptionWithPath + state.inputPath);
    window.SetValue(Control::ProgressBar1, 0);
    window.SetCaption(Control::lblPrgPercent, "");
    for (Control c : {Control::lblCutoff1, Control::updCutoff1, Control::lblCutoff1dsply,
                      Control::lblCutoff2, Control::UpdCutoff2, Control::lblCutoff2dsply})
        window.SetEnabled(c, false);
    window.SetCaption(Control::lblProgress, "");
    if (state.inputPath.empty()) return;
    if (ContainsText(state.inputPath, ".kvr")) {
        window.SetCaption(Control::frmMainForm, std::string(kMainCaption) + " - ");
        window.ShowMessage(
            "You can only append sequences in FASTA format, please check your input "
            "file and try again");
        window.SetToolTip(Control::ZoomingPicture, kDropToolTip);
        return;
    }
    window.SetVisible(Control::keyPicture, false);
    for (Control c : {Control::mnuRerun, Control::mnuSave, Control::mnuAppend})
        window.SetEnabled(c, false);
    SetOpeningEnabled(window, false);
    AppendFasta(state, window, state.inputPath);
    if (state.failFlag) {
        state.failFlag = false;
        SetOpeningEnabled(window, true);
        window.SetToolTip(Control::ZoomingPicture, kDropToolTip);
        return;
    }
    SetOpeningEnabled(window, true);
    state.fileKind = kSessionOrAppended;
    if (form.showRunOptions) form.showRunOptions();
    window.SetToolTip(Control::ZoomingPicture, kDropToolTip);
    RememberFolderOf(state, state.inputPath);
}

void Rerun(MainForm& form) {
    if (!form.window.AskYesNo(
            "Do you want to perform a full pairwise identity calculation on current dataset?"))
        return;
    form.state.rerunMode = true;
    form.state.fromSession = false;
    form.state.appendMode = false;
    if (form.showRunOptions) form.showRunOptions();
}

void DropFiles(MainForm& form, Control target, const std::vector<std::string>& paths) {
    RunState& state = form.state;
    Window& window = form.window;
    const bool onView = target == Control::ZoomingPicture;
    if (paths.size() >= 2) {
        window.ShowMessage(onView ? "You cannot process more than one file. Please drag and drop "
                                    "only one FASTA file or one .KVR file."
                                  : "You cannot process more than one file at once. Please drag "
                                    "and drop only one FASTA file or one .KVR file.");
        return;
    }
    if (onView) window.SetToolTip(Control::ZoomingPicture, "");
    const DisplayedAnalysis before(state, window);
    ForgetDisplayedAnalysis(state);
    const std::string path = paths.empty() ? std::string() : paths.front();
    window.SetCaption(Control::frmMainForm, kCaptionWithPath + path);
    ClearStatus(window);

    if (!path.empty()) {
        // The run reports the file it works on, so a dropped file is the input path too.
        state.inputPath = path;
        EnterBusyState(window);
        if (ContainsTextIgnoreCase(path, ".kvr")) {
            window.SetCaption(Control::lblFilePath,
                              (onView ? "KVR file - " : "KVR file | ") + path);
            OpenSession(form, path, before);
        } else {
            if (onView) window.SetCaption(Control::frmMainForm, kMainCaption);
            window.SetCaption(Control::lblFilePath, "FASTA file  - " + path);
            if (!OpenFasta(form, path)) return;
        }
    }
    SetOpeningEnabled(window, true);
}

bool ConfirmExit(MainForm& form) {
    if (!form.window.AskYesNo("Are you sure you want to exit KVR?")) return false;
    WriteSettings(form.state, form.programFolder);
    // The program ends at once; a run's aligners end with it (they follow their parent), and
    // its exchange folder goes now rather than at the next start.
    if (form.state.runInProgress && !form.state.runFolder.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(form.state.runFolder, ignored);
    }
    form.window.Quit();
    return true;
}

}  // namespace kvr

#include "ui/open_handlers.h"

#include <filesystem>
#include <optional>

#include "io/fasta.h"
#include "io/program_folder.h"
#include "io/settings.h"
#include "io/text.h"
#include "ui/control_states.h"
#include "ui/main_form.h"
#include "ui/save_dialog.h"
#include "ui/window_progress.h"
#include "ui/window_states.h"

namespace kvr {

namespace {

const std::string kCaptionWithPath = std::string(kMainCaption) + " | ";

void ClearStatus(Window& window) {
    window.SetValue(Control::ProgressBar1, 0);
    window.SetCaption(Control::lblPrgPercent, "");
    window.SetCaption(Control::lblProgress, "");
}

// Nothing may start while a file is read: only leaving the program acts.
void EnterBusyState(MainForm& form) {
    form.shown.windowState = WindowState::Busy;
    ApplyControlStates(form.state, form.shown, form.window);
}

// A file opened: first in the Recent menu.
void RememberOpened(MainForm& form, const std::string& path) {
    RememberRecentFile(form.windowSettings, path);
    form.window.SetRecentFiles(form.windowSettings.recentFiles);
    form.SaveSettings();
}

void OpenSession(MainForm& form, const std::string& path, const ShownBefore& before) {
    EnterBusyState(form);
    // Noted before the file is read: a change while it is read is a change.
    const std::optional<FileStamp> stamp = StampOf(path);
    if (!form.loadSession(path)) return PutBack(form, before);
    form.state.inputPath = path;
    form.state.sourceFiles = {path};
    form.state.sourceStamps = {stamp};
    RememberOpened(form, path);
}

// Loads a FASTA file for the next analysis and offers its run; what was shown comes back when
// the file is refused.
void OpenFasta(MainForm& form, const std::string& path, const ShownBefore& before) {
    EnterBusyState(form);
    RunState loaded = ChoicesOf(form.state);
    loaded.inputPath = path;
    loaded.sourceFiles = {path};
    loaded.sourceStamps = {StampOf(path)};
    WindowProgress progress(form.window);
    FastaReport report;
    const LoadEnd end = LoadFasta(loaded, progress, path, {nullptr, &report});
    ShowLoad(loaded, form.shown, form.window, end, report);
    if (end != LoadEnd::Loaded) return PutBack(form, before);
    RememberOpened(form, path);
    AwaitRun(form, RunKind::Fresh, std::move(loaded), before);
}

}  // namespace

// What the window shows of a load besides its status: the caption counts the sequences, and the
// status's tool tip lists what to check in the file; a refused file leaves the controls as after
// a failed load, and a set of identical sequences cannot be run.
void ShowLoad(RunState& state, WindowView& shown, Window& window, LoadEnd end,
              const FastaReport& report) {
    if (end == LoadEnd::Refused) return ResetAfterLoadFailure(state, shown, window);
    window.SetCaption(Control::frmMainForm, std::string(kMainCaption) + " |" + " " +
                                                std::to_string(state.seqCount) + " sequences");
    window.SetToolTip(Control::lblProgress,
                      end == LoadEnd::Loaded ? report.Details() : std::string());
    if (end == LoadEnd::Loaded) return EnterAwaitingRunState(state, shown, window);
    shown.windowState = WindowState::Idle;
    ApplyControlStates(state, shown, window);
}

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
    // A cancelled dialog changes nothing on display.
    const std::string chosen = path ? *path : window.OpenFileDialog(state.choices.lastFolder);
    if (chosen.empty()) return;
    if (!path) RememberFolderOf(state, chosen);
    const ShownBefore before = GiveUpNextAnalysis(form);
    window.SetToolTip(Control::ZoomingPicture, "");
    window.SetCaption(Control::frmMainForm, kCaptionWithPath + chosen);
    ClearStatus(window);
    if (!ContainsText(chosen, ".kvr")) {
        window.SetCaption(Control::lblFilePath, "FASTA file   - " + chosen);
        OpenFasta(form, chosen, before);
    } else {
        window.SetCaption(Control::lblFilePath, "KVR file - " + chosen);
        OpenSession(form, chosen, before);
    }
    window.SetToolTip(Control::ZoomingPicture, kDropToolTip);
}

void AppendFile(MainForm& form) {
    RunState& state = form.state;
    Window& window = form.window;
    const std::string chosen = window.OpenFileDialog(state.choices.lastFolder);
    if (chosen.empty()) return;
    RememberFolderOf(state, chosen);
    if (ContainsText(chosen, ".kvr")) {
        window.ShowMessage(
            "You can only append sequences in FASTA format, please check your input "
            "file and try again");
        return;
    }
    const ShownBefore before = GiveUpNextAnalysis(form);
    window.SetCaption(Control::frmMainForm, kCaptionWithPath + chosen);
    ClearStatus(window);
    EnterBusyState(form);
    // The sequences on display, in display order, then the file's.
    RunState appended = state;
    appended.inputPath = chosen;
    appended.sourceFiles.push_back(chosen);
    appended.sourceStamps.resize(appended.sourceFiles.size() - 1);
    appended.sourceStamps.push_back(StampOf(chosen));
    WindowProgress progress(window);
    FastaReport report;
    const LoadEnd end = AppendFasta(appended, progress, chosen, {nullptr, &report});
    ShowLoad(appended, form.shown, window, end, report);
    if (end != LoadEnd::Loaded) return PutBack(form, before);
    AwaitRun(form, RunKind::Append, std::move(appended), before);
}

void Rerun(MainForm& form) {
    if (!form.window.AskYesNo(
            "Do you want to perform a full pairwise identity calculation on current dataset?"))
        return;
    const ShownBefore before = GiveUpNextAnalysis(form);
    AwaitRun(form, RunKind::Rerun, form.state, before);
}

void DropFiles(MainForm& form, Control target, const std::vector<std::string>& paths) {
    Window& window = form.window;
    const bool onView = target == Control::ZoomingPicture;
    if (paths.size() >= 2) {
        window.ShowMessage(onView ? "You cannot process more than one file. Please drag and drop "
                                    "only one FASTA file or one .KVR file."
                                  : "You cannot process more than one file at once. Please drag "
                                    "and drop only one FASTA file or one .KVR file.");
        return;
    }
    if (paths.empty() || paths.front().empty()) return;
    const std::string& path = paths.front();
    const ShownBefore before = GiveUpNextAnalysis(form);
    if (onView) window.SetToolTip(Control::ZoomingPicture, "");
    window.SetCaption(Control::frmMainForm, kCaptionWithPath + path);
    ClearStatus(window);
    if (ContainsTextIgnoreCase(path, ".kvr")) {
        window.SetCaption(Control::lblFilePath, (onView ? "KVR file - " : "KVR file | ") + path);
        OpenSession(form, path, before);
    } else {
        if (onView) window.SetCaption(Control::frmMainForm, kMainCaption);
        window.SetCaption(Control::lblFilePath, "FASTA file  - " + path);
        OpenFasta(form, path, before);
    }
}

bool ConfirmExit(MainForm& form) {
    if (!form.window.AskYesNo("Are you sure you want to exit KVR?")) return false;
    form.SaveSettings();
    // The program ends at once; a run's aligners end with it (they follow their parent), and
    // its exchange folder goes now rather than at the next start.
    if (form.next && !form.next->state.runFolder.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(form.next->state.runFolder, ignored);
    }
    form.window.Quit();
    return true;
}

}  // namespace kvr

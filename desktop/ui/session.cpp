#include "ui/session.h"

#include "io/file_io.h"
#include "io/program_folder.h"
#include "io/session_file.h"
#include "ui/control_states.h"
#include "ui/save_dialog.h"

namespace kvr {

namespace {

Result<void> WriteSessionFile(const Analysis& analysis, const std::string& path) {
    return WriteStreamedFile(path, [&analysis](std::ostream& out) {
        WriteSessionText(out, analysis);
        return static_cast<bool>(out);
    });
}

void ReportWriteFailure(Window& window, const std::string& path, const Problem& problem) {
    window.SetBusy(false);
    window.SetCaption(Control::lblProgress, "Failed");
    window.ShowMessage(WriteFailureMessage(path, problem));
}

}  // namespace

void WriteSession(RunState& state, Window& window) {
    const std::string name = AskSaveName(state, window, kSessionExtension);
    if (name.empty()) return;
    window.SetCaption(Control::lblProgress, "Saving KVR file...");
    window.SetBusy(true);
    const std::string path = WithSuffix(name, kSessionExtension);
    const Result<void> written = WriteSessionFile(state, path);
    if (!written) return ReportWriteFailure(window, path, written.problem());
    window.SetCaption(Control::lblProgress, "Done");
    window.SetBusy(false);
    RememberFolderOf(state, name);
}

bool WriteLastRun(const Analysis& analysis, Window& window, const std::string& workFolder) {
    window.SetCaption(Control::lblProgress, "Saving identity scores ...");
    const std::string path = JoinPath(workFolder, kLastRunName);
    const Result<void> written = WriteSessionFile(analysis, path);
    if (!written) {
        ReportWriteFailure(window, path, written.problem());
        return false;
    }
    window.SetCaption(Control::lblProgress, "Done");
    return true;
}

}  // namespace kvr

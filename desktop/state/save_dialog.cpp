#include "state/save_dialog.h"

#include <filesystem>

namespace kvr {

std::string AskSaveName(const RunState& state, Window& window) {
    return window.SaveFileDialog(state.lastFolder);
}

void RememberFolderOf(RunState& state, const std::string& chosenPath) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(chosenPath, error);
    if (error) return;
    state.lastFolder = absolute.parent_path().string();
}

}  // namespace kvr

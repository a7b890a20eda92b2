#include "files/settings.h"

#include <filesystem>

#include "state/file_io.h"
#include "state/program_folder.h"

namespace kvr {

namespace {

constexpr const char* kSettingsName = "kvr.ini";

// Beside the programs in a program folder; in the user's configuration folder once installed.
std::string SettingsFile(const ProgramFiles& files) {
    return JoinPath(files.configFolder, kSettingsName);
}

}  // namespace

void ReadSettings(RunState& state, const std::string& programFolder) {
    const auto content = ReadWholeFile(SettingsFile(FilesOf(programFolder)));
    if (!content || content->empty()) {
        state.lastFolder = programFolder;
        return;
    }
    const std::string folder = SettingsFolder(*content);
    if (folder.empty()) {
        state.lastFolder = programFolder;
        return;
    }
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error)) {
        // The dialogs open in the program folder, given to them by path rather than by making
        // it the current directory.
        if (state.lastFolder.empty()) state.lastFolder = programFolder;
        return;
    }
    state.lastFolder = folder;
}

bool WriteSettings(const RunState& state, const std::string& programFolder) {
    const std::string& folder = state.lastFolder.empty() ? programFolder : state.lastFolder;
    const ProgramFiles files = FilesOf(programFolder);
    // The user's configuration folder may not exist yet; a program folder is never made here.
    if (files.layout == ProgramLayout::Installed) {
        std::error_code ignored;
        std::filesystem::create_directories(files.configFolder, ignored);
    }
    return static_cast<bool>(WriteWholeFile(SettingsFile(files), FormatSettings(folder)));
}

std::string FormatSettings(const std::string& folder) {
    std::string text = "\"";
    for (const char c : folder) {
        text += c;
        if (c == '"') text += '"';
    }
    return text + "\"" + std::string(kLineEnd);
}

std::string SettingsFolder(std::string_view text) {
    const auto open = text.find_first_not_of(" \t");
    if (open == std::string_view::npos) return {};
    if (text[open] == '"') {
        std::string folder;
        for (auto p = open + 1; p < text.size(); ++p) {
            if (text[p] == '"') {
                if (p + 1 >= text.size() || text[p + 1] != '"') break;
                ++p;  // a doubled quote stands for one
            }
            folder += text[p];
        }
        return folder;
    }
    const auto end = text.find_first_of(",\r\n", open);
    std::string item(
        text.substr(open, end == std::string_view::npos ? std::string_view::npos : end - open));
    while (!item.empty() && (item.back() == ' ' || item.back() == '\t')) item.pop_back();
    return item;
}

}  // namespace kvr

#include "files/settings.h"

#include <unistd.h>

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

// The first quoted item of the text: what stands between the first pair of double quotes, or
// the first line (spaces trimmed) when it is not quoted.
std::string FirstQuotedItem(const std::string& text) {
    const auto open = text.find_first_not_of(" \t");
    if (open == std::string::npos) return {};
    if (text[open] == '"') {
        const auto close = text.find('"', open + 1);
        return text.substr(open + 1,
                           close == std::string::npos ? std::string::npos : close - open - 1);
    }
    const auto end = text.find_first_of(",\r\n", open);
    std::string item = text.substr(open, end == std::string::npos ? std::string::npos : end - open);
    while (!item.empty() && (item.back() == ' ' || item.back() == '\t')) item.pop_back();
    return item;
}

}  // namespace

void ReadSettings(RunState& state, const std::string& programFolder) {
    const auto content = ReadWholeFile(SettingsFile(FilesOf(programFolder)));
    if (!content || content->empty()) {
        state.lastFolder = programFolder;
        return;
    }
    const std::string folder = FirstQuotedItem(*content);
    if (folder.empty()) {
        state.lastFolder = programFolder;
        return;
    }
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error)) {
        if (::chdir(programFolder.c_str()) != 0) {
        }
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
    return static_cast<bool>(
        WriteWholeFile(SettingsFile(files), "\"" + folder + "\"" + std::string(kLineEnd)));
}

}  // namespace kvr

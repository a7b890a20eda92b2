#include "io/settings.h"

#include <algorithm>
#include <charconv>
#include <filesystem>

#include "io/file_io.h"
#include "io/program_folder.h"

namespace kvr {

namespace {

constexpr const char* kSettingsName = "kvr.ini";

// Beside the programs in a program folder; in the user's configuration folder once installed.
std::string SettingsFile(const ProgramFiles& files) {
    return JoinPath(files.configFolder, kSettingsName);
}

}  // namespace

void RememberRecentFile(WindowSettings& settings, const std::string& path) {
    auto& recent = settings.recentFiles;
    recent.erase(std::remove(recent.begin(), recent.end(), path), recent.end());
    recent.insert(recent.begin(), path);
    if (recent.size() > kRecentFiles) recent.resize(kRecentFiles);
}

std::string FormatChoices(const RunState& state, const WindowSettings& window) {
    std::string text;
    const auto line = [&text](const std::string& key, const std::string& value) {
        // A value that would break its line is not stored.
        if (value.find_first_of("\r\n") == std::string::npos)
            text += key + "=" + value + std::string(kLineEnd);
    };
    if (state.choices.AlignerKind) {
        line("aligner", std::string(AlignerName(*state.choices.AlignerKind)));
        line("tree", state.choices.useTree ? "1" : "0");
        line("ambiguous", state.choices.skipAmbiguous ? "skip" : "count");
    }
    if (state.choices.paletteKind == kViridisPalette) line("palette", "viridis");
    const Rect& g = window.geometry;
    if (g.width > 0 && g.height > 0) {
        const auto whole = [](double v) { return std::to_string(static_cast<long long>(v)); };
        line("window",
             whole(g.left) + "," + whole(g.top) + "," + whole(g.width) + "," + whole(g.height));
    }
    for (const std::string& path : window.recentFiles) line("recent", path);
    return text;
}

void ReadChoices(std::string_view text, RunState& state, WindowSettings& window) {
    std::size_t start = text.find('\n');  // after the folder line
    while (start != std::string_view::npos && start < text.size()) {
        const std::size_t end = text.find('\n', start + 1);
        std::string_view line = text.substr(
            start + 1, end == std::string_view::npos ? std::string_view::npos : end - start - 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        start = end;
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) continue;
        const std::string_view key = line.substr(0, equals);
        const std::string value(line.substr(equals + 1));
        if (const std::optional<Aligner> aligner = AlignerNamed(value);
            key == "aligner" && aligner) {
            state.choices.AlignerKind = aligner;
        } else if (key == "palette") {
            state.choices.paletteKind = value == "viridis" ? kViridisPalette : kRainbowPalette;
        } else if (key == "tree" && (value == "0" || value == "1")) {
            state.choices.useTree = value == "1";
        } else if (key == "ambiguous" && (value == "count" || value == "skip")) {
            state.choices.skipAmbiguous = value == "skip";
        } else if (key == "window") {
            long long v[4] = {};
            const char* p = value.data();
            const char* const last = value.data() + value.size();
            int got = 0;
            for (; got < 4; ++got) {
                const auto [next, error] = std::from_chars(p, last, v[got]);
                if (error != std::errc()) break;
                p = next;
                if (got < 3) {
                    if (p == last || *p != ',') break;
                    ++p;
                }
            }
            if (got == 4 && p == last && v[2] > 0 && v[3] > 0)
                window.geometry = Rect{double(v[0]), double(v[1]), double(v[2]), double(v[3])};
        } else if (key == "recent" && !value.empty() && window.recentFiles.size() < kRecentFiles) {
            window.recentFiles.push_back(value);
        }
    }
}

void ReadSettings(RunState& state, const std::string& programFolder, WindowSettings* window) {
    const auto content = ReadWholeFile(SettingsFile(FilesOf(programFolder)));
    if (content) {
        WindowSettings ignored;
        ReadChoices(*content, state, window != nullptr ? *window : ignored);
    }
    if (!content || content->empty()) {
        state.choices.lastFolder = programFolder;
        return;
    }
    const std::string folder = SettingsFolder(*content);
    if (folder.empty()) {
        state.choices.lastFolder = programFolder;
        return;
    }
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error)) {
        // The dialogs open in the program folder, given to them by path rather than by making
        // it the current directory.
        if (state.choices.lastFolder.empty()) state.choices.lastFolder = programFolder;
        return;
    }
    state.choices.lastFolder = folder;
}

bool WriteSettings(const RunState& state, const std::string& programFolder,
                   const WindowSettings& window) {
    const std::string& folder =
        state.choices.lastFolder.empty() ? programFolder : state.choices.lastFolder;
    const ProgramFiles files = FilesOf(programFolder);
    // The user's configuration folder may not exist yet; a program folder is never made here.
    if (files.layout == ProgramLayout::Installed) {
        std::error_code ignored;
        std::filesystem::create_directories(files.configFolder, ignored);
    }
    return static_cast<bool>(
        WriteWholeFile(SettingsFile(files), FormatSettings(folder) + FormatChoices(state, window)));
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

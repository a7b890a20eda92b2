#include "state/save_dialog.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string_view>

namespace kvr {

std::string SaveFilter(std::string_view suffix) {
    static constexpr std::pair<std::string_view, std::string_view> kKinds[] = {
        {"kvr", "KVR sessions"}, {"txt", "Text files"},    {"fas", "FASTA files"},
        {"emf", "EMF pictures"}, {"bmp", "BMP images"},    {"png", "PNG images"},
        {"svg", "SVG pictures"}, {"pdf", "PDF documents"},
    };
    const auto dot = suffix.rfind('.');
    const std::string_view extension = dot == std::string_view::npos ? "" : suffix.substr(dot + 1);
    for (const auto& [known, kind] : kKinds)
        if (extension == known)
            return std::string(kind) + " (*." + std::string(known) + ");;All files (*)";
    return "All files (*)";
}

std::string AskSaveName(const RunState& state, Window& window, std::string_view suffix) {
    return window.SaveFileDialog(state.lastFolder, SaveFilter(suffix));
}

std::string WithSuffix(const std::string& chosen, const std::string& suffix) {
    const auto endsWith = [&chosen](std::string_view tail) {
        if (tail.empty() || chosen.size() <= tail.size()) return false;
        const std::string_view end = std::string_view(chosen).substr(chosen.size() - tail.size());
        return std::equal(end.begin(), end.end(), tail.begin(), tail.end(), [](char a, char b) {
            return std::tolower(static_cast<unsigned char>(a)) ==
                   std::tolower(static_cast<unsigned char>(b));
        });
    };
    if (endsWith(suffix)) return chosen;
    const auto dot = suffix.rfind('.');
    const std::string_view extension =
        dot == std::string::npos ? std::string_view() : std::string_view(suffix).substr(dot);
    if (endsWith(extension)) return chosen.substr(0, chosen.size() - extension.size()) + suffix;
    return chosen + suffix;
}

void RememberFolderOf(RunState& state, const std::string& chosenPath) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(chosenPath, error);
    if (error) return;
    state.lastFolder = absolute.parent_path().string();
}

}  // namespace kvr

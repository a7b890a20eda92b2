#include "ui/save_dialog.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <span>
#include <string_view>
#include <vector>

namespace kvr {

std::string SaveFilter(std::string_view suffix) {
    static constexpr std::pair<std::string_view, std::string_view> kKinds[] = {
        {"kvr", "KVR sessions"}, {"txt", "Text files"},    {"fas", "FASTA files"},
        {"emf", "EMF pictures"}, {"bmp", "BMP images"},    {"png", "PNG images"},
        {"svg", "SVG pictures"}, {"pdf", "PDF documents"}, {"tsv", "Tab-separated tables"},
        {"nwk", "Newick trees"},
    };
    const auto dot = suffix.rfind('.');
    const std::string_view extension = dot == std::string_view::npos ? "" : suffix.substr(dot + 1);
    for (const auto& [known, kind] : kKinds)
        if (extension == known)
            return std::string(kind) + " (*." + std::string(known) + ");;All files (*)";
    return "All files (*)";
}

namespace {

bool EndsWithIgnoreCase(std::string_view text, std::string_view tail) {
    if (tail.empty() || text.size() <= tail.size()) return false;
    const std::string_view end = text.substr(text.size() - tail.size());
    return std::equal(end.begin(), end.end(), tail.begin(), tail.end(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) ==
               std::tolower(static_cast<unsigned char>(b));
    });
}

// The extensions that name the same kind of file as extension (with its dot), itself first.
std::vector<std::string_view> ExtensionsLike(std::string_view extension) {
    static constexpr std::string_view kFasta[] = {".fas", ".fasta", ".fa", ".fna", ".ffn"};
    static constexpr std::string_view kText[] = {".txt", ".csv", ".tsv", ".tab"};
    for (const auto& kind :
         {std::span<const std::string_view>(kFasta), std::span<const std::string_view>(kText)})
        if (std::find(kind.begin(), kind.end(), extension) != kind.end()) {
            std::vector<std::string_view> like{extension};
            for (const std::string_view other : kind)
                if (other != extension) like.push_back(other);
            return like;
        }
    return {extension};
}

// The name of a file without the extensions a FASTA file, a session or its compression add.
std::string BareName(const std::string& path) {
    std::string name = std::filesystem::path(path).filename().string();
    for (const std::string_view extension :
         {".gz", ".xz", ".bz2", ".zst", ".kvr", ".fasta", ".fas", ".fa", ".fna", ".ffn", ".txt"})
        if (EndsWithIgnoreCase(name, extension)) name.resize(name.size() - extension.size());
    return name;
}

}  // namespace

std::string SaveDialogStart(const RunState& state, std::string_view suffix) {
    const std::string& input =
        state.sourceFiles.empty() ? state.inputPath : state.sourceFiles.front();
    std::string folder = state.saveFolder;
    if (folder.empty() && !input.empty())
        folder = std::filesystem::path(input).parent_path().string();
    if (folder.empty()) folder = state.choices.lastFolder;
    if (input.empty()) return folder;
    return (std::filesystem::path(folder) / (BareName(input) + std::string(suffix))).string();
}

std::string AskSaveName(const RunState& state, Window& window, std::string_view suffix) {
    return window.SaveFileDialog(SaveDialogStart(state, suffix), SaveFilter(suffix));
}

std::string WithSuffix(const std::string& chosen, const std::string& suffix) {
    const auto dot = suffix.rfind('.');
    const std::string_view extension =
        dot == std::string::npos ? std::string_view() : std::string_view(suffix).substr(dot);
    const std::string_view before =
        std::string_view(suffix).substr(0, suffix.size() - extension.size());
    if (extension.empty()) return EndsWithIgnoreCase(chosen, suffix) ? chosen : chosen + suffix;
    // An extension of the same kind that the user typed stays, with the suffix's own part before
    // it: "pair.fasta" for ".fas", "scores.csv" for "_col.txt" gives "scores_col.csv".
    for (const std::string_view typed : ExtensionsLike(extension)) {
        if (EndsWithIgnoreCase(chosen, std::string(before) + std::string(typed)) ||
            (before.empty() && EndsWithIgnoreCase(chosen, typed)))
            return chosen;
        if (!EndsWithIgnoreCase(chosen, typed)) continue;
        const std::string stem = chosen.substr(0, chosen.size() - typed.size());
        // The suffix's own extension is written as the suffix spells it.
        if (typed == extension) return stem + suffix;
        return stem + std::string(before) + chosen.substr(chosen.size() - typed.size());
    }
    return chosen + suffix;
}

void RememberFolderOf(RunState& state, const std::string& chosenPath) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(chosenPath, error);
    if (error) return;
    state.choices.lastFolder = absolute.parent_path().string();
    state.saveFolder = state.choices.lastFolder;
}

}  // namespace kvr

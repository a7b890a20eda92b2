#include "io/program_folder.h"

#include <unistd.h>

#include <filesystem>
#include <system_error>

namespace kvr {

namespace fs = std::filesystem;

namespace {

// From PREFIX/bin to PREFIX/share/kvr, as the install rules lay them out.
#ifndef KVR_DATA_FROM_BIN
#error "KVR_DATA_FROM_BIN must name the installed data folder relative to the programs"
#endif
constexpr const char* kDataFromBin = KVR_DATA_FROM_BIN;

bool UsableFolder(const fs::path& folder) {
    std::error_code error;
    fs::create_directories(folder, error);
    return fs::is_directory(folder, error) && ::access(folder.c_str(), W_OK | X_OK) == 0;
}

// An XDG base folder: the variable when it holds an absolute path (relative ones are to be
// ignored), else the fallback under the home folder.
fs::path BaseFolder(const EnvironmentLookup& environment, const char* variable,
                    const char* underHome) {
    if (const char* value = environment(variable); value != nullptr && value[0] == '/')
        return fs::path(value) / "kvr";
    if (const char* home = environment("HOME"); home != nullptr && *home != '\0')
        return fs::path(home) / underHome / "kvr";
    return fs::temp_directory_path() / "kvr";
}

}  // namespace

std::string ProgramFolder() {
    std::error_code error;
    const fs::path exe = fs::read_symlink("/proc/self/exe", error);
    if (error) return CurrentDirectory();
    return exe.parent_path().string();
}

ProgramLayout LayoutOf(const std::string& programFolder) {
    std::error_code error;
    const fs::path folder(programFolder);
    if (fs::exists(folder / kTreeScriptName, error)) return ProgramLayout::ProgramFolder;
    return fs::is_directory(folder / kDataFromBin, error) ? ProgramLayout::Installed
                                                          : ProgramLayout::ProgramFolder;
}

ProgramFiles FilesOf(const std::string& programFolder, const EnvironmentLookup& environment) {
    ProgramFiles files;
    files.layout = LayoutOf(programFolder);
    files.userDataFolder = BaseFolder(environment, "XDG_DATA_HOME", ".local/share").string();
    if (files.layout == ProgramLayout::Installed) {
        files.dataFolder = (fs::path(programFolder) / kDataFromBin).lexically_normal().string();
        files.configFolder = BaseFolder(environment, "XDG_CONFIG_HOME", ".config").string();
    } else {
        files.dataFolder = programFolder;
        files.configFolder = programFolder;
    }
    return files;
}

std::string UserOrShippedFile(const ProgramFiles& files, const std::string& name) {
    const std::string own = JoinPath(files.configFolder, name);
    std::error_code error;
    if (files.configFolder != files.dataFolder && fs::is_regular_file(own, error)) return own;
    return JoinPath(files.dataFolder, name);
}

std::string WorkFolder() {
    return WorkFolder(ProgramFolder());
}

std::string WorkFolder(const std::string& programFolder, const EnvironmentLookup& environment) {
    const ProgramFiles files = FilesOf(programFolder, environment);
    if (files.layout == ProgramLayout::ProgramFolder) {
        const fs::path beside = fs::path(programFolder) / "tmp";
        if (UsableFolder(beside)) return beside.string();
    }
    const fs::path user = fs::path(files.userDataFolder) / "tmp";
    UsableFolder(user);
    return user.string();
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

std::string CurrentDirectory() {
    std::error_code error;
    const auto cwd = fs::current_path(error);
    return error ? std::string() : cwd.string();
}

}  // namespace kvr

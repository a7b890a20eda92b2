#include "state/program_folder.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace kvr {

namespace fs = std::filesystem;

std::string ProgramFolder() {
    std::error_code error;
    const fs::path exe = fs::read_symlink("/proc/self/exe", error);
    if (error) return CurrentDirectory();
    return exe.parent_path().string();
}

namespace {

bool UsableFolder(const fs::path& folder) {
    std::error_code error;
    fs::create_directories(folder, error);
    return fs::is_directory(folder, error) && ::access(folder.c_str(), W_OK | X_OK) == 0;
}

fs::path UserDataFolder() {
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg != nullptr && *xdg != '\0')
        return fs::path(xdg) / "kvr";
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0')
        return fs::path(home) / ".local" / "share" / "kvr";
    return fs::temp_directory_path() / "kvr";
}

}  // namespace

std::string WorkFolder() { return WorkFolder(ProgramFolder()); }

std::string WorkFolder(const std::string& programFolder) {
    const fs::path beside = fs::path(programFolder) / "tmp";
    if (UsableFolder(beside)) return beside.string();
    const fs::path user = UserDataFolder() / "tmp";
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

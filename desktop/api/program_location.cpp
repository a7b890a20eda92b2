#include "api/program_location.h"

#include <dlfcn.h>

#include <filesystem>

#include "io/program_folder.h"

namespace kvr::api {

namespace fs = std::filesystem;

namespace {

// The file this code was loaded from: the shared library, the Python module or a program.
std::string LibraryPath() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<const void*>(&ProgramFolderNear), &info) == 0 ||
        info.dli_fname == nullptr)
        return {};
    std::error_code error;
    const fs::path path = fs::canonical(info.dli_fname, error);
    return error ? std::string() : path.string();
}

}  // namespace

std::string ProgramFolderNear(const std::string& libraryPath) {
    // From PREFIX/lib/python3.11/dist-packages/kvr/ up to PREFIX takes five steps.
    constexpr int kMostLevels = 6;
    if (libraryPath.empty()) return {};
    fs::path folder = fs::path(libraryPath).parent_path();
    std::error_code error;
    for (int level = 0; level < kMostLevels && !folder.empty(); ++level) {
        if (fs::exists(folder / "bin" / kTreeScriptName, error) ||
            fs::exists(folder / "share" / "kvr" / kTreeScriptName, error))
            return (folder / "bin").string();
        if (folder == folder.root_path()) break;
        folder = folder.parent_path();
    }
    return {};
}

std::string ProgramFolderOf(const Installation& installation) {
    if (!installation.programFolder.empty()) return installation.programFolder;
    if (std::string near = ProgramFolderNear(LibraryPath()); !near.empty()) return near;
    return ProgramFolder();
}

}  // namespace kvr::api

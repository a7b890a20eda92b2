// A program laid out as installed, in a fresh folder: PREFIX/bin as the program folder (no tree
// script beside it), PREFIX/share/kvr with the shipped files, and the user's XDG folders. For the
// tests of everything that looks for the program's files.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <optional>
#include <string>

#include "io/program_folder.h"
#include "support/environment.h"
#include "support/temp_folder.h"

namespace kvr::testing {

class InstalledPrefix {
  public:
    InstalledPrefix() {
        std::filesystem::create_directories(Bin());
        std::filesystem::create_directories(Data());
        root_.Write("share/kvr/RunNeighbor.sh", "#!/bin/sh\n");
        root_.Write("share/kvr/aligners.conf", "muscle = muscle -align {in} -output {out}\n");
    }

    std::string Bin() const { return root_.File("bin"); }
    std::string Data() const { return root_.File("share/kvr"); }
    std::string ConfigHome() const { return root_.File("config"); }
    std::string DataHome() const { return root_.File("data"); }
    std::string Home() const { return root_.File("home"); }
    std::string File(const std::string& name) const { return root_.File(name); }
    std::string Write(const std::string& name, const std::string& content) const {
        std::filesystem::create_directories(std::filesystem::path(root_.File(name)).parent_path());
        return root_.Write(name, content);
    }

    // XDG_CONFIG_HOME, XDG_DATA_HOME and HOME inside the prefix's folder.
    EnvironmentLookup Environment() const {
        return FakeEnvironment(
            {{"XDG_CONFIG_HOME", ConfigHome()}, {"XDG_DATA_HOME", DataHome()}, {"HOME", Home()}});
    }

  private:
    TempFolder root_;
};

// Sets an environment variable for the life of the object and restores it afterwards, for code
// that reads the process's own environment.
class ScopedEnvironment {
  public:
    ScopedEnvironment(const char* name, const std::string& value) : name_(name) {
        if (const char* old = ::getenv(name)) old_ = old;
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedEnvironment() {
        if (old_)
            ::setenv(name_, old_->c_str(), 1);
        else
            ::unsetenv(name_);
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

  private:
    const char* name_;
    std::optional<std::string> old_;
};

}  // namespace kvr::testing

// Runs one of the built programs with arguments and collects its exit status and output.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "state/file_io.h"

namespace kvr::testing {

struct ProgramResult {
    int status = -1;
    std::string out;
    std::string err;
};

inline std::string ShellQuote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// program is a file name in the build's program folder.
inline ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& args) {
    char errPath[] = "/tmp/kvr-stderr-XXXXXX";
    const int fd = ::mkstemp(errPath);
    ::close(fd);
    std::string command = ShellQuote(std::string(KVR_BIN_DIR) + "/" + program);
    for (const std::string& arg : args) command += " " + ShellQuote(arg);
    command += " 2>" + ShellQuote(errPath);
    ProgramResult result;
    std::FILE* pipe = ::popen(command.c_str(), "r");
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) result.out.append(buffer, n);
    const int status = ::pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.err = ReadWholeFile(errPath).value_or("");
    ::unlink(errPath);
    return result;
}

}  // namespace kvr::testing

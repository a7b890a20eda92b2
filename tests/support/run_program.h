// Runs a program from a test, the one way every test does: in a folder of its choice, with extra
// environment entries, an optional memory limit and standard input, collecting the exit status,
// both streams and the process id. Needs nothing but the standard library and POSIX.
#pragma once

#include <fcntl.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>

#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace kvr::testing {

struct ProgramOptions {
    std::string folder{};                    // the working folder; empty: the test's own
    std::vector<std::string> environment{};  // NAME=value entries added to the test's environment
    std::size_t addressSpaceLimit = 0;       // bytes (ulimit -v); 0: none
    std::optional<std::string> input{};      // standard input; empty without
    std::string inputFile{};                 // or standard input from this file or device
};

struct ProgramResult {
    int status = -1;  // the exit status; -1 for an end by a signal
    int signal = 0;   // the signal that ended it, if one did
    std::string out;
    std::string err;
    pid_t processId = -1;
};

// The command line of a program to exec: program (a path, or a file name in the build's program
// folder) and its arguments, and the pointers execv takes.
class ProgramArgs {
  public:
    ProgramArgs(const std::string& program, const std::vector<std::string>& args) {
#ifdef KVR_BIN_DIR
        words_.push_back(program.find('/') == std::string::npos
                             ? std::string(KVR_BIN_DIR) + "/" + program
                             : program);
#else
        words_.push_back(program);
#endif
        words_.insert(words_.end(), args.begin(), args.end());
        for (std::string& word : words_) pointers_.push_back(word.data());
        pointers_.push_back(nullptr);
    }
    ProgramArgs(const ProgramArgs&) = delete;
    ProgramArgs& operator=(const ProgramArgs&) = delete;
    const char* Path() const {
        return words_.front().c_str();
    }
    char* const* Argv() const {
        return pointers_.data();
    }

  private:
    std::vector<std::string> words_;
    std::vector<char*> pointers_;
};

// kvr aligns with its built-in aligner unless told otherwise: a test that gives it a fake MUSCLE
// (KVR_MUSCLE) means that aligner for the commands that align and name none.
inline std::vector<std::string> WithFakeMuscle(const std::string& program,
                                               std::vector<std::string> args,
                                               const std::vector<std::string>& environment) {
    const auto fake = std::find_if(environment.begin(), environment.end(), [](const auto& entry) {
        return entry.starts_with("KVR_MUSCLE=");
    });
    const auto named = std::find_if(args.begin(), args.end(), [](const std::string& arg) {
        return arg == "--aligner" || arg.starts_with("--aligner=");
    });
    const bool aligns = !args.empty() && (args[0] == "run" || args[0] == "append" ||
                                          args[0] == "pairs" || args[0] == "align");
    if (!program.ends_with("kvr") || fake == environment.end() || named != args.end() || !aligns)
        return args;
    args.insert(std::find(args.begin(), args.end(), "--"), {"--aligner", "muscle"});
    return args;
}

// program: a path, or a file name in the build's program folder.
inline ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                                const ProgramOptions& options = {}) {
    char streams[] = "/tmp/kvr-run-XXXXXX";
    if (::mkdtemp(streams) == nullptr) return {};
    const std::string folder = streams;
    const std::string outPath = folder + "/stdout";
    const std::string errPath = folder + "/stderr";
    // Without input the program reads an empty file of its own, never a system path.
    const std::string inPath = options.inputFile.empty() ? folder + "/stdin" : options.inputFile;
    if (options.inputFile.empty())
        std::ofstream(inPath, std::ios::binary) << options.input.value_or(std::string());

    ProgramArgs argv(program, WithFakeMuscle(program, args, options.environment));

    const pid_t child = ::fork();
    if (child == 0) {
        const int in = ::open(inPath.c_str(), O_RDONLY);
        const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (in < 0 || out < 0 || err < 0 || ::dup2(in, 0) < 0 || ::dup2(out, 1) < 0 ||
            ::dup2(err, 2) < 0 || (!options.folder.empty() && ::chdir(options.folder.c_str()) != 0))
            ::_exit(127);
        if (options.addressSpaceLimit != 0) {
            const rlimit limit{options.addressSpaceLimit, options.addressSpaceLimit};
            if (::setrlimit(RLIMIT_AS, &limit) != 0) ::_exit(127);
        }
        for (const std::string& entry : options.environment) ::putenv(::strdup(entry.c_str()));
        ::execv(argv.Path(), argv.Argv());
        ::_exit(127);
    }
    ProgramResult result;
    result.processId = child;
    int waitStatus = 0;
    if (child > 0 && ::waitpid(child, &waitStatus, 0) == child) {
        if (WIFEXITED(waitStatus)) result.status = WEXITSTATUS(waitStatus);
        if (WIFSIGNALED(waitStatus)) result.signal = WTERMSIG(waitStatus);
    }
    const auto read = [](const std::string& path) {
        std::ifstream file(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), {});
    };
    result.out = read(outPath);
    result.err = read(errPath);
    for (const std::string& path : {outPath, errPath, inPath})
        if (path != options.inputFile) ::unlink(path.c_str());
    ::rmdir(folder.c_str());
    return result;
}

}  // namespace kvr::testing

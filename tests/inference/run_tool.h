// Runs the real TOLVEN_Inference binary in a folder and collects its exit status and streams.
#pragma once

#include <fcntl.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "test_files.h"

namespace tolven::testing {

struct ToolRun {
    int status = -1;  // the exit status; -1 for an abnormal end (a signal)
    std::string out;
    std::string err;
};

// `environment` adds NAME=VALUE entries to the inherited environment.
inline ToolRun RunTool(const std::string& workFolder, const std::vector<std::string>& args,
                       const std::vector<std::string>& environment = {}) {
    TempFolder streams;
    const std::string outPath = streams.File("stdout");
    const std::string errPath = streams.File("stderr");
    std::vector<std::string> argv{TOLVEN_INFERENCE_BIN};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> argp;
    for (std::string& arg : argv) argp.push_back(arg.data());
    argp.push_back(nullptr);

    const pid_t child = ::fork();
    if (child == 0) {
        const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out < 0 || err < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0 ||
            ::chdir(workFolder.c_str()) != 0) {
            ::_exit(127);
        }
        for (const std::string& entry : environment) ::putenv(::strdup(entry.c_str()));
        ::execv(argp[0], argp.data());
        ::_exit(127);
    }
    ToolRun run;
    int waitStatus = 0;
    if (child > 0 && ::waitpid(child, &waitStatus, 0) == child && WIFEXITED(waitStatus)) {
        run.status = WEXITSTATUS(waitStatus);
    }
    run.out = ReadFile(outPath);
    run.err = ReadFile(errPath);
    return run;
}

}  // namespace tolven::testing

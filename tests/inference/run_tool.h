// Runs the real TOLVEN_Inference binary in a folder, through the tests' one program runner.
#pragma once

#include <string>
#include <vector>

#include "support/run_program.h"

namespace tolven::testing {

using ToolRun = kvr::testing::ProgramResult;

// `environment` adds NAME=VALUE entries to the inherited environment.
inline ToolRun RunTool(const std::string& workFolder, const std::vector<std::string>& args,
                       const std::vector<std::string>& environment = {}) {
    return kvr::testing::RunProgram(TOLVEN_INFERENCE_BIN, args,
                                    {.folder = workFolder, .environment = environment});
}

}  // namespace tolven::testing

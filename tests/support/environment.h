// Environments for code that takes an EnvironmentLookup: a fixed table instead of the process's.
#pragma once

#include <map>
#include <string>

#include "io/program_folder.h"

namespace kvr::testing {

inline EnvironmentLookup FakeEnvironment(std::map<std::string, std::string> values) {
    return [values = std::move(values)](const char* name) -> const char* {
        const auto found = values.find(name);
        return found == values.end() ? nullptr : found->second.c_str();
    };
}

}  // namespace kvr::testing

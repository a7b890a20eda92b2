#include "app/kvr_arguments.h"

#include <iostream>

namespace kvr::cli {

bool ArgumentReader::Next() {
    while (index_ < args_.size()) {
        const std::string& arg = args_[index_++];
        hasInline_ = false;
        if (!optionsEnded_ && arg == "--") {
            optionsEnded_ = true;
            continue;
        }
        isOption_ = !optionsEnded_ && arg.size() > 1 && arg[0] == '-';
        current_ = arg;
        if (isOption_ && arg.rfind("--", 0) == 0) {
            if (const auto equals = arg.find('='); equals != std::string::npos) {
                current_ = arg.substr(0, equals);
                inlineValue_ = arg.substr(equals + 1);
                hasInline_ = true;
            }
        }
        return true;
    }
    return false;
}

bool ArgumentReader::TakeValue(std::string& value) {
    if (hasInline_) {
        value = inlineValue_;
        return true;
    }
    if (index_ >= args_.size()) return false;
    value = args_[index_++];
    return true;
}

int UsageError(std::string_view name, std::string_view usage, std::string_view problem) {
    std::cerr << name << ": " << problem << "\n" << usage << "'" << name << " --help' says more.\n";
    return 2;
}

int Failure(std::string_view name, std::string_view problem) {
    std::cerr << name << ": " << problem << "\n";
    return 1;
}

}  // namespace kvr::cli

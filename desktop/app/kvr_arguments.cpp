#include "app/kvr_arguments.h"

#include <iostream>

#include "app/cli/help_text.h"

namespace kvr::cli {

std::optional<int> ReadCommandLine(const CommandTable& table, const Arguments& args) {
    const Result<void> parsed = ParseCommandLine(table, args);
    if (table.help != nullptr && *table.help) {
        std::cout << FormatHelp(table);
        return 0;
    }
    if (!parsed) return UsageError(table, parsed.problem().message);
    return std::nullopt;
}

int UsageError(const CommandTable& table, std::string_view problem) {
    const std::string name = "kvr " + table.name;
    std::cerr << name << ": " << problem << "\n"
              << FormatUsage(table) << "'" << name << " --help' says more.\n";
    return 2;
}

int Failure(std::string_view name, std::string_view problem) {
    std::cerr << name << ": " << problem << "\n";
    return 1;
}

}  // namespace kvr::cli

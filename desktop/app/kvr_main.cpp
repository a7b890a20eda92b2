// kvr: the headless program, for scripts and pipelines.
#include <iostream>
#include <string_view>

#include "app/kvr_commands.h"
#include "kvr_version.h"

namespace {

void PrintUsage(std::ostream& out) {
    out << "usage: kvr COMMAND [ARGUMENTS]\n\ncommands:\n";
    for (const auto& command : kvr::cli::Commands()) out << "  " << command.synopsis << "\n";
    out << "\n'kvr COMMAND --help' describes a command; 'kvr --version' prints the version.\n";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        PrintUsage(std::cerr);
        return 2;
    }
    const std::string_view name = argv[1];
    if (name == "-h" || name == "--help" || name == "help") {
        PrintUsage(std::cout);
        return 0;
    }
    if (name == "--version" || name == "version") {
        std::cout << "kvr " << kvr::kVersion << "\n";
        return 0;
    }
    for (const auto& command : kvr::cli::Commands()) {
        if (name == command.name) return command.run(kvr::cli::Arguments(argv + 2, argv + argc));
    }
    std::cerr << "kvr: unknown command '" << name << "'\n";
    PrintUsage(std::cerr);
    return 2;
}

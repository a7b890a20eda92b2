// kvr: the headless program, for scripts and pipelines.
#include <exception>
#include <iostream>
#include <new>
#include <string_view>

#include "app/cli/command_tables.h"
#include "app/cli/help_text.h"
#include "app/kvr_commands.h"
#include "app/kvr_signals.h"
#include "app/printable_stream.h"
#include "kvr_version.h"
#include "platform/process_group.h"

namespace {

void PrintUsage(std::ostream& out) {
    kvr::cli::AnyRequest requests;
    out << kvr::cli::FormatOverview(kvr::cli::CommandTables(requests), kvr::cli::CommonSections());
}

// kvr help COMMAND: the command's own help.
int PrintCommandHelp(std::string_view name) {
    kvr::cli::AnyRequest requests;
    for (const auto& table : kvr::cli::CommandTables(requests)) {
        if (table.name != name) continue;
        std::cout << kvr::cli::FormatHelp(table);
        return 0;
    }
    std::cerr << "kvr: unknown command '" << name << "'\n";
    PrintUsage(std::cerr);
    return 2;
}

// Standard error through the printable filter for as long as the program runs.
class PrintableErrors {
  public:
    PrintableErrors() : filter_(std::cerr.rdbuf()) { std::cerr.rdbuf(&filter_); }
    ~PrintableErrors() { std::cerr.rdbuf(original_); }
    PrintableErrors(const PrintableErrors&) = delete;
    PrintableErrors& operator=(const PrintableErrors&) = delete;

  private:
    std::streambuf* original_ = std::cerr.rdbuf();
    kvr::cli::PrintableStreamBuffer filter_;
};

int RunCommand(int argc, char** argv) {
    if (argc < 2) {
        PrintUsage(std::cerr);
        return 2;
    }
    const std::string_view name = argv[1];
    if (name == "help" && argc == 3) return PrintCommandHelp(argv[2]);
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

}  // namespace

int main(int argc, char** argv) {
    const PrintableErrors printable;
    kvr::cli::EndStreamsOnBrokenPipe();
    // What an aligner starts outside its process group comes back to kvr, which ends it.
    kvr::AdoptOrphans();
    int status = 1;
    // Whatever fails, kvr ends with a message and a status, never on an uncaught exception.
    try {
        status = RunCommand(argc, argv);
    } catch (const std::bad_alloc&) {
        std::cerr << "kvr: out of memory: the input is too large for the memory of this machine\n";
    } catch (const std::exception& error) {
        std::cerr << "kvr: stopped by an unexpected error: " << error.what() << "\n";
    }
    kvr::EndStrayChildren();
    return status;
}

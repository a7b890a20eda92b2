// kvr: the headless program, for scripts and pipelines.
#include <exception>
#include <iostream>
#include <new>
#include <string_view>

#include "app/cli/command_tables.h"
#include "app/cli/help_text.h"
#include "app/command_log.h"
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

// The references a paper that used kvr cites: kvr, and the methods and programs behind the
// identities it gave (CITATION.cff holds the same).
void PrintCitation(std::ostream& out) {
    out << "Please cite kvr as:\n"
           "  The KVR developers. KVR: pairwise identity of nucleotide sequences, version "
        << kvr::kVersion
        << ".\n"
           "\n"
           "and the aligner your run used (--aligner):\n"
           "  builtin, muscle: Edgar RC. Muscle5: High-accuracy alignment ensembles enable\n"
           "    unbiased assessments of sequence homology and phylogeny. Nature Communications\n"
           "    13, 6968 (2022). doi:10.1038/s41467-022-34630-w\n"
           "  builtin (its pair HMM and maximum expected accuracy alignment): Do CB,\n"
           "    Mahabhashyam MSP, Brudno M, Batzoglou S. ProbCons: Probabilistic\n"
           "    consistency-based multiple sequence alignment. Genome Research 15, 330-340\n"
           "    (2005). doi:10.1101/gr.2821705\n"
           "  clustalw: Larkin MA et al. Clustal W and Clustal X version 2.0. Bioinformatics\n"
           "    23, 2947-2948 (2007). doi:10.1093/bioinformatics/btm404\n"
           "  mafft: Katoh K, Standley DM. MAFFT multiple sequence alignment software version\n"
           "    7: improvements in performance and usability. Molecular Biology and Evolution\n"
           "    30, 772-780 (2013). doi:10.1093/molbev/mst010\n"
           "\n"
           "and, for the tree order (--tree), PHYLIP's neighbor:\n"
           "  Felsenstein J. PHYLIP - Phylogeny Inference Package (Version 3.2). Cladistics 5,\n"
           "    164-166 (1989).\n";
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

int RunCommand(int argc, char** argv, kvr::cli::CommandLog& log) {
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
    if (name == "--citation") {
        PrintCitation(std::cout);
        return 0;
    }
    for (const auto& command : kvr::cli::Commands()) {
        if (name == command.name)
            return command.run(kvr::cli::Arguments(argv + 2, argv + argc), log);
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
    // The command opens it; closed here, it records the status the command ended with.
    kvr::cli::CommandLog log;
    // Whatever fails, kvr ends with a message and a status, never on an uncaught exception.
    try {
        status = RunCommand(argc, argv, log);
    } catch (const std::bad_alloc&) {
        std::cerr << "kvr: out of memory: the input is too large for the memory of this machine\n";
    } catch (const std::exception& error) {
        std::cerr << "kvr: stopped by an unexpected error: " << error.what() << "\n";
    }
    if (!log.Close(status) && status == 0) status = 1;
    kvr::EndStrayChildren();
    return status;
}

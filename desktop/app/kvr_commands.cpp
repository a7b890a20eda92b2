#include "app/kvr_commands.h"

namespace kvr::cli {

const std::vector<Command>& Commands() {
    static const std::vector<Command> commands = {
        {"identity", "identity FILE        identity of an aligned pair file (FASTA, '-' gaps)",
         Identity},
    };
    return commands;
}

}  // namespace kvr::cli

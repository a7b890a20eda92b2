#include "app/kvr_commands.h"

namespace kvr::cli {

const std::vector<Command>& Commands() {
    static const std::vector<Command> commands = {
        {"identity", Identity}, {"align", Align}, {"run", Run},
        {"append", Append},     {"show", Show},   {"split", Split},
        {"pairs", Pairs},       {"merge", Merge}, {"info", Info},
    };
    return commands;
}

}  // namespace kvr::cli

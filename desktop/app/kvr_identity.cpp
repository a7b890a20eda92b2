// kvr identity FILE: the identity of an aligned pair, as the plain single text.
#include <unistd.h>

#include <iostream>

#include "app/cli/command_tables.h"
#include "app/kvr_arguments.h"
#include "app/kvr_commands.h"
#include "io/input_file.h"
#include "io/number_text.h"
#include "pipeline/pair_identity.h"

namespace kvr::cli {

int Identity(const Arguments& args, CommandLog&) {
    IdentityRequest request;
    if (const auto status = ReadCommandLine(IdentityFileTable(request), args)) return *status;
    const std::string& path = request.path;

    PairScore score;
    if (path == "-") {
        const InputText input = ReadInputDescriptor(STDIN_FILENO);
        score = input.text ? PairIdentityOfText(*input.text)
                           : PairScore{std::nullopt, "standard input: " + input.problem};
    } else {
        // Looked at before it is held: a huge or binary file is refused by its size or first bytes.
        const InputText input = ReadInputFile(path);
        score = input.text ? PairIdentityOfText(*input.text)
                           : PairScore{std::nullopt, "the aligned file " + path +
                                                         " cannot be read: " + input.problem};
        if (input.text && !score.Ok()) score.failure = "in " + path + ", " + score.failure;
    }
    if (!score.Ok()) return Failure("kvr identity", "cannot score the pair: " + score.failure);
    std::cout << PlainSingle(*score.identity) << "\n";
    return 0;
}

}  // namespace kvr::cli

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

namespace {

// The identity of the pair in the file at path, "-" for standard input.
Result<float> ScoreAlignedPair(const std::string& path) {
    if (path == "-") {
        const InputText input = ReadInputDescriptor(STDIN_FILENO);
        if (!input.text) return Problem{"standard input: " + input.problem};
        return PairIdentityOfText(*input.text);
    }
    // Looked at before it is held: a huge or binary file is refused by its size or first bytes.
    const InputText input = ReadInputFile(path);
    if (!input.text)
        return Problem{"the aligned file " + path + " cannot be read: " + input.problem};
    Result<float> score = PairIdentityOfText(*input.text);
    if (!score) return Problem{"in " + path + ", " + score.problem().message};
    return score;
}

}  // namespace

int Identity(const Arguments& args, CommandLog&) {
    IdentityRequest request;
    if (const auto status = ReadCommandLine(IdentityFileTable(request), args)) return *status;

    const Result<float> score = ScoreAlignedPair(request.path);
    if (!score) return Failure("kvr identity", "cannot score the pair: " + score.problem().message);
    std::cout << PlainSingle(score.value()) << "\n";
    return 0;
}

}  // namespace kvr::cli

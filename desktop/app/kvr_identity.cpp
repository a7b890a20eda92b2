// kvr identity FILE: the identity of an aligned pair, as the plain single text.
#include <unistd.h>

#include <iostream>

#include "app/kvr_arguments.h"
#include "app/kvr_commands.h"
#include "engine/pair_identity.h"
#include "state/input_file.h"
#include "state/number_text.h"

namespace kvr::cli {

namespace {

constexpr const char* kName = "kvr identity";
constexpr const char* kUsage = "usage: kvr identity FILE\n";

int UsageError(const std::string& problem) {
    return cli::UsageError(kName, kUsage, problem);
}

}  // namespace

int Identity(const Arguments& args) {
    std::string path;
    ArgumentReader reader(args);
    while (reader.Next()) {
        if (!reader.IsOption()) {
            if (!path.empty()) return UsageError("one aligned pair file expected");
            path = reader.Current();
        } else if (reader.Current() == "-h" || reader.Current() == "--help") {
            std::cout << kUsage
                      << "\nPrints the identity of the first two records of an aligned pair file\n"
                         "(FASTA, '-' for gaps) as a fraction: identical symbols divided by the\n"
                         "columns in which neither sequence has a gap. 1 means identical.\n"
                         "FILE '-' reads standard input.\n";
            return 0;
        } else {
            return UsageError("unknown option '" + reader.Typed() + "'");
        }
    }
    if (path.empty()) return UsageError("expected one aligned pair file");

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
    if (!score.Ok()) return Failure(kName, "cannot score the pair: " + score.failure);
    std::cout << PlainSingle(*score.identity) << "\n";
    return 0;
}

}  // namespace kvr::cli

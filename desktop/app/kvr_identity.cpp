// kvr identity FILE: the identity of an aligned pair, as the plain single text.
#include <iostream>

#include "app/kvr_commands.h"
#include "engine/pair_identity.h"
#include "state/number_text.h"

namespace kvr::cli {

int Identity(const Arguments& args) {
    if (args.size() == 1 && (args[0] == "-h" || args[0] == "--help")) {
        std::cout << "usage: kvr identity FILE\n\n"
                     "Prints the identity of the first two records of an aligned pair file\n"
                     "(FASTA, '-' for gaps) as a fraction: identical symbols divided by the\n"
                     "columns in which neither sequence has a gap. 1 means identical.\n";
        return 0;
    }
    if (args.size() != 1) {
        std::cerr << "kvr identity: expected one aligned pair file (kvr identity FILE)\n";
        return 2;
    }
    const PairScore score = PairIdentity(args[0]);
    if (!score.Ok()) {
        std::cerr << "kvr identity: cannot score the pair: " << score.failure << "\n";
        return 1;
    }
    std::cout << PlainSingle(*score.identity) << "\n";
    return 0;
}

}  // namespace kvr::cli

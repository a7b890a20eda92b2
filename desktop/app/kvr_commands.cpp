#include "app/kvr_commands.h"

namespace kvr::cli {

const std::vector<Command>& Commands() {
    static const std::vector<Command> commands = {
        {"identity", "identity FILE        identity of an aligned pair file (FASTA, '-' gaps)",
         Identity},
        {"align", "align INPUT N1 N2    align two sequences as a run does, show their alignment",
         Align},
        {"run", "run INPUT.fasta      align every pair, order by a tree, write the identities",
         Run},
        {"append",
         "append SESSION NEW    align only the pairs with new sequences, write the results",
         Append},
        {"show", "show SESSION.kvr     write the results of a session without aligning", Show},
        {"split", "split SESSION.kvr    write FASTA datasets of the sequences in an identity range",
         Split},
        {"pairs", "pairs INPUT.fasta    align one shard of the pairs, for kvr merge (--shard K/N)",
         Pairs},
        {"merge", "merge INPUT SHARD...  join the shards of kvr pairs into the analysis of kvr run",
         Merge},
    };
    return commands;
}

}  // namespace kvr::cli

// Analyses of any size from the real test data, for the checks of the pictures' layout: the names
// of the FASTA files in tests/data cut or lengthened to a given length, and the MUSCLE
// identities of the 48 5S rRNAs repeated over the pairs.
#pragma once

#include <string>
#include <vector>

#include "io/file_io.h"
#include "support/analysis_state.h"
#include "support/score_columns.h"
#include "support/temp_folder.h"

namespace kvr::testing {

// Every name line of the three FASTA files, without its ">".
inline const std::vector<std::string>& RealNames() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> all;
        for (const char* file : {"rrna5s_48.fasta", "its1_68.fasta", "orchid_its.fasta"}) {
            const std::string text = ReadWholeFile(DataFile(file)).value_or("");
            std::size_t at = 0;
            while ((at = text.find('>', at)) != std::string::npos) {
                const std::size_t end = text.find_first_of("\r\n", at);
                all.push_back(text.substr(at + 1, end - at - 1));
                at = end;
            }
        }
        return all;
    }();
    return names;
}

// n sequences whose names are `length` characters long (real names, repeated when short) and
// whose identities are those of the real table, pair (i mod 48, j mod 48).
inline RunState RealAnalysis(int n, int length) {
    static const RunState table = LoadScoreColumns(DataFile("matrix/rrna5s_48_scores.csv"));
    const auto& names = RealNames();
    return MakeAnalysis(
        n,
        [](int i, int j) {
            const int a = i % table.seqCount, b = j % table.seqCount;
            return a == b ? 0.97f : table.IdentityMatrix(a, b);
        },
        [&names, length](int i) {
            std::string name = names[static_cast<std::size_t>(i) % names.size()];
            while (static_cast<int>(name.size()) < length) name += "_" + name;
            return ">" + name.substr(0, static_cast<std::size_t>(length));
        });
}

}  // namespace kvr::testing

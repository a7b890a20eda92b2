#include "align/reference_pairs.h"

#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>

#include "fakes/recording_window.h"
#include "io/fasta.h"

namespace kvr::align::testing {

std::vector<std::string> LoadSequences(const std::string& file) {
    RunState state;
    RecordingWindow window;
    const LoadEnd end = LoadFasta(state, window.progress, std::string(KVR_TEST_DATA) + "/" + file);
    if (end != LoadEnd::Loaded) throw std::runtime_error("cannot load " + file);
    std::vector<std::string> sequences;
    for (const Record& r : state.InputSequences) sequences.push_back(r.residues);
    return sequences;
}

std::vector<ReferencePair> LoadReferencePairs() {
    const std::map<std::string, std::string> fastaOf = {{"orchid", "orchid_its.fasta"},
                                                        {"rrna5s", "rrna5s_48.fasta"}};
    std::map<std::string, std::vector<std::string>> loaded;
    std::vector<ReferencePair> pairs;
    for (const char* table : {"orchid.csv", "orchid_near.csv", "rrna5s.csv"}) {
        std::ifstream in(std::string(KVR_TEST_DATA) + "/muscle_pairs/" + table);
        if (!in) throw std::runtime_error(std::string("cannot read ") + table);
        std::string line;
        std::getline(in, line);  // header
        while (std::getline(in, line)) {
            std::stringstream fields(line);
            std::string dataset, i, j, lenI, lenJ, matches, gapFree;
            std::getline(fields, dataset, ',');
            std::getline(fields, i, ',');
            std::getline(fields, j, ',');
            std::getline(fields, lenI, ',');
            std::getline(fields, lenJ, ',');
            std::getline(fields, matches, ',');
            std::getline(fields, gapFree, ',');
            auto& sequences = loaded[dataset];
            if (sequences.empty()) sequences = LoadSequences(fastaOf.at(dataset));
            ReferencePair p;
            p.dataset = dataset;
            p.a = sequences.at(std::stoul(i));
            p.b = sequences.at(std::stoul(j));
            if (p.a.size() != std::stoul(lenI) || p.b.size() != std::stoul(lenJ))
                throw std::runtime_error("lengths differ from the table in " + line);
            p.matches = static_cast<std::uint32_t>(std::stoul(matches));
            p.gapFreeColumns = static_cast<std::uint32_t>(std::stoul(gapFree));
            pairs.push_back(std::move(p));
        }
    }
    return pairs;
}

float IdentityOf(std::uint32_t matches, std::uint32_t gapFreeColumns) {
    const double mismatches = static_cast<double>(gapFreeColumns - matches);
    return static_cast<float>(1.0 - mismatches / static_cast<double>(gapFreeColumns));
}

}  // namespace kvr::align::testing

namespace kvr::align::testing {

std::vector<EdgePair> LoadEdgePairs(const std::string& table) {
    std::ifstream in(std::string(KVR_TEST_DATA) + "/muscle_pairs/" + table);
    if (!in) throw std::runtime_error("cannot read " + table);
    std::string line;
    std::getline(in, line);  // header
    std::vector<EdgePair> pairs;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::stringstream fields(line);
        EdgePair p;
        std::string matches, gapFree;
        std::getline(fields, p.name, ',');
        std::getline(fields, p.a, ',');
        std::getline(fields, p.b, ',');
        std::getline(fields, matches, ',');
        std::getline(fields, gapFree, ',');
        p.matches = static_cast<std::uint32_t>(std::stoul(matches));
        p.gapFreeColumns = static_cast<std::uint32_t>(std::stoul(gapFree));
        pairs.push_back(std::move(p));
    }
    return pairs;
}

}  // namespace kvr::align::testing

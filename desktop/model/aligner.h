// The aligners a run can use, and what the program knows of each, in one table. A name is read
// into an Aligner where it comes in (kvr's options, the settings file, the library's option,
// shards); settings, sessions and shards store the name.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kvr {

// In the order the options window and the help list them.
enum class Aligner : unsigned char { Muscle, Clustalw, Mafft, Builtin };

struct AlignerFacts {
    Aligner aligner;
    std::string_view name;   // as --aligner takes it and the files store it
    std::string_view title;  // as messages name it
    bool external;           // a program run for each pair, named in aligners.conf by its name
    std::string_view environment;  // the variable that overrides the command line
    // Asks the program its version; answerMark: the answer counts whatever the exit status when it
    // holds this word (ClustalW 2.1 ends its help with the status 1), "" for the status 0 only.
    std::string_view versionOption;
    std::string_view answerMark;
};

inline constexpr AlignerFacts kAlignerTable[] = {
    {Aligner::Muscle, "muscle", "MUSCLE", true, "KVR_MUSCLE", "-version", ""},
    {Aligner::Clustalw, "clustalw", "ClustalW", true, "KVR_CLUSTALW", "-help", "CLUSTAL"},
    {Aligner::Mafft, "mafft", "MAFFT", true, "KVR_MAFFT", "--version", ""},
    {Aligner::Builtin, "builtin", "the built-in aligner", false, "", "", ""},
};

constexpr const AlignerFacts& FactsOf(Aligner aligner) {
    return kAlignerTable[static_cast<unsigned char>(aligner)];
}
constexpr std::string_view AlignerName(Aligner aligner) {
    return FactsOf(aligner).name;
}
constexpr bool IsExternal(Aligner aligner) {
    return FactsOf(aligner).external;
}

// The aligner a name names; nothing for any other text.
std::optional<Aligner> AlignerNamed(std::string_view name);

// The name people know the aligner by: "MUSCLE", "ClustalW", "MAFFT", "the built-in aligner".
std::string AlignerTitle(Aligner aligner);
// The same for a name read from a file: the text itself when it names no aligner.
std::string AlignerTitle(std::string_view name);

}  // namespace kvr

#include "model/aligner.h"

#include <iterator>

namespace kvr {

// FactsOf finds a row by the aligner's value.
static_assert([] {
    for (unsigned char k = 0; k < std::size(kAlignerTable); ++k)
        if (static_cast<unsigned char>(kAlignerTable[k].aligner) != k) return false;
    return true;
}());

std::optional<Aligner> AlignerNamed(std::string_view name) {
    for (const AlignerFacts& facts : kAlignerTable)
        if (facts.name == name) return facts.aligner;
    return std::nullopt;
}

std::string AlignerTitle(Aligner aligner) {
    return std::string(FactsOf(aligner).title);
}

std::string AlignerTitle(std::string_view name) {
    const std::optional<Aligner> aligner = AlignerNamed(name);
    return aligner ? AlignerTitle(*aligner) : std::string(name);
}

}  // namespace kvr

#include <cctype>
#include <new>

#include "align/align.h"
#include "align/align_one.h"

namespace kvr::align {

const char* StatusText(Status status) {
    switch (status) {
        case Status::Ok:
            return "aligned";
        case Status::EmptySequence:
            return "a sequence of the pair is empty";
        case Status::TooLong:
            return "a sequence is too long for the built-in aligner";
        case Status::Cancelled:
            return "cancelled";
        case Status::NoMemory:
            return "not enough memory to align the pair";
    }
    return "unknown";
}

std::optional<PairCounts> Precheck(std::string_view a, std::string_view b, const Options& options) {
    if (a.empty() || b.empty()) return PairCounts{Status::EmptySequence};
    if (a.size() > options.maxLength || b.size() > options.maxLength)
        return PairCounts{Status::TooLong};
    if (a.size() != b.size()) return std::nullopt;
    PairCounts same;
    for (std::size_t k = 0; k < a.size(); ++k) {
        const auto ca = static_cast<unsigned char>(a[k]), cb = static_cast<unsigned char>(b[k]);
        if (std::toupper(ca) != std::toupper(cb)) return std::nullopt;
        if (ca == cb) ++same.matches;
    }
    same.columns = same.gapFreeColumns = static_cast<std::uint32_t>(a.size());
    return same;
}

Alphabet AlphabetFor(std::string_view a, std::string_view b, const Options& options) {
    return options.alphabet == Alphabet::Guess ? GuessAlphabet(a, b) : options.alphabet;
}

PairCounts AlignOneScalar(std::string_view a, std::string_view b, const Options& options,
                          PairScratch& scratch, const std::atomic<bool>* cancel) {
    if (auto early = Precheck(a, b, options)) return *early;
    try {
        const HmmModel& model = ModelFor(AlphabetFor(a, b, options));
        if (!PosteriorScalar(model, a, b, scratch.posterior, cancel, scratch.sparse))
            return PairCounts{Status::Cancelled};
        return MeaCounts(scratch.sparse, a, b, scratch.mea);
    } catch (const std::bad_alloc&) {
        return PairCounts{Status::NoMemory};
    }
}

PairCounts AlignPair(std::string_view a, std::string_view b, const Options& options) {
    PairScratch scratch;
    return AlignOneScalar(a, b, options, scratch, nullptr);
}

}  // namespace kvr::align

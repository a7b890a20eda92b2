#include <cctype>
#include <new>

#include "align/align.h"
#include "align/align_one.h"
#include "align/band.h"
#include "align/hmm_model.h"

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

Kernel ResolveKernel(Kernel kernel) {
    if (kernel != Kernel::Best) return KernelAvailable(kernel) ? kernel : Kernel::Scalar;
    if (KernelAvailable(Kernel::Avx512)) return Kernel::Avx512;
    if (KernelAvailable(Kernel::Avx2)) return Kernel::Avx2;
    return Kernel::Scalar;
}

PairCounts AlignOne(std::string_view a, std::string_view b, const Options& options, Kernel kernel,
                    PairScratch& scratch, const std::atomic<bool>* cancel,
                    PairAlignment* alignment) {
    if (alignment != nullptr) *alignment = {};
    if (auto early = Precheck(a, b, options)) {
        // Sequences equal but for case are left unaligned: every column holds both residues.
        if (alignment != nullptr && early->status == Status::Ok)
            *alignment = {std::string(a), std::string(b)};
        return *early;
    }
    try {
        const Alphabet alphabet = AlphabetFor(a, b, options);
        const HmmModel& model = ModelFor(alphabet);
        const bool done =
            options.band ? PosteriorBanded(model, a, b, alphabet, kernel, scratch.band, cancel,
                                           scratch.sparse)
                         : PosteriorScalar(model, a, b, scratch.posterior, cancel, scratch.sparse);
        if (!done) return PairCounts{Status::Cancelled};
        return MeaCounts(scratch.sparse, a, b, scratch.mea, alignment);
    } catch (const std::bad_alloc&) {
        if (alignment != nullptr) *alignment = {};
        return PairCounts{Status::NoMemory};
    }
}

PairCounts AlignPair(std::string_view a, std::string_view b, const Options& options) {
    PairScratch scratch;
    return AlignOne(a, b, options, ResolveKernel(options.kernel), scratch, nullptr);
}

PairCounts AlignPair(std::string_view a, std::string_view b, const Options& options,
                     PairAlignment& alignment) {
    PairScratch scratch;
    return AlignOne(a, b, options, ResolveKernel(options.kernel), scratch, nullptr, &alignment);
}

}  // namespace kvr::align

#include <algorithm>
#include <cctype>
#include <new>
#include <vector>

#include "align/align.h"
#include "align/align_one.h"
#include "align/band.h"
#include "align/hmm_model.h"
#include "align/progress.h"
#include "align/segments.h"

namespace kvr::align {

const char* StatusText(Status status) {
    switch (status) {
        case Status::Ok:
            return "aligned";
        case Status::EmptySequence:
            return "a sequence of the pair is empty";
        case Status::Cancelled:
            return "cancelled";
        case Status::NoMemory:
            return "not enough memory to align the pair";
    }
    return "unknown";
}

std::optional<PairCounts> Precheck(std::string_view a, std::string_view b) {
    if (a.empty() || b.empty()) return PairCounts{Status::EmptySequence};
    if (a.size() != b.size()) return std::nullopt;
    PairCounts same;
    for (std::size_t k = 0; k < a.size(); ++k) {
        const auto ca = static_cast<unsigned char>(a[k]), cb = static_cast<unsigned char>(b[k]);
        if (std::toupper(ca) != std::toupper(cb)) return std::nullopt;
        if (ca == cb) ++same.matches;
        if (!IsAmbiguityCode(a[k])) {  // b[k] is the same letter
            ++same.unambiguousColumns;
            if (ca == cb) ++same.unambiguousMatches;
        }
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

namespace {

// Posteriors and trace-back of x against y (the whole pair, or a piece of a longer one), the counts
// added to `sum` and the columns appended to `alignment`. False if cancelled.
bool AlignPiece(std::string_view x, std::string_view y, bool whole, bool unrelated,
                Alphabet alphabet, const Options& options, Kernel kernel, PairScratch& scratch,
                const std::atomic<bool>* cancel, PairProgress& progress, PairAlignment* alignment,
                PairCounts& sum) {
    const HmmModel& model = ModelFor(alphabet);
    const BandResult result =
        !options.band
            ? (PosteriorScalar(model, x, y, scratch.posterior, cancel, scratch.sparse)
                   ? BandResult::Done
                   : BandResult::Cancelled)
            : PosteriorBanded(model, x, y, alphabet, kernel, scratch.band,
                              PassWatch(cancel, &progress), scratch.sparse, kBandStoreBytes,
                              options.memoryBudget, unrelated ? kUnrelatedWidth : 0, whole);
    if (result == BandResult::Cancelled) return false;
    PairAlignment piece;
    const PairCounts counts =
        MeaCounts(scratch.sparse, x, y, scratch.mea, alignment != nullptr ? &piece : nullptr);
    sum.columns += counts.columns;
    sum.gapFreeColumns += counts.gapFreeColumns;
    sum.matches += counts.matches;
    sum.unambiguousColumns += counts.unambiguousColumns;
    sum.unambiguousMatches += counts.unambiguousMatches;
    sum.exact = sum.exact && result != BandResult::Bounded;
    if (alignment != nullptr) {
        alignment->a += piece.a;
        alignment->b += piece.b;
    }
    return true;
}

}  // namespace

PairCounts AlignOne(std::string_view a, std::string_view b, const Options& options, Kernel kernel,
                    PairScratch& scratch, const std::atomic<bool>* cancel, PairAlignment* alignment,
                    std::atomic<std::uint64_t>* counter) {
    if (alignment != nullptr) *alignment = {};
    PairProgress progress(counter);
    if (auto early = Precheck(a, b)) {
        progress.Reach(a.size() + b.size());
        // Sequences equal but for case are left unaligned: every column holds both residues.
        if (alignment != nullptr && early->status == Status::Ok)
            *alignment = {std::string(a), std::string(b)};
        return *early;
    }
    try {
        const Alphabet alphabet = AlphabetFor(a, b, options);
        // Longer pairs piece by piece (segments.h), the whole matrix only for the tests.
        const bool whole = std::max(a.size(), b.size()) <= kWholePairUpTo;
        const std::vector<Cut> cuts = options.band && !whole
                                          ? PieceCuts(a, b, alphabet, &scratch.band.seeds)
                                          : std::vector<Cut>{};
        PairCounts sum;
        Cut from;
        for (std::size_t p = 0; p <= cuts.size(); ++p) {
            const Cut to = p < cuts.size() ? cuts[p]
                                           : Cut{static_cast<std::int32_t>(a.size()),
                                                 static_cast<std::int32_t>(b.size())};
            const std::string_view x =
                a.substr(static_cast<std::size_t>(from.i), static_cast<std::size_t>(to.i - from.i));
            const std::string_view y =
                b.substr(static_cast<std::size_t>(from.j), static_cast<std::size_t>(to.j - from.j));
            progress.Piece(static_cast<std::uint64_t>(from.i) + static_cast<std::uint64_t>(from.j),
                           x.size() + y.size());
            if (!AlignPiece(x, y, whole, from.straight || to.straight, alphabet, options, kernel,
                            scratch, cancel, progress, alignment, sum)) {
                if (alignment != nullptr) *alignment = {};
                return PairCounts{Status::Cancelled};
            }
            progress.Reach(static_cast<std::uint64_t>(to.i) + static_cast<std::uint64_t>(to.j));
            from = to;
        }
        return sum;
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

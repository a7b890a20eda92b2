#include "app/kvr_provenance.h"

#include <vector>

namespace kvr::cli {

namespace {

// The refusal of an append that would mix what the session's record says of its pairs (what,
// recorded) with the run's (value), and the option that keeps to the session's.
std::string Refusal(const std::string& sessionPath, std::string_view what,
                    const std::string& recorded, std::string_view verb, std::string_view value,
                    std::string_view option, const std::string& keep) {
    return sessionPath + " was made with the " + std::string(what) + " " + recorded +
           ", and this run would " + std::string(verb) + " its new pairs with " +
           std::string(value) + ": identities of two " + std::string(what) +
           "s differ, so the session's would be mixed. Give " + std::string(option) + " " + keep +
           " to keep to it, or --mix-aligners to mix them knowingly (the session's record then "
           "says \"mixed\")";
}

}  // namespace

Result<void> CheckAlignerMixing(const Provenance& session, Aligner kind,
                                const std::string& sessionPath) {
    const std::string_view aligner = AlignerName(kind);
    if (!WouldMixAligners(session, aligner)) return {};
    const std::string recorded = session.Get(provenance_key::kAligner);
    return Problem{Refusal(sessionPath, "aligner", recorded, "align", aligner, "--aligner",
                           NamedValues(recorded).front())};
}

Result<void> CheckRuleMixing(const Provenance& session, AmbiguityRule rule,
                             const std::string& sessionPath) {
    const std::string_view name = AmbiguityRuleName(rule);
    if (!WouldMixAmbiguityRules(session, name)) return {};
    const std::string recorded = RecordedAmbiguityRule(session);
    return Problem{Refusal(sessionPath, "ambiguity rule", recorded, "compare", name, "--ambiguous",
                           NamedValues(recorded).front())};
}

}  // namespace kvr::cli

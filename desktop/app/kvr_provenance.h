// kvr append's check that the session's record (model/provenance.h) and the run agree on what
// changes the numbers: the aligner and the ambiguity rule. The record itself is made in one place
// for kvr and the window (pipeline/run_provenance.h).
#pragma once

#include <string>
#include <string_view>

#include "model/provenance.h"
#include "model/result.h"
#include "pipeline/run_options.h"

namespace kvr::cli {

// Why kvr append must not add pairs of this aligner to the session unasked: its record names
// another aligner for the pairs it holds (none when it names none but this one, or none at all).
Result<void> CheckAlignerMixing(const Provenance& session, Aligner aligner,
                                const std::string& sessionPath);

// Likewise for the ambiguity rule: its record names another rule for the pairs it holds.
Result<void> CheckRuleMixing(const Provenance& session, AmbiguityRule rule,
                             const std::string& sessionPath);

}  // namespace kvr::cli

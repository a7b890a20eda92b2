// The identity of an aligned pair file: a fraction from 0 to 1, or a failure that says why.
#include <cmath>

#include "fuzz/fuzz_check.h"
#include "pipeline/pair_identity.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const kvr::Result<float> score =
        kvr::PairIdentityOfText(std::string(kvr::fuzz::AsText(data, size)));
    if (score.Ok()) {
        FUZZ_CHECK(std::isfinite(score.value()));
        FUZZ_CHECK(score.value() >= 0.0f && score.value() <= 1.0f);
    } else {
        FUZZ_CHECK(!score.problem().message.empty());
    }
    return 0;
}

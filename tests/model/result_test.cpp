// The result type every step that can fail returns: which side it holds, the problem's words and
// kind, and that the wrong side is refused rather than read.
#include "model/result.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <variant>

namespace kvr {
namespace {

Result<int> Half(int n) {
    if (n % 2 != 0) return Problem{std::to_string(n) + " is odd"};
    return n / 2;
}

Result<void> Check(bool good) {
    if (!good) return Problem{"the run was cancelled", ProblemKind::Cancelled};
    return {};
}

TEST(Result, HoldsTheValueOrTheProblem) {
    const Result<int> half = Half(8);
    EXPECT_TRUE(half.Ok());
    EXPECT_TRUE(static_cast<bool>(half));
    EXPECT_EQ(half.value(), 4);
    EXPECT_FALSE(half.Is(ProblemKind::General));
    EXPECT_THROW((void)half.problem(), std::bad_variant_access);

    const Result<int> odd = Half(7);
    EXPECT_FALSE(odd.Ok());
    EXPECT_FALSE(static_cast<bool>(odd));
    EXPECT_EQ(odd.problem(), (Problem{"7 is odd", ProblemKind::General}));
    EXPECT_TRUE(odd.Is(ProblemKind::General));
    EXPECT_FALSE(odd.Is(ProblemKind::Cancelled));
    EXPECT_THROW((void)odd.value(), std::bad_variant_access);
}

TEST(Result, AStringValueIsNotTakenForAProblem) {
    // Both sides hold text: an empty value is still a value, and a problem's words stay its own.
    const Result<std::string> empty = std::string();
    ASSERT_TRUE(empty.Ok());
    EXPECT_EQ(empty.value(), "");
    const Result<std::string> failed = Problem{"no such file"};
    ASSERT_FALSE(failed.Ok());
    EXPECT_EQ(failed.problem().message, "no such file");
}

TEST(Result, MovesOutAValueThatCannotBeCopied) {
    Result<std::unique_ptr<int>> made = std::make_unique<int>(3);
    const std::unique_ptr<int> taken = std::move(made).value();
    ASSERT_NE(taken, nullptr);
    EXPECT_EQ(*taken, 3);
}

TEST(ResultOfNothing, IsDoneByDefaultOrHoldsItsProblemAndKind) {
    const Result<void> done = Check(true);
    EXPECT_TRUE(done.Ok());
    EXPECT_NO_THROW(done.value());
    EXPECT_THROW((void)done.problem(), std::bad_variant_access);
    EXPECT_FALSE(done.Is(ProblemKind::Cancelled));

    const Result<void> cancelled = Check(false);
    EXPECT_FALSE(cancelled.Ok());
    EXPECT_FALSE(static_cast<bool>(cancelled));
    EXPECT_TRUE(cancelled.Is(ProblemKind::Cancelled));
    EXPECT_FALSE(cancelled.Is(ProblemKind::TimedOut));
    EXPECT_EQ(cancelled.problem().message, "the run was cancelled");
    EXPECT_THROW(cancelled.value(), std::bad_variant_access);
}

}  // namespace
}  // namespace kvr

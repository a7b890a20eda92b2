// How a step that can fail ended: the value it made, or a Problem that says what went wrong in the
// user's words. Shaped like C++23's std::expected, kept small for C++20.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace kvr {

// What kind of problem ended a step, for the callers that act on it (a cancelled run is put back
// quietly, a missing program is named as such); General where nobody branches on it.
enum class ProblemKind {
    General,
    NotFound,    // the program to run does not exist
    NotStarted,  // the program or its input files could not be set up
    Failed,      // the program ended with a non-zero status
    NoOutput,    // it ended well but wrote no output, or an empty one
    BadOutput,   // it wrote output that cannot be used
    TimedOut,    // it ran longer than the time limit and was ended
    Cancelled,   // the run was cancelled
};

// What went wrong, as the user reads it.
struct Problem {
    std::string message;
    ProblemKind kind = ProblemKind::General;
    bool operator==(const Problem&) const = default;
};

// A value or the Problem that kept it from being made. Both convert implicitly, so a step
// returns either its value or Problem{"..."}. value() of a problem and problem() of a value throw
// std::bad_variant_access: a caller checks first.
template <class T>
class Result {
  public:
    Result(T value) : state_(std::in_place_index<0>, std::move(value)) {}
    Result(Problem problem) : state_(std::in_place_index<1>, std::move(problem)) {}

    bool Ok() const { return state_.index() == 0; }
    explicit operator bool() const { return Ok(); }
    // Ended by a problem of this kind.
    bool Is(ProblemKind kind) const { return !Ok() && problem().kind == kind; }

    const T& value() const& { return std::get<0>(state_); }
    T& value() & { return std::get<0>(state_); }
    T&& value() && { return std::get<0>(std::move(state_)); }
    const Problem& problem() const { return std::get<1>(state_); }

  private:
    std::variant<T, Problem> state_;
};

// A step that makes nothing: done (the default) or a Problem.
template <>
class Result<void> {
  public:
    Result() = default;
    Result(Problem problem) : problem_(std::move(problem)) {}

    bool Ok() const { return !problem_; }
    explicit operator bool() const { return Ok(); }
    bool Is(ProblemKind kind) const { return problem_ && problem_->kind == kind; }

    void value() const {
        if (problem_) throw std::bad_variant_access();
    }
    const Problem& problem() const {
        if (!problem_) throw std::bad_variant_access();
        return *problem_;
    }

  private:
    std::optional<Problem> problem_;
};

}  // namespace kvr

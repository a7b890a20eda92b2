#include "app/console_progress.h"

#include <cctype>
#include <cmath>

namespace kvr {

namespace {

constexpr auto kTerminalInterval = std::chrono::milliseconds(200);
constexpr auto kLogInterval = std::chrono::seconds(5);
constexpr const char* kRewriteLine = "\r\033[K";  // back to the line start, clear it

// The step a status text tells of: "Aligning 3 - 4" and "Aligning 5 - 9" are one step.
std::string StepOf(std::string_view text) {
    std::string step;
    for (const char c : text)
        if (!std::isdigit(static_cast<unsigned char>(c))) step += c;
    return step;
}

}  // namespace

ConsoleProgress::ConsoleProgress(std::ostream& out, std::string prefix, bool quiet, bool terminal,
                                 std::ostream* log, Clock clock)
    : prefix_(std::move(prefix)), clock_(std::move(clock)) {
    sinks_.push_back({&out, quiet, terminal});
    if (log != nullptr) sinks_.push_back({log, false, false});
}

void ConsoleProgress::Step(std::string_view name) {
    step_ = name;
    if (name.empty()) return;
    for (Sink& sink : sinks_) Offer(sink);
}

void ConsoleProgress::Pair(int i, int j, double count, double total) {
    Step(PairStep(i, j));
    Percent(static_cast<int>(std::nearbyint(PairPercent(count, total))));
}

void ConsoleProgress::End(std::string_view name) {
    Step(name);
    Percent(0);
}

// A new step is written at once; the texts of one step (a pair after another) now and then: on
// a terminal a few times a second, rewriting the step's one line, and the last text when the
// bar returns to 0; elsewhere (a pipe, a log) a line every few seconds from the step's start.
void ConsoleProgress::Offer(Sink& sink) {
    sink.statusPending = true;
    const auto interval = sink.terminal ? kTerminalInterval : kLogInterval;
    if (StepOf(step_) != sink.lastStep || clock_() - sink.lastWrite >= interval) WriteStatus(sink);
}

ConsoleProgress::~ConsoleProgress() {
    for (Sink& sink : sinks_)
        if (sink.progressOpen) *sink.out << '\n' << std::flush;
}

void ConsoleProgress::Percent(int percent) {
    percent_ = percent;
    if (percent != 0) return;
    for (Sink& sink : sinks_)
        if (sink.terminal) Flush(sink);
}

void ConsoleProgress::Flush() {
    for (Sink& sink : sinks_) Flush(sink);
}

void ConsoleProgress::Flush(Sink& sink) {
    if (sink.statusPending) WriteStatus(sink);
}

void ConsoleProgress::WriteStatus(Sink& sink) {
    sink.statusPending = false;
    std::string line = step_;
    if (percent_ > 0) line += " (" + std::to_string(percent_) + "%)";
    if (sink.quiet || line == sink.lastWritten) return;
    sink.lastWritten = line;
    const bool newStep = StepOf(step_) != sink.lastStep;
    sink.lastStep = StepOf(step_);
    sink.lastWrite = clock_();
    if (!sink.terminal) {
        WriteLine(sink, line);
        return;
    }
    // One line a step, rewritten in place: a new step leaves the last one's final text above.
    if (newStep && sink.progressOpen) *sink.out << '\n';
    *sink.out << kRewriteLine << prefix_ << ": " << line << std::flush;
    sink.progressOpen = true;
}

void ConsoleProgress::WriteLine(Sink& sink, std::string_view text) {
    if (sink.progressOpen) *sink.out << '\n';
    sink.progressOpen = false;
    *sink.out << prefix_ << ": " << text << '\n' << std::flush;
}

void ConsoleProgress::WriteLine(std::string_view text) {
    for (Sink& sink : sinks_) {
        Flush(sink);
        WriteLine(sink, text);
    }
}

void ConsoleProgress::Message(std::string_view text) {
    WriteLine(text);
}

}  // namespace kvr

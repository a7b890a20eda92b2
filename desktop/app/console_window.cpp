#include "app/console_window.h"

#include <cctype>

namespace kvr {

namespace {

constexpr auto kTerminalInterval = std::chrono::milliseconds(200);
constexpr auto kLogInterval = std::chrono::seconds(5);
constexpr const char* kRewriteLine = "\r\033[K";  // back to the line start, clear it

// The step a status text tells of: "Aligning 3 - 4" and "Aligning 5 - 9" are one step.
std::string Step(std::string_view text) {
    std::string step;
    for (const char c : text)
        if (!std::isdigit(static_cast<unsigned char>(c))) step += c;
    return step;
}

}  // namespace

ConsoleWindow::ConsoleWindow(std::ostream& out, std::string prefix, bool quiet, bool terminal,
                             std::ostream* log, Clock clock)
    : prefix_(std::move(prefix)), clock_(std::move(clock)) {
    sinks_.push_back({&out, quiet, terminal});
    if (log != nullptr) sinks_.push_back({log, false, false});
}

void ConsoleWindow::SetCaption(Control c, std::string_view text) {
    At(c).caption = text;
    if (c != Control::lblProgress || text.empty()) return;
    for (Sink& sink : sinks_) Offer(sink);
}

// A new step is written at once; the texts of one step (a pair after another) now and then: on
// a terminal a few times a second, rewriting the step's one line, and the last text when the
// bar returns to 0; elsewhere (a pipe, a log) a line every few seconds from the step's start.
void ConsoleWindow::Offer(Sink& sink) {
    sink.statusPending = true;
    const auto interval = sink.terminal ? kTerminalInterval : kLogInterval;
    if (Step(At(Control::lblProgress).caption) != sink.lastStep ||
        clock_() - sink.lastWrite >= interval)
        WriteStatus(sink);
}

ConsoleWindow::~ConsoleWindow() {
    for (Sink& sink : sinks_)
        if (sink.progressOpen) *sink.out << '\n' << std::flush;
}

void ConsoleWindow::SetValue(Control c, int value) {
    At(c).value = value;
    if (c != Control::ProgressBar1 || value != 0) return;
    for (Sink& sink : sinks_)
        if (sink.terminal) Flush(sink);
}

void ConsoleWindow::Flush() {
    for (Sink& sink : sinks_) Flush(sink);
}

void ConsoleWindow::Flush(Sink& sink) {
    if (sink.statusPending) WriteStatus(sink);
}

void ConsoleWindow::WriteStatus(Sink& sink) {
    sink.statusPending = false;
    const std::string& caption = At(Control::lblProgress).caption;
    std::string line = caption;
    const int percent = At(Control::ProgressBar1).value;
    if (percent > 0) line += " (" + std::to_string(percent) + "%)";
    if (sink.quiet || line == sink.lastWritten) return;
    sink.lastWritten = line;
    const bool newStep = Step(caption) != sink.lastStep;
    sink.lastStep = Step(caption);
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

void ConsoleWindow::WriteLine(Sink& sink, std::string_view text) {
    if (sink.progressOpen) *sink.out << '\n';
    sink.progressOpen = false;
    *sink.out << prefix_ << ": " << text << '\n' << std::flush;
}

void ConsoleWindow::WriteLine(std::string_view text) {
    for (Sink& sink : sinks_) {
        Flush(sink);
        WriteLine(sink, text);
    }
}

void ConsoleWindow::ShowMessage(std::string_view text) {
    WriteLine(text);
}

bool ConsoleWindow::AskYesNo(std::string_view text) {
    WriteLine(std::string(text) + " [answered No]");
    return false;
}

DrawingSurface& ConsoleWindow::Canvas(Control) {
    return canvas_;
}

void ConsoleWindow::NoDisplay(std::string_view what) {
    WriteLine("there is no display: cannot " + std::string(what));
}

bool ConsoleWindow::SaveViewBitmap(const std::string& path) {
    NoDisplay("save the matrix view as " + path);
    return false;
}

void ConsoleWindow::CopyCanvasBitmap(Control) {
    NoDisplay("copy a picture to the clipboard");
}

bool ConsoleWindow::CopyMetafile(const std::string&) {
    NoDisplay("copy a picture to the clipboard");
    return false;
}

}  // namespace kvr

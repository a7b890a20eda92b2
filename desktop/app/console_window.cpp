#include "app/console_window.h"

namespace kvr {

namespace {

constexpr auto kTerminalInterval = std::chrono::milliseconds(200);
constexpr auto kLogInterval = std::chrono::seconds(5);
constexpr const char* kRewriteLine = "\r\033[K";  // back to the line start, clear it

}  // namespace

ConsoleWindow::ConsoleWindow(std::ostream& out, std::string prefix, bool quiet, bool terminal)
    : out_(out), prefix_(std::move(prefix)), quiet_(quiet), terminal_(terminal) {}

// The status label is written at once when no progress is showing (a new step); while the
// progress bar runs, now and then, and the last text when the bar returns to 0.
void ConsoleWindow::SetCaption(Control c, std::string_view text) {
    At(c).caption = text;
    if (c != Control::lblProgress || text.empty()) return;
    statusPending_ = true;
    const auto now = std::chrono::steady_clock::now();
    const std::chrono::steady_clock::duration interval =
        terminal_ ? std::chrono::steady_clock::duration(kTerminalInterval) : kLogInterval;
    if (At(Control::ProgressBar1).value == 0 || now - lastWrite_ >= interval) WriteStatus();
}

void ConsoleWindow::SetValue(Control c, int value) {
    At(c).value = value;
    if (c == Control::ProgressBar1 && value == 0) Flush();
}

void ConsoleWindow::Flush() {
    if (statusPending_) WriteStatus();
}

void ConsoleWindow::WriteStatus() {
    statusPending_ = false;
    std::string line = At(Control::lblProgress).caption;
    const int percent = At(Control::ProgressBar1).value;
    if (percent > 0) line += " (" + std::to_string(percent) + "%)";
    if (quiet_ || line == lastWritten_) return;
    lastWritten_ = line;
    lastWrite_ = std::chrono::steady_clock::now();
    if (terminal_ && percent > 0) {
        out_ << kRewriteLine << prefix_ << ": " << line << std::flush;
        progressOpen_ = true;
        return;
    }
    if (terminal_ && progressOpen_) {
        out_ << kRewriteLine;
        progressOpen_ = false;
    }
    WriteLine(line);
}

void ConsoleWindow::WriteLine(std::string_view text) {
    if (progressOpen_) out_ << '\n';
    progressOpen_ = false;
    out_ << prefix_ << ": " << text << '\n' << std::flush;
}

void ConsoleWindow::ShowMessage(std::string_view text) {
    Flush();
    WriteLine(text);
}

bool ConsoleWindow::AskYesNo(std::string_view text) {
    Flush();
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

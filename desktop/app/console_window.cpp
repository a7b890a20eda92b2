#include "app/console_window.h"

namespace kvr {

namespace {

constexpr auto kProgressInterval = std::chrono::seconds(1);

}  // namespace

ConsoleWindow::ConsoleWindow(std::ostream& out, std::string prefix, bool quiet)
    : out_(out), prefix_(std::move(prefix)), quiet_(quiet) {}

// The status label is written at once when no progress is showing (a new step); while the
// progress bar runs, at most once a second, and the last text when the bar returns to 0.
void ConsoleWindow::SetCaption(Control c, std::string_view text) {
    At(c).caption = text;
    if (c != Control::lblProgress || text.empty()) return;
    statusPending_ = true;
    const auto now = std::chrono::steady_clock::now();
    if (At(Control::ProgressBar1).value == 0 || now - lastWrite_ >= kProgressInterval)
        WriteStatus();
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
    const std::string& status = At(Control::lblProgress).caption;
    std::string line = status;
    if (const int percent = At(Control::ProgressBar1).value; percent > 0)
        line += " (" + std::to_string(percent) + "%)";
    if (quiet_ || line == lastWritten_) return;
    lastWritten_ = line;
    lastWrite_ = std::chrono::steady_clock::now();
    out_ << prefix_ << ": " << line << '\n' << std::flush;
}

void ConsoleWindow::ShowMessage(std::string_view text) {
    Flush();
    out_ << prefix_ << ": " << text << '\n' << std::flush;
}

bool ConsoleWindow::AskYesNo(std::string_view text) {
    Flush();
    out_ << prefix_ << ": " << text << " [answered No]\n" << std::flush;
    return false;
}

DrawingSurface& ConsoleWindow::Canvas(Control) {
    return canvas_;
}

void ConsoleWindow::NoDisplay(std::string_view what) {
    out_ << prefix_ << ": there is no display: cannot " << what << '\n' << std::flush;
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

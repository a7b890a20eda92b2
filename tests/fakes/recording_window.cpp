#include "fakes/recording_window.h"

#include <unistd.h>

#include <filesystem>

#include "io/file_io.h"

namespace kvr {

RecordingWindow::RecordingWindow() = default;

void RecordingWindow::SetCaption(Control c, std::string_view text) {
    At(c).caption = text;
    captionHistory[c].emplace_back(text);
}

void RecordingWindow::SetValue(Control c, int value) {
    const bool changed = At(c).value != value;
    At(c).value = value;
    valueHistory[c].push_back(value);
    const bool reportsChanges = c == Control::updCutoff1 || c == Control::UpdCutoff2 ||
                                c == Control::VScroll1 || c == Control::HScroll1;
    if (changed && reportsChanges && events != nullptr) events->OnValueChanged(c, value);
}

void RecordingWindow::ProcessEvents() {
    ++eventPumps;
    if (!duringEvents || inEvents_) return;
    inEvents_ = true;
    duringEvents();
    inEvents_ = false;
}

bool RecordingWindow::AskYesNo(std::string_view text) {
    questions.emplace_back(text);
    if (yesNoAnswers.empty()) return false;
    const bool answer = yesNoAnswers.front();
    yesNoAnswers.pop_front();
    return answer;
}

std::string RecordingWindow::Answer(const std::string& startFolder) {
    dialogFolders.push_back(startFolder);
    if (dialogAnswers.empty()) return {};
    std::string answer = dialogAnswers.front();
    dialogAnswers.pop_front();
    return answer;
}

std::string RecordingWindow::OpenFileDialog(const std::string& startFolder) {
    return Answer(startFolder);
}

std::string RecordingWindow::SaveFileDialog(const std::string& startFolder,
                                            std::string_view filter) {
    saveFilters.emplace_back(filter);
    return Answer(startFolder);
}

DrawingSurface& RecordingWindow::Canvas(Control /*picture*/) {
    return innerCanvas;
}

bool RecordingWindow::SaveViewBitmap(const std::string& path) {
    savedBitmaps.push_back(path);
    return static_cast<bool>(WriteWholeFile(path, "BM"));
}

bool RecordingWindow::SaveCanvasBitmap(const std::string& path) {
    savedBitmaps.push_back("canvas:" + path);
    return static_cast<bool>(WriteWholeFile(path, "BM"));
}

std::string RecordingWindow::AskText(std::string_view question, const std::string& initial) {
    textQuestions.push_back(std::string(question) + " [" + initial + "]");
    if (textAnswers.empty()) return {};
    std::string answer = textAnswers.front();
    textAnswers.pop_front();
    return answer;
}

RecordingSurface RecordingWindow::Drawing::Draw(const SurfaceBox& region) const {
    RecordingSurface surface;
    surface.Resize(width, height);
    if (draw) draw(surface, region);
    return surface;
}

bool RecordingWindow::CopyMetafile(const std::string& emfPath) {
    if (!ReadWholeFile(emfPath)) return false;
    clipboard = "metafile:" + emfPath;
    return true;
}

}  // namespace kvr

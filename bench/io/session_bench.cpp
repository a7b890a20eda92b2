// Sessions and text exports at 500 and 2,000 sequences: writing and reading a session, opening it
// in the real Qt window (offscreen; read, identity range, binning, pictures and drawing), and
// formatting each export. Prints seconds.
//   bench_sessions [SEQUENCES...]
#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <vector>

#include "fakes/fake_shell.h"
#include "io/fasta.h"
#include "io/file_io.h"
#include "io/program_folder.h"
#include "io/score_table.h"
#include "io/session_file.h"
#include "io/text_exports.h"
#include "pipeline/binning.h"
#include "platform/qt/qt_main_window.h"
#include "support/seconds.h"
#include "ui/main_form.h"
#include "ui/session.h"
#include "ui/window_progress.h"

namespace {

using kvr::bench::Seconds;

kvr::RunState MakeAnalysis(int n) {
    std::mt19937 random(11);
    std::uniform_real_distribution<float> identity(0.55f, 1.0f);
    kvr::RunState state;
    state.seqCount = n;
    state.IdentityMatrix = kvr::IdentityTable(n, 1.0f);
    for (int i = 0; i < n; ++i) {
        std::string residues(1000, 'A');
        for (char& c : residues) c = "ACGT"[random() % 4];
        state.SequenceList.push_back({">sequence_" + std::to_string(i), residues});
        for (int j = 0; j < i; ++j)
            state.IdentityMatrix(i, j) = state.IdentityMatrix(j, i) = identity(random);
    }
    return state;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    std::vector<int> sizes;
    for (int k = 1; k < argc; ++k) sizes.push_back(std::atoi(argv[k]));
    if (sizes.empty()) sizes = {500, 2000};
    char folderTemplate[] = "/tmp/kvr-bench-XXXXXX";
    const std::string folder = ::mkdtemp(folderTemplate);

    for (const int n : sizes) {
        kvr::RunState state = MakeAnalysis(n);
        const std::string path = folder + "/s.kvr";
        std::string text;
        const double format = Seconds(
            [&] { text = kvr::FormatSession(state.SequenceList, state.IdentityMatrix, n); });
        const double write = Seconds([&] { (void)kvr::WriteWholeFile(path, text); });
        kvr::SessionContent read;
        const double parse = Seconds([&] { read = kvr::ParseSession(*kvr::ReadWholeFile(path)); });

        kvr::RunState shown;
        kvr::QtMainWindow window;
        kvr::WindowProgress qtProgress(window);
        kvr::FakeShell shell;
        kvr::MainForm form(shown, window, shell, folder);
        window.SetEvents(&form);
        form.Load();
        window.show();
        // Above 500 sequences the window says that it shows the plot only: answered at once.
        QTimer answer;
        QObject::connect(&answer, &QTimer::timeout, [] {
            if (QWidget* box = QApplication::activeModalWidget()) box->close();
        });
        answer.start(10);
        const double open = Seconds([&] { form.loadSession(path); });
        answer.stop();

        kvr::BinIdentities(state, qtProgress);
        const double column = Seconds(
            [&] { (void)kvr::FormatScoreColumns(state.SequenceList, state.IdentityMatrix, n); });
        const double matrix = Seconds([&] { (void)kvr::FormatScoreMatrix(state); });
        const double plot =
            Seconds([&] { (void)kvr::FormatPlotData(state, kvr::PlotDataHeader::UserFile); });
        const double all = Seconds([&] { (void)kvr::FormatAllSequences(state); });
        std::printf(
            "%5d sequences, %9zu identity lines, %6.1f MB: format %.3f s, write %.3f s, "
            "parse %.3f s, open in the Qt window %.3f s (%s)\n",
            n, static_cast<std::size_t>(n) * (n - 1) / 2, text.size() / 1e6, format, write, parse,
            open, n <= 500 ? "matrix drawn" : "plot shown");
        std::printf(
            "      exports: scores in column %.3f s, matrix %.3f s, plot data %.4f s, "
            "sequences %.3f s\n",
            column, matrix, plot, all);
        std::fflush(stdout);
    }
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    return 0;
}

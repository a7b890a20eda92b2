#include "platform/qt/help_window.h"

#include <QDialog>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <QtGlobal>

// A static library's resources are registered by hand, outside any namespace.
static void RegisterHelpPictures() {
    Q_INIT_RESOURCE(help);
}

namespace kvr {

namespace {

constexpr const char* kHelp = R"(
<h2>KVRv1: pairwise identity of nucleotide sequences</h2>
<p>Open or drop a FASTA file (<b>Ctrl+O</b>). In the <i>Alignment programs</i> window choose an
aligner and whether the sequences are ordered by a neighbour-joining tree, then press
<b>Run</b> (Alt+R). Every pair of sequences is aligned on its own; <b>Esc</b> or <b>Cancel</b>
stops the run and leaves the analysis on display as it was.</p>
<h3>Identity</h3>
<p>The identity of a pair is the share of identical symbols among the columns of its alignment
in which neither sequence has a gap (letters compared as they are written). Columns with a gap
do not count at all, so a fragment identical to part of a longer sequence scores 100&nbsp;%.
The built-in aligner follows MUSCLE&nbsp;5's pairwise method and gives MUSCLE's identities.</p>
<h3>The matrix and the plot</h3>
<p>Each cell is the identity of the sequences of its row and its column; hover over a cell to
read both names, the identity and its place; double-click it (or press <b>Enter</b> over it) to
see the alignment behind that identity, made again with the analysis's aligner, with each
sequence's coverage: copy it or save it as FASTA. <i>3 colour mode</i> colours by the two cut-offs;
<i>Plot</i> shows how the identities of all pairs are spread. The mouse wheel scrolls the
picture; <b>Ctrl</b> and the wheel zoom it.</p>
<p><img src=":/help/matrix_rrna5s_48.png" width="420"></p>
<p><img src=":/help/plot_rrna5s_48.png" width="420"></p>
<h3>Saving</h3>
<p><b>Ctrl+S</b> saves the session (".kvr"), which opens again without aligning. The Save menu
writes the identity tables, the pictures (EMF, BMP, SVG, PDF) and the sequences, and splits
them into FASTA datasets by an identity range. <i>Recent</i> opens the files opened last.</p>
<p>Click the status line to read a message in full, with its details.</p>
)";

}  // namespace

void ShowHelp(QWidget* parent) {
    static QDialog* help = nullptr;
    if (help == nullptr) {
        RegisterHelpPictures();
        help = new QDialog(parent);
        help->setWindowTitle(QStringLiteral("KVRv1 help"));
        help->resize(560, 640);
        auto* text = new QTextBrowser(help);
        text->setHtml(QString::fromUtf8(kHelp));
        auto* layout = new QVBoxLayout(help);
        layout->addWidget(text);
    }
    help->show();
    help->raise();
    help->activateWindow();
}

}  // namespace kvr

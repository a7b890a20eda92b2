#include "ui/alignment_viewer.h"

#include "io/file_io.h"
#include "io/number_text.h"
#include "io/text.h"
#include "model/bounded_pairs.h"
#include "pictures/matrix_canvas.h"
#include "pipeline/alignment_text.h"
#include "pipeline/builtin_pairs.h"
#include "pipeline/external_programs.h"
#include "pipeline/pair_alignment.h"
#include "pipeline/run_options.h"
#include "ui/save_dialog.h"

namespace kvr {

namespace {

// The records the pair is aligned from, and the two records' places among them. After a run,
// the input in its own order: the run aligned the earlier record first. A session keeps only the
// display order, which is then used.
struct PairSource {
    const RecordTable* records = nullptr;
    int first = 0;
    int second = 0;
};

PairSource SourceOf(const RunState& state, int row, int column) {
    const auto inInput = [&](int shown) {
        if (static_cast<std::size_t>(shown) >= state.treeOrder.size()) return -1;
        const int k = state.treeOrder[static_cast<std::size_t>(shown)];
        const bool same = k >= 0 && static_cast<std::size_t>(k) < state.InputSequences.size() &&
                          state.InputSequences[static_cast<std::size_t>(k)] ==
                              state.SequenceList[static_cast<std::size_t>(shown)];
        return same ? k : -1;
    };
    const int i = inInput(row), j = inInput(column);
    if (i >= 0 && j >= 0 && i != j) return {&state.InputSequences, i, j};
    return {&state.SequenceList, row, column};
}

std::string AlignedBy(Aligner kind) {
    return kind == Aligner::Builtin ? std::string(kBuiltinCommand) : AlignerTitle(kind);
}

// bounded: the pair was aligned in a bounded band, by the run or here.
AlignmentView ViewOf(MainForm& form, const AlignedPair& pair, const Record& first,
                     const Record& second, const std::string& aligner, float shownIdentity,
                     bool bounded) {
    AlignmentView view;
    const std::string name1 = ReplaceAll(first.name, ">", ""),
                      name2 = ReplaceAll(second.name, ">", "");
    view.title = name1 + " / " + name2 + " - alignment";
    view.heading = "1: " + first.name + "\n2: " + second.name + "\naligned by " + aligner +
                   (bounded ? std::string(" in a ") + kBoundedPairMark : std::string()) + "\n" +
                   FormatAlignmentSummary(pair, first.name, second.name);
    if (shownIdentity != pair.identity)
        view.heading += "the matrix shows " + FormatDecimals(100.0 * shownIdentity, 2) +
                        " %: its analysis aligned this pair otherwise\n";
    const std::vector<PairViewBlock> blocks =
        PairViewBlocks(first.name, pair.first, second.name, pair.second);
    for (const PairViewBlock& block : blocks)
        view.blocks.push_back({block.firstLine, block.matchLine, block.secondLine, block.rowStart});
    view.text = view.heading + "\n" + FormatPairView(blocks);
    const std::string fasta = FormatAlignedFasta(first.name, pair.first, second.name, pair.second);
    // The viewer outlives the handler: the form and the window live as long as the program.
    view.save = [&form, fasta] {
        Window& window = form.window;
        if (form.Working()) {
            window.ShowMessage(
                "The alignment can be saved once the work in progress has finished.");
            return;
        }
        const std::string name = AskSaveName(form.state, window, ".fas");
        if (name.empty()) return;
        const std::string path = WithSuffix(name, ".fas");
        if (const Result<void> written = WriteWholeFile(path, fasta); !written) {
            window.ShowMessage(WriteFailureMessage(path, written.problem()));
            return;
        }
        RememberFolderOf(form.state, name);
    };
    return view;
}

}  // namespace

void OpenCellAlignment(MainForm& form, double x, double y) {
    const RunState& state = form.state;
    const WindowView& shown = form.shown;
    if (!shown.ShowsAnalysis() || shown.view != AnalysisView::Matrix || !state.FitsOnScreen())
        return;
    const std::optional<MatrixCell> cell = MatrixCellAt(shown.drawnCells, x, y);
    const int n = static_cast<int>(state.SequenceList.size());
    if (!cell || cell->row >= n || cell->column >= n || cell->row == cell->column) return;

    // The analysis's aligner; a session does not say which made it, and the built-in aligner
    // gives MUSCLE's alignments.
    const Aligner kind = state.choices.AlignerKind.value_or(Aligner::Builtin);
    AlignerConfigLoad programs;
    if (IsExternal(kind)) {
        programs = LoadAlignerConfig(form.programFolder);
        std::vector<std::string> problems = programs.problems;
        if (problems.empty()) problems = CheckRunPrograms(programs.config, kind, false);
        if (!problems.empty()) {
            std::string message;
            for (const std::string& problem : problems)
                message += (message.empty() ? "" : "\n") + problem;
            form.window.ShowMessage(message);
            return;
        }
        form.shell.Stop().Clear();  // a cancel of an earlier run is not this alignment's
    }

    const PairSource source = SourceOf(state, cell->row, cell->column);
    const Record& first = (*source.records)[static_cast<std::size_t>(source.first)];
    const Record& second = (*source.records)[static_cast<std::size_t>(source.second)];
    form.window.SetBusy(true);
    PairAlignmentSetup setup{form.shell, programs.config, form.WorkFolder()};
    setup.pairMemoryMegabytes = form.pairMemoryMegabytes;
    const AlignedPair pair =
        AlignRecordPair(setup, kind, *source.records, source.first, source.second);
    form.window.SetBusy(false);
    if (!pair.outcome.Ok()) {
        form.window.ShowMessage("The alignment of " + ReplaceAll(first.name, ">", "") + " and " +
                                ReplaceAll(second.name, ">", "") + " could not be made by " +
                                AlignedBy(kind) + ": " + pair.outcome.problem().message + ".");
        return;
    }
    const bool bounded = IsBoundedPair(state, cell->row, cell->column) || !pair.counts.exact;
    form.window.ShowAlignment(ViewOf(form, pair, first, second, AlignedBy(kind),
                                     state.IdentityMatrix(cell->row, cell->column), bounded));
}

}  // namespace kvr

#include "pipeline/tree_order.h"

#include <numeric>
#include <unordered_map>

#include "io/file_io.h"
#include "io/program_folder.h"
#include "io/text.h"
#include "io/tree_input.h"
#include "pipeline/all_pairs.h"
#include "pipeline/external_programs.h"
#include "pipeline/run_aligner.h"

namespace kvr {

namespace {

constexpr const char* kTreeLog = "RunNeighbor.log";

// The tree program's outcome, with what it said when it failed.
Result<void> RunTreeProgram(const RunContext& context) {
    const ShellOutcome run = context.shell.Run(
        "exec </dev/null >" + std::string(kTreeLog) + " 2>&1; " + TreeCommand(context.programs),
        context.exchangeFolder);
    const std::string logPath = JoinPath(context.exchangeFolder, kTreeLog);
    const auto log = ReadWholeFile(logPath);
    DeleteFileQuietly(logPath);
    if (run.status == ShellOutcome::Status::Stopped)
        return Problem{"the run was cancelled", ProblemKind::Cancelled};
    if (run.status != ShellOutcome::Status::Ended)
        return Problem{"the tree script could not be started: " + run.message,
                       ProblemKind::NotStarted};
    if (run.exitCode == 0) return {};

    // The last line that says what went wrong, else the last line.
    std::string said;
    if (log) {
        std::size_t start = 0;
        while (start < log->size()) {
            auto end = log->find('\n', start);
            if (end == std::string::npos) end = log->size();
            std::string line = RemoveAll(std::string_view(*log).substr(start, end - start), "\r\t");
            start = end + 1;
            if (line.empty()) continue;
            if (said.empty() || ContainsTextIgnoreCase(line, "error") ||
                !ContainsTextIgnoreCase(said, "error"))
                said = line.size() > 200 ? line.substr(0, 200) + "..." : line;
        }
    }
    return Problem{"the tree program failed (exit status " + std::to_string(run.exitCode) + ")" +
                       (said.empty() ? "" : ": " + said),
                   run.exitCode == 127 ? ProblemKind::NotFound : ProblemKind::Failed};
}

}  // namespace

std::string FormatTreeConfig(int n) {
    std::string text = "O";
    text.append(kLineEnd)
        .append(std::to_string(n + 1))
        .append(kLineEnd)
        .append("Y")
        .append(kLineEnd);
    return text;
}

Result<std::vector<int>> ReadTreeOrder(std::string_view treeText,
                                       const std::vector<std::string>& treeNames) {
    const auto fail = [](std::string why) { return Problem{std::move(why)}; };
    std::vector<std::string> taxa;
    taxa.reserve(treeNames.size());
    std::unordered_map<std::string, std::size_t> taxonOf;
    for (const std::string& name : treeNames) {
        taxa.push_back(TreeNameKey(name));
        if (const auto [known, added] = taxonOf.emplace(taxa.back(), taxa.size() - 1); !added)
            return fail("sequences " + std::to_string(known->second + 1) + " and " +
                        std::to_string(taxa.size()) + " have the same tree name '" + taxa.back() +
                        "', so the tree cannot tell them apart");
    }

    std::vector<int> order;
    std::vector<bool> seen(taxa.size(), false);
    std::size_t start = 0;
    while (start <= treeText.size()) {
        auto end = treeText.find(',', start);
        if (end == std::string_view::npos) end = treeText.size();
        std::string leaf = RemoveAll(treeText.substr(start, end - start), ")( \t\n\r");
        leaf = leaf.substr(0, leaf.find(':'));
        start = end + 1;

        const auto found = taxonOf.find(leaf);
        if (found == taxonOf.end())
            return fail("the leaf '" + PrintableText(leaf, 60) +
                        "' of the tree matches none of the sequences");
        const std::size_t b = found->second;
        if (seen[b])
            return fail("the leaf '" + PrintableText(leaf, 60) + "' appears twice in the tree");
        seen[b] = true;
        order.push_back(static_cast<int>(b));
    }
    if (order.size() != taxa.size())
        return fail("the tree has " + std::to_string(order.size()) + " leaves instead of " +
                    std::to_string(taxa.size()));
    if (order.back() != static_cast<int>(taxa.size()) - 1)
        return fail("the outgroup '" + taxa.back() + "' is not the last leaf of the tree");
    return order;
}

void ApplyDisplayOrder(RunState& state, const std::vector<int>& order) {
    const int n = state.seqCount;
    state.SequenceList.assign(static_cast<std::size_t>(n), Record{});
    for (int a = 0; a < n; ++a) state.SequenceList[a] = state.InputSequences[order[a]];
    // The table moves to the display order in place: a large analysis never holds two tables.
    state.IdentityMatrix = std::move(state.InputIdentity);
    state.InputIdentity = IdentityTable();
    state.IdentityMatrix.Reorder(order);
}

Result<void> OrderByTree(RunState& state, Progress& progress, const RunContext& context) {
    const int n = state.seqCount;
    const auto file = [&](const char* name) { return JoinPath(context.exchangeFolder, name); };
    progress.Step("Drawing tree");
    DeleteFileQuietly(file(kTreeReport));
    DeleteFileQuietly(file(kTreeFile));
    DeleteFileQuietly(file(kTreeConfig));

    // neighbor joins three taxa at least; one sequence and the outgroup have a single order.
    const bool single = n < 2;
    Result<void> outcome;
    const bool named = state.treeNames.size() == static_cast<std::size_t>(n) + 1;
    const auto distances = [&](std::ostream& out) {
        WriteDistanceFile(out, state.InputIdentity, state.treeNames, n);
        return static_cast<bool>(out);
    };
    if (single)
        DeleteFileQuietly(file(kDistanceFile));
    else if (!named)
        outcome = Problem{"the taxon names do not match the sequences", ProblemKind::BadOutput};
    else if (!WriteStreamedFile(file(kDistanceFile), distances, true))
        outcome = Problem{"the file " + file(kDistanceFile) + " cannot be written",
                          ProblemKind::NotStarted};
    else if (!WriteScratchFile(file(kTreeConfig), FormatTreeConfig(n)))
        outcome = Problem{"the file " + file(kTreeConfig) + " cannot be written",
                          ProblemKind::NotStarted};
    else
        outcome = RunTreeProgram(context);
    DeleteFileQuietly(file(kTreeReport));
    DeleteFileQuietly(file(kDistanceFile));
    DeleteFileQuietly(file(kTreeConfig));
    if (outcome.Is(ProblemKind::Cancelled)) {
        // The analysis on display stays as it was.
        DeleteFileQuietly(file(kTreeFile));
        progress.Step("Cancelled");
        return outcome;
    }

    progress.Step("Rearranging Sequences");
    state.treeNewick.clear();
    state.treeOrder.assign(static_cast<std::size_t>(n) + 1, 0);
    if (outcome.Ok() && state.treeNames.size() != static_cast<std::size_t>(n) + 1)
        outcome = Problem{"the taxon names do not match the sequences", ProblemKind::BadOutput};
    if (outcome.Ok() && !single) {
        if (const auto tree = ReadWholeFile(file(kTreeFile))) {
            Result<std::vector<int>> read = ReadTreeOrder(*tree, state.treeNames);
            if (read) {
                state.treeOrder = std::move(read).value();
                if (state.choices.useTree) state.treeNewick = *tree;
            } else {
                outcome = Problem{read.problem().message, ProblemKind::BadOutput};
            }
        } else {
            outcome = Problem{"the tree program wrote no \"outtree\"", ProblemKind::NoOutput};
        }
    }
    DeleteFileQuietly(file(kTreeFile));

    if (!state.choices.useTree || single || !outcome.Ok()) {
        if (state.choices.useTree && !outcome.Ok())
            progress.Message("The sequences could not be ordered by the tree: " +
                             outcome.problem().message + ". They are shown in their input order.");
        std::iota(state.treeOrder.begin(), state.treeOrder.end(), 0);
    }
    progress.Step("Saving scores");
    ApplyDisplayOrder(state, state.treeOrder);
    progress.Step("Completed");
    return outcome;
}

}  // namespace kvr

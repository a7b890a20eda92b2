// kvr split SESSION.kvr --min N --max M --out BASE: the dataset splitter of the window, headless.
// Writes BASE + " 1.fas", BASE + " 2.fas", ... through kvr's output step and prints the files
// written, one per line; with --out - the datasets go to standard output one after another.
// kvr split SESSION.kvr --groups [--groups-at T] [--linkage L] --out BASE writes every group at
// the threshold instead, to BASE + "_group1.fasta", ... by group number.
#include <iostream>

#include "app/cli/command_tables.h"
#include "app/command_log.h"
#include "app/console_progress.h"
#include "app/kvr_arguments.h"
#include "app/kvr_commands.h"
#include "app/kvr_outputs.h"
#include "app/kvr_signals.h"
#include "io/dataset_splitter.h"
#include "io/file_io.h"
#include "io/session_reading.h"
#include "model/threshold_groups.h"
#include "pipeline/pair_table.h"
#include "pipeline/run_pipeline.h"

#include <unistd.h>

namespace kvr::cli {

int Split(const Arguments& args, CommandLog& log) {
    SplitRequest request;
    const CommandTable table = SplitTable(request);
    const std::string name = "kvr split";
    if (const auto status = ReadCommandLine(table, args)) return *status;
    if (request.groups && (!request.minText.empty() || !request.maxText.empty()))
        return UsageError(table, "--groups takes the place of --min and --max");
    if (!request.groups && (request.thresholdGiven || request.linkage != Linkage::Complete))
        return UsageError(table, "--groups-at and --linkage need --groups");
    if (!request.groups && request.minText.empty()) return UsageError(table, "--min N is needed");
    if (!request.groups && request.maxText.empty()) return UsageError(table, "--max M is needed");
    const auto fileName = request.groups ? GroupFileName : DatasetFileName;
    const bool toStandardOutput = request.base == kStandardOutput;
    // The first dataset's file stands for all: they share the folder.
    const std::string firstFile = toStandardOutput ? "" : fileName(request.base, 1);
    std::vector<std::string> outputs;
    if (!toStandardOutput) outputs.push_back(firstFile);
    if (const Result<void> checked = CheckNaming({request.session}, outputs, request.messages.log);
        !checked)
        return UsageError(table, checked.problem().message);
    if (const Result<void> opened = log.Open(request.messages.log, name, args); !opened)
        return Failure(name, opened.problem().message);
    const auto minPercent = ReadWholePercent(request.minText);
    const auto maxPercent = ReadWholePercent(request.maxText);
    if (!request.groups && (!minPercent || !maxPercent))
        return Failure(name, "--min and --max must be numbers from 0 to 100");
    if (!toStandardOutput)
        if (const Result<void> writable = CheckOutput(firstFile); !writable)
            return Failure(name, writable.problem().message);

    RunState state;
    ConsoleProgress progress(log.Console(), name, request.messages.quiet, log.Terminal(),
                             log.File());
    if (!ReadSession(state, progress, request.session)) return 1;
    AnalyseSession(state, progress);
    IdentityGroups groups;
    std::vector<int> datasets;
    if (request.groups) {
        std::vector<std::string> names;
        for (const Record& record : state.SequenceList) names.push_back(TableName(record));
        const Grouping grouping = GroupAtThreshold(
            IdentityView(state.IdentityMatrix), names,
            request.thresholdGiven ? request.threshold : state.cutoff1, request.linkage);
        groups = NumberedGroups(grouping.groupOf, grouping.sizes);
        for (int k = 0; k < groups.Count(); ++k) datasets.push_back(k);
    } else {
        if (const Result<void> range = CheckSplitRange(state, *minPercent, *maxPercent); !range) {
            progress.Message(range.problem().message);
            return 1;
        }
        groups =
            GroupByIdentityRange(state.IdentityMatrix, state.seqCount, *minPercent, *maxPercent);
        datasets = DatasetGroups(groups);
    }
    StopRequest stop;
    const StopOnSignals signals(stop);
    std::vector<std::string> files;
    bool written = true;
    for (std::size_t d = 0; d < datasets.size() && written && signals.Signal() == 0; ++d) {
        const std::string path = toStandardOutput ? std::string(kStandardOutput)
                                                  : fileName(request.base, static_cast<int>(d) + 1);
        written = WriteTextOutput(
            path,
            [&](std::ostream& out) {
                WriteGroup(out, state, groups, datasets[d]);
                return true;
            },
            std::cerr);
        if (written && !toStandardOutput) files.push_back(path);
    }
    progress.Flush();
    if (signals.Signal() != 0)
        return signals.Cancelled(name, "the datasets not yet written were left as they were");
    for (const std::string& file : files) std::cout << file << "\n";
    return written ? 0 : 1;
}

}  // namespace kvr::cli

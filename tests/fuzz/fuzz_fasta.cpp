// The FASTA loader through the recording window: a load is a sound table or a refusal, and an
// append that fails changes nothing.
#include <algorithm>

#include "fakes/recording_window.h"
#include "fuzz/fuzz_check.h"
#include "io/fasta.h"

namespace {

using kvr::Record;
using kvr::RunState;

void CheckLoaded(const RunState& state) {
    FUZZ_CHECK(state.seqCount >= 2);
    FUZZ_CHECK(state.InputSequences.size() == static_cast<std::size_t>(state.seqCount));
    std::size_t longest = 0;
    for (const Record& record : state.InputSequences) {
        FUZZ_CHECK(!record.name.empty() && record.name[0] == '>');
        FUZZ_CHECK(record.name.find_first_of("\n\r\t\b- :/\\()") == std::string::npos);
        FUZZ_CHECK(record.residues.find_first_not_of(' ') != std::string::npos);
        FUZZ_CHECK(record.residues.find_first_of("\n\r\t\b->") == std::string::npos);
        longest = std::max(longest, record.name.size());
    }
    FUZZ_CHECK(static_cast<std::size_t>(state.maxNameLen) == longest);
}

void CheckReport(const kvr::FastaReport& report) {
    for (const kvr::FastaWarning& warning : report.warnings) {
        FUZZ_CHECK(warning.line >= 1);
        FUZZ_CHECK(kvr::fuzz::Printable(warning.text));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto [first, second] = kvr::fuzz::SplitInput(kvr::fuzz::AsText(data, size));
    RunState state;
    kvr::RecordingWindow window;
    const kvr::InputText loadInput = kvr::ExamineInput(std::string(first));
    kvr::FastaReport loadReport;
    const kvr::LoadEnd loaded =
        kvr::LoadFasta(state, window.progress, "load.fas", {&loadInput, &loadReport});
    FUZZ_CHECK(window.messages.size() <= 1);
    for (const std::string& message : window.messages) FUZZ_CHECK(!message.empty());
    if (loaded != kvr::LoadEnd::Loaded) {
        // Refused: said once, in the window's failure state.
        FUZZ_CHECK(window.messages.size() == 1);
        FUZZ_CHECK(window.Caption(kvr::Control::lblProgress) == "Failed");
        return 0;
    }
    FUZZ_CHECK(window.messages.empty());
    CheckLoaded(state);
    CheckReport(loadReport);

    // The loaded records shown in input order, as after a run, then an append.
    state.SequenceList = state.InputSequences;
    const RunState before = state;
    const kvr::InputText appendInput = kvr::ExamineInput(std::string(second));
    kvr::FastaReport appendReport;
    window.messages.clear();
    const kvr::LoadEnd appended =
        kvr::AppendFasta(state, window.progress, "append.fas", {&appendInput, &appendReport});
    if (appended != kvr::LoadEnd::Loaded) {
        FUZZ_CHECK(window.messages.size() == 1);
        FUZZ_CHECK(state.seqCount == before.seqCount);
        FUZZ_CHECK(state.InputSequences == before.InputSequences);
        FUZZ_CHECK(state.SequenceList == before.SequenceList);
        FUZZ_CHECK(state.maxNameLen == before.maxNameLen);
        return 0;
    }
    FUZZ_CHECK(window.messages.empty());
    FUZZ_CHECK(state.seqCount == before.seqCount + state.appendCount);
    FUZZ_CHECK(std::equal(before.SequenceList.begin(), before.SequenceList.end(),
                          state.InputSequences.begin()));
    CheckLoaded(state);
    CheckReport(appendReport);
    return 0;
}

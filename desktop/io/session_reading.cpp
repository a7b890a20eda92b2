#include "io/session_reading.h"

#include "io/input_file.h"
#include "io/mapped_file.h"
#include "io/progress_meter.h"
#include "io/session_file.h"
#include "io/unpacker.h"

namespace kvr {

namespace {

// Sessions up to this size are read whole.
constexpr std::size_t kWholeReadLimit = 64 << 20;

constexpr const char* kBracketsMessage =
    "The KVR file loaded is corrupted, the alignment should be enclosed in three pairs of square "
    "brackets [[[ ]]]";
constexpr const char* kNoSequenceMessage =
    "The KVR file loaded may be corrupted, the was no DNA sequence in FASTA format found.";

// The message of a refused session, as the window shows it.
std::string RefusalMessage(const SessionContent& content, const std::string& path) {
    switch (content.fault) {
        case SessionFault::NoBrackets:
            return kBracketsMessage;
        case SessionFault::NoSequence:
            return kNoSequenceMessage;
        default:
            // What the reader found, after the usual text: where the file went wrong, and how.
            return "Failed to read " + path + ". The file might be corrupted, please try another." +
                   (content.detail.empty() ? "" : " (" + content.detail + ")");
    }
}

}  // namespace

bool ReadSession(RunState& state, Progress& progress, const std::string& path) {
    progress.Step("Reading KVR file ...");
    // A large plain session is read through a mapping whose pages are given back as the reading
    // moves on; any other file (small, compressed, unreadable, binary: said to be so, with the
    // reason) is read whole first.
    MappedFile mapped(path);
    const bool streamed = mapped.Ok() && mapped.Text().size() > kWholeReadLimit &&
                          !IsCompressed(mapped.Text().substr(0, kMagicLength)) &&
                          !LooksBinary(mapped.Text().substr(0, 65536));
    const InputText input = streamed ? InputText{} : ReadInputFile(path);
    const std::optional<std::string_view> text =
        streamed     ? std::optional<std::string_view>(mapped.Text())
        : input.text ? std::optional<std::string_view>(*input.text)
                     : std::nullopt;

    ProgressMeter meter(progress);
    SessionStage shownStage = SessionStage::RecordsDone;
    SessionContent content;
    if (text) {
        content = ParseSession(
            *text,
            [&](SessionStage stage, double done, double total) {
                if (stage != shownStage) {
                    progress.Step(stage == SessionStage::Records       ? "Loading sequences"
                                  : stage == SessionStage::RecordsDone ? "Sequences loaded"
                                                                       : "Loading identity scores");
                    if (stage == SessionStage::RecordsDone) progress.Percent(0);
                    meter.Reset();
                    shownStage = stage;
                }
                if (stage != SessionStage::RecordsDone) meter.Show(done, total);
            },
            [&mapped](std::size_t bytes) { mapped.Release(bytes); });
    } else {
        content.fault = SessionFault::Corrupted;
    }
    if (content.fault != SessionFault::None) {
        progress.Message(text ? RefusalMessage(content, path)
                              : "Failed to read " + path + ": " + input.problem + ".");
        progress.End("Failed");
        return false;
    }

    const int n = static_cast<int>(content.records.size());
    state.seqCount = n;
    state.SequenceList = std::move(content.records);
    state.IdentityMatrix = std::move(content.identity);
    state.maxNameLen = content.maxNameLen;
    state.provenance = std::move(content.provenance);
    state.boundedPairs = std::move(content.boundedPairs);  // a session's order is its input order
    progress.End("Identity scores loaded");
    return true;
}

}  // namespace kvr

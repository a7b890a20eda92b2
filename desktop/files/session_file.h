// The session file (".kvr"): the sequences in display order as FASTA text enclosed in "[[[" and
// "]]]", then the lower triangle of the identities row by row, one plain single text a line, every
// line ended by CR LF. This unit only turns tables into text and back; session.h reads and writes
// files through the window.
#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <string_view>

#include "state/run_state.h"

namespace kvr {

inline constexpr const char* kSessionExtension = ".kvr";
inline constexpr const char* kLastRunName = "LastRun.kvr";

// The session of the first n records and identities, written as it is formatted.
void WriteSessionText(std::ostream& out, const RecordTable& records, const IdentityTable& identity,
                      int n);
std::string FormatSession(const RecordTable& records, const IdentityTable& identity, int n);

enum class SessionFault {
    None,
    NoBrackets,  // "[[[" or "]]]" missing
    NoSequence,  // no ">" anywhere
    Corrupted,   // a line missing or extra, a truncated file, an identity that is not 0 to 1
};

struct SessionContent {
    SessionFault fault = SessionFault::None;
    std::string detail;  // where and what, for kvr's messages; empty when None
    RecordTable records;
    IdentityTable identity;  // symmetric, diagonal 1
    int maxNameLen = 0;
};

// The stages of a read, for the window's status texts.
enum class SessionStage { Records, RecordsDone, Identities };

// Reads a session text (lines ended by CR LF or LF alone). Nothing is guessed: a file that is not
// exactly a session is refused with its fault. progress(stage, done, total) runs as it goes;
// release(bytes) now and then, with the length of the text's start that is not read again.
SessionContent ParseSession(
    std::string_view text,
    const std::function<void(SessionStage stage, double done, double total)>& progress = {},
    const std::function<void(std::size_t bytes)>& release = {});

}  // namespace kvr

// The session file (".kvr"): the sequences in display order as FASTA text enclosed in "[[[" and
// "]]]", then the lower triangle of the identities row by row, one plain single text a line, every
// line ended by CR LF. This unit only turns tables into text and back; session.h reads and writes
// files through the window.
//
// How the identities were made (model/provenance.h) follows the last identity line, when it is
// known, as lines that start with "#": "#kvr-provenance<TAB>1", then one "#key<TAB>value" line a
// key, and "#tree<TAB>" and the Newick tree when a tree ordered the sequences. It goes there
// because a reader of the original layout reads exactly n(n-1)/2 identity lines after the
// sequences and stops: such a reader opens these sessions as before and never sees the record.
// A value holds no tab or line end: "\\", "\t", "\n" and "\r" stand for a backslash, a tab, an
// LF and a CR, and a "]" that follows a "]" is written "\]", so that no "]]]" ever follows the
// sequences' own (which the reader finds as the last "]]]" of the file). The pairs that the
// built-in aligner computed in a bounded band follow the record's keys as one line of its own
// (io/session_marks.h), before the tree.
#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "model/bounded_pairs.h"
#include "model/provenance.h"
#include "model/run_state.h"

namespace kvr {

inline constexpr const char* kSessionExtension = ".kvr";
inline constexpr const char* kLastRunName = "LastRun.kvr";

// The session of the first n records and identities, written as it is formatted, and the record
// of how they were made and the pairs aligned in a bounded band (by their places among the
// records) when either is known (nothing more when neither is: the layout of old).
void WriteSessionText(std::ostream& out, const RecordTable& records, const IdentityTable& identity,
                      int n, const Provenance& provenance = {},
                      const std::vector<IndexPair>& bounded = {});
std::string FormatSession(const RecordTable& records, const IdentityTable& identity, int n,
                          const Provenance& provenance = {},
                          const std::vector<IndexPair>& bounded = {});
// The session of an analysis: all of the above, in its display order.
void WriteSessionText(std::ostream& out, const Analysis& analysis);

// A value of the record as the session writes it: on one line, with no "]]]" (see above).
std::string EscapeProvenanceValue(std::string_view value);

enum class SessionFault {
    None,
    NoBrackets,  // "[[[" or "]]]" missing
    NoSequence,  // no ">" anywhere
    Corrupted,   // a line missing or extra, a truncated file, an identity that is not 0 to 1,
                 // a damaged record of how the identities were made
};

struct SessionContent {
    SessionFault fault = SessionFault::None;
    std::string detail;  // where and what, for kvr's messages; empty when None
    RecordTable records;
    IdentityTable identity;  // symmetric, diagonal 1
    int maxNameLen = 0;
    Provenance provenance;  // empty when the session keeps none (written before sessions did)
    std::vector<IndexPair> boundedPairs;  // by their places among records
};

// The stages of a read, for the window's status texts.
enum class SessionStage { Records, RecordsDone, Identities };

// Reads a session text (lines ended by CR LF or LF alone). Nothing is guessed: a file that is not
// exactly a session is refused with its fault; after the identities only empty lines and the
// record's "#" lines may follow. progress(stage, done, total) runs as it goes;
// release(bytes) now and then, with the length of the text's start that is not read again.
SessionContent ParseSession(
    std::string_view text,
    const std::function<void(SessionStage stage, double done, double total)>& progress = {},
    const std::function<void(std::size_t bytes)>& release = {});

}  // namespace kvr

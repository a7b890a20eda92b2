// The score column layout: a header, then one line per pair "name,name,identity" with the
// identity as the plain single text. Used by the append run's work-folder table and by kvr.
#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <string_view>

#include "model/run_state.h"

namespace kvr {

inline constexpr std::string_view kScoreColumnHeader =
    "First Sequence,Second Sequence,Identity Score";

// One line with its CR LF.
std::string ScoreColumnLine(std::string_view firstName, std::string_view secondName,
                            float identity);

// The header and every pair i < j of the n records, in the order of the records, written as it is
// formatted. progress(done, total) runs before each pair.
void WriteScoreColumns(std::ostream& out, const RecordTable& records, const IdentityTable& identity,
                       int n, const std::function<void(double done, double total)>& progress = {});
std::string FormatScoreColumns(const RecordTable& records, const IdentityTable& identity, int n,
                               const std::function<void(double done, double total)>& progress = {});

}  // namespace kvr

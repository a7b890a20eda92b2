// What kvr run, kvr pairs and kvr merge share beyond the argument reader: the number options of a
// run and the display order they print.
#pragma once

#include <ostream>
#include <string>

#include "state/run_state.h"

namespace kvr::cli {

// The whole text as a number: "8" for --jobs.
bool ParseWhole(const std::string& text, int& value);

// A number of seconds above 0: "2.5" for --pair-timeout.
bool ParseSeconds(const std::string& text, double& value);

// The display order, one line per sequence: its number in the input, a tab, its name line. False
// when the stream could not take it.
bool PrintDisplayOrder(const RunState& state, std::ostream& out);

}  // namespace kvr::cli

// Text operations shared by the FASTA reader, the aligned-pair reader and the writers. Positions
// are 1-based, as in the program's text functions.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kvr {

// Every occurrence of find replaced (left to right, no overlap, exact), then spaces trimmed from
// both ends. An empty text comes back unchanged.
std::string ReplaceAll(std::string_view text, std::string_view find, std::string_view replacement);

// Every occurrence of each character of chars removed in one pass, then spaces trimmed from both
// ends: the same result as one ReplaceAll(text, c, "") per character, without the extra passes.
std::string RemoveAll(std::string_view text, std::string_view chars);

std::string TrimSpaces(std::string_view text);

// 1-based position of the first line feed at or after start, or 0 when there is none.
std::size_t FindLineEnd(std::string_view text, std::size_t start);

// Scans start..end: at the first ">" at position p returns p - 1; reaching the end returns
// length + 1; a start beyond the end returns 0.
std::size_t FindRecordEnd(std::string_view text, std::size_t start);

// " ", ":", "/", "\", "(" and ")" each become "_".
std::string CleanName(std::string_view line);

// The text as a terminal may show it: control characters other than line feeds and tabs become
// "\xNN", and a text longer than maxBytes is cut there and ends in "...".
std::string PrintableText(std::string_view text, std::size_t maxBytes = std::string_view::npos);

bool ContainsText(std::string_view text, std::string_view part);
bool ContainsTextIgnoreCase(std::string_view text, std::string_view part);

}  // namespace kvr

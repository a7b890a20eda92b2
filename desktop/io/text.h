// Text operations shared by the FASTA reader, the aligned-pair reader and the writers.
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

// " ", ":", "/", "\", "(" and ")" each become "_".
std::string CleanName(std::string_view line);

// The text as a terminal may show it: control characters other than line feeds and tabs become
// "\xNN", and a text longer than maxBytes is cut there and ends in "...".
std::string PrintableText(std::string_view text, std::size_t maxBytes = std::string_view::npos);

bool ContainsText(std::string_view text, std::string_view part);
bool ContainsTextIgnoreCase(std::string_view text, std::string_view part);

}  // namespace kvr

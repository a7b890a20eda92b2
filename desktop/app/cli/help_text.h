// The help of kvr and its man pages, written from the commands' option tables: the usage line,
// the text of --help, and troff for man(1). Text is wrapped by whole words, one option a row.
#pragma once

#include <string>
#include <vector>

#include "app/cli/option_table.h"

namespace kvr::cli {

// "usage: kvr run INPUT.fasta [options]\n", with the options the command cannot run without.
std::string FormatUsage(const CommandTable& table);

// The whole help of one command: usage, description, operands, options by group, sections.
std::string FormatHelp(const CommandTable& table);

// kvr --help: every command with its operands and summary, then the sections that hold for all.
std::string FormatOverview(const std::vector<CommandTable>& tables,
                           const std::vector<HelpSection>& sections);

// Where a man page comes from besides the tables: kvr's version, the date of the release, and
// the further sections of kvr.1 ("[FILES]" and its troff, ...).
struct ManPageSource {
    std::string version;
    std::string date;
    std::string extraSections;  // "[NAME]\ntroff lines\n..." as a help2man include file has them
};

// kvr-COMMAND.1.
std::string FormatManPage(const CommandTable& table, const ManPageSource& source);

// kvr.1: the commands, the options of kvr itself, the sections that hold for all commands, and
// the extra sections.
std::string FormatOverviewManPage(const std::vector<CommandTable>& tables,
                                  const std::vector<HelpSection>& sections,
                                  const ManPageSource& source);

}  // namespace kvr::cli

// The option table of every command of kvr: what it reads from its command line, into which
// request, with which help. The help, the man pages and the parser are made from these.
#pragma once

#include <string_view>
#include <vector>

#include "app/cli/option_table.h"
#include "app/cli/requests.h"

namespace kvr::cli {

CommandTable RunTable(RunRequest& request);
CommandTable AppendTable(RunRequest& request);
CommandTable ShowTable(ShowRequest& request);
CommandTable SplitTable(SplitRequest& request);
CommandTable PairsTable(PairsRequest& request);
CommandTable MergeTable(MergeRequest& request);
CommandTable IdentityFileTable(IdentityRequest& request);
CommandTable AlignTable(AlignRequest& request);
CommandTable InfoTable(InfoRequest& request);

// A request of every command, for describing the commands without running one.
struct AnyRequest {
    RunRequest run;
    RunRequest append;
    ShowRequest show;
    SplitRequest split;
    PairsRequest pairs;
    MergeRequest merge;
    IdentityRequest identity;
    AlignRequest align;
    InfoRequest info;
};

// Every command's table, in the order kvr --help lists them, filling the requests of `requests`.
std::vector<CommandTable> CommandTables(AnyRequest& requests);

// What holds for every command, for kvr --help and kvr.1: the exit status.
std::vector<HelpSection> CommonSections();

}  // namespace kvr::cli

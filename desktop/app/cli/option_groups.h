// The groups of options that several commands of kvr share, so that an option has one name, one
// help text and one meaning wherever it appears.
#pragma once

#include "app/cli/option_table.h"
#include "app/cli/requests.h"

namespace kvr::cli {

// --aligner, --threads (--jobs), --pair-timeout, --alphabet, --pair-memory and --ambiguous.
OptionGroup AlignerGroup(RunOptions& options);

// --aligner alone.
OptionRow AlignerRow(RunOptions& options);

// --alphabet: the built-in aligner's model.
OptionRow AlphabetRow(RunOptions& options);

// --ambiguous: the columns every aligner's identity compares.
OptionRow AmbiguousRow(RunOptions& options);

// --pair-memory: the built-in aligner's memory a pair.
OptionRow PairMemoryRow(RunOptions& options);

// --tree.
OptionRow TreeRow(RunOptions& options);

// The text outputs of an analysis: --scores, --table, --session, --matrix-text, --plot-data,
// --sequences.
OptionGroup TextOutputGroup(OutputRequest& outputs);

// The exports for other programs: --groups, --groups-at, --linkage, --square, --phylip,
// --display-order, and --newick where the command can make a tree.
OptionGroup ExportGroup(ExportRequest& exports, bool withNewick);

// --newick of kvr show: the tree a session keeps.
OptionRow KeptNewickRow(ExportRequest& exports);

// --groups-at with one threshold (kvr split --groups) and --linkage.
OptionRow GroupThresholdRow(float& threshold, bool& given);
OptionRow LinkageRow(Linkage& linkage);

// The colouring of the matrix and the pictures: --mode, --palette, --cutoffs, --matrix-...,
// --plot-....
OptionGroup PictureGroup(PictureRequest& pictures, RunOptions& options);

// --quiet and --log.
OptionGroup MessageGroup(MessageOptions& messages);

// The input FASTA file: the operand INPUT.fasta.
OperandRow InputOperand(std::string& input);

// The session file operand SESSION.kvr.
OperandRow SessionOperand(std::string& session);

}  // namespace kvr::cli

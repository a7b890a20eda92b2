// The one walk over FASTA text: a record at a time, as views into the text, with where each
// starts for messages. The loader, the check of an aligner's output, the scan of the names as a
// file gives them and the session reader all take their records from here; each keeps its own
// refusals.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

namespace kvr {

// The lines of a text, each without its line feed and one carriage return before it (or at the
// end of the text).
class TextLines {
  public:
    // From position on, numbering the lines after the `read` lines before it.
    explicit TextLines(std::string_view text, std::size_t position = 0, std::size_t read = 0)
        : text_(text), position_(position), number_(read) {}

    bool Next(std::string_view& line) {
        if (position_ >= text_.size()) return false;
        const auto end = text_.find('\n', position_);
        const auto stop = end == std::string_view::npos ? text_.size() : end;
        line = text_.substr(position_, stop - position_);
        ended_ = end != std::string_view::npos;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        position_ = stop + 1;
        ++number_;
        return true;
    }
    // The number of the last line read, counted from 1 (0 before any).
    std::size_t Number() const { return number_; }
    std::size_t Position() const { return std::min(position_, text_.size()); }
    std::size_t Remaining() const {
        return position_ >= text_.size() ? 0 : text_.size() - position_;
    }
    // The last line read had its line feed: a text cut short ends without one.
    bool Ended() const { return ended_; }

  private:
    std::string_view text_;
    std::size_t position_;
    std::size_t number_;
    bool ended_ = false;
};

enum class FastaLayout {
    // FASTA as files give it: every ">" starts a record, even inside a name line or among the
    // residues. The name line runs from its ">" to its line feed; the residues from the line
    // after it to the byte before the next ">" (its line feed, normally), or to the end of the
    // text. Text before the first ">" belongs to no record; marks on one name line make records
    // that share their residues.
    Marks,
    // The program's own form, inside a session: each record is exactly two lines, the name line
    // and the residue line, whatever they hold (a name line without its ">" is for the caller to
    // refuse), each without one carriage return at its end. A text that ends before both lines
    // yields no record.
    LinePairs,
};

struct FastaRecordRules {
    FastaLayout layout = FastaLayout::Marks;
    // Marks: one carriage return at the end of the name line (before its line feed, or at the
    // end of the text) is left out of it.
    bool dropCarriageReturn = false;
};

struct FastaRecord {
    std::string_view nameLine;  // its ">" included, its line end not
    // Marks: the bytes as the text has them, line feeds kept. LinePairs: the residue line.
    std::string_view residues;
    std::size_t offset = 0;      // of the name line in the text
    std::size_t line = 0;        // of the name line, counted from 1
    std::size_t end = 0;         // where the next record's text starts, or the text's length
    bool nameLineEnded = false;  // a line feed ends the name line
};

class FastaRecords {
  public:
    explicit FastaRecords(std::string_view text, FastaRecordRules rules = {})
        : text_(text), rules_(rules), lines_(text) {}

    // The next record; false at the end of the text.
    bool Next(FastaRecord& record);

    // LinePairs: the lines after the last record, numbered on from it.
    TextLines& Lines() { return lines_; }

  private:
    bool NextMark(FastaRecord& record);
    bool NextPair(FastaRecord& record);

    std::string_view text_;
    FastaRecordRules rules_;
    TextLines lines_;
    // Marks: where the search for the next ">" goes on, and the line of the last one.
    std::size_t position_ = 0;
    std::size_t line_ = 1;
    std::size_t counted_ = 0;  // line_ is the line of this position
    // The name line's line feed (npos: none) and the residues' end of the last mark: further
    // marks on that name line share them, so that a line of many ">" is walked once.
    std::size_t lineStop_ = std::string_view::npos;
    std::size_t nextMark_ = 0;
    bool haveLine_ = false;
};

// The records a Marks walk of the text yields: one per ">".
std::size_t CountFastaRecords(std::string_view text);

// The residues without their line feeds, appended to out.
void AppendWithoutLineFeeds(std::string_view residues, std::string& out);

}  // namespace kvr

#include "io/fasta_records.h"

namespace kvr {

bool FastaRecords::Next(FastaRecord& record) {
    return rules_.layout == FastaLayout::Marks ? NextMark(record) : NextPair(record);
}

bool FastaRecords::NextMark(FastaRecord& record) {
    constexpr auto npos = std::string_view::npos;
    const auto mark = position_ < text_.size() ? text_.find('>', position_) : npos;
    if (mark == npos) {
        position_ = text_.size();
        return false;
    }
    line_ += static_cast<std::size_t>(
        std::count(text_.begin() + static_cast<std::ptrdiff_t>(counted_),
                   text_.begin() + static_cast<std::ptrdiff_t>(mark), '\n'));
    counted_ = mark;
    position_ = mark + 1;

    if (!haveLine_ || (lineStop_ != npos && mark > lineStop_)) {
        haveLine_ = true;
        lineStop_ = text_.find('\n', mark);
        const auto start = lineStop_ == npos ? npos : lineStop_ + 1;
        nextMark_ =
            start >= text_.size() ? text_.size() : std::min(text_.find('>', start), text_.size());
    }
    const auto stop = lineStop_ == npos ? text_.size() : lineStop_;
    record.nameLine = text_.substr(mark, stop - mark);
    if (rules_.dropCarriageReturn && record.nameLine.ends_with('\r'))
        record.nameLine.remove_suffix(1);
    record.nameLineEnded = lineStop_ != npos;
    record.offset = mark;
    record.line = line_;
    record.end = nextMark_;
    record.residues = {};
    if (record.nameLineEnded) {
        // The byte before the next ">" ends the record: the line feed of its last line.
        const auto start = lineStop_ + 1;
        if (nextMark_ == text_.size())
            record.residues = text_.substr(std::min(start, text_.size()));
        else if (nextMark_ > start)
            record.residues = text_.substr(start, nextMark_ - 1 - start);
    }
    return true;
}

bool FastaRecords::NextPair(FastaRecord& record) {
    record.offset = lines_.Position();
    if (!lines_.Next(record.nameLine)) return false;
    record.nameLineEnded = lines_.Ended();
    record.line = lines_.Number();
    if (!lines_.Next(record.residues)) return false;
    record.end = lines_.Position();
    return true;
}

std::size_t CountFastaRecords(std::string_view text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '>'));
}

void AppendWithoutLineFeeds(std::string_view residues, std::string& out) {
    out.reserve(out.size() + residues.size());
    for (const char c : residues)
        if (c != '\n') out.push_back(c);
}

}  // namespace kvr

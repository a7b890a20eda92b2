#include "io/text_exports.h"

#include <cmath>
#include <functional>
#include <ostream>
#include <sstream>

#include "io/fasta.h"
#include "io/file_io.h"
#include "io/number_text.h"

namespace kvr {

void WriteScoreMatrix(std::ostream& out, const Analysis& analysis, const ExportProgress& progress) {
    const int n = analysis.seqCount;
    const double total = static_cast<double>(n) * n;
    double done = 0;
    for (int i = 0; i < n && out; ++i) {
        out << analysis.SequenceList[i].name;
        for (int j = 0; j < n; ++j) {
            if (progress) progress(done++, total);
            if (j <= i)
                out << ','
                    << FormatDecimals(static_cast<double>(analysis.IdentityMatrix(i, j)) * 100, 1);
        }
        out << kLineEnd;
    }
    out << kLineEnd;
}

void WriteScoreMatrix(std::ostream& out, const Analysis& analysis) {
    WriteScoreMatrix(out, analysis, {});
}

void WritePlotData(std::ostream& out, const Analysis& analysis, PlotDataHeader header) {
    const float n = static_cast<float>(analysis.seqCount);
    const float totalPairs = (n * n - n) / 2;
    out << (header == PlotDataHeader::UserFile
                ? "Percentage pairwise identity , Number of Identities from"
                : "Percentage pairwise identity , Number of identity from")
        << PlainSingle(totalPairs) << " pairwise identity, Propotion" << kLineEnd;
    for (int b = 0; b < 100 && b < static_cast<int>(analysis.BinArray.size()); ++b)
        out << b + 1 << ',' << PlainSingle(analysis.BinArray[b][0]) << ','
            << PrintedSingle(analysis.BinArray[b][1]) << kLineEnd;
}

void WriteAllSequences(std::ostream& out, const Analysis& analysis) {
    for (int i = 0; i < analysis.seqCount && out; ++i)
        out << FormatFastaRecord(analysis.SequenceList[i]);
}

std::string FormatScoreMatrix(const Analysis& analysis) {
    std::ostringstream text;
    WriteScoreMatrix(text, analysis);
    return std::move(text).str();
}

std::string FormatPlotData(const Analysis& analysis, PlotDataHeader header) {
    std::ostringstream text;
    WritePlotData(text, analysis, header);
    return std::move(text).str();
}

std::string FormatAllSequences(const Analysis& analysis) {
    std::ostringstream text;
    WriteAllSequences(text, analysis);
    return std::move(text).str();
}

}  // namespace kvr

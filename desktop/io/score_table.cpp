#include "io/score_table.h"

#include <algorithm>
#include <cmath>
#include <ostream>
#include <sstream>
#include <vector>

#include "io/file_io.h"
#include "io/number_text.h"

namespace kvr {

std::string ScoreColumnLine(std::string_view firstName, std::string_view secondName,
                            float identity) {
    std::string line;
    line.reserve(firstName.size() + secondName.size() + 16);
    line.append(firstName).append(",").append(secondName).append(",");
    line.append(PlainSingle(identity)).append(kLineEnd);
    return line;
}

void WriteScoreColumns(std::ostream& out, const RecordTable& records, const IdentityTable& identity,
                       int n, const std::function<void(double done, double total)>& progress) {
    out << kScoreColumnHeader << kLineEnd;
    const double total = std::nearbyint(n * (n / 2.0) - n / 2.0);
    double done = 0;
    // The lines of row i take the table's column i. A block of rows is first gathered from the
    // table's rows, where their columns lie side by side, instead of a column walk for each.
    constexpr int kBlock = 64;
    const auto width = static_cast<std::size_t>(n);
    std::vector<float> block(std::min(n, kBlock) * width);
    for (int first = 0; first < n && out; first += kBlock) {
        const int last = std::min(n, first + kBlock);
        for (int j = first + 1; j < n; ++j)
            for (int i = first; i < std::min(last, j); ++i)
                block[static_cast<std::size_t>(i - first) * width + static_cast<std::size_t>(j)] =
                    identity(j, i);
        for (int i = first; i < last && out; ++i) {
            const float* row = block.data() + static_cast<std::size_t>(i - first) * width;
            for (int j = i + 1; j < n; ++j) {
                if (progress) progress(done++, total);
                out << records[i].name << ',' << records[j].name << ',' << PlainSingle(row[j])
                    << kLineEnd;
            }
        }
    }
}

std::string FormatScoreColumns(const RecordTable& records, const IdentityTable& identity, int n,
                               const std::function<void(double done, double total)>& progress) {
    std::ostringstream text;
    WriteScoreColumns(text, records, identity, n, progress);
    return std::move(text).str();
}

}  // namespace kvr

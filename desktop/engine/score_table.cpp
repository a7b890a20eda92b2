#include "engine/score_table.h"

#include <cmath>
#include <ostream>
#include <sstream>

#include "state/file_io.h"
#include "state/number_text.h"

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
    for (int i = 0; i < n && out; ++i)
        for (int j = i + 1; j < n; ++j) {
            if (progress) progress(done++, total);
            out << records[i].name << ',' << records[j].name << ',' << PlainSingle(identity(i, j))
                << kLineEnd;
        }
}

std::string FormatScoreColumns(const RecordTable& records, const IdentityTable& identity, int n,
                               const std::function<void(double done, double total)>& progress) {
    std::ostringstream text;
    WriteScoreColumns(text, records, identity, n, progress);
    return std::move(text).str();
}

}  // namespace kvr

#include "feature_table.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <ostream>

#include "io/text.h"

namespace tolven {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// Lines of a file, one at a time, in a reused buffer that the caller may write into. The line
// end (a line feed, and a carriage return before it) is not part of the line.
class LineReader {
  public:
    explicit LineReader(std::FILE* file) : file_(file) {}
    ~LineReader() { std::free(buffer_); }
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    // The next line, NUL-terminated; nullptr at the end of the file or when reading fails.
    char* Next(std::size_t& length) {
        const ssize_t count = ::getline(&buffer_, &capacity_, file_);
        if (count < 0) return nullptr;
        length = static_cast<std::size_t>(count);
        if (length > 0 && buffer_[length - 1] == '\n') --length;
        if (length > 0 && buffer_[length - 1] == '\r') --length;
        buffer_[length] = '\0';
        return buffer_;
    }
    bool Failed() const { return std::ferror(file_) != 0 || !std::feof(file_); }

  private:
    std::FILE* file_;
    char* buffer_ = nullptr;
    std::size_t capacity_ = 0;
};

// Header position of each required column; a name given twice counts where it is given last.
// On a missing name, that name.
std::optional<std::string_view> FindColumns(const std::vector<std::string_view>& header,
                                            std::array<std::size_t, kFeatureCount>& positions) {
    for (std::size_t c = 0; c < kFeatureCount; ++c) {
        const auto last = std::find(header.rbegin(), header.rend(), kRequiredColumns[c].name);
        if (last == header.rend()) return kRequiredColumns[c].name;
        positions[c] = static_cast<std::size_t>(header.rend() - last) - 1;
    }
    return std::nullopt;
}

enum class ValueStatus { Ok, NotANumber, OutOfRange };

// The C library's text-to-float conversion: leading whitespace, a sign, decimal, exponent and
// hexadecimal forms, "inf" and "nan"; it stops at the first character that does not fit. `field`
// ends with a NUL.
ValueStatus ParseValue(std::string_view field, float& value) {
    // Plain decimals, by far the most common, take the fast path, which rounds exactly as strtof
    // does. What it refuses or leaves as zero, subnormal, infinite or NaN (a "+" sign, other
    // whitespace, hexadecimal, which starts with a zero, range errors) goes to strtof itself.
    const auto parsed = std::from_chars(field.data(), field.data() + field.size(), value);
    if (parsed.ec == std::errc() && std::isnormal(value)) return ValueStatus::Ok;

    char* stop = nullptr;
    errno = 0;
    value = std::strtof(field.data(), &stop);
    if (stop == field.data()) return ValueStatus::NotANumber;
    // ERANGE also flags subnormal results, which still carry the number; an overflow to infinity
    // or an underflow to zero does not.
    if (errno == ERANGE && (value == 0.0f || std::isinf(value))) return ValueStatus::OutOfRange;
    // "nan" and "inf" convert, but are no measurement the model can be given.
    if (!std::isfinite(value)) return ValueStatus::NotANumber;
    return ValueStatus::Ok;
}

// A huge or binary field gives one short readable line.
constexpr std::size_t kFieldShown = 40;

std::string ValueError(std::size_t lineNumber, std::string_view column, std::string_view text,
                       ValueStatus status) {
    std::string message = "line " + std::to_string(lineNumber) + ", column \"";
    message.append(column)
        .append("\": \"")
        .append(kvr::PrintableText(text, kFieldShown))
        .append("\" ");
    message += status == ValueStatus::NotANumber ? "is not a number"
                                                 : "is outside the single-precision range";
    return message;
}

// Rows in blocks while the file is read, joined once at the end: growing never copies, and the
// join frees each block as soon as it is copied, so memory stays near one matrix. Blocks start
// small and double up to a fixed size, so that a small file takes little.
class RowBlocks {
  public:
    float* AppendRow() {
        if (blocks_.empty() || used_ == blocks_.back().rows) {
            const std::size_t rows = std::min(kMaxBlockRows, kFirstBlockRows << blocks_.size());
            blocks_.push_back(
                {std::make_unique_for_overwrite<float[]>(rows * kFeatureCount), rows});
            used_ = 0;
        }
        ++rowCount_;
        return blocks_.back().values.get() + (used_++) * kFeatureCount;
    }
    std::size_t Rows() const { return rowCount_; }

    FeatureMatrix Join() {
        FeatureMatrix matrix;
        matrix.rowCount = rowCount_;
        matrix.values = std::make_unique_for_overwrite<float[]>(rowCount_ * kFeatureCount);
        float* out = matrix.values.get();
        for (std::size_t start = 0; auto& block : blocks_) {
            const std::size_t rows = std::min(block.rows, rowCount_ - start);
            out = std::copy_n(block.values.get(), rows * kFeatureCount, out);
            block.values.reset();
            start += rows;
        }
        blocks_.clear();
        return matrix;
    }

  private:
    struct Block {
        std::unique_ptr<float[]> values;
        std::size_t rows;
    };
    static constexpr std::size_t kFirstBlockRows = 16;
    static constexpr std::size_t kMaxBlockRows = 4096;
    std::vector<Block> blocks_;
    std::size_t used_ = 0;
    std::size_t rowCount_ = 0;
};

}  // namespace

void SplitFields(std::string_view line, std::vector<std::string_view>& fields) {
    fields.clear();
    std::size_t start = 0;
    while (start < line.size()) {
        const std::size_t comma = std::min(line.find(',', start), line.size());
        fields.push_back(Trim(line.substr(start, comma - start)));
        start = comma + 1;
    }
}

FeatureTableResult ReadFeatureTable(const std::string& path, std::ostream& warnings) {
    const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    struct stat info {};
    if (!file || ::fstat(::fileno(file.get()), &info) != 0 || S_ISDIR(info.st_mode)) {
        FeatureTableResult result;
        result.error = "cannot open input file: " + path;
        return result;
    }
    return ReadFeatureTable(file.get(), path, warnings);
}

FeatureTableResult ReadFeatureTable(std::FILE* file, const std::string& path,
                                    std::ostream& warnings) {
    FeatureTableResult result;
    LineReader reader(file);
    std::size_t length = 0;
    char* line = reader.Next(length);
    if (line == nullptr) {
        result.error = reader.Failed() ? "cannot read input file: " + path : "input file is empty";
        return result;
    }

    const std::string header(line, length);
    std::vector<std::string_view> fields;
    SplitFields(header, fields);
    const std::size_t headerCount = fields.size();
    std::array<std::size_t, kFeatureCount> positions{};
    if (const auto missing = FindColumns(fields, positions)) {
        result.error = "required column not found in CSV: " + std::string(*missing);
        return result;
    }

    RowBlocks rows;
    for (std::size_t lineNumber = 2; (line = reader.Next(length)) != nullptr; ++lineNumber) {
        const std::string_view text(line, length);
        if (Trim(text).empty()) continue;
        SplitFields(text, fields);
        if (fields.size() < headerCount) {
            warnings << "Warning: line " + std::to_string(lineNumber) + " has fewer columns (" +
                            std::to_string(fields.size()) + ") than header (" +
                            std::to_string(headerCount) + "), skipping\n";
            continue;
        }
        float* row = rows.AppendRow();
        for (std::size_t c = 0; c < kFeatureCount; ++c) {
            const std::string_view field = fields[positions[c]];
            // The conversion reads up to a NUL: end the field there (its separator is spent).
            line[field.data() + field.size() - line] = '\0';
            float value = 0.0f;
            const ValueStatus status = ParseValue(field, value);
            if (status != ValueStatus::Ok) {
                result.error = ValueError(lineNumber, kRequiredColumns[c].name, field, status);
                return result;
            }
            row[c] = (value - kRequiredColumns[c].mean) / kRequiredColumns[c].scale;
            // A value near the largest single can leave the range once standardised.
            if (!std::isfinite(row[c])) {
                result.error = ValueError(lineNumber, kRequiredColumns[c].name, field,
                                          ValueStatus::OutOfRange);
                return result;
            }
        }
    }
    if (reader.Failed()) {
        result.error = "cannot read input file: " + path;
    } else if (rows.Rows() == 0) {
        result.error = "no data rows found in input file";
    } else {
        result.matrix = rows.Join();
    }
    return result;
}

}  // namespace tolven

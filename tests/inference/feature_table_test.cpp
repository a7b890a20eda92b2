#include "feature_table.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <set>
#include <sstream>

#include "test_files.h"

namespace tolven {
namespace {

using testing::FloatText;
using testing::MeanRow;
using testing::RequiredHeader;

struct ReadOutcome {
    FeatureTableResult result;
    std::string warnings;
};

ReadOutcome ReadText(const std::string& content) {
    testing::TempFolder folder;
    const std::string path = folder.File("features.txt");
    testing::WriteFile(path, content);
    std::ostringstream warnings;
    FeatureTableResult result = ReadFeatureTable(path, warnings);
    return {std::move(result), warnings.str()};
}

float Standardised(std::size_t column, float raw) {
    return (raw - kRequiredColumns[column].mean) / kRequiredColumns[column].scale;
}

// Bit for bit, so that -0 differs from 0 and a NaN matches a NaN.
bool SameFloat(float a, float b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

TEST(RequiredColumnsTest, ThirtyTwoStatisticsInThreeVariants) {
    std::set<std::string_view> names;
    for (std::size_t c = 0; c < kFeatureCount; ++c) {
        const RequiredColumn& column = kRequiredColumns[c];
        const RequiredColumn& first = kRequiredColumns[c - c % 3];
        SCOPED_TRACE(std::string(column.name));
        names.insert(column.name);
        EXPECT_EQ(column.name.back(), static_cast<char>('1' + c % 3));
        EXPECT_EQ(column.name.substr(0, column.name.size() - 1),
                  first.name.substr(0, first.name.size() - 1));
        EXPECT_GT(column.scale, 0.0f);
    }
    EXPECT_EQ(names.size(), kFeatureCount);
    for (std::size_t c : {51, 52, 53, 57, 58, 59}) {  // RCompatS2 and RCompatS4 share constants
        EXPECT_EQ(kRequiredColumns[c].mean, kRequiredColumns[c - c % 3].mean);
        EXPECT_EQ(kRequiredColumns[c].scale, kRequiredColumns[c - c % 3].scale);
    }
    EXPECT_EQ(kRequiredColumns[0].name, "ListCorr(A)1");
    EXPECT_EQ(kRequiredColumns[81].mean, -11.044021f);
    EXPECT_EQ(kRequiredColumns[95].name, "dMax(A)3");
    EXPECT_EQ(kRequiredColumns[95].scale, 0.2143008f);
}

TEST(SplitFieldsTest, CutsAtCommasAndTrims) {
    struct Case {
        std::string_view line;
        std::vector<std::string_view> fields;
    };
    const Case cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a,b,", {"a", "b"}},
        {",", {""}},
        {",a", {"", "a"}},
        {"a,,b", {"a", "", "b"}},
        {" a b \t, \r", {"a b", ""}},
        {"a,b, ", {"a", "b", ""}},
        {"\xEF\xBB\xBFx,y", {"\xEF\xBB\xBFx", "y"}},
    };
    std::vector<std::string_view> fields;
    for (const Case& test : cases) {
        SplitFields(test.line, fields);
        EXPECT_EQ(fields, test.fields) << '"' << test.line << '"';
    }
}

TEST(ReadFeatureTableTest, ReportsEachFailure) {
    const std::string header = RequiredHeader() + "\n";
    const std::string row = MeanRow() + "\n";
    std::string withoutRankF = header;
    withoutRankF.replace(withoutRankF.find("RankF(A:1)2"), 11, "RankF(A:1)9");
    std::string lowerCase = header;
    lowerCase[0] = 'l';
    struct Case {
        std::string label, content, error, warnings;
    };
    const Case cases[] = {
        {"empty file", "", "input file is empty", ""},
        {"header only", header, "no data rows found in input file", ""},
        {"header and blank lines", header + "\n \t\r\n\n", "no data rows found in input file", ""},
        {"only short rows", header + "1,2\n\n3\n", "no data rows found in input file",
         "Warning: line 2 has fewer columns (2) than header (96), skipping\n"
         "Warning: line 4 has fewer columns (1) than header (96), skipping\n"},
        {"blank header", "\n" + row, "required column not found in CSV: ListCorr(A)1", ""},
        {"one name missing", withoutRankF + row, "required column not found in CSV: RankF(A:1)2",
         ""},
        {"names compare case-sensitively", lowerCase + row,
         "required column not found in CSV: ListCorr(A)1", ""},
        {"byte-order mark stays in the first name", "\xEF\xBB\xBF" + header + row,
         "required column not found in CSV: ListCorr(A)1", ""},
        {"empty required field", header + MeanRow({{4, ""}}),
         "line 2, column \"SimScoreB(A)2\": \"\" is not a number", ""},
        {"text in a required field", header + "\n" + MeanRow({{95, " n/a "}}),
         "line 3, column \"dMax(A)3\": \"n/a\" is not a number", ""},
        {"underflow", header + row + MeanRow({{0, "1e-50"}}),
         "line 3, column \"ListCorr(A)1\": \"1e-50\" is outside the single-precision range", ""},
        {"overflow", header + MeanRow({{7, "-1e39"}}),
         "line 2, column \"SimScore(A)2\": \"-1e39\" is outside the single-precision range", ""},
        {"overflow once standardised", header + MeanRow({{7, "-3.4e38"}}),
         "line 2, column \"SimScore(A)2\": \"-3.4e38\" is outside the single-precision range", ""},
        // Converted by the C library, but no measurement: the model would write "nan".
        {"nan", header + MeanRow({{3, "nan"}}),
         "line 2, column \"" + std::string(kRequiredColumns[3].name) +
             "\": \"nan\" is not a number",
         ""},
        {"infinity", header + MeanRow({{4, "-Infinity"}}),
         "line 2, column \"" + std::string(kRequiredColumns[4].name) +
             "\": \"-Infinity\" is not a number",
         ""},
        // A huge field is cut, and control bytes are shown as escapes.
        {"huge field", header + MeanRow({{5, std::string(20000000, 'x')}}),
         "line 2, column \"" + std::string(kRequiredColumns[5].name) + "\": \"" +
             std::string(40, 'x') + "...\" is not a number",
         ""},
        {"control bytes", header + MeanRow({{6, "\x1b[2J"}}),
         "line 2, column \"" + std::string(kRequiredColumns[6].name) +
             "\": \"\\x1b[2J\" is not a number",
         ""},
        // Tabs and line feeds are shown as they are, as kvr shows them.
        {"tab", header + MeanRow({{7, "x\ty"}}),
         "line 2, column \"" + std::string(kRequiredColumns[7].name) +
             "\": \"x\ty\" is not a number",
         ""},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.label);
        const ReadOutcome outcome = ReadText(test.content);
        EXPECT_EQ(outcome.result.error, test.error);
        EXPECT_EQ(outcome.warnings, test.warnings);
    }
}

TEST(ReadFeatureTableTest, CannotOpenMissingFileOrFolder) {
    testing::TempFolder folder;
    std::ostringstream warnings;
    for (const std::string& path : {folder.File("absent.txt"), folder.Path()}) {
        EXPECT_EQ(ReadFeatureTable(path, warnings).error, "cannot open input file: " + path);
    }
}

TEST(ReadFeatureTableTest, ConvertsFieldsLikeTheCLibrary) {
    struct Case {
        std::string text;
        float raw;
    };
    const Case cases[] = {
        {"3.5", 3.5f},   {"  3.5  ", 3.5f},  {"\t3.5", 3.5f}, {"3.5abc", 3.5f},
        {"+3.5", 3.5f},  {"-2e3", -2000.0f}, {"1 2", 1.0f},   {".5", 0.5f},
        {"0x1p3", 8.0f}, {"1e-40", 1e-40f},  {"-0", -0.0f},   {"3.4028235e38", 3.4028235e38f},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.text);
        const ReadOutcome outcome =
            ReadText(RequiredHeader() + "\n" + MeanRow({{20, test.text}}) + "\n");
        ASSERT_EQ(outcome.result.error, "");
        ASSERT_EQ(outcome.result.matrix.rowCount, 1u);
        const std::span<const float> row = outcome.result.matrix.Values();
        EXPECT_TRUE(SameFloat(row[20], Standardised(20, test.raw))) << row[20];
        EXPECT_TRUE(SameFloat(row[19], 0.0f)) << row[19];
    }
}

// The exact decimal text of `value` moved by one unit in its 160th significant digit.
std::string NudgedText(double value, bool up) {
    char text[256];
    std::snprintf(text, sizeof text, "%.160e", value);  // exact for a float midpoint
    std::string nudged = text;
    const std::size_t last = nudged.find('e') - 1;
    if (up) {
        nudged[last] = '1';  // the exact expansion ends well before, in zeros
    } else {
        const std::size_t nonzero = nudged.find_last_not_of("0.", last);
        nudged[nonzero] -= 1;
        for (std::size_t i = nonzero + 1; i <= last; ++i) {
            if (nudged[i] != '.') nudged[i] = '9';
        }
    }
    return nudged;
}

TEST(ReadFeatureTableTest, RoundsDecimalsExactlyAsStrtof) {
    // Shortest texts of random floats, and exact midpoints between neighbouring floats (ties go to
    // even) with texts a hair above and below them: where a reader that rounds twice goes wrong.
    std::mt19937 random(7);
    std::uniform_real_distribution<float> mantissa(1.0f, 2.0f);
    // Up to 2^100: larger values leave the single range once standardised, and are refused.
    std::uniform_int_distribution<int> exponent(-125, 100);
    constexpr int kRows = 100;
    std::vector<std::string> texts;
    for (std::size_t i = 0; i < kRows * kFeatureCount; ++i) {
        const float low = std::ldexp(mantissa(random), exponent(random)) * (i % 8 < 4 ? 1 : -1);
        const double middle = (static_cast<double>(low) + std::nextafter(low, 2 * low)) / 2;
        char text[256];
        std::snprintf(text, sizeof text, "%.160e", middle);
        const std::string forms[] = {FloatText(low), text, NudgedText(middle, true),
                                     NudgedText(middle, false)};
        texts.push_back(forms[i % 4]);
    }
    std::string content = RequiredHeader() + "\n";
    for (std::size_t i = 0; i < texts.size(); ++i) {
        content += texts[i] + (i % kFeatureCount == kFeatureCount - 1 ? "\n" : ",");
    }
    const ReadOutcome outcome = ReadText(content);
    ASSERT_EQ(outcome.result.error, "");
    ASSERT_EQ(outcome.result.matrix.rowCount, static_cast<std::size_t>(kRows));
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const float raw = std::strtof(texts[i].c_str(), nullptr);
        ASSERT_TRUE(
            SameFloat(outcome.result.matrix.Values()[i], Standardised(i % kFeatureCount, raw)))
            << texts[i];
    }
}

TEST(ReadFeatureTableTest, PicksColumnsByNameWhateverTheirOrder) {
    // Reversed, mixed with other columns, with a decoy under a name that is given again later.
    std::string header = "id,ListCorr(A)1";
    std::string row = "7,decoy";
    for (std::size_t c = kFeatureCount; c-- > 0;) {
        header += ",note," + std::string(kRequiredColumns[c].name);
        row += ",x," + std::to_string(c + 1);
    }
    const ReadOutcome outcome = ReadText(header + ",tail\n" + row + ",y\n");
    ASSERT_EQ(outcome.result.error, "");
    ASSERT_EQ(outcome.result.matrix.rowCount, 1u);
    for (std::size_t c = 0; c < kFeatureCount; ++c) {
        EXPECT_EQ(outcome.result.matrix.Values()[c], Standardised(c, static_cast<float>(c + 1)))
            << kRequiredColumns[c].name;
    }
}

TEST(ReadFeatureTableTest, SkipsShortAndBlankLinesCountingEveryLine) {
    // A 97-column header; each accepted row is marked by its value in the first column.
    const std::string header = RequiredHeader() + ",extra\r\n";
    auto Marked = [](int mark) { return MeanRow({{0, std::to_string(mark)}}); };
    const std::string content = header +                  // line 1
                                Marked(1) + ",e\r\n" +    // 2: accepted
                                Marked(9) + ",\r\n" +     // 3: a trailing comma adds no field
                                "\r\n" +                  // 4: blank
                                "  \t\n" +                // 5: blank
                                Marked(2) + ",e,f,g\n" +  // 6: extra fields are fine
                                "1,2,\n" +                // 7: short
                                Marked(3) + ", ";         // 8: accepted, no final line feed
    const ReadOutcome outcome = ReadText(content);
    ASSERT_EQ(outcome.result.error, "");
    EXPECT_EQ(outcome.warnings,
              "Warning: line 3 has fewer columns (96) than header (97), skipping\n"
              "Warning: line 7 has fewer columns (2) than header (97), skipping\n");
    ASSERT_EQ(outcome.result.matrix.rowCount, 3u);
    for (std::size_t r = 0; r < 3; ++r) {
        EXPECT_EQ(outcome.result.matrix.Values()[r * kFeatureCount],
                  Standardised(0, static_cast<float>(r + 1)));
    }
}

TEST(ReadFeatureTableTest, KeepsManyRowsInFileOrder) {
    constexpr int kRows = 10'000;  // more than one block of rows
    std::string content = RequiredHeader() + "\n";
    for (int r = 0; r < kRows; ++r) {
        content += MeanRow({{0, std::to_string(r)}, {95, FloatText(0.25f * r)}}) + "\n";
    }
    const ReadOutcome outcome = ReadText(content);
    ASSERT_EQ(outcome.result.error, "");
    ASSERT_EQ(outcome.result.matrix.rowCount, static_cast<std::size_t>(kRows));
    const std::span<const float> values = outcome.result.matrix.Values();
    for (int r = 0; r < kRows; ++r) {
        const float* row = &values[r * kFeatureCount];
        ASSERT_EQ(row[0], Standardised(0, static_cast<float>(r))) << r;
        ASSERT_EQ(row[50], 0.0f) << r;
        ASSERT_EQ(row[95], Standardised(95, 0.25f * r)) << r;
    }
}

}  // namespace
}  // namespace tolven

// The matrices and the groups table for other programs, byte for byte: square percent table,
// PHYLIP distances with short names and their table, groups at one and at several thresholds.
#include <gtest/gtest.h>

#include <sstream>

#include "io/group_table.h"
#include "io/matrix_formats.h"

namespace kvr {
namespace {

IdentityTable ThreeIdentities() {
    IdentityTable table(3, 1.0f);
    table(1, 0) = 0.95f;     // 95 % exactly as the percent shows it
    table(2, 0) = 2.0f / 3;  // 66.66667
    table(2, 1) = 0.6f;      // 60.000004: the single itself, not a rounded text
    return table;
}

template <typename Write>
std::string Formatted(Write write) {
    std::ostringstream out;
    EXPECT_TRUE(write(out));
    return out.str();
}

TEST(MatrixFormats, SquareAndPhylipInTheOrderOfTheView) {
    const IdentityTable table = ThreeIdentities();
    const std::vector<std::string> names = {"a", "b b", "c"};
    EXPECT_EQ(Formatted([&](std::ostream& o) {
                  return WriteSquareMatrix(o, IdentityView(table), names);
              }),
              "name\ta\tb b\tc\n"
              "a\t100\t95\t66.66667\n"
              "b b\t95\t100\t60\n"
              "c\t66.66667\t60\t100\n");
    // Rows 2, 0, 1 of the table: the view's order.
    EXPECT_EQ(Formatted([&](std::ostream& o) {
                  return WritePhylipMatrix(o, IdentityView(table, {2, 0, 1}), {"c", "a", "b b"});
              }),
              "3\n"
              "c           0  0.3333333  0.4\n"
              "a           0.3333333  0  0.05\n"
              "b b         0.4  0.05  0\n");
}

TEST(MatrixFormats, PhylipShortNames) {
    struct Case {
        std::vector<std::string> names;
        std::vector<std::string> shortNames;
        bool changed;
    };
    const Case cases[] = {
        {{"ten_chars_", "b", "c d"}, {"ten_chars_", "b", "c d"}, false},
        {{"Bacillus subtilis", "x"}, {"Bacillus~1", "x"}, true},
        // Alike in PHYLIP's 10 columns (blanks at the end do not count), or taken already.
        {{"ab", "ab ", "ab~2"}, {"ab", "ab~2", "ab~2~3"}, true},
        {{"a(1)", "k:v", ""}, {"a_1_~1", "k_v~2", "~3"}, true},
        // Cut before a character of two bytes, not inside it.
        {{"abcdefg\xc3\xa9xyz"}, {"abcdefg~1"}, true},
        {{"abcdef\xc3\xa9xyz"}, {"abcdef\xc3\xa9~1"}, true},
    };
    for (const Case& c : cases) {
        const PhylipNames phylip = MakePhylipNames(c.names);
        EXPECT_EQ(phylip.shortNames, c.shortNames) << c.names[0];
        EXPECT_EQ(phylip.changed, c.changed) << c.names[0];
    }
    const std::vector<std::string> names = {"Bacillus subtilis", "x"};
    EXPECT_EQ(Formatted([&](std::ostream& o) {
                  return WritePhylipNames(o, MakePhylipNames(names), names);
              }),
              "short\tname\nBacillus~1\tBacillus subtilis\nx\tx\n");
}

TEST(GroupTable, OneThresholdAndSeveral) {
    const IdentityTable table = ThreeIdentities();
    const std::vector<std::string> names = {"a", "b", "c"};
    const IdentityView view(table);
    EXPECT_EQ(Formatted([&](std::ostream& o) {
                  return WriteGroupTable(o, view, names, {95}, Linkage::Complete);
              }),
              "name\tgroup\tsize\trepresentative\n"
              "a\t1\t2\ta\n"
              "b\t1\t2\ta\n"
              "c\t2\t1\tc\n");
    // 60: a-c 66.7 and b-c 60 hold, so all three; the representative has the highest mean.
    EXPECT_EQ(Formatted([&](std::ostream& o) {
                  return WriteGroupTable(o, view, names, DistinctThresholds({95, 60, 95, 97.5f}),
                                         Linkage::Single);
              }),
              "name\tgroup_95\tsize_95\trepresentative_95\tgroup_60\tsize_60\trepresentative_60"
              "\tgroup_97.5\tsize_97.5\trepresentative_97.5\n"
              "a\t1\t2\ta\t1\t3\ta\t1\t1\ta\n"
              "b\t1\t2\ta\t1\t3\ta\t2\t1\tb\n"
              "c\t2\t1\tc\t1\t3\ta\t3\t1\tc\n");
}

}  // namespace
}  // namespace kvr

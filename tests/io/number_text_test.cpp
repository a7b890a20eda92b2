#include "io/number_text.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

namespace kvr {
namespace {

TEST(FormatDecimals, FollowsTheRoundingTable) {
    struct Case {
        double value;
        int digits;
        const char* expected;
    };
    const Case cases[] = {
        {0.98765, 4, "0.9877"}, {0.5, 4, "0.5000"},   {0.05, 4, "0.0500"},
        {0, 4, "0.0000"},       {1, 4, "1.0000"},     {0.125, 2, "0.13"},
        {95.12345, 2, "95.12"}, {100, 2, "100.00"},   {72.5, 0, "72"},
        {73.5, 0, "74"},        {2.5, 0, "2"},        {3.5, 0, "4"},
        {-1.5, 0, "-2"},        {95.1234, 1, "95.1"}, {0.5, 1, "0.5"},
        {100, 1, "100.0"},      {-0.25, 2, "-0.25"},  {1.0 - 0.6666667, 4, "0.3333"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatDecimals(c.value, c.digits), c.expected) << c.value << " " << c.digits;
}

TEST(PlainSingle, SevenSignificantDigitsOrExponent) {
    struct Case {
        float value;
        const char* expected;
    };
    const Case cases[] = {
        {1.0f, "1"},
        {0.75f, "0.75"},
        {2.0f / 3.0f, "0.6666667"},
        {0.9876543f, "0.9876543"},
        {0.5f, "0.5"},
        {0.0f, "0"},
        {45.0f, "45"},
        {12497500.0f, "1.24975E+07"},
        {8.333334E-08f, "8.333334E-08"},
        {0.0001f, "0.0001"},
        {0.00009f, "9E-05"},
        {9999999.0f, "9999999"},
        {-0.25f, "-0.25"},
        {1.0f / 15.0f, "0.06666667"},
    };
    for (const Case& c : cases) EXPECT_EQ(PlainSingle(c.value), c.expected) << c.value;
}

// The percent is the identity's own text with its point moved, so a session read back (which
// keeps that text) gives the very percent of the run that wrote it.
TEST(PercentText, IsTheIdentityTextShiftedWhereverTheIdentityWasRead) {
    EXPECT_EQ(PercentText(0.9855072f), "98.55072");
    EXPECT_EQ(PercentText(1.0f), "100");
    EXPECT_EQ(PercentText(0.0f), "0");
    EXPECT_EQ(PercentText(0.5f), "50");
    EXPECT_EQ(PercentText(0.01234567f), "1.234567");
    EXPECT_EQ(PercentText(5e-5f), "0.005");
    std::mt19937 random(7);
    std::uniform_int_distribution<int> columns(1, 20000);
    for (int k = 0; k < 100000; ++k) {
        const int total = columns(random);
        const int matches = std::uniform_int_distribution<int>(0, total)(random);
        const float identity = static_cast<float>(matches) / static_cast<float>(total);
        const std::string text = PlainSingle(identity);
        const float readBack = std::strtof(text.c_str(), nullptr);
        ASSERT_EQ(PercentText(identity), PercentText(readBack)) << text;
        // The shifted text names the same number as the identity's text, times 100.
        ASSERT_NEAR(std::strtod(PercentText(identity).c_str(), nullptr),
                    std::strtod(text.c_str(), nullptr) * 100, 1e-9)
            << text;
    }
}

TEST(SecondsText, OneSecondIsSingular) {
    EXPECT_EQ(SecondsText(1.0f), "1 second");
    EXPECT_EQ(SecondsText(0.5f), "0.5 seconds");
    EXPECT_EQ(SecondsText(30.0f), "30 seconds");
}

TEST(PrintedSingle, DropsLeadingZeroAndPadsWithSpaces) {
    EXPECT_EQ(PrintedSingle(0.2f), " .2 ");
    EXPECT_EQ(PrintedSingle(0.0f), " 0 ");
    EXPECT_EQ(PrintedSingle(1.0f), " 1 ");
    EXPECT_EQ(PrintedSingle(1.0f / 15.0f), " .06666667 ");
    EXPECT_EQ(PrintedSingle(-0.5f), "-.5 ");
    EXPECT_EQ(PrintedSingle(2.0f / 3.0f), " .6666667 ");
}

TEST(PrintedWhole, RoundsHalfToEvenWithBlank) {
    EXPECT_EQ(PrintedWhole(100.0), " 100");
    EXPECT_EQ(PrintedWhole(84.5), " 84");
    EXPECT_EQ(PrintedWhole(-3.0), "-3");
}

TEST(ShortSignedText, FifteenDigitsNoLeadingZeroBlankBeforePositives) {
    struct Case {
        double value;
        const char* expected;
    };
    const Case cases[] = {
        {73, " 73"},    {0.05, " .05"},      {0.1, " .1"},
        {0, " 0"},      {72.46, " 72.46"},   {-0.5, "-.5"},
        {100, " 100"},  {0.00001, " 1E-05"}, {1.0 / 3, " .333333333333333"},
        {94.0f, " 94"},
    };
    for (const Case& c : cases) EXPECT_EQ(ShortSignedText(c.value), c.expected) << c.value;
}

TEST(NumberValue, ReadsTheLeadingNumber) {
    struct Case {
        const char* text;
        double expected;
    };
    const Case cases[] = {
        {"0.72", 0.72}, {"72.46", 72.46}, {" 12abc", 12}, {"x", 0},         {"", 0},
        {"-3.5", -3.5}, {"+2", 2},        {".5", 0.5},    {"1E-05", 1e-05},
    };
    for (const Case& c : cases) EXPECT_EQ(NumberValue(c.text), c.expected) << c.text;
}

}  // namespace
}  // namespace kvr

#include "io/text.h"

#include <gtest/gtest.h>

namespace kvr {
namespace {

TEST(ReplaceAll, ReplacesLeftToRightWithoutOverlapAndTrims) {
    struct Case {
        const char* text;
        const char* find;
        const char* replacement;
        const char* expected;
    };
    const Case cases[] = {
        {"", "a", "b", ""},
        {"aaa", "aa", "b", "ba"},           // no overlap
        {">seq>x", ">", "12", "12seq12x"},  // longer replacement
        {"  a -b  ", "-", "", "a b"},       // trimmed at both ends, inner space kept
        {"AaA", "a", "", "AA"},             // case-sensitive
        {"abc", "z", "y", "abc"},
        {"   ", "x", "y", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReplaceAll(c.text, c.find, c.replacement), c.expected) << c.text;
}

TEST(PrintableText, EscapesWhatATerminalWouldActOnAndCuts) {
    const struct {
        std::string text;
        std::size_t maxBytes;
        std::string shown;
    } cases[] = {
        {"", std::string::npos, ""},
        {std::string("a\0b", 3), std::string::npos, "a\\x00b"},
        {"\x1b[31mred\x7f\r", std::string::npos, "\\x1b[31mred\\x7f\\x0d"},
        {"tab\tand\nline", std::string::npos, "tab\tand\nline"},  // kept: they act on no terminal
        {"\xc3\xa9t\xc3\xa9", std::string::npos, "\xc3\xa9t\xc3\xa9"},  // UTF-8 as it is
        {"abcdef", 3, "abc..."},
        {"abc", 3, "abc"},                     // not cut at exactly its length
        {"\x01\x02\x03", 2, "\\x01\\x02..."},  // cut by bytes of the text, before escaping
    };
    for (const auto& c : cases) EXPECT_EQ(PrintableText(c.text, c.maxBytes), c.shown) << c.text;
}

TEST(RemoveAll, EqualsOneReplaceAllPerCharacter) {
    const std::string text = " \r\t>a-b\b\tc \r\n ACG-T\t \r";
    std::string stepwise = text;
    for (const char* c : {"\r", "\t", "-", "\b", "\t"}) stepwise = ReplaceAll(stepwise, c, "");
    EXPECT_EQ(RemoveAll(text, "\r\t-\b"), stepwise);
}

TEST(CleanName, TurnsSeparatorsIntoUnderscores) {
    EXPECT_EQ(CleanName("> AB1 (x):y/z\\w"), ">_AB1__x__y_z_w");
    EXPECT_EQ(CleanName(">plain_name.1"), ">plain_name.1");
}

TEST(ContainsText, CaseRules) {
    EXPECT_TRUE(ContainsText("/data/results.kvr.d/x.fas", ".kvr"));
    EXPECT_FALSE(ContainsText("/data/x.KVR", ".kvr"));
    EXPECT_TRUE(ContainsTextIgnoreCase("/data/x.KVR", ".kvr"));
}

}  // namespace
}  // namespace kvr

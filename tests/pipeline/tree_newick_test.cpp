// The tree for other programs: the tree program's taxon names replaced by the sequences' names,
// quoted so that a Newick reader gets every name back, the branch lengths kept, the outgroup gone.
#include <gtest/gtest.h>

#include "io/tree_input.h"
#include "io/tree_newick.h"

namespace kvr {
namespace {

// A Newick reader as other programs have it: quoted labels with doubled quotes, "_" as a blank
// in unquoted ones. Collects the leaves' names and counts the nodes without a branch length.
struct NewickLeaves {
    std::vector<std::string> names;
    int withoutLength = 0;  // the root included
    bool ok = true;
};

class NewickReader {
  public:
    explicit NewickReader(const std::string& text) : text_(text) {}
    NewickLeaves Read() {
        Node();
        leaves_.ok = leaves_.ok && pos_ + 2 == text_.size() && text_.substr(pos_) == ";\n";
        return leaves_;
    }

  private:
    void Node() {
        if (Peek() == '(') {
            do {
                ++pos_;
                Node();
            } while (Peek() == ',');
            leaves_.ok = leaves_.ok && Peek() == ')';
            ++pos_;
        } else {
            leaves_.names.push_back(Label());
        }
        if (Peek() == ':') {
            ++pos_;
            const std::size_t start = pos_;
            while (pos_ < text_.size() &&
                   std::string_view("0123456789.-eE").find(text_[pos_]) != std::string_view::npos)
                ++pos_;
            leaves_.ok = leaves_.ok && pos_ > start;
        } else {
            ++leaves_.withoutLength;
        }
    }
    std::string Label() {
        std::string label;
        if (Peek() == '\'') {
            for (++pos_; pos_ < text_.size(); ++pos_) {
                if (text_[pos_] == '\'') {
                    if (pos_ + 1 < text_.size() && text_[pos_ + 1] == '\'') {
                        label += '\'';
                        ++pos_;
                        continue;
                    }
                    ++pos_;
                    return label;
                }
                label += text_[pos_];
            }
            leaves_.ok = false;
            return label;
        }
        for (; pos_ < text_.size() &&
               std::string_view("(),:;'[] \t\n").find(text_[pos_]) == std::string_view::npos;
             ++pos_)
            label += text_[pos_] == '_' ? ' ' : text_[pos_];
        return label;
    }
    char Peek() const { return pos_ < text_.size() ? text_[pos_] : '\0'; }
    std::string text_;
    std::size_t pos_ = 0;
    NewickLeaves leaves_;
};

TEST(TreeNewick, NamesComeBackThroughANewickReader) {
    const std::vector<std::string> names = {
        "A_1", "sp|P1|AB-C one", "it's (odd): x;y,z", "[plain]", "", "tab\tname", "Zm"};
    const RecordTable records = [&] {
        RecordTable r;
        for (std::size_t k = 0; k < names.size(); ++k)
            r.push_back({">s" + std::to_string(k), "ACGT"});
        return r;
    }();
    const std::vector<std::string> treeNames =
        MakeTreeNames(records, static_cast<int>(names.size()));
    // As the tree program writes it: unpadded names, wrapped lines, the outgroup at the root.
    const auto leaf = [&](int k) { return TreeNameKey(treeNames[k]); };
    const std::string tree = "((" + leaf(0) + ":0.01000," + leaf(1) + ":0.02000):0.00500,(" +
                             leaf(2) + ":0.1,\n(" + leaf(3) + ":0.2," + leaf(4) +
                             ":0.3):0.04):0.05," + "(" + leaf(5) + ":0.06,\n  " + leaf(6) +
                             ":-0.00100):0.07,out:0.50000);\n";
    const Result<std::string> named = NameTreeLeaves(tree, treeNames, names);
    ASSERT_TRUE(named) << named.problem().message;
    const std::string& text = named.value();
    const NewickLeaves read = NewickReader(text).Read();
    EXPECT_TRUE(read.ok) << text;
    EXPECT_EQ(read.names, names) << text;
    EXPECT_EQ(read.withoutLength, 1) << "only the root lacks a branch length: " << text;
    EXPECT_EQ(text.find("out"), std::string::npos);
    EXPECT_NE(text.find(":-0.00100"), std::string::npos) << "lengths as written";
}

TEST(TreeNewick, RootLeftWithOneChildAndTreesThatCannotBeRead) {
    const std::vector<std::string> treeNames = {"1a        ", "2b        ", "out       "};
    const std::vector<std::string> names = {"a", "b"};
    // The outgroup beside one subtree: the subtree is the tree, without the length above it.
    EXPECT_EQ(NameTreeLeaves("((1a:0.1,2b:0.2):0.3,out:0.4);", treeNames, names).value(),
              "(a:0.1,b:0.2);\n");
    for (const char* bad :
         {"((1a:0.1,2b:0.2),out:0.4", "(1a:0.1,2b:0.2,out:0.4);x", "(1a:0.1,(2b:0.2,out:0.4));",
          "(1a:0.1,zz:0.2,out:0.4);", "(1a:,2b:0.2,out:0.4);", "(,2b:0.2,out:0.4);"}) {
        const Result<std::string> named = NameTreeLeaves(bad, treeNames, names);
        ASSERT_FALSE(named) << bad;
        EXPECT_NE(named.problem().message, "") << bad;
    }
}

TEST(TreeNewick, QuotesOnlyWhatNewickReadsOtherwise) {
    const std::pair<const char*, const char*> cases[] = {
        {"Zm-2.1|x", "Zm-2.1|x"},
        {"A_1", "'A_1'"},
        {"a b", "'a b'"},
        {"it's", "'it''s'"},
        {"A(2)", "'A(2)'"},
        {"x,y", "'x,y'"},
        {"", "''"},
        {"a\tb", "'a\tb'"},
        {"[c]", "'[c]'"},
        {"k:v;", "'k:v;'"},
        {"\xc3\xa9t\xc3\xa9", "\xc3\xa9t\xc3\xa9"},
    };
    for (const auto& [name, label] : cases) EXPECT_EQ(NewickName(name), label) << name;
}

}  // namespace
}  // namespace kvr

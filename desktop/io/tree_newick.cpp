#include "io/tree_newick.h"

#include <memory>
#include <unordered_map>

#include "io/text.h"
#include "io/tree_input.h"

namespace kvr {

namespace {

struct Node {
    std::string label;   // a leaf's taxon name as the tree has it
    std::string length;  // the branch length's text, "" when none
    std::vector<Node> children;
};

// A recursive reader of the tree program's Newick: no quotes, no comments, blanks anywhere
// (it wraps long lines), labels and lengths up to the next ( ) , : ;.
class TreeReader {
  public:
    explicit TreeReader(std::string_view text) : text_(RemoveAll(text, " \t\r\n")) {}

    bool Read(Node& root) {
        if (!ReadNode(root, 0)) return false;
        return At(';') && pos_ + 1 == text_.size();
    }

  private:
    static constexpr int kDeepest = 20000;  // a caterpillar tree of 20,000 leaves nests so deep

    bool At(char c) const { return pos_ < text_.size() && text_[pos_] == c; }

    std::string Word() {
        const std::size_t start = pos_;
        while (pos_ < text_.size() &&
               std::string_view("(),:;").find(text_[pos_]) == std::string::npos)
            ++pos_;
        return text_.substr(start, pos_ - start);
    }

    bool ReadNode(Node& node, int depth) {
        if (depth > kDeepest) return false;
        if (At('(')) {
            do {
                ++pos_;
                node.children.emplace_back();
                if (!ReadNode(node.children.back(), depth + 1)) return false;
            } while (At(','));
            if (!At(')')) return false;
            ++pos_;
            Word();  // an inner node's label, which the tree program does not write
        } else {
            node.label = Word();
            if (node.label.empty()) return false;
        }
        if (At(':')) {
            ++pos_;
            node.length = Word();
            if (node.length.empty()) return false;
        }
        return true;
    }

    std::string text_;
    std::size_t pos_ = 0;
};

class TreeWriter {
  public:
    TreeWriter(const std::unordered_map<std::string, std::size_t>& taxonOf,
               const std::vector<std::string>& names)
        : taxonOf_(taxonOf), names_(names) {}

    // Drops the leaf of the outgroup, which the tree program puts at the root. False when it
    // is not there.
    static bool DropRootLeaf(Node& root, const std::string& label) {
        for (auto child = root.children.begin(); child != root.children.end(); ++child)
            if (child->children.empty() && child->label == label) {
                root.children.erase(child);
                return true;
            }
        return false;
    }

    bool Write(const Node& node, std::string& out, std::string& failure) const {
        if (node.children.empty()) {
            const auto found = taxonOf_.find(node.label);
            if (found == taxonOf_.end() || found->second >= names_.size()) {
                failure = "the leaf '" + PrintableText(node.label, 60) +
                          "' of the tree matches none of the sequences";
                return false;
            }
            out += NewickName(names_[found->second]);
        } else {
            out += '(';
            for (std::size_t k = 0; k < node.children.size(); ++k) {
                if (k > 0) out += ',';
                if (!Write(node.children[k], out, failure)) return false;
            }
            out += ')';
        }
        if (!node.length.empty()) out.append(":").append(node.length);
        return true;
    }

  private:
    const std::unordered_map<std::string, std::size_t>& taxonOf_;
    const std::vector<std::string>& names_;
};

}  // namespace

std::string NewickName(std::string_view name) {
    bool quote = name.empty();
    for (const char c : name)
        quote = quote || static_cast<unsigned char>(c) <= ' ' || c == 0x7f ||
                std::string_view("_()[]':;,").find(c) != std::string_view::npos;
    if (!quote) return std::string(name);
    std::string quoted = "'";
    for (const char c : name) quoted.append(c == '\'' ? 2 : 1, c);
    return quoted + "'";
}

Result<std::string> NameTreeLeaves(std::string_view treeText,
                                   const std::vector<std::string>& treeNames,
                                   const std::vector<std::string>& names) {
    Node root;
    if (!TreeReader(treeText).Read(root))
        return Problem{"the tree program's tree is not a Newick tree kvr can read"};
    std::unordered_map<std::string, std::size_t> taxonOf;
    for (std::size_t k = 0; k < treeNames.size(); ++k)
        taxonOf.emplace(TreeNameKey(treeNames[k]), k);
    if (treeNames.empty() || !TreeWriter::DropRootLeaf(root, TreeNameKey(treeNames.back())))
        return Problem{"the tree's root does not hold the outgroup"};
    // Inner nodes keep two children at least; the root may have been left with one.
    while (root.children.size() == 1) {
        Node only = std::move(root.children.front());
        root = std::move(only);
        root.length.clear();
    }
    std::string text;
    std::string failure;
    if (!TreeWriter(taxonOf, names).Write(root, text, failure)) return Problem{failure};
    text += ";\n";
    return text;
}

}  // namespace kvr

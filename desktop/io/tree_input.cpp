#include "io/tree_input.h"

#include <ostream>
#include <sstream>
#include <unordered_set>
#include <utility>

#include "io/file_io.h"
#include "io/number_text.h"
#include "io/text.h"

namespace kvr {

std::string MakeTreeName(std::string_view nameLine, int index) {
    const std::string number = std::to_string(index);
    std::string name;
    if (ContainsText(nameLine, ">")) {
        // The tree program stops on any of ( ) : ; , [ ] in a name, and a comma would also split
        // the leaf in the tree text read back.
        name = RemoveAll(ReplaceAll(nameLine, ">", number), "():;[],");
    } else {
        name = number + std::string(nameLine);
    }
    name.resize(10, ' ');
    return name;
}

std::string TreeNameKey(std::string_view treeName) {
    return RemoveAll(treeName, " \t\n\r");
}

std::vector<std::string> MakeTreeNames(const RecordTable& sequences, int n) {
    std::vector<std::string> names;
    names.reserve(static_cast<std::size_t>(n) + 1);
    std::unordered_set<std::string> taken = {TreeNameKey(kOutgroupName)};
    for (int a = 0; a < n; ++a) {
        std::string name = MakeTreeName(sequences[a].name, a);
        // The number and the cut can make two names alike (">0x" as sequence 1 and ">x" as
        // sequence 10 both give "10x"): the later one gets a name of its number alone.
        for (int variant = 0; !taken.insert(TreeNameKey(name)).second; ++variant) {
            name = "~" + std::to_string(a) + (variant == 0 ? "" : "~" + std::to_string(variant));
            name.resize(10, ' ');
        }
        names.push_back(std::move(name));
    }
    names.emplace_back(kOutgroupName);
    return names;
}

void WriteDistanceFile(std::ostream& out, const IdentityTable& identity,
                       const std::vector<std::string>& treeNames, int n) {
    out << "   " << n + 1 << kLineEnd;
    for (int a = 0; a <= n; ++a) {
        out << treeNames[a];
        for (int b = 0; b <= n; ++b) {
            out << "  ";
            if (a < n && b < n)
                out << FormatDecimals(1.0 - static_cast<double>(identity(a, b)), 4);
            else
                out << (a == b ? "0" : "1");
        }
        out << kLineEnd;
    }
}

std::string FormatDistanceFile(const IdentityTable& identity,
                               const std::vector<std::string>& treeNames, int n) {
    std::ostringstream text;
    WriteDistanceFile(text, identity, treeNames, n);
    return std::move(text).str();
}

}  // namespace kvr

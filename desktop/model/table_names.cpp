#include "model/table_names.h"

#include <string_view>

namespace kvr {

void AppendTableName(std::string& text, const Record& record) {
    std::string_view name = record.givenName;
    if (name.empty()) {
        name = record.name;
        if (name.starts_with('>')) name.remove_prefix(1);
    }
    for (const char c : name) text += c == '\t' || c == '\r' || c == '\n' ? ' ' : c;
}

std::string TableName(const Record& record) {
    std::string name;
    AppendTableName(name, record);
    return name;
}

OrderedSet InputOrder(const Analysis& a) {
    OrderedSet set{std::vector<int>(static_cast<std::size_t>(a.seqCount)),
                   std::vector<std::string>(static_cast<std::size_t>(a.seqCount))};
    for (int d = 0; d < a.seqCount; ++d) {
        const int s = a.InputIndex(d);
        set.rows[static_cast<std::size_t>(s)] = d;
        set.names[static_cast<std::size_t>(s)] = TableName(a.SequenceList[d]);
    }
    return set;
}

OrderedSet DisplayOrder(const Analysis& a) {
    OrderedSet set;
    for (int d = 0; d < a.seqCount; ++d) {
        set.rows.push_back(d);
        set.names.push_back(TableName(a.SequenceList[d]));
    }
    return set;
}

}  // namespace kvr

// A modal dialog showing a table to read (and copy from) and close: the groups of an analysis,
// the record of how its identities were made.
#pragma once

#include <string>
#include <string_view>
#include <vector>

class QWidget;

namespace kvr {

// Shows the table over parent and returns when the user has closed it.
void ShowTableDialog(QWidget* parent, std::string_view title,
                     const std::vector<std::string>& columns,
                     const std::vector<std::vector<std::string>>& rows);

}  // namespace kvr
